#include "platform/BlockDevices.h"

#include <fcntl.h>
#include <libudev.h>
#include <unistd.h>

#include <QSet>
#include <cerrno>
#include <memory>

#include "platform/FsNames.h"
#include "platform/FsProbe.h"
#include "platform/ImagePartitions.h"

namespace undelvo {

namespace {

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

QString Text(const char* s) { return s != nullptr ? QString::fromUtf8(s) : QString(); }

// What one enumerated block device says about itself.
struct DeviceInfo {
  QString sysname, devtype, devnode, syspath, parentSyspath;
  uint64_t size = 0;
  bool removable = false;
  bool udevKnows = false;  // udev has a database record (it probed the device)
  QString fsType, fsVersion, fsUuid, partTableType;
};

// Devices that never hold a volume to scan (RAM disks), and drives whose probe
// would spin up or wait on a medium (floppies, optical drives): these are
// listed only when udev itself reports a file system on them.
bool NeverListed(const QString& name) {
  return name.startsWith(QLatin1String("ram")) || name.startsWith(QLatin1String("zram"));
}
bool NotProbed(const QString& name) {
  return name.startsWith(QLatin1String("fd")) || name.startsWith(QLatin1String("sr"));
}

bool IsRemovable(udev_device* dev) {
  if (Text(udev_device_get_property_value(dev, "ID_BUS")) == QLatin1String("usb")) return true;
  if (Text(udev_device_get_sysattr_value(dev, "removable")).trimmed() == QLatin1String("1"))
    return true;
  udev_device* disk = udev_device_get_parent_with_subsystem_devtype(dev, "block", "disk");
  return disk != nullptr &&
         Text(udev_device_get_sysattr_value(disk, "removable")).trimmed() == QLatin1String("1");
}

DeviceInfo Describe(udev_device* dev) {
  DeviceInfo info;
  info.sysname = Text(udev_device_get_sysname(dev));
  info.devtype = Text(udev_device_get_devtype(dev));
  info.devnode = Text(udev_device_get_devnode(dev));
  info.syspath = Text(udev_device_get_syspath(dev));
  if (info.devtype == QLatin1String("partition")) {
    udev_device* disk = udev_device_get_parent_with_subsystem_devtype(dev, "block", "disk");
    if (disk != nullptr) info.parentSyspath = Text(udev_device_get_syspath(disk));
  }
  bool ok = false;
  const uint64_t sectors = Text(udev_device_get_sysattr_value(dev, "size")).trimmed().toULongLong(&ok);
  info.size = ok && sectors < (UINT64_MAX >> 9) ? sectors * 512 : 0;
  info.removable = IsRemovable(dev);
  info.udevKnows = udev_device_get_is_initialized(dev) > 0;
  info.fsType = Text(udev_device_get_property_value(dev, "ID_FS_TYPE"));
  info.fsVersion = Text(udev_device_get_property_value(dev, "ID_FS_VERSION"));
  info.fsUuid = Text(udev_device_get_property_value(dev, "ID_FS_UUID"));
  info.partTableType = Text(udev_device_get_property_value(dev, "ID_PART_TABLE_TYPE"));
  return info;
}

DriveEntry MakeEntry(const DeviceInfo& info, const QString& fsName, const QString& uuid,
                     uint64_t offset, uint64_t size, const QString& label) {
  DriveEntry e;
  e.fsName = fsName;
  e.source.path = info.devnode.toStdString();
  e.source.offset = offset;
  e.source.size = size;
  e.sourceLabel = label;
  e.removable = info.removable;
  e.volumeId = uuid.isEmpty() ? label : uuid;
  return e;
}

// The volumes of one device whose file system udev did not name: a partition
// probed whole, or for a disk (which the kernel has not split into
// partitions), each partition of its table or else the whole disk. Nothing
// when the device cannot be read; a device the user may not read is named in
// `refused`.
void ProbeDevice(const DeviceInfo& info, std::vector<DriveEntry>& out, QStringList& refused) {
  const int fd = ::open(info.devnode.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EACCES || errno == EPERM) refused << info.devnode;
    return;
  }
  const uint64_t size = info.size;
  if (info.devtype == QLatin1String("disk")) {
    for (const VolumeCandidate& v : VolumesInContainer(fd, info.devnode.toStdString(), size))
      if (IsScannableFsName(v.fs.fsName))
        out.push_back(MakeEntry(info, v.fs.fsName, v.fs.uuid, v.offset, v.size, v.sourceLabel));
  } else {
    const FsProbeResult fs = ProbeFsAtFd(fd, 0, size);
    if (IsScannableFsName(fs.fsName))
      out.push_back(MakeEntry(info, fs.fsName, fs.uuid, 0, size, info.devnode));
  }
  ::close(fd);
}

}  // namespace

std::vector<DriveEntry> ListBlockDeviceVolumes(QStringList* refused) {
  QStringList refusedHere;
  std::vector<DriveEntry> out;
  UdevPtr<udev> u(udev_new());
  if (!u) return out;
  UdevPtr<udev_enumerate> en(udev_enumerate_new(u.get()));
  if (!en) return out;
  udev_enumerate_add_match_subsystem(en.get(), "block");
  udev_enumerate_scan_devices(en.get());

  std::vector<DeviceInfo> devices;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en.get())) {
    UdevPtr<udev_device> dev(udev_device_new_from_syspath(u.get(), udev_list_entry_get_name(entry)));
    if (dev) devices.push_back(Describe(dev.get()));
  }

  QSet<QString> partitionedDisks;  // disks the kernel shows partitions of
  for (const DeviceInfo& d : devices)
    if (!d.parentSyspath.isEmpty()) partitionedDisks.insert(d.parentSyspath);

  for (const DeviceInfo& d : devices) {
    if (d.devnode.isEmpty() || d.size == 0 || NeverListed(d.sysname)) continue;
    if (!d.fsType.isEmpty()) {
      const QString fsName = FsNameFromProbe(d.fsType, d.fsVersion);
      if (IsScannableFsName(fsName))
        out.push_back(MakeEntry(d, fsName, d.fsUuid, 0, d.size, d.devnode));
      continue;
    }
    // udev probed it and found no file system; only a partition table that the
    // kernel left unsplit is worth reading.
    const bool kernelPartitioned = partitionedDisks.contains(d.syspath);
    if (d.udevKnows && (d.partTableType.isEmpty() || kernelPartitioned)) continue;
    if (!d.udevKnows && kernelPartitioned) continue;  // its partitions are listed on their own
    if (NotProbed(d.sysname)) continue;
    ProbeDevice(d, out, refusedHere);
  }
  if (refused != nullptr) *refused = refusedHere;
  return out;
}

}  // namespace undelvo
