#include "settings/LanguageFile.h"

#include <QFile>
#include <QStringList>

#include "settings/LanguageTexts.h"

namespace undelvo {

namespace {

QString IndexKey(const QString& section, const QString& key) {
  return section.trimmed().toCaseFolded() + QLatin1Char('\n') + key.trimmed().toCaseFolded();
}

}  // namespace

void LanguageFile::LoadFromText(const QByteArray& text) {
  texts_.clear();
  QString content = QString::fromUtf8(text);
  if (content.startsWith(QChar(0xFEFF))) content.remove(0, 1);
  QString section;
  bool inSection = false;
  for (const QString& raw : content.split(QLatin1Char('\n'))) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      section = line.mid(1, line.size() - 2);
      inSection = true;
      continue;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (!inSection || eq <= 0) continue;
    const QString key = IndexKey(section, line.left(eq));
    if (!texts_.contains(key)) texts_.insert(key, line.mid(eq + 1).trimmed());
  }
}

const QString* LanguageFile::Find(const QString& section, const QString& key) const {
  const auto it = texts_.constFind(IndexKey(section, key));
  return it == texts_.cend() ? nullptr : &*it;
}

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
  file.Clear();
  QFile f(folder + QLatin1Char('/') + LanguageFileName(langIndex));
  if (f.open(QIODevice::ReadOnly)) file.LoadFromText(f.readAll());
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
