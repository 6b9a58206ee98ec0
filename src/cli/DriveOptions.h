#pragma once
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/DriveTable.h"

namespace undelvo {

// The options every command shares for choosing drives.
struct DriveOptions {
  DriveTableOptions table;
  bool json = false;
  QString error;  // set when the arguments are unusable
};

// Takes --image FILE (repeatable), --images-only and --json out of args;
// leaves the rest in `rest` for the command's own options.
DriveOptions ParseDriveOptions(const QStringList& args, QStringList& rest);

}  // namespace undelvo
