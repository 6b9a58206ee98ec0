#include "found/SaveFile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace undelvo {

QString SafeFileName(const QString& name) {
  QString safe = name;
  safe.replace(QLatin1Char('/'), QLatin1Char('_'));
  safe.replace(QChar(0), QLatin1Char('_'));
  if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String("..")) safe.prepend(QLatin1Char('_'));
  return safe;
}

namespace {

int OpenNewFile(const QString& path) {
  return ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

}  // namespace

int CreateRestoredFile(const QString& folder, const QString& name, QString& path) {
  if (!QDir().mkpath(folder)) return -1;
  const QString safe = SafeFileName(name);
  const qsizetype dot = safe.indexOf(QLatin1Char('.'));
  const QString base = dot < 0 ? QString() : safe.left(dot);
  const QString extension = dot < 0 ? safe : safe.mid(dot);
  for (int n = 0; n < 100000; ++n) {
    const QString candidate = n == 0 ? safe : base + QStringLiteral("(%1)").arg(n) + extension;
    path = folder + QLatin1Char('/') + candidate;
    const int fd = OpenNewFile(path);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

int CreateRestoredFile(const QString& folder, const QString& name, const QString& fallback, QString& path) {
  const int fd = CreateRestoredFile(folder, name, path);
  if (fd >= 0 || fallback.isEmpty()) return fd;
  return CreateRestoredFile(folder, fallback, path);
}

bool WriteFully(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= size_t(n);
  }
  return true;
}

bool FailWith(int* error) {
  if (error) *error = errno ? errno : EIO;
  return false;
}

bool CloseAndFail(int fd, int* error) {
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return FailWith(error);
}

int CreateNewFile(const QString& folder, const QString& name, QString& path) {
  path = folder + QLatin1Char('/') + SafeFileName(name);
  return OpenNewFile(path);
}

}  // namespace undelvo
