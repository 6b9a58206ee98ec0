#include "ntfs/NTFSFind1.h"

#include "found/EntryValue.h"
#include "found/FileTime.h"
#include "found/NameMask.h"
#include "found/RecordFoundFile.h"
#include "ntfs/AttributeList.h"
#include "ntfs/LoadMFT.h"
#include "ntfs/MftRecord.h"
#include "ntfs/Unit0NTFS.h"
#include "platform/MemoryStatus.h"
#include "volume/EngineLimits.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsLayout.h"

namespace undelvo {

namespace {

constexpr uint64_t kFirstListedRecord = 28;  // the system's own files come first
constexpr int kPathLimit = 80;               // paths keep their innermost levels up to this length

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
  PathBuilder(NtfsState& ntfs, const QString& driveRoot, RunControl& run)
      : ntfs_(ntfs), root_(driveRoot + QLatin1Char('\\')), run_(run) {}

  // The folder of a file whose parent reference is `parent`, ending in "\";
  // false when the chain is broken (then the file is not listed) or the run
  // was stopped.
  bool Build(const FileReference& parent, QString& path) {
    if (parent == lastParent_ && lastParent_.record != 0) {
      path = lastPath_;
      return true;
    }
    QString built;
    FileReference reference = parent;
    const uint64_t recordSize = uint64_t(ntfs_.MFTRecordSize);
    for (int level = 0; level < kMaxFolderLevels; ++level) {
      if (!run_.Continue()) return false;
      if (reference.record >= uint64_t(ntfs_.MFTByteSize) / recordSize) return false;
      uint8_t* r = ntfs_.MFTBuffer.data() + reference.record * recordSize;
      ApplyFixup(r, size_t(recordSize));
      RecordAttributes attrs;
      if (!WalkAttributes(r, size_t(recordSize), attrs) || attrs.fileName == 0) return false;
      QString name;
      FileReference next;
      if (!ReadFileName(r, size_t(recordSize), attrs.fileName, name, next)) return false;
      uint16_t sequence = 0;
      bool inUse = false;
      // A parent that is no folder any more, or whose record now holds
      // another file or folder: mark the gap and stop there.
      if (!attrs.IsDirectory() || !RecordSequence(r, size_t(recordSize), sequence, inUse) ||
          !ReferenceNamesRecord(reference.sequence, sequence, inUse)) {
        built.prepend(QStringLiteral("??\\"));
        break;
      }
      built.prepend(name + QLatin1Char('\\'));
      if (next.record <= kRootFolderRecord || name == QLatin1String(".") || name.isEmpty() || built.size() > kPathLimit)
        break;
      reference = next;
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
  RunControl& run_;
  FileReference lastParent_;
  QString lastPath_;
};

}  // namespace

void NTFSFind1(const VolumeContext& volume, NtfsState& ntfs, FoundState& found, const QString& nameMask,
               RunControl& run, ProgressSink& progress) {
  LoadMFT(volume, ntfs, run, progress, AvailablePhysicalMemory());
  if (!run.Continue() || ntfs.MFTRecordSize <= 0) return;
  found.OtherFiles.clear();
  progress.Reset();

  const NameMask mask(nameMask);
  PathBuilder paths(ntfs, volume.DriveRoot, run);
  const uint64_t recordSize = uint64_t(ntfs.MFTRecordSize);
  const uint64_t mftBytes = uint64_t(ntfs.MFTByteSize);
  auto pump = [&] { run.Pump(); };
  FileTimeDates dates;

  for (uint64_t p = recordSize; p + recordSize <= mftBytes; p += recordSize) {
    ++found.ScannedCount;
    progress.Percent(int(p * 100 / mftBytes));
    if (found.ScannedCount % 100 == 0) progress.ShowScanned(found.ScannedCount);
    if (!run.Continue()) break;
    if (p / recordSize < kFirstListedRecord) continue;

    DeletedFileRecord file;
    // Only a record with an attribute list takes the longer way through it.
    if (!ReadDeletedFileRecord(ntfs.MFTBuffer.data() + p, size_t(recordSize), file) &&
        !(file.attributeList && ReadDeletedFileThroughList(volume, ntfs, int64_t(p), file)))
      continue;
    if (!IsListedName(file.name)) continue;
    QString& name = file.name;
    if (const qsizetype eq = name.indexOf(QLatin1Char('=')); eq >= 0) name.remove(eq, 1);
    if (!mask.Matches(name)) continue;

    QString path;
    if (!paths.Build(file.parent, path)) {
      if (!run.Busy()) break;
      continue;
    }
    const QString value = JoinEntryValue(QString::number(p), path, dates.ShortDateOf(file.created), file.size);
    RecordFoundFile(found, FoundFileWriter::Ntfs, name, value, pump);
    if (found.FoundCount % 50 == 0) progress.ShowFound(found.Counters());
  }
}

}  // namespace undelvo
