#include "platform/MountPoints.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace undelvo {

namespace {

QByteArray ReadSmallFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.read(1 << 20);
}

QString CanonicalOrSelf(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return canonical.isEmpty() ? path : canonical;
}

struct DevNumber {
  unsigned major = 0, minor = 0;
};

// "7:0\n" as sysfs's "dev" attribute gives it.
std::optional<DevNumber> ParseDevNumber(const QByteArray& text) {
  const QList<QByteArray> parts = text.trimmed().split(':');
  if (parts.size() != 2) return std::nullopt;
  bool ok1 = false, ok2 = false;
  DevNumber n{parts[0].toUInt(&ok1), parts[1].toUInt(&ok2)};
  if (!ok1 || !ok2) return std::nullopt;
  return n;
}

// The mount of a device number; a mount of the whole file system ("/") wins
// over a bind mount of one of its folders.
QString MountOfDevice(DevNumber dev, const std::vector<MountRecord>& mounts) {
  QString any;
  for (const MountRecord& m : mounts) {
    if (m.major != dev.major || m.minor != dev.minor) continue;
    if (m.root == QLatin1String("/")) return m.mountPoint;
    if (any.isEmpty()) any = m.mountPoint;
  }
  return any;
}

// The mount whose source names this file or device (FUSE mounts such as
// ntfs-3g keep their own device number and show the device as the source).
QString MountOfSourcePath(const QString& path, const std::vector<MountRecord>& mounts) {
  const QString canonical = CanonicalOrSelf(path);
  for (const MountRecord& m : mounts) {
    if (!m.source.startsWith(QLatin1Char('/')) || m.root != QLatin1String("/")) continue;
    if (m.source == path || CanonicalOrSelf(m.source) == canonical) return m.mountPoint;
  }
  return {};
}

struct LoopDevice {
  DevNumber number;
  QString devnode;  // "/dev/loop0", "/dev/loop0p1"
};

// The loop devices (and their partitions) that show the bytes of path from
// byte offset on.
std::vector<LoopDevice> LoopDevicesOver(const QString& path, uint64_t offset) {
  std::vector<LoopDevice> found;
  const QString canonical = CanonicalOrSelf(path);
  const QDir sysBlock(QStringLiteral("/sys/block"));
  const QStringList loops =
      sysBlock.entryList({QStringLiteral("loop*")}, QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& loop : loops) {
    const QString base = sysBlock.filePath(loop);
    QByteArray backing = ReadSmallFile(base + QStringLiteral("/loop/backing_file"));
    if (backing.endsWith('\n')) backing.chop(1);
    if (backing.isEmpty()) continue;
    const QString backingPath = QFile::decodeName(backing);
    if (backingPath != canonical && backingPath != path) continue;
    bool ok = false;
    const uint64_t loopOffset =
        ReadSmallFile(base + QStringLiteral("/loop/offset")).trimmed().toULongLong(&ok);
    if (!ok || loopOffset > offset) continue;
    if (loopOffset == offset) {
      if (auto n = ParseDevNumber(ReadSmallFile(base + QStringLiteral("/dev"))))
        found.push_back({*n, QStringLiteral("/dev/") + loop});
      continue;
    }
    // Partitions of the loop device (attached with partition scanning).
    const QDir loopDir(base);
    for (const QString& part :
         loopDir.entryList({loop + QStringLiteral("p*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
      const uint64_t start =
          ReadSmallFile(loopDir.filePath(part) + QStringLiteral("/start")).trimmed().toULongLong(&ok);
      if (!ok || start > (UINT64_MAX - loopOffset) / 512) continue;
      if (loopOffset + start * 512 != offset) continue;
      if (auto n = ParseDevNumber(ReadSmallFile(loopDir.filePath(part) + QStringLiteral("/dev"))))
        found.push_back({*n, QStringLiteral("/dev/") + part});
    }
  }
  return found;
}

}  // namespace

QString UnescapeMountField(const QByteArray& field) {
  QByteArray out;
  out.reserve(field.size());
  auto octal = [](char x) { return x >= '0' && x <= '7'; };
  for (qsizetype i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '\\' && i + 3 < field.size() && octal(field[i + 1]) && octal(field[i + 2]) &&
        octal(field[i + 3])) {
      out.append(char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0')));
      i += 3;
      continue;
    }
    out.append(c);
  }
  return QFile::decodeName(out);
}

std::vector<MountRecord> ParseMountInfo(const QByteArray& text) {
  std::vector<MountRecord> mounts;
  for (const QByteArray& line : text.split('\n')) {
    // id parent major:minor root mount-point options [optional fields...] - fstype source super-options
    const QList<QByteArray> f = line.split(' ');
    const qsizetype dash = f.indexOf(QByteArray("-"), 6);
    if (f.size() < 7 || dash < 6 || dash + 2 >= f.size()) continue;
    const auto dev = ParseDevNumber(f[2]);
    if (!dev) continue;
    MountRecord m;
    m.major = dev->major;
    m.minor = dev->minor;
    m.root = UnescapeMountField(f[3]);
    m.mountPoint = UnescapeMountField(f[4]);
    m.fsType = UnescapeMountField(f[dash + 1]);
    m.source = UnescapeMountField(f[dash + 2]);
    mounts.push_back(m);
  }
  return mounts;
}

std::vector<MountRecord> ReadMountTable() {
  return ParseMountInfo(ReadSmallFile(QStringLiteral("/proc/self/mountinfo")));
}

QString MountPointOf(const DriveEntry& drive, const std::vector<MountRecord>& mounts) {
  const QString path = QString::fromStdString(drive.source.path);
  if (path.isEmpty()) return {};
  struct stat st {};
  if (::stat(drive.source.path.c_str(), &st) != 0) return {};
  if (S_ISBLK(st.st_mode) && drive.source.offset == 0) {
    const QString byNumber =
        MountOfDevice({unsigned(major(st.st_rdev)), unsigned(minor(st.st_rdev))}, mounts);
    if (!byNumber.isEmpty()) return byNumber;
  }
  if (drive.source.offset == 0) {
    const QString bySource = MountOfSourcePath(path, mounts);
    if (!bySource.isEmpty()) return bySource;
  }
  for (const LoopDevice& loop : LoopDevicesOver(path, drive.source.offset)) {
    QString viaLoop = MountOfDevice(loop.number, mounts);
    if (viaLoop.isEmpty()) viaLoop = MountOfSourcePath(loop.devnode, mounts);
    if (!viaLoop.isEmpty()) return viaLoop;
  }
  return {};
}

QString MountPointOf(const DriveEntry& drive) { return MountPointOf(drive, ReadMountTable()); }

}  // namespace undelvo
