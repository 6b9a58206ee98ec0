#include "ui/DeviceMonitor.h"

#include <QSocketNotifier>
#include <libudev.h>

namespace undelvo::ui {

DeviceMonitor::DeviceMonitor(QObject* parent) : QObject(parent) {
  udev_ = udev_new();
  if (udev_ == nullptr) return;
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ == nullptr || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "block", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0)
    return;
  const int fd = udev_monitor_get_fd(monitor_);
  if (fd < 0) return;
  notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &DeviceMonitor::Receive);
}

DeviceMonitor::~DeviceMonitor() {
  delete notifier_;
  if (monitor_) udev_monitor_unref(monitor_);
  if (udev_) udev_unref(udev_);
}

void DeviceMonitor::Receive() {
  // Drain every pending event; one change of the lists covers them all.
  bool any = false;
  while (udev_device* device = udev_monitor_receive_device(monitor_)) {
    udev_device_unref(device);
    any = true;
  }
  if (any) emit changed();
}

}  // namespace undelvo::ui
