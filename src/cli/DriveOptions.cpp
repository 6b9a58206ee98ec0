#include "cli/DriveOptions.h"

#include <QFile>

#include "platform/Folders.h"

namespace undelvo {

DriveOptions ParseDriveOptions(const QStringList& args, QStringList& rest) {
  DriveOptions o;
  o.table.settingsFolder = SettingsFolder();
  rest.clear();
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--image")) {
      if (i + 1 >= args.size()) {
        o.error = QStringLiteral("--image needs a file name");
        return o;
      }
      o.table.images.push_back(QFile::encodeName(args[++i]).toStdString());
    } else if (a.startsWith(QLatin1String("--image="))) {
      o.table.images.push_back(QFile::encodeName(a.mid(8)).toStdString());
    } else if (a == QLatin1String("--images-only")) {
      o.table.includeBlockDevices = false;
    } else if (a == QLatin1String("--json")) {
      o.json = true;
    } else {
      rest.append(a);
    }
  }
  return o;
}

}  // namespace undelvo
