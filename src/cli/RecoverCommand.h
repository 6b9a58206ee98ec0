#pragma once
#include <QStringList>

namespace undelvo {

// undelvo-cli recover (--drive C: | --image FILE [--drive C:]) --to FOLDER
//                     (--all | --match TEXT) [--json]
int RunRecoverCommand(const QStringList& args);

}  // namespace undelvo
