#pragma once
#include <QByteArray>
#include <QString>

namespace undelvo {

// A JSON string literal (quotes included) in UTF-8, for output written piece
// by piece: a scan can list hundreds of thousands of files, and a document
// tree of them would cost more time and memory than the scan itself.
QByteArray JsonString(const QString& text);

}  // namespace undelvo
