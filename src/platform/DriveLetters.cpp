#include "platform/DriveLetters.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>

#include "platform/AtomicFile.h"

namespace undelvo {

namespace {

constexpr char kSection[] = "[DriveLetters]";

QString Escape(const QString& id) {
  QString out;
  out.reserve(id.size());
  for (QChar c : id) {
    if (c == QLatin1Char('\\')) out += QLatin1String("\\\\");
    else if (c == QLatin1Char('\n')) out += QLatin1String("\\n");
    else if (c == QLatin1Char('\r')) out += QLatin1String("\\r");
    else out += c;
  }
  return out;
}

QString Unescape(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\\') && i + 1 < text.size()) {
      const QChar n = text[++i];
      if (n == QLatin1Char('n')) out += QLatin1Char('\n');
      else if (n == QLatin1Char('r')) out += QLatin1Char('\r');
      else out += n;
    } else {
      out += c;
    }
  }
  return out;
}

bool IsGivenLetter(QChar c) { return c >= QLatin1Char('C') && c <= QLatin1Char('Z'); }

}  // namespace

QString DriveLettersFile(const QString& settingsFolder) {
  return QDir(settingsFolder).filePath(QStringLiteral("drive-letters.ini"));
}

QByteArray FormatLetterMemory(const LetterMemory& memory) {
  QString text = QLatin1String(kSection) + QLatin1Char('\n');
  for (auto it = memory.cbegin(); it != memory.cend(); ++it)
    text += QString(it.key()) + QLatin1Char('=') + Escape(it.value()) + QLatin1Char('\n');
  return text.toUtf8();
}

LetterMemory ParseLetterMemory(const QByteArray& text) {
  LetterMemory memory;
  QSet<QString> seen;
  for (QByteArray line : text.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    if (line.size() < 3 || line[1] != '=') continue;
    const QChar letter = QChar(QLatin1Char(line[0])).toUpper();
    const QString id = Unescape(QString::fromUtf8(line.mid(2)));
    if (!IsGivenLetter(letter) || id.isEmpty() || memory.contains(letter) || seen.contains(id))
      continue;
    memory.insert(letter, id);
    seen.insert(id);
  }
  return memory;
}

QString LetterIdentity(const DriveEntry& volume) {
  return volume.volumeId + QLatin1Char('|') + volume.sourceLabel;
}

void AdoptOldEntries(LetterMemory& memory, const std::vector<DriveEntry>& volumes) {
  QSet<QString> remembered;
  for (const QString& id : memory) remembered.insert(id);
  // A source label named one copy; a bare id may name several.
  for (const bool byLabel : {true, false}) {
    for (QString& entry : memory) {
      for (const DriveEntry& v : volumes) {
        const QString identity = LetterIdentity(v);
        if ((byLabel ? v.sourceLabel : v.volumeId) != entry || remembered.contains(identity)) continue;
        entry = identity;
        remembered.insert(identity);
        break;
      }
    }
  }
}

std::vector<QChar> AssignLetters(const QStringList& volumeIds, LetterMemory& memory) {
  std::vector<QChar> letters(volumeIds.size());
  QHash<QString, QChar> letterOf;
  for (auto it = memory.cbegin(); it != memory.cend(); ++it)
    if (!letterOf.contains(it.value())) letterOf.insert(it.value(), it.key());
  QSet<QChar> inUse;

  for (qsizetype i = 0; i < volumeIds.size(); ++i) {
    const auto it = letterOf.constFind(volumeIds[i]);
    if (it != letterOf.cend() && !inUse.contains(*it)) {
      letters[i] = *it;
      inUse.insert(*it);
    }
  }
  for (qsizetype i = 0; i < volumeIds.size(); ++i) {
    if (!letters[i].isNull()) continue;
    QChar pick;
    for (char c = 'C'; c <= 'Z' && pick.isNull(); ++c)
      if (!inUse.contains(QLatin1Char(c)) && !memory.contains(QLatin1Char(c))) pick = QLatin1Char(c);
    for (char c = 'C'; c <= 'Z' && pick.isNull(); ++c)
      if (!inUse.contains(QLatin1Char(c))) pick = QLatin1Char(c);
    if (pick.isNull()) continue;
    letters[i] = pick;
    inUse.insert(pick);
    memory.insert(pick, volumeIds[i]);
  }
  return letters;
}

void GiveDriveLetters(std::vector<DriveEntry>& volumes, const QString& settingsFolder,
                      QStringList& notes) {
  const QString file = DriveLettersFile(settingsFolder);
  QByteArray before;
  {
    QFile f(file);
    if (f.open(QIODevice::ReadOnly)) before = f.read(1 << 20);
  }
  LetterMemory memory = ParseLetterMemory(before);
  AdoptOldEntries(memory, volumes);

  QStringList ids;
  for (const DriveEntry& v : volumes) ids << LetterIdentity(v);
  const std::vector<QChar> letters = AssignLetters(ids, memory);

  qsizetype letterless = 0;
  for (size_t i = 0; i < volumes.size(); ++i) {
    if (letters[i].isNull()) ++letterless;
    else volumes[i].letter = QString(letters[i]) + QLatin1Char(':');
  }
  if (letterless > 0)
    notes << QStringLiteral("24 drive letters C: to Z: are taken: "
                            "%1 more volume(s) are listed without a letter")
                 .arg(letterless);
  std::stable_sort(volumes.begin(), volumes.end(), [](const DriveEntry& a, const DriveEntry& b) {
    return !a.letter.isEmpty() && (b.letter.isEmpty() || a.letter < b.letter);
  });

  const QByteArray after = FormatLetterMemory(memory);
  if (after != before) WriteFileAtomically(file, after);
}

}  // namespace undelvo
