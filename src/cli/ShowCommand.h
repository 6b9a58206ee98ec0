#pragma once
#include <QStringList>

namespace undelvo {

// undelvo-cli show (--drive C: | --image FILE [--drive C:]) [--deep] [--mask PATTERN] [--name TEXT]
//                  --file NAME [--bytes N]
int RunShowCommand(const QStringList& args);

}  // namespace undelvo
