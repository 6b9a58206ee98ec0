#include "found/SaveFile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace undelvo {

QString SafeFileName(const QString& name) {
  QString safe = name;
  safe.replace(QLatin1Char('/'), QLatin1Char('_'));
  safe.replace(QChar(0), QLatin1Char('_'));
  if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String("..")) safe.prepend(QLatin1Char('_'));
  return safe;
}

bool MakeSaveFolder(const QString& folder, int& error) {
  error = 0;
  const QString clean = QDir::cleanPath(folder);
  QString path;
  for (const QString& part : clean.split(QLatin1Char('/'))) {
    path = path.isEmpty() && clean.startsWith(QLatin1Char('/')) ? QStringLiteral("/") + part
           : path.isEmpty()                                  ? part
                                                              : path + QLatin1Char('/') + part;
    if (part.isEmpty()) continue;
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0755) == 0) continue;
    const int made = errno;
    struct stat st {};
    if (made == EEXIST && ::stat(name.constData(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) continue;
      error = ENOTDIR;  // a file stands where a folder must go
      return false;
    }
    error = made;
    return false;
  }
  return true;
}

QString KeptFolder(const QString& saveFolder, const QString& shownFolder) {
  QString rest = shownFolder;
  if (rest.size() >= 2 && rest[1] == QLatin1Char(':')) rest = rest.mid(2);
  QString folder = saveFolder;
  for (const QString& part : rest.split(QLatin1Char('\\'), Qt::SkipEmptyParts))
    folder += QLatin1Char('/') + SafeFileName(part);
  return folder;
}

bool MakeKeptFolder(const QString& saveFolder, const QString& folder, int& error) {
  error = 0;
  if (!folder.startsWith(saveFolder)) return (error = EINVAL), false;
  QString path = saveFolder;
  for (const QString& part : folder.mid(saveFolder.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    path += QLatin1Char('/') + part;
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0755) != 0 && errno != EEXIST) return (error = errno), false;
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) return (error = errno), false;
    if (!S_ISDIR(st.st_mode)) return (error = ENOTDIR), false;  // a file or a link in the way
  }
  return true;
}

namespace {

// The descriptor of a new file, or minus the system's error number.
int OpenNewFile(const QString& path) {
  const int fd =
      ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  return fd >= 0 ? fd : -(errno ? errno : EIO);
}

// The first free name of base(n)ext form in `folder`; the descriptor (or
// minus the error number) and the path tried last.
int OpenFreeName(const QString& folder, const QString& name, QString& path) {
  const QString safe = SafeFileName(name);
  const qsizetype dot = safe.indexOf(QLatin1Char('.'));
  const QString base = dot < 0 ? QString() : safe.left(dot);
  const QString extension = dot < 0 ? safe : safe.mid(dot);
  int fd = -EEXIST;
  for (int n = 0; n < 100000 && fd == -EEXIST; ++n) {
    const QString candidate = n == 0 ? safe : base + QStringLiteral("(%1)").arg(n) + extension;
    path = folder + QLatin1Char('/') + candidate;
    fd = OpenNewFile(path);
  }
  return fd;
}

}  // namespace

bool SetFileModificationTime(const QString& path, const QDateTime& time) {
  if (!time.isValid()) return false;
  const qint64 ms = time.toMSecsSinceEpoch();
  const qint64 seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
  timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = time_t(seconds);
  times[1].tv_nsec = long(ms - seconds * 1000) * 1000000L;
  return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

RestoredFile::~RestoredFile() {
  // Still open: the restore was abandoned (an exception) before it finished,
  // and a piece of a file is no restored file.
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(QFile::encodeName(outcome_.path).constData());
  }
}

bool RestoredFile::Fail(int error) {
  outcome_.status = RestoreOutcome::Status::Failed;
  outcome_.error = error ? error : EIO;
  return false;
}

bool RestoredFile::Create(const RestoreTarget& target) {
  if (!QDir().mkpath(target.folder)) return Fail(errno);
  int fd = OpenFreeName(target.folder, target.name, outcome_.path);
  if (fd < 0 && !target.fallbackName.isEmpty()) fd = OpenFreeName(target.folder, target.fallbackName, outcome_.path);
  if (fd < 0) return Fail(-fd);
  fd_ = fd;
  return true;
}

bool RestoredFile::CreateExactly(const QString& folder, const QString& name) {
  outcome_.path = folder + QLatin1Char('/') + SafeFileName(name);
  const int fd = OpenNewFile(outcome_.path);
  if (fd == -EEXIST) return false;  // an existing file is kept, and that is no failure
  if (fd < 0) return Fail(-fd);
  fd_ = fd;
  return true;
}

bool RestoredFile::Write(const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
    p += n;
    size -= size_t(n);
    outcome_.bytes += n;
  }
  return true;
}

bool RestoredFile::SetModificationTime(uint64_t fileTime) {
  if (fd_ < 0) return false;
  // 100-ns intervals from 1601-01-01 to 1970-01-01.
  constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;
  constexpr int64_t kTicksPerSecond = 10000000;
  if (fileTime > uint64_t(INT64_MAX)) return false;
  const int64_t ticks = int64_t(fileTime) - kUnixEpochAsFileTime;
  int64_t seconds = ticks / kTicksPerSecond, rest = ticks % kTicksPerSecond;
  if (rest < 0) {
    --seconds;
    rest += kTicksPerSecond;
  }
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = time_t(seconds);
  times[1].tv_nsec = long(rest * 100);
  return ::futimens(fd_, times) == 0;
}

void RestoredFile::Close() {
  const bool created = fd_ >= 0;
  if (created) {
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0 && !outcome_.Failed()) Fail(errno);
  }
  if (created && (outcome_.Failed() || outcome_.Stopped())) {
    ::unlink(QFile::encodeName(outcome_.path).constData());
    outcome_.bytes = 0;
  }
}

RestoreOutcome RestoredFile::Finish() {
  const bool created = fd_ >= 0;
  Close();
  if (created && !outcome_.Failed()) outcome_.status = RestoreOutcome::Status::Written;
  return outcome_;
}

RestoreOutcome RestoredFile::FinishStopped() {
  if (fd_ >= 0 && !outcome_.Failed()) outcome_.status = RestoreOutcome::Status::Stopped;
  Close();
  return outcome_;
}

}  // namespace undelvo
