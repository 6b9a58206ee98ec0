#include "platform/FsNames.h"

#include "platform/DriveTable.h"

namespace undelvo {

int FsKindFromName(const QString& fsName) {
  if (fsName == QLatin1String("FAT")) return 16;
  if (fsName == QLatin1String("FAT32")) return 32;
  if (fsName == QLatin1String("NTFS")) return 64;
  return 0;
}

QString FsNameFromKind(int kind) {
  switch (kind) {
    case 16: return QStringLiteral("FAT");
    case 32: return QStringLiteral("FAT32");
    case 64: return QStringLiteral("NTFS");
    default: return {};
  }
}

QString FsNameFromProbe(const QString& type, const QString& version) {
  if (type == QLatin1String("vfat"))
    return version.compare(QLatin1String("FAT32"), Qt::CaseInsensitive) == 0
               ? QStringLiteral("FAT32")
               : QStringLiteral("FAT");
  if (type == QLatin1String("ntfs")) return QStringLiteral("NTFS");
  return type;
}

bool IsScannableFsName(const QString& fsName) { return FsKindFromName(fsName) != 0; }

}  // namespace undelvo
