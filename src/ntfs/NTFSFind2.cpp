#include "ntfs/NTFSFind2.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cstring>

#include "found/EntryValue.h"
#include "found/FileTime.h"
#include "found/NameMask.h"
#include "found/RecordFoundFile.h"
#include "ntfs/AttributeList.h"
#include "ntfs/LoadMFT.h"
#include "ntfs/MftExtents.h"
#include "ntfs/MftRecord.h"
#include "ntfs/Unit0NTFS.h"
#include "platform/MemoryStatus.h"
#include "volume/EngineLimits.h"
#include "volume/LittleEndian.h"
#include "volume/NtfsGeometry.h"
#include "volume/NtfsLayout.h"
#include "volume/ReadSectors.h"

namespace undelvo {

namespace {

constexpr int kProbes = 2000;
constexpr int64_t kBlockClusters = 128;

struct Folder {
  FileReference parent;
  QString name;
  uint16_t sequence = 0;  // the folder record's own, which references to it carry
  bool inUse = false;
};

class DeepScan {
 public:
  DeepScan(const VolumeContext& volume, NtfsState& ntfs, FoundState& found, const QString& nameMask,
           RunControl& run, ProgressSink& progress)
      : volume_(volume), ntfs_(ntfs), found_(found), nameMask_(nameMask), run_(run), progress_(progress) {}

  void Run() {
    const bool sizeKnown = ReadMFTExtents(volume_, ntfs_) && ntfs_.MFTRecordSize > 0;
    if (!sizeKnown) ntfs_.MFTRecordSize = RecordSizeFromBootSector();
    found_.FoundFiles.Clear();
    ntfs_.MFTExtents.clear();
    progress_.Step(StepFindRecords);
    FindZones();
    if (!run_.Continue() || ntfs_.MFTExtents.empty()) return;
    progress_.Step(StepReadRecords);
    if (!ReadZones()) return;
    if (!sizeKnown) RecordSizeFromZones();
    found_.OtherFiles.clear();
    progress_.Step(StepFindFolders);
    CollectFolders();
    if (!run_.Continue()) return;
    progress_.Step(StepFindFiles);
    ListFiles();
  }

 private:
  // Whether a cluster begins with a file record; its first sector tells.
  bool ClusterBeginsRecord(int64_t cluster) {
    scratch_[0] = scratch_[1] = 0;
    if (cluster < 0) return false;
    ReadSectors(volume_, ClusterToSector(volume_, uint64_t(cluster)), scratch_.data(), volume_.BytesPerSector);
    return scratch_[0] == 'F' && scratch_[1] == 'I';
  }

  // Whether a cluster lies in a zone of records: it begins a record, or, on
  // clusters smaller than a record, it lies inside a record that begins up
  // to (record size - cluster size) bytes before it. On clusters of a
  // record's size or more only the cluster's own start is looked at.
  bool ClusterIsRecord(int64_t cluster) {
    for (int64_t back = 0; back < recordClusters_; ++back)
      if (ClusterBeginsRecord(cluster - back)) return true;
    return false;
  }

  // An edge of the zone of record clusters that holds `probe`, found by
  // halving within one probe interval: the zone's first cluster (backwards)
  // or the cluster after its last (forwards). When the cluster one interval
  // away holds a record too, the zone runs on to the next probe, whose own
  // zone joins this one.
  int64_t ZoneEdge(int64_t probe, int64_t interval, bool forwards) {
    int64_t in = probe;
    int64_t out = forwards ? probe + interval : probe - interval;
    if (ClusterIsRecord(out)) return forwards ? out + 1 : out;
    while ((out > in ? out - in : in - out) > 1) {
      if (!run_.Continue()) break;
      const int64_t mid = in + (out - in) / 2;
      (ClusterIsRecord(mid) ? in : out) = mid;
    }
    return forwards ? in + 1 : in;
  }

  void ProbeZone(int64_t probe, int64_t interval) {
    if (!ClusterIsRecord(probe)) return;
    const int64_t start = std::max<int64_t>(0, ZoneEdge(probe, interval, false));
    int64_t end = ZoneEdge(probe, interval, true);
    // The zone begins a record; a zone cut at a probe interval ends in
    // whole records too, so the records of the zones after it stay at their
    // slots once the zones are read one after another.
    if (recordClusters_ > 1) end = start + (end - start + recordClusters_ - 1) / recordClusters_ * recordClusters_;
    if (end > start) ntfs_.MFTExtents.push_back({start, end - start});
  }

