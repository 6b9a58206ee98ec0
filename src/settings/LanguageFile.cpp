#include "settings/LanguageFile.h"

#include "settings/LanguageTexts.h"

namespace undelvo {

QString LanguageFileName(int langIndex) {
  switch (langIndex) {
    case 2: return QStringLiteral("German.ini");
    case 3: return QStringLiteral("French.ini");
    case 4: return QStringLiteral("Spanish.ini");
    case 5: return QStringLiteral("Italian.ini");
    case 6: return QStringLiteral("Portuguese.ini");
    default: return QStringLiteral("English.ini");
  }
}

void OpenLanguageFile(LanguageFile& file, int langIndex, const QString& folder) {
  file.LoadFromFile(folder + QLatin1Char('/') + LanguageFileName(langIndex));
}

QString LangText(const LanguageFile& file, const QString& section, const QString& key,
                 const QString& englishDefault) {
  const QString* text = file.Find(section, key);
  return text ? *text : englishDefault;
}

QString LangText(const LanguageFile& file, const char* section, const char* key) {
  const char* english = EnglishDefault(section, key);
  return LangText(file, QString::fromUtf8(section), QString::fromUtf8(key),
                  english ? QString::fromUtf8(english) : QString::fromUtf8(key));
}

}  // namespace undelvo
