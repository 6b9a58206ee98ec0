#pragma once
#include <QStringList>

namespace undelvo {

// undelvo-cli scan (--drive C: | --image FILE [--drive C:]) [--deep] [--mask PATTERN] [--name TEXT]
//                  [--categories] [--json]
int RunScanCommand(const QStringList& args);

}  // namespace undelvo
