#include "FuzzSupport.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace undelvo::fuzz {

const std::string& ScratchDir() {
  static const std::string dir = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/undelvo-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    return pattern;
  }();
  [[maybe_unused]] static const bool removedAtExit = [] {
    // libFuzzer ends a run with exit(); after a crash the folder stays.
    std::atexit([] { RemoveTree(ScratchDir()); });
    return true;
  }();
  return dir;
}

std::string ScratchPath(const char* name) { return ScratchDir() + "/" + name; }

bool WriteImage(const std::string& path, const uint8_t* data, size_t size, uint64_t padTo) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = true;
  for (size_t done = 0; ok && done < size;) {
    const ssize_t n = ::write(fd, data + done, size - done);
    ok = n > 0;
    if (ok) done += size_t(n);
  }
  if (ok && padTo > size) ok = ::ftruncate(fd, off_t(padTo)) == 0;
  return ::close(fd) == 0 && ok;
}

void RemoveTree(const std::string& path) {
  const QString p = QString::fromStdString(path);
  if (QFileInfo(p).isDir()) QDir(p).removeRecursively();
  else QFile::remove(p);
}

DriveEntry ImageDrive(const std::string& path, uint64_t offset, uint64_t size, const QString& fsName) {
  DriveEntry d;
  d.letter = QStringLiteral("C:");
  d.fsName = fsName;
  d.source = DriveSource{path, offset, size};
  d.sourceLabel = QString::fromStdString(path);
  d.volumeId = QStringLiteral("fuzz");
  return d;
}

void Fail(const char* what) {
  std::fprintf(stderr, "==fuzz== property broken: %s\n", what);
  std::abort();
}

}  // namespace undelvo::fuzz
