#include "cli/JsonText.h"

namespace undelvo {

QByteArray JsonString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  QByteArray out;
  out.reserve(utf8.size() + 2);
  out.append('"');
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out.append('\\').append(char(c));
    } else if (c < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out.append("\\u00").append(kHex[c >> 4]).append(kHex[c & 15]);
    } else {
      out.append(char(c));
    }
  }
  out.append('"');
  return out;
}

}  // namespace undelvo
