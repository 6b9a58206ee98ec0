#include "scan/AssessFoundFiles.h"

#include "fat/FatRecoverability.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "ntfs/NtfsRecoverability.h"

namespace undelvo {

void AssessFoundFiles(ScanState& scan, RunControl& run) {
  FoundState& found = scan.Found;
  found.States.clear();
  const bool ntfs = scan.Volume.FsKind == FsNtfs;
  ClusterBitmap bitmap;
  if (ntfs) LoadClusterBitmap(scan.Volume, scan.Ntfs, bitmap);
  const std::vector<FoundRow> rows = AllFoundRows(found);
  std::vector<FileClusters> clusters(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const QString& value = rows[i].value;
    // The locator leads the value: "R" for a Recycle Bin file, a number otherwise.
    if (value.startsWith(QLatin1Char('R'))) clusters[i].mapped = true;  // a live file: nothing of it is lost
    else if (!ntfs) clusters[i] = FatFileClusters(scan.Volume, scan.Fat, value, run);
    else if (!value.isEmpty() && value.front().isDigit())
      clusters[i] = NtfsFileClusters(scan.Volume, scan.Ntfs, bitmap, LeadingNumber(value));
  }
  const std::vector<Recoverability> states = StatesFromClusters(clusters);
  found.States.reserve(qsizetype(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) found.States.insert(rows[i].value, states[i]);
}

}  // namespace undelvo
