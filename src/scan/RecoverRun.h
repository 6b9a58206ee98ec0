#pragma once
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "found/FoundRows.h"
#include "found/Recoverability.h"
#include "found/SaveFile.h"
#include "run/ProgressSink.h"
#include "scan/UndelvoState.h"

namespace undelvo {

// Copies a file still in the Recycle Bin into `saveFolder` under its own
// name. Not restorable when the source is gone or a file of that name exists
// (it is never replaced); Failed when the copy cannot be written, and then
// the half copy is removed.
RestoreOutcome CopyRecycleBinFile(const QString& sourcePath, const QString& saveFolder);

// One selected row and what became of it.
struct RecoveredRow {
  size_t row = 0;  // index into the rows handed to the run
  QString name;    // the row's name
  QString sourcePath;  // the folder the scan showed it in (a Recycle Bin file's own path)
  RestoreOutcome outcome;
  Recoverability state;  // what the scan told of the file's clusters
  // Written in a state other than good: its contents may be damaged.
  bool MayBeDamaged() const { return outcome.Written() && state.state != RecoverState::Good; }
};

enum class RecoverRunEnd {
  AlreadyRunning,  // another run was going on; nothing was done
  NoRows,          // the list is empty: nothing happens
  NoSelection,     // "No files selected!"
  NoSaveFolder,    // "Folder to save restored files does not exists!": nothing written
  Ran,             // the rows were restored (up to a stop): "N file(s) restored!"
};

struct RecoverRunResult {
  RecoverRunEnd end = RecoverRunEnd::NoRows;
  QString message;        // for the user, from the language file; empty for NoRows
  int32_t restored = 0;   // files written
  int32_t mayBeDamaged = 0;  // of them, those written in a state other than good
  int32_t failed = 0;     // files that could not be written whole (removed again)
  int error = 0;          // NoSaveFolder: the system's error number
  std::vector<RecoveredRow> rows;  // every selected row the run came to, in order
  bool stopped = false;   // a Stop let the remaining rows pass
};

// "N file(s) restored!", the line that ends a recovery, with " M of them may
// be damaged." when some were written in a state other than good.
QString FilesRestoredText(const LanguageFile& lang, int32_t restored, int32_t mayBeDamaged = 0);

// The checks before the user is asked to confirm: rows, a selection.
// `selected` runs parallel to `rows`.
std::optional<RecoverRunResult> CheckRecoverSelection(const UndelvoState& state, const std::vector<FoundRow>& rows,
                                                      const std::vector<bool>& selected);

// Restores the selected `rows` (found by the last scan of the current drive)
// into Config.SaveFolder, created when missing: Recycle Bin rows are copied,
// the others written by the engine of the volume's file system. The progress
// is the rounded percentage of rows passed (all rows count) before each row;
// a Stop lets the remaining rows pass, and a file it cuts short is removed.
// A row that cannot be written whole is removed again, reported in its
// outcome and counted as failed; the run goes on with the next. Each row
// carries the state the scan gave its file, and the files written in a state
// other than good are counted apart. The files restored are added to the
// statistic "nRecovered".
struct RecoverRunOptions {
  // Each file goes into the folder the scan showed it in, below the save
  // folder (made safe component by component), instead of the save folder
  // itself: files of one name from different folders stay apart.
  bool keepFolders = false;
};

RecoverRunResult RecoverRun(UndelvoState& state, ProgressSink& progress, const std::vector<FoundRow>& rows,
                            const std::vector<bool>& selected, const RecoverRunOptions& options = {});

}  // namespace undelvo
