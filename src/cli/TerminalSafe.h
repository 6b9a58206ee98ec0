#pragma once
#include <QString>

namespace undelvo {

// Text from a scanned volume made safe to print on a terminal: names may be
// hostile, and control characters (escape sequences) could drive the
// terminal, so every C0 and C1 control character is shown as "?".
QString TerminalSafe(QString text);

}  // namespace undelvo
