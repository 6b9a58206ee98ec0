#pragma once
#include <QObject>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace undelvo::ui {

// Tells when block devices come and go (a stick plugged in or pulled out):
// a libudev monitor whose socket the event loop watches. Where the system
// has no udev events (a container), it stays silent.
class DeviceMonitor : public QObject {
  Q_OBJECT
 public:
  explicit DeviceMonitor(QObject* parent = nullptr);
  ~DeviceMonitor() override;
  bool Active() const { return notifier_ != nullptr; }

 signals:
  void changed();

 private:
  void Receive();

  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace undelvo::ui
