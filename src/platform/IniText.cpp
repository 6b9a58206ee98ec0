#include "platform/IniText.h"

#include <QFile>
#include <QStringList>

namespace undelvo {

namespace {

QString Fold(const QString& name) { return name.trimmed().toCaseFolded(); }

}  // namespace

void IniText::Clear() {
  values_.clear();
  sections_.clear();
}

void IniText::Load(const QByteArray& text) {
  Clear();
  QString content = QString::fromUtf8(text);
  if (content.startsWith(QChar(0xFEFF))) content.remove(0, 1);
  QString section;
  bool inSection = false;
  for (const QString& raw : content.split(QLatin1Char('\n'))) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      section = Fold(line.mid(1, line.size() - 2));
      sections_.insert(section);
      inSection = true;
      continue;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (!inSection || eq <= 0) continue;
    const QString key = section + QLatin1Char('\n') + Fold(line.left(eq));
    if (!values_.contains(key)) values_.insert(key, line.mid(eq + 1).trimmed());
  }
}

void IniText::LoadFile(const QString& path) {
  QFile f(path);
  if (f.open(QIODevice::ReadOnly)) Load(f.readAll());
  else Clear();
}

bool IniText::HasSection(const QString& section) const { return sections_.contains(Fold(section)); }

const QString* IniText::Find(const QString& section, const QString& key) const {
  const auto it = values_.constFind(Fold(section) + QLatin1Char('\n') + Fold(key));
  return it == values_.cend() ? nullptr : &*it;
}

}  // namespace undelvo