  void FindZones() {
    // A volume under 2000 clusters is probed cluster by cluster.
    const int64_t interval = std::max<int64_t>(1, volume_.ClusterCount / kProbes);
    scratch_.assign(size_t(std::max<int32_t>(volume_.BytesPerSector, 2)), 0);
    recordClusters_ = volume_.BytesPerCluster > 0 ? std::max<int64_t>(1, ntfs_.MFTRecordSize / volume_.BytesPerCluster) : 1;
    // Where the boot sector puts the MFT is probed first: a young MFT of a few
    // clusters can lie between two probes. Its first record may be the damaged
    // one, so where the second record begins is probed too.
    for (int64_t probe : {ntfs_.MFTStart, ntfs_.MFTStart + recordClusters_})
      if (ntfs_.MFTStart > 0) ProbeZone(probe, interval);
    for (int s = 1; s <= kProbes; ++s) {
      if (!run_.Continue()) continue;
      progress_.Percent(s * 100 / kProbes);
      if (progress_.Shown() > 95) continue;
      ProbeZone(interval * s, interval);
    }
    MergeZones();
  }

  // A long zone is found piece by piece, one piece per probe inside it, the
  // pieces touching or overlapping. Merged, every record is read, and listed, once.
  void MergeZones() {
    auto& zones = ntfs_.MFTExtents;
    std::sort(zones.begin(), zones.end(), [](const ClusterExtent& a, const ClusterExtent& b) { return a.start < b.start; });
    std::vector<ClusterExtent> merged;
    for (const ClusterExtent& z : zones) {
      if (!merged.empty() && z.start <= merged.back().start + merged.back().length) {
        merged.back().length = std::max(merged.back().length, z.start + z.length - merged.back().start);
      } else {
        merged.push_back(z);
      }
    }
    zones = merged;
  }

  bool ReadZones() {
    const int64_t clusterBytes = volume_.BytesPerCluster;
    auto total = [&] {
      int64_t clusters = 0;
      for (const ClusterExtent& e : ntfs_.MFTExtents) clusters += e.length;
      return clusters * clusterBytes;
    };
    if (total() > MftMemoryBudget(total(), AvailablePhysicalMemory())) ntfs_.MFTExtents.resize(1);
    ntfs_.MFTByteSize = total();
    if (ntfs_.MFTByteSize <= 0) return false;
    ntfs_.MFTBuffer.assign(size_t(ntfs_.MFTByteSize) + kMftSpareBytes, 0);
    ntfs_.Records.Clear();
    int64_t fill = 0;
    const size_t zones = ntfs_.MFTExtents.size();
    for (size_t i = 0; i < zones; ++i) {
      const ClusterExtent& zone = ntfs_.MFTExtents[i];
      run_.Pump();
      if (zones >= 2) progress_.Percent(int(i * 100 / (zones - 1)));
      for (int64_t done = 0; done < zone.length && run_.Busy(); done += kBlockClusters) {
        run_.Pump();
        const int64_t clusters = std::min(kBlockClusters, zone.length - done);
        ReadSectors(volume_, ClusterToSector(volume_, uint64_t(zone.start + done)),
                    ntfs_.MFTBuffer.data() + fill + done * clusterBytes, clusters * clusterBytes);
      }
      fill += zone.length * clusterBytes;
    }
    return true;
  }

  // Without the MFT's own record, the boot sector tells the record size the
  // zones are searched with (4096 bytes on some volumes); 1024 when it holds
  // no usable one.
  int32_t RecordSizeFromBootSector() {
    std::vector<uint8_t> boot(size_t(std::max<int32_t>(volume_.BytesPerSector, 512)), 0);
    if (!ReadSectors(volume_, 0, boot.data(), int64_t(boot.size()))) return 1024;
    const int code = int8_t(boot[kNtfsBootRecordSize]);
    const int64_t bytes = code > 0 ? code * volume_.BytesPerCluster : code >= -16 ? int64_t(1) << -code : 0;
    return bytes >= 512 && bytes <= 65536 && (bytes & (bytes - 1)) == 0 ? int32_t(bytes) : 1024;
  }

  // Without the MFT's own record the record size is read from the first
  // record of the zones (4096-byte records on 4096-byte-sector volumes).
  void RecordSizeFromZones() {
    const uint8_t* buffer = ntfs_.MFTBuffer.data();
    for (int64_t at = 0; at + 512 <= ntfs_.MFTByteSize; at += 512) {
      const uint8_t* r = buffer + at;
      if (std::memcmp(r, kFileRecordSignature, kFileRecordSignatureBytes) != 0) continue;
      const int32_t size = RecordSizeFromUpdateSequence(r, size_t(ntfs_.MFTByteSize - at));
      if (size > 0) ntfs_.MFTRecordSize = size;
      return;
    }
  }

  // Calls visit(record pointer, offset) for each record slot of the zones
  // while the run goes on, with the progress shown. `visit` must not let
  // events run while it holds the pointer.
  template <typename Visit>
  void ForEachSlot(Visit visit) {
    const uint64_t recordSize = uint64_t(ntfs_.MFTRecordSize);
    const uint64_t bytes = uint64_t(ntfs_.MFTByteSize);
    for (uint64_t p = 0; p + recordSize <= bytes; p += recordSize) {
      if (!run_.Continue()) return;
      progress_.Percent(int(p * 100 / bytes));
      visit(ntfs_.MFTBuffer.data() + p, p);
    }
  }

