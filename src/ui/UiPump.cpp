#include "ui/UiPump.h"

#include <QCoreApplication>
#include <algorithm>

namespace undelvo::ui {

UiPump::UiPump(RunControl& run, int intervalMs) : run_(run), intervalMs_(intervalMs) {
  sinceEvents_.start();
  run_.SetPump([this] { Pump(); });
}

UiPump::~UiPump() { run_.SetPump({}); }

void UiPump::Pump() {
  const qint64 elapsed = sinceEvents_.elapsed();
  if (elapsed < intervalMs_) return;
  longestGapMs_ = std::max(longestGapMs_, elapsed);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  sinceEvents_.restart();
}

}  // namespace undelvo::ui
