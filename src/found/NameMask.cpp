#include "found/NameMask.h"

namespace undelvo {

NameMask::NameMask(const QString& mask) : all_(mask == QLatin1String("*.*")) {
  if (!all_)
    re_ = QRegularExpression(QRegularExpression::wildcardToRegularExpression(mask),
                             QRegularExpression::CaseInsensitiveOption);
}

bool NameMask::Matches(const QString& name) const { return all_ || re_.match(name).hasMatch(); }

}  // namespace undelvo
