#pragma once
#include "app/SingleInstance.h"
#include "run/RunControl.h"
#include "ui/Unit1.h"

namespace undelvo::app {

// What the running window does with a later start's request: "DRestore"
// brings it back from being minimised and to the front and adds the images
// given (unless a run goes on); "DUninstall" stops what runs at its next
// check and ends the application.
void ServeWindow(SingleInstance& instance, ui::TForm1& window, RunControl& run);

}  // namespace undelvo::app
