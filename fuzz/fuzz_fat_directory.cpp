// The FAT folder walk and name rules on a small volume whose boot sector is
// fixed (FAT12, FAT16 or FAT32, chosen by the first input byte) and whose
// allocation table, root folder and data clusters are the rest of the input:
// the quick scan's walk along the folders (paths, long names, loops), the
// deep scan's search for folder clusters and its ".." walk, the clusters a
// restore would read for each file found, and the name, date and cluster
// rules on every 32-byte entry of the input.
#include <QDate>
#include <vector>

#include "FuzzSupport.h"
#include "fat/FatDirectory.h"
#include "fat/RestoreFileFAT.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "scan/AdvancedScanRun.h"
#include "scan/QuickScanRun.h"
#include "volume/FatLayout.h"

using namespace undelvo;

namespace {

constexpr size_t kSectorBytes = 512;
constexpr uint64_t kImageBytes = 64 << 10;

void Put(std::vector<uint8_t>& b, size_t at, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + size_t(i)] = uint8_t(value >> (8 * i));
}

void PutText(std::vector<uint8_t>& b, size_t at, const char* text) {
  for (size_t i = 0; text[i]; ++i) b[at + i] = uint8_t(text[i]);
}

// One sector per cluster, one reserved sector, one FAT of one sector, then a
// fixed root of 32 entries (FAT12/16) or the data area with the root at
// cluster 2 (FAT32). FAT16 claims more sectors than the image holds, since a
// volume of fewer than 4085 clusters is FAT12 whatever it is named.
std::vector<uint8_t> BootSector(int kind) {
  std::vector<uint8_t> b(kSectorBytes, 0);
  Put(b, 0, 0x903CEB, 3);
  PutText(b, 3, "MSWIN4.1");
  Put(b, kFatBootBytesPerSector, kSectorBytes, 2);
  b[kFatBootSectorsPerCluster] = 1;
  Put(b, kFatBootReservedSectors, 1, 2);
  b[kFatBootFatCount] = 1;
  b[21] = 0xF8;  // media: a fixed disk
  if (kind == 32) {
    Put(b, kFatBootTotalSectors32, 70000, 4);
    Put(b, kFatBootSectorsPerFat32, 1, 4);
    Put(b, kFatBootRootCluster, 2, 4);
    PutText(b, kFatBootFat32Type, "FAT32   ");
  } else {
    Put(b, kFatBootRootEntries, 32, 2);
    Put(b, kFatBootSectorsPerFat16, 1, 2);
    if (kind == 12) Put(b, kFatBootTotalSectors16, kImageBytes / kSectorBytes, 2);
    else Put(b, kFatBootTotalSectors32, 8500, 4);
    PutText(b, kFatBootFat16Type, kind == 12 ? "FAT12   " : "FAT16   ");
  }
  Put(b, 510, 0xAA55, 2);
  return b;
}

void EntryRules(const uint8_t* bytes, size_t size, const VolumeContext& volume) {
  EntryNames names;
  const int year = QDate::currentDate().year();
  for (size_t at = 0; at + kDirEntryBytes <= size; at += kDirEntryBytes) {
    const uint8_t* entry = bytes + at;
    if (names.Gather(entry)) continue;
    names.Take(entry);
    const uint16_t date = uint16_t(entry[kDirEntryDate] | entry[kDirEntryDate + 1] << 8);
    const uint16_t time = uint16_t(entry[kDirEntryTime] | entry[kDirEntryTime + 1] << 8);
    PlausibleDateTime(date, time, year);
    FatDateText(date);
    FatLocalTime(date, time);
    EntryFirstCluster(volume, entry);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const int kKinds[3] = {12, 16, 32};
  const int kind = kKinds[data[0] % 3];
  std::vector<uint8_t> image = BootSector(kind);
  image.insert(image.end(), data + 1, data + size);
  const std::string path = fuzz::ScratchPath("fat.img");
  const uint64_t imageBytes = std::max<uint64_t>(kImageBytes, image.size());
  if (!fuzz::WriteImage(path, image.data(), image.size(), imageBytes)) return 0;

  const std::string config = fuzz::ScratchPath("config");
  fuzz::RemoveTree(config);
  UndelvoState state(QString::fromStdString(config + "/registry.reg"));
  state.Program.GeometryCacheFile = QString::fromStdString(config + "/geometry.ini");
  state.Program.Drives.drives.push_back(fuzz::ImageDrive(path, 0, imageBytes));
  fuzz::NullSink sink;

  for (bool deep : {false, true}) {
    AdvancedScanOptions options;
    options.deep = deep;
    const ScanRunResult r = deep ? AdvancedScanRun(state, sink, QStringLiteral("C:"), options)
                                 : QuickScanRun(state, sink, QStringLiteral("C:"));
    if (r.end == ScanRunEnd::CheckFailed) break;
    fuzz::BegunRun run;
    int restored = 0;
    for (const FoundRow& row : AllFoundRows(state.Scan.Found)) {
      if (++restored > 16) break;
      const EntryValue value = ParseEntryValue(row.value);
      RestoreClusters(state.Scan.Volume, state.Scan.Fat, value.locator, value.size, run);
    }
  }
  EntryRules(data + 1, size - 1, state.Scan.Volume);
  return 0;
}
