#include "app/ServeWindow.h"

#include <QCoreApplication>

namespace undelvo::app {

void ServeWindow(SingleInstance& instance, ui::TForm1& window, RunControl& run) {
  QObject::connect(&instance, &SingleInstance::restoreRequested, &window, [&window](const QStringList& images) {
    window.Restore();
    if (!images.isEmpty()) window.AddImages(images);
  });
  QObject::connect(&instance, &SingleInstance::uninstallRequested, &window, [&run] {
    run.RequestStop();
    QCoreApplication::exit(0);  // also ends a dialog's event loop
  });
}

}  // namespace undelvo::app
