#include "cli/TerminalSafe.h"

namespace undelvo {

QString TerminalSafe(QString text) {
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) c = QLatin1Char('?');
  }
  return text;
}

}  // namespace undelvo
