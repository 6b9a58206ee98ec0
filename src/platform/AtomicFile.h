#pragma once
#include <QByteArray>
#include <QString>

namespace undelvo {

// Replaces a file's content as one step: the bytes go to a temporary file in
// the same folder, are flushed to disk, and the temporary file is renamed over
// the old one. A crash at any point leaves either the old or the new file.
// Creates the folder when missing. Returns false when any step fails.
bool WriteFileAtomically(const QString& path, const QByteArray& data);

}  // namespace undelvo
