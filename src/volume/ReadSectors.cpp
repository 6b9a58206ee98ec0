#include "volume/ReadSectors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/DriveTable.h"

namespace undelvo {

namespace {

// Reads the whole range in pieces; false on an error or an early end of file.
bool ReadFully(int fd, char* out, uint64_t position, uint64_t count) {
  constexpr uint64_t kPiece = uint64_t(1) << 30;
  while (count > 0) {
    const size_t want = size_t(count < kPiece ? count : kPiece);
    const ssize_t n = ::pread(fd, out, want, off_t(position));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out += n;
    position += uint64_t(n);
    count -= uint64_t(n);
  }
  return true;
}

bool ReadFromSource(const DriveSource& source, uint64_t position, char* out, uint64_t count) {
  if (position > source.size || count > source.size - position) return false;
  if (source.offset > UINT64_MAX - source.size) return false;
  const int fd = ::open(source.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ReadFully(fd, out, source.offset + position, count);
  ::close(fd);
  return ok;
}

}  // namespace

bool ReadSectors(const VolumeContext& volume, uint64_t sector, void* buffer, int64_t byteCount) {
  if (byteCount <= 0) return byteCount == 0;
  // The buffer is zeroed only on failure: touching a large buffer twice would
  // cost as much as the read itself.
  const DriveEntry* drive =
      volume.BytesPerSector > 0 && volume.Drives != nullptr ? volume.Drives->Find(volume.DriveRoot) : nullptr;
  const uint64_t bps = uint64_t(volume.BytesPerSector);
  if (drive != nullptr && sector <= UINT64_MAX / bps &&
      ReadFromSource(drive->source, sector * bps, static_cast<char*>(buffer), uint64_t(byteCount)))
    return true;
  std::memset(buffer, 0, size_t(byteCount));
  return false;
}

bool ReadBootSector(VolumeContext& volume, std::vector<uint8_t>& boot) {
  for (int k = 1; k <= 8; ++k) {
    volume.BytesPerSector = 512 * k;
    boot.assign(size_t(volume.BytesPerSector), 0);
    if (ReadSectors(volume, 0, boot.data(), volume.BytesPerSector)) return true;
  }
  return false;
}

bool SourceAccessDenied(const VolumeContext& volume) {
  const DriveEntry* drive = volume.Drives ? volume.Drives->Find(volume.DriveRoot) : nullptr;
  if (drive == nullptr) return false;
  const int fd = ::open(drive->source.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return errno == EACCES || errno == EPERM;
}

void AppendSectors(const VolumeContext& volume, int64_t sector, int64_t bytes, QByteArray& out) {
  const qsizetype at = out.size();
  const int64_t bps = std::max<int64_t>(1, volume.BytesPerSector);
  const int64_t whole = (bytes + bps - 1) / bps * bps;
  out.resize(at + qsizetype(whole));
  if (sector < 0) std::memset(out.data() + at, 0, size_t(whole));
  else ReadSectors(volume, uint64_t(sector), out.data() + at, whole);  // zeros when unreadable
  out.resize(at + qsizetype(bytes));
}

}  // namespace undelvo
