#include "ntfs/NTFSFind1.h"

#include "found/EntryValue.h"
#include "found/FileTime.h"
#include "found/NameMask.h"
#include "found/RecordFoundFile.h"
#include "ntfs/LoadMFT.h"
#include "ntfs/MftRecord.h"
#include "ntfs/Unit0NTFS.h"
#include "platform/MemoryStatus.h"
#include "volume/LittleEndian.h"

namespace undelvo {

namespace {

constexpr uint64_t kFirstListedRecord = 28;  // the system's own files come first
constexpr int kPathLimit = 80;               // paths keep their innermost levels up to this length
constexpr int kMaxLevels = 64;

// Names the scan leaves out: blank, system files ("$..."), names without a
// dot, and temporary files (".tmp" in lower case).
bool IsListedName(const QString& name) {
  QString trimmed = name;
  while (!trimmed.isEmpty() && trimmed.front().unicode() <= ' ') trimmed.remove(0, 1);
  while (!trimmed.isEmpty() && trimmed.back().unicode() <= ' ') trimmed.chop(1);
  return !trimmed.isEmpty() && !name.startsWith(QLatin1Char('$')) && name.contains(QLatin1Char('.')) &&
         !name.contains(QLatin1String(".tmp"));
}

class PathBuilder {
 public:
  PathBuilder(NtfsState& ntfs, const QString& driveRoot, const uint8_t& busy, ScanHooks& hooks)
      : ntfs_(ntfs), root_(driveRoot + QLatin1Char('\\')), busy_(busy), hooks_(hooks) {}

  // The folder of a file whose parent is record `parent`, ending in "\";
  // false when the chain is broken (then the file is not listed).
  bool Build(uint64_t parent, QString& path) {
    if (parent == lastParent_ && lastParent_ != 0) {
      path = lastPath_;
      return true;
    }
    QString built;
    uint64_t record = parent;
    const uint64_t recordSize = uint64_t(ntfs_.MFTRecordSize);
    for (int level = 0; level < kMaxLevels; ++level) {
      hooks_.Pump();
      if (!busy_) return false;
      if (record >= uint64_t(ntfs_.MFTByteSize) / recordSize) return false;
      uint8_t* r = ntfs_.MFTBuffer.data() + record * recordSize;
      ApplyFixup(r, size_t(recordSize));
      RecordAttributes attrs;
      if (!WalkAttributes(r, size_t(recordSize), attrs) || attrs.fileName == 0) return false;
      QString name;
      uint64_t next = 0;
      if (!ReadFileName(r, size_t(recordSize), attrs.fileName, name, next)) return false;
      if (!attrs.IsDirectory()) {
        // A parent that is no folder any more: mark the gap and stop there.
        built.prepend(QStringLiteral("??\\"));
        break;
      }
      built.prepend(name + QLatin1Char('\\'));
      if (next <= 5 || name == QLatin1String(".") || name.isEmpty() || built.size() > kPathLimit) break;
      record = next;
    }
    if (built.startsWith(QLatin1Char('\\'))) built.remove(0, 1);
    if (built == QLatin1String(".\\")) built.clear();
    if (!built.contains(root_)) built.prepend(root_);
    built.truncate(built.lastIndexOf(QLatin1Char('\\')) + 1);
    lastParent_ = parent;
    lastPath_ = built;
    path = built;
    return true;
  }

 private:
  NtfsState& ntfs_;
  const QString root_;
  const uint8_t& busy_;
  ScanHooks& hooks_;
  uint64_t lastParent_ = 0;
  QString lastPath_;
};

}  // namespace

void NTFSFind1(UndelvoState& state, ScanHooks& hooks) {
  NtfsState& ntfs = state.Ntfs;
  FoundState& found = state.Found;
  LoadMFT(state.Volume, ntfs, state.Busy, hooks, AvailablePhysicalMemory());
  hooks.Pump();
  if (!state.Busy || ntfs.MFTRecordSize <= 0) {
    hooks.ShowBar(500);
    return;
  }
  found.OtherFiles.clear();
  hooks.ShowBar(0);

  const NameMask mask(state.NameMask);
  PathBuilder paths(ntfs, state.Volume.DriveRoot, state.Busy, hooks);
  const uint64_t recordSize = uint64_t(ntfs.MFTRecordSize);
  const uint64_t mftBytes = uint64_t(ntfs.MFTByteSize);
  auto pump = [&] { hooks.Pump(); };
  FileTimeDates dates;

  for (uint64_t p = recordSize; p + recordSize <= mftBytes; p += recordSize) {
    ++found.ScannedCount;
    const int percent = int(p * 100 / mftBytes);
    if (percent >= 1) {
      hooks.ShowBar(percent * 5);
      hooks.ShowPercent(percent);
    }
    if (found.ScannedCount % 100 == 0) hooks.ShowScanned(found.ScannedCount);
    hooks.Pump();
    if (!state.Busy) break;
    if (p / recordSize < kFirstListedRecord) continue;

    uint8_t* r = ntfs.MFTBuffer.data() + p;
    if (r[0] != 'F' || r[1] != 'I' || (r[22] & 1)) continue;
    // Attribute headers may cross a stride's end: repair the record first.
    if (!ApplyFixup(r, size_t(recordSize))) continue;
    RecordAttributes attrs;
    if (!WalkAttributes(r, size_t(recordSize), attrs) || attrs.IsDirectory() || !attrs.fileName || !attrs.data)
      continue;

    QString name;
    uint64_t parent = 0;
    if (!ReadFileName(r, size_t(recordSize), attrs.fileName, name, parent) || !IsListedName(name)) continue;
    if (const qsizetype eq = name.indexOf(QLatin1Char('=')); eq >= 0) name.remove(eq, 1);
    if (!mask.Matches(name)) continue;

    const int64_t size = DataSize(r, size_t(recordSize), attrs);
    const uint64_t created = CreationTime(r, size_t(recordSize), attrs);

    QString path;
    if (!paths.Build(parent, path)) {
      if (!state.Busy) break;
      continue;
    }
    const QString value = JoinEntryValue(QString::number(p), path, dates.ShortDateOf(created), size);
    RecordFoundFile(found, FoundFileWriter::Ntfs, name, value, pump);
    if (found.FoundCount % 50 == 0) hooks.ShowFound(found);
  }
  hooks.ShowBar(500);
}

}  // namespace undelvo
