#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace undelvo {

bool WriteFileAtomically(const QString& path, const QByteArray& data) {
  const QFileInfo info(path);
  if (!QDir().mkpath(info.absolutePath())) return false;
  QByteArray tmpl = QFile::encodeName(info.absolutePath() + "/." + info.fileName() + ".XXXXXX");
  const int fd = mkstemp(tmpl.data());
  if (fd < 0) return false;
  const char* p = data.constData();
  qint64 left = data.size();
  bool ok = true;
  while (left > 0) {
    const ssize_t n = ::write(fd, p, size_t(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) { ok = false; break; }
    p += n;
    left -= n;
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(tmpl.constData(), QFile::encodeName(info.absoluteFilePath()).constData()) == 0;
  if (!ok) ::unlink(tmpl.constData());
  if (ok) {
    // Make the rename itself durable.
    const int dfd = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) { ::fsync(dfd); ::close(dfd); }
  }
  return ok;
}

}  // namespace undelvo
