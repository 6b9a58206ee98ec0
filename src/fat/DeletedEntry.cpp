#include "fat/DeletedEntry.h"

#include "fat/FatDirectory.h"
#include "found/EntryValue.h"
#include "found/RecordFoundFile.h"
#include "volume/FatLayout.h"
#include "volume/LittleEndian.h"

namespace undelvo {

bool RecordDeletedFatFile(const VolumeContext& volume, FatState& fat, FoundState& found, RunControl& run, const uint8_t* entry,
                          const QString& name, const QString& folder, int latestYear) {
  const uint16_t date = ReadLE16(entry + kDirEntryDate);
  const uint16_t time = ReadLE16(entry + kDirEntryTime);
  const int64_t size = ReadLE32(entry + kDirEntrySize);
  const int64_t first = EntryFirstCluster(volume, entry);
  if (!PlausibleDateTime(date, time, latestYear) || size == 0 || first > volume.ClusterCount)
    return false;
  const QString value = JoinEntryValue(QString::number(first), folder, FatDateText(date), size);
  fat.EntryTimes.insert(value, FatWriteTime{date, time, ReadLE16(entry + kDirEntryCreatedDate),
                                             ReadLE16(entry + kDirEntryCreatedTime)});
  RecordFoundFile(found, FoundFileWriter::Fat, name, value, [&] { run.Pump(); });
  return true;
}

}  // namespace undelvo
