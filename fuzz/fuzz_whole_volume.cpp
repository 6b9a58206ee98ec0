// A whole volume from the input: the image (padded with zeros to a few MiB)
// goes through the quick scan and the deep scan as the program runs them,
// with the settings in a scratch folder, and after each scan the first files
// found are restored into a scratch save folder under a file-size limit, then
// removed again.
#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

#include "FuzzSupport.h"
#include "found/FoundRows.h"
#include "scan/AdvancedScanRun.h"
#include "scan/QuickScanRun.h"
#include "scan/RecoverRun.h"

using namespace undelvo;

namespace {

constexpr uint64_t kImageBytes = 4 << 20;
constexpr size_t kRestoredRows = 3;
// Restored files stop growing here: a write past it fails (EFBIG), which the
// restore reports as a failed file. The image and libFuzzer's own files are
// smaller.
constexpr rlim_t kFileSizeLimit = 16 << 20;

void Recover(UndelvoState& state, fuzz::NullSink& sink) {
  const std::vector<FoundRow> rows = AllFoundRows(state.Scan.Found);
  if (rows.empty()) return;
  std::vector<bool> selected(rows.size(), false);
  for (size_t i = 0; i < rows.size() && i < kRestoredRows; ++i) selected[i] = true;
  RecoverRun(state, sink, rows, selected);
  fuzz::RemoveTree(state.Program.Config.SaveFolder.toStdString());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::string config = fuzz::ScratchPath("config");
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > kFileSizeLimit)) {
    limit.rlim_cur = kFileSizeLimit;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string image = fuzz::ScratchPath("volume.img");
  const uint64_t imageBytes = std::max<uint64_t>(kImageBytes, size);
  if (!fuzz::WriteImage(image, data, size, imageBytes)) return 0;
  // Nothing of an earlier input may count: settings, statistics and the
  // geometry cache start afresh.
  const std::string config = fuzz::ScratchPath("config");
  fuzz::RemoveTree(config);

  UndelvoState state(QString::fromStdString(config + "/undelvo/registry.reg"));
  state.Program.GeometryCacheFile = QString::fromStdString(config + "/undelvo/Zantero.ini");
  state.Program.Config.SaveFolder = QString::fromStdString(fuzz::ScratchPath("restored"));
  state.Program.Drives.drives.push_back(fuzz::ImageDrive(image, 0, imageBytes));
  fuzz::NullSink sink;

  const ScanRunResult quick = QuickScanRun(state, sink, QStringLiteral("C:"));
  if (quick.end == ScanRunEnd::FilesFound) Recover(state, sink);
  AdvancedScanOptions deep;
  deep.deep = true;
  const ScanRunResult found = AdvancedScanRun(state, sink, QStringLiteral("C:"), deep);
  if (found.end == ScanRunEnd::FilesFound) Recover(state, sink);
  return 0;
}
