#pragma once
#include <QHash>
#include <QString>

namespace undelvo {

// A loaded language file: sections of key/value texts, names compared
// without regard to letter case. Empty when no file could be read.
class LanguageFile {
 public:
  // Parses INI text (UTF-8; a byte-order mark, comment lines starting with
  // ";" or "#", blanks around names and values are tolerated). The value is
  // everything after the first "="; the first of duplicate keys wins.
  void LoadFromText(const QByteArray& text);
  void Clear() { texts_.clear(); }
  bool IsEmpty() const { return texts_.isEmpty(); }
  // The stored text, or nullptr when the section or key is absent.
  const QString* Find(const QString& section, const QString& key) const;

 private:
  QHash<QString, QString> texts_;  // folded "section\nkey" -> value
};

// The file name of a language index: 2 German ... 6 Portuguese, English otherwise.
QString LanguageFileName(int langIndex);

// Loads the chosen language file from `folder`; a missing or unreadable file
// leaves `file` empty, so every text falls back to its English default.
void OpenLanguageFile(LanguageFile& file, int langIndex, const QString& folder);

// The text of section/key, or `englishDefault` when the file lacks it.
QString LangText(const LanguageFile& file, const QString& section, const QString& key,
                 const QString& englishDefault);

// The same with the English default taken from the program's table of texts.
QString LangText(const LanguageFile& file, const char* section, const char* key);

}  // namespace undelvo
