#pragma once
#include <QStringList>

namespace undelvo {

// undelvo-cli drives [--image FILE]... [--images-only] [--json]
int RunDrivesCommand(const QStringList& args);

}  // namespace undelvo
