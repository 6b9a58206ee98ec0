#pragma once
#include <QString>
#include <cstdint>

namespace undelvo {

// The text form of a found file: locator#path#date#size. The locator is a
// record's byte offset in the loaded MFT (NTFS), a first cluster (FAT), or
// "R" for a file still in the Recycle Bin.
struct EntryValue {
  QString locatorText;
  QString path;
  QString date;
  QString sizeText;
  int64_t locator = 0;  // 0 when locatorText does not begin with a digit
  int64_t size = 0;     // 0 when sizeText does not begin with a digit

  bool IsRecycleBin() const { return locatorText.startsWith(QLatin1Char('R')); }
  // Whether the locator is a number: on NTFS every number, 0 included, is
  // a record's offset; a text that is none locates nothing.
  bool HasNumericLocator() const { return !locatorText.isEmpty() && locatorText.front().isDigit(); }
};

QString JoinEntryValue(const QString& locator, const QString& path, const QString& date, int64_t size);

// Splits an entry value. The locator is the text before the first "#", the size
// the text after the last, the date the field before the size and the path all
// that lies between, so a "#" inside a path stays in the path.
EntryValue ParseEntryValue(const QString& value);

// The leading decimal digits of a text as a 64-bit number (saturating);
// 0 when the text does not begin with a digit.
int64_t LeadingNumber(const QString& text);

}  // namespace undelvo
