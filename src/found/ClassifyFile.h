#pragma once
#include <QString>

namespace undelvo {

enum FileCategoryNumber {
  CategoryDocuments = 1,
  CategoryImages = 2,
  CategoryMedia = 3,
  CategoryBinary = 4,
  CategoryWeb = 5,
  CategoryOther = 6,
};

// The type code of a file name, taken from its extension alone (the first
// three characters after the last "." of the name part, ASCII upper-cased),
// such as "DOC", "JPG_OTHER" or "OTHER"; sets fileCategory to 1..6.
// The name may carry a folder ("\" or "/" separated, or a drive colon).
QString ClassifyFile(const QString& name, int& fileCategory);

}  // namespace undelvo
