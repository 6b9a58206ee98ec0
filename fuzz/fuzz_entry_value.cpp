// The entry value of a found file (locator#path#date#size) and the names a
// restore makes of what the volume says: a value joined from its fields
// splits back into them, the leading number never overflows, and a kept
// folder built from a scanned path stays inside the save folder.
#include <QString>
#include <QStringList>

#include "FuzzSupport.h"
#include "found/EntryValue.h"
#include "found/SaveFile.h"

using namespace undelvo;

namespace {

const QString kSaveFolder = QStringLiteral("/save/Restored Files");

void CheckKeptFolder(const QString& shown) {
  const QString kept = KeptFolder(kSaveFolder, shown);
  if (kept != kSaveFolder && !kept.startsWith(kSaveFolder + QLatin1Char('/')))
    fuzz::Fail("a kept folder outside the save folder");
  for (const QString& part : kept.mid(kSaveFolder.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts))
    if (part == QLatin1String(".") || part == QLatin1String("..") || part.contains(QChar(0)))
      fuzz::Fail("a kept folder with a component that leaves it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  const EntryValue e = ParseEntryValue(text);
  if (e.locator < 0 || e.size < 0) fuzz::Fail("a negative leading number");
  e.IsRecycleBin();
  e.HasNumericLocator();
  if (JoinEntryValue(e.locatorText, e.path, e.date, 0).size() > text.size() + 4)
    fuzz::Fail("the fields of an entry value are longer than the value");

  // Fields without a "#" where the format forbids one (locator, date) come
  // back unchanged, whatever the path holds.
  const QStringList parts = text.split(QChar(0));
  QString locator = parts.value(0), path = parts.value(1), date = parts.value(2);
  locator.remove(QLatin1Char('#'));
  date.remove(QLatin1Char('#'));
  const int64_t number = LeadingNumber(parts.value(3));
  const EntryValue back = ParseEntryValue(JoinEntryValue(locator, path, date, number));
  if (back.locatorText != locator || back.path != path || back.date != date || back.size != number)
    fuzz::Fail("an entry value does not split back into its fields");

  CheckKeptFolder(text);
  CheckKeptFolder(e.path);
  const QString safe = SafeFileName(text);
  if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String("..") || safe.contains(QLatin1Char('/')) ||
      safe.contains(QChar(0)))
    fuzz::Fail("a restored name that is not one safe path component");
  return 0;
}
