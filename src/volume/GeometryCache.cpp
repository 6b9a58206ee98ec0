#include "volume/GeometryCache.h"

#include <QFile>
#include <QStringList>

#include "found/EntryValue.h"
#include "platform/AtomicFile.h"
#include "platform/Folders.h"
#include "platform/IniText.h"

namespace undelvo {

namespace {

int64_t Number(const IniText& ini, const QString& section, const char* key) {
  const QString* v = ini.Find(section, QLatin1String(key));
  return v ? LeadingNumber(*v) : 0;
}

// The file's lines without the section named `drive`.
QStringList LinesWithoutSection(const QByteArray& text, const QString& drive) {
  QStringList kept;
  bool skipping = false;
  for (const QString& line : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
      skipping = t.mid(1, t.size() - 2).trimmed().compare(drive, Qt::CaseInsensitive) == 0;
    if (!skipping && !t.isEmpty()) kept << line;
  }
  return kept;
}

}  // namespace

QString BootSectorChecksum(const uint8_t* boot, size_t size) {
  constexpr size_t kBootSectorBytes = 512;
  if (size < kBootSectorBytes) return {};
  uint64_t hash = 0xCBF29CE484222325ULL;
  for (size_t i = 0; i < kBootSectorBytes; ++i) hash = (hash ^ boot[i]) * 0x100000001B3ULL;
  return QStringLiteral("%1").arg(hash, 16, 16, QLatin1Char('0'));
}

QString DefaultGeometryCacheFile() { return SettingsFolder() + QStringLiteral("/Zantero.ini"); }

bool ReadCachedGeometry(const QString& file, const QString& drive, CachedGeometry& out) {
  IniText ini;
  ini.LoadFile(file);
  if (!ini.HasSection(drive)) return false;
  out.SectorPerCluster = Number(ini, drive, "SectorPerCluster");
  out.BytesPerCluster = Number(ini, drive, "BytesPerCluster");
  out.SectorCount = Number(ini, drive, "SectorCount");
  out.MFTStart = Number(ini, drive, "MFTStart");
  out.BytesPerSector = Number(ini, drive, "BytesPerSector");
  out.ClusterCount = Number(ini, drive, "ClusterCount");
  const QString* id = ini.Find(drive, QStringLiteral("VolumeId"));
  out.VolumeId = id ? *id : QString();
  const QString* checksum = ini.Find(drive, QStringLiteral("BootChecksum"));
  out.BootChecksum = checksum ? *checksum : QString();
  return true;
}

bool WriteCachedGeometry(const QString& file, const QString& drive, const CachedGeometry& g) {
  CachedGeometry existing;
  if (ReadCachedGeometry(file, drive, existing) && existing.MadeFrom(g.VolumeId, g.BootChecksum)) return true;
  QByteArray old;
  {
    QFile f(file);
    if (f.open(QIODevice::ReadOnly)) old = f.readAll();
  }
  QStringList lines = LinesWithoutSection(old, drive);
  lines << QStringLiteral("[%1]").arg(drive)
        << QStringLiteral("SectorPerCluster=%1").arg(g.SectorPerCluster)
        << QStringLiteral("BytesPerCluster=%1").arg(g.BytesPerCluster)
        << QStringLiteral("SectorCount=%1").arg(g.SectorCount)
        << QStringLiteral("MFTStart=%1").arg(g.MFTStart)
        << QStringLiteral("BytesPerSector=%1").arg(g.BytesPerSector)
        << QStringLiteral("ClusterCount=%1").arg(g.ClusterCount)
        << QStringLiteral("VolumeId=%1").arg(g.VolumeId)
        << QStringLiteral("BootChecksum=%1").arg(g.BootChecksum);
  return WriteFileAtomically(file, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

}  // namespace undelvo
