#pragma once
#include <QDateTime>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace undelvo {

// Where and under which name a found file is restored.
struct RestoreTarget {
  RestoreTarget(QString folder_, QString name_, QString fallbackName_ = {})
      : folder(std::move(folder_)), name(std::move(name_)), fallbackName(std::move(fallbackName_)) {}
  QString folder;        // the save folder (created when missing)
  QString name;          // the found file's name
  QString fallbackName;  // tried when the folder rejects `name` ("File7" for row 7); may be empty
};

// What became of one restore.
struct RestoreOutcome {
  enum class Status {
    Written,        // the file was written whole (or up to a stop)
    NotRestorable,  // nothing to write: no data on record, a name that exists (a Recycle Bin copy)
    Failed,         // the file could not be created or written whole: `error` says why; what was
                    // written of it is removed again
    Stopped,        // a Stop came before the file was written whole: what was written is removed
  };
  Status status = Status::NotRestorable;
  QString path;       // the file created (also when writing it failed, though it is gone then)
  int64_t bytes = 0;  // bytes written
  int error = 0;      // the system's error number when Failed

  bool Written() const { return status == Status::Written; }
  bool Failed() const { return status == Status::Failed; }
  bool Stopped() const { return status == Status::Stopped; }
};

// A found file's name made safe as one component of a path: "/" and NUL
// become "_", and "." and ".." get a "_" in front.
QString SafeFileName(const QString& name);

// Makes `folder` and every missing folder above it, like `mkdir -p`; false
// with the system's error number in `error` when it cannot (a file in the
// way, no permission, a full disk).
bool MakeSaveFolder(const QString& folder, int& error);

// The folder below `saveFolder` that keeps a found file's folder as the scan
// shows it ("C:\docs\old\" gives saveFolder/docs/old): the drive is
// dropped and each component is made safe as a restored name is, so the
// result never leaves `saveFolder`.
QString KeptFolder(const QString& saveFolder, const QString& shownFolder);

// Makes the folders of `folder` below the existing `saveFolder` one by one,
// refusing to pass through a link (a link there could lead the restore out
// of the save folder); false with the error number otherwise.
bool MakeKeptFolder(const QString& saveFolder, const QString& folder, int& error);

// Sets the modification time of the file at `path` (not following a link),
// leaving its access time; false when the time is invalid or the system
// refuses.
bool SetFileModificationTime(const QString& path, const QDateTime& time);

// A restored file: created new in the save folder, written in pieces, closed.
// Never replaces an existing file or follows a link.
class RestoredFile {
 public:
  RestoredFile() = default;
  RestoredFile(const RestoredFile&) = delete;
  RestoredFile& operator=(const RestoredFile&) = delete;
  ~RestoredFile();

  // Creates target.name in the folder (made when missing), else
  // base(1)ext, base(2)ext ... with base the text before the name's first
  // "."; when the name cannot be created at all, the fallback name the same way.
  bool Create(const RestoreTarget& target);
  // Creates `name` (made safe) in the existing `folder` and nothing else:
  // false when a file of that name exists (then NotRestorable) or it cannot
  // be created (Failed).
  bool CreateExactly(const QString& folder, const QString& name);
  // Bytes written so far.
  int64_t Bytes() const { return outcome_.bytes; }
  // Appends all of `size` bytes; false on a write error (a full disk).
  bool Write(const void* data, size_t size);
  // Sets the open file's modification time to a file time (100 ns since
  // 1601-01-01 UTC); the access time is left as it is. False when the
  // system refuses, which does not make the restore fail.
  bool SetModificationTime(uint64_t fileTime);
  // Closes the file and tells how the restore went. A file that could not
  // be written whole is removed again: a truncated or empty file in the save
  // folder would pass for a restored one.
  RestoreOutcome Finish();
  // Closes and removes a file that a Stop cut short.
  RestoreOutcome FinishStopped();

 private:
  bool Fail(int error);
  void Close();

  int fd_ = -1;
  RestoreOutcome outcome_;
};

}  // namespace undelvo
