#pragma once
#include <QString>

#include "platform/IniText.h"

namespace undelvo {

// A loaded language file: sections of key/value texts, names compared
// without regard to letter case. Empty when no file could be read.
class LanguageFile {
 public:
  // Parses INI text in UTF-8 (the rules of IniText).
  void LoadFromText(const QByteArray& text) { texts_.Load(text); }
  void LoadFromFile(const QString& path) { texts_.LoadFile(path); }
  void Clear() { texts_.Clear(); }
  bool IsEmpty() const { return texts_.IsEmpty(); }
  // The stored text, or nullptr when the section or key is absent.
  const QString* Find(const QString& section, const QString& key) const { return texts_.Find(section, key); }

 private:
  IniText texts_;
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
