#include "platform/DriveTable.h"

#include <QSet>

#include "platform/BlockDevices.h"
#include "platform/DriveLetters.h"
#include "platform/Folders.h"
#include "platform/ImageVolumes.h"
#include "platform/MountPoints.h"

namespace undelvo {

const DriveEntry* DriveTable::Find(const QString& drive) const {
  QString name = drive.trimmed();
  if (name.size() == 3 && (name[2] == QLatin1Char('\\') || name[2] == QLatin1Char('/'))) name.chop(1);
  if (name.size() != 2 || name[1] != QLatin1Char(':')) return nullptr;
  for (const DriveEntry& d : drives)
    if (!d.letter.isEmpty() && d.letter.compare(name, Qt::CaseInsensitive) == 0) return &d;
  return nullptr;
}

DriveTable BuildDriveTable(const DriveTableOptions& options) {
  DriveTable table;
  std::vector<DriveEntry> volumes;
  // Devices first, so that on a first run the machine's own volumes take the
  // first letters.
  if (options.includeBlockDevices) volumes = ListBlockDeviceVolumes(&table.refusedDevices);

  QSet<QString> seenImages;  // the same image given twice is listed once
  for (const std::string& image : options.images) {
    const QString label = ImageLabel(image);
    if (seenImages.contains(label)) continue;
    seenImages.insert(label);
    QString error;
    std::vector<DriveEntry> found = ListImageVolumes(image, &error);
    if (!error.isEmpty()) table.errors << error;
    for (DriveEntry& e : found) volumes.push_back(std::move(e));
  }

  const QString folder =
      options.settingsFolder.isEmpty() ? SettingsFolder() : options.settingsFolder;
  GiveDriveLetters(volumes, folder, table.notes);

  const std::vector<MountRecord> mounts = ReadMountTable();
  for (DriveEntry& e : volumes) e.mountPoint = MountPointOf(e, mounts);
  table.drives = std::move(volumes);
  return table;
}

}  // namespace undelvo
