#include "platform/ImageVolumes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <cerrno>
#include <cstring>

#include "platform/FsNames.h"
#include "platform/ImagePartitions.h"

namespace undelvo {

QString ImageLabel(const std::string& image) {
  return QDir::cleanPath(QFileInfo(QString::fromStdString(image)).absoluteFilePath());
}

namespace {

// Why an image that could be read lists no drive: empty, another file
// system, or nothing known at all.
QString NoVolumeText(const std::string& image, uint64_t size, const QStringList& otherSystems) {
  const QString name = QString::fromStdString(image);
  if (size == 0) return QStringLiteral("%1: no FAT or NTFS volume found (the file is empty)").arg(name);
  if (!otherSystems.isEmpty()) {
    QStringList shown = otherSystems;
    shown.replaceInStrings(QRegularExpression(QStringLiteral("^exfat$")), QStringLiteral("exFAT"));
    return QStringLiteral("%1: no FAT or NTFS volume found (%2 is not supported)")
        .arg(name, shown.join(QStringLiteral(", ")));
  }
  return QStringLiteral("%1: no FAT or NTFS volume found (an exFAT, ext4 or other volume is not supported)")
      .arg(name);
}

}  // namespace

std::vector<DriveEntry> ListImageVolumes(const std::string& image, QString* error) {
  std::vector<DriveEntry> out;
  if (error != nullptr) error->clear();
  auto fail = [&](const QString& reason) {
    if (error != nullptr)
      *error = QStringLiteral("cannot open image %1: %2").arg(QString::fromStdString(image), reason);
    return out;
  };
  const QString label = ImageLabel(image);
  const std::string path = label.toStdString();

  // Look before opening: opening a FIFO for reading would wait for a writer.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
  if (S_ISDIR(st.st_mode)) return fail(QString::fromLocal8Bit(std::strerror(EISDIR)));
  if (!S_ISREG(st.st_mode) && !S_ISBLK(st.st_mode))
    return fail(QStringLiteral("not a regular file or block device"));

  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
  const uint64_t size = ContainerSize(fd);
  QStringList otherSystems;  // what the image holds instead, for the message
  for (const VolumeCandidate& v : VolumesInContainer(fd, path, size)) {
    if (!IsScannableFsName(v.fs.fsName)) {
      if (!v.fs.fsName.isEmpty() && !otherSystems.contains(v.fs.fsName)) otherSystems << v.fs.fsName;
      continue;
    }
    DriveEntry e;
    e.fsName = v.fs.fsName;
    e.source.path = path;
    e.source.offset = v.offset;
    e.source.size = v.size;
    e.sourceLabel = v.sourceLabel;
    e.volumeId = v.fs.uuid.isEmpty() ? v.sourceLabel : v.fs.uuid;
    out.push_back(e);
  }
  ::close(fd);
  if (out.empty() && error != nullptr) *error = NoVolumeText(image, size, otherSystems);
  return out;
}

}  // namespace undelvo
