#pragma once
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

namespace undelvo {

// The content of an INI text: "[Section]" lines and "key=value" lines, the
// value being everything after the first "=". Section and key names compare
// without regard to letter case; blanks around names and values, a leading
// byte-order mark and comment lines (";" or "#") are ignored, and the first of
// duplicate keys wins.
class IniText {
 public:
  void Load(const QByteArray& text);
  // Loads a file; a missing or unreadable file leaves the content empty.
  void LoadFile(const QString& path);
  void Clear();
  bool IsEmpty() const { return values_.isEmpty(); }
  bool HasSection(const QString& section) const;
  // The stored text, or nullptr when the section or key is absent.
  const QString* Find(const QString& section, const QString& key) const;

 private:
  QHash<QString, QString> values_;  // folded "section\nkey" -> value
  QSet<QString> sections_;          // folded section names
};

}  // namespace undelvo
