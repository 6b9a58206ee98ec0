#pragma once
#include <QRegularExpression>
#include <QString>

namespace undelvo {

// A file-name pattern: "*" any run of characters, "?" one character,
// brackets a set; letters compare without case. "*.*" lets every name pass.
class NameMask {
 public:
  explicit NameMask(const QString& mask = QStringLiteral("*.*"));
  bool Matches(const QString& name) const;
  bool PassesAll() const { return all_; }

 private:
  bool all_ = true;
  QRegularExpression re_;
};

}  // namespace undelvo
