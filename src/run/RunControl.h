#pragma once
#include <functional>
#include <utility>

namespace undelvo {

// The one long task of the program at a time (a scan, a list build, a
// recovery) and the way it is stopped. There is one thread: engines call
// Continue() wherever they let pending events run; the front end's pump
// (the window's event processing, the terminal's Ctrl-C check) may call
// RequestStop(), and the engine ends at that check, keeping what it did.
class RunControl {
 public:
  // What runs where the engines let events through; nothing by default.
  void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }

  // Starts a run: false, and nothing changed, while another run is going.
  bool Begin() {
    if (busy_) return false;
    busy_ = true;
    stopped_ = false;
    return true;
  }
  // Ends the run that Begin() started.
  void End() { busy_ = false; }

  // Stop: the running loop notices it at its next check.
  void RequestStop() {
    if (busy_) stopped_ = true;
    busy_ = false;
  }

  // Lets pending events run (a Stop among them).
  void Pump() {
    if (pump_) pump_();
  }
  // Pump, then whether the run may go on.
  bool Continue() {
    Pump();
    return busy_;
  }
  // True while a run goes on: the window tests it before any handler that
  // could start other work.
  bool Busy() const { return busy_; }
  // Whether the last run was ended by RequestStop().
  bool Stopped() const { return stopped_; }

 private:
  std::function<void()> pump_;
  bool busy_ = false;
  bool stopped_ = false;
};

}  // namespace undelvo