  void CollectFolders() {
    const size_t recordSize = size_t(ntfs_.MFTRecordSize);
    ForEachSlot([&](uint8_t* r, uint64_t) {
      if (r[0] != 'F' || r[1] != 'I' || ReadLE16(r + kRecordFirstAttribute) > recordSize) return;
      if (!ApplyFixup(r, recordSize)) return;
      RecordAttributes attrs;
      if (!WalkAttributes(r, recordSize, attrs) || !attrs.IsDirectory() || !attrs.fileName) return;
      Folder folder;
      if (!ReadFileName(r, recordSize, attrs.fileName, folder.name, folder.parent) || folder.name.isEmpty() ||
          folder.name.startsWith(QLatin1Char('$')) || !RecordSequence(r, recordSize, folder.sequence, folder.inUse))
        return;
      // The record's own number (32 bits at offset 44) is what parent references name.
      const uint32_t number = ReadLE32(r + kRecordNumber);
      if (!folders_.contains(number)) folders_.insert(number, folder);
    });
  }

  // The folder of a file whose parent reference is `parent`, ending in "\";
  // false when a stop cut the walk short.
  bool FolderPath(const FileReference& parent, QString& path) {
    const QString root = volume_.DriveRoot + QLatin1Char('\\');
    uint32_t v = uint32_t(parent.record);
    uint16_t sequence = parent.sequence;
    // Record 5 is the root on every volume, also when no zone read holds it
    // (on 64 KiB clusters it shares the cluster of a damaged record 0).
    if (v == kRootFolderRecord) {
      path = root;
      return true;
    }
    if (!folders_.contains(v)) {
      path = root + QStringLiteral("Folder %1\\").arg(parent.record);
      return true;
    }
    QString built;
    QSet<uint32_t> seen;
    for (int level = 0; level < kMaxFolderLevels && v != kRootFolderRecord; ++level) {
      if (!run_.Continue()) return false;
      const auto it = folders_.constFind(v);
      if (it == folders_.cend() || it->name == QLatin1String(".") || seen.contains(v)) break;
      // A folder record that now holds another folder: mark the gap and stop there.
      if (!ReferenceNamesRecord(sequence, it->sequence, it->inUse)) {
        built.prepend(QStringLiteral("??\\"));
        break;
      }
      seen.insert(v);
      built.prepend(it->name + QLatin1Char('\\'));
      v = uint32_t(it->parent.record);
      sequence = it->parent.sequence;
    }
    path = root + built;
    return true;
  }

  void ListFiles() {
    FoundState& found = found_;
    const size_t recordSize = size_t(ntfs_.MFTRecordSize);
    const NameMask mask(nameMask_);
    FileTimeDates dates;
    auto pump = [&] { run_.Pump(); };
    ForEachSlot([&](uint8_t* r, uint64_t p) {
      if (r[0] != 'F' || r[1] != 'I' || r[2] != 'L') return;
      ++found.ScannedCount;
      if (found.ScannedCount % 10 == 0) progress_.ShowScanned(found.ScannedCount);
      DeletedFileRecord file;
      // Only a record with an attribute list takes the longer way through it.
      if (!ReadDeletedFileRecord(r, recordSize, file) &&
          !(file.attributeList && ReadDeletedFileThroughList(volume_, ntfs_, int64_t(p), file)))
        return;
      QString& name = file.name;
      if (name.isEmpty() || name.startsWith(QLatin1Char('$')) || name.contains(QLatin1String(".tmp"))) return;
      if (const qsizetype eq = name.indexOf(QLatin1Char('=')); eq >= 0) name.remove(eq, 1);
      if (!mask.Matches(name) || file.size == 0) return;
      // The folder walk lets events run: the record is no longer looked at.
      QString path;
      if (!FolderPath(file.parent, path)) return;
      const QString value = JoinEntryValue(QString::number(p), path, dates.ShortDateOf(file.created), file.size);
      RecordFoundFile(found, FoundFileWriter::Ntfs, name, value, pump);
      if (found.FoundCount % 50 == 0) progress_.ShowFound(found.Counters());
    });
  }

  const VolumeContext& volume_;
  NtfsState& ntfs_;
  FoundState& found_;
  const QString nameMask_;
  RunControl& run_;
  ProgressSink& progress_;
  std::vector<uint8_t> scratch_;
  int64_t recordClusters_ = 1;  // clusters a record spans, at least 1
  QHash<uint32_t, Folder> folders_;
};

}  // namespace

void NTFSFind2(const VolumeContext& volume, NtfsState& ntfs, FoundState& found, const QString& nameMask,
               RunControl& run, ProgressSink& progress) {
  DeepScan(volume, ntfs, found, nameMask, run, progress).Run();
}

}  // namespace undelvo
