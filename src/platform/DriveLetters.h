#pragma once
#include <QByteArray>
#include <QChar>
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/DriveTable.h"

namespace undelvo {

// Remembered letters: letter ('C'..'Z') -> volume identity.
using LetterMemory = QMap<QChar, QString>;

// The file that keeps the remembered letters inside a settings folder.
QString DriveLettersFile(const QString& settingsFolder);

// The text of the letters file, and back. The file is
//   [DriveLetters]
//   C=<volume identity>
// one line per letter, the identity escaped ("\\" for a backslash, "\n" and
// "\r" for line breaks). Unknown lines, letters outside C..Z and a second
// letter for the same identity are ignored when reading.
QByteArray FormatLetterMemory(const LetterMemory& memory);
LetterMemory ParseLetterMemory(const QByteArray& text);

// The identity a letter is remembered for: the volume's id and its source
// label, "<volumeId>|<sourceLabel>". Two images of one stick share a serial
// yet each keeps a letter of its own, in any order or subset of a run.
QString LetterIdentity(const DriveEntry& volume);

// Letters files written before identities named the source hold a bare
// volume id, or a source label for the second of two copies. Each such entry
// is taken over by the first present volume it names (by source label first,
// then by id) that has no entry of its own, under that volume's identity;
// the others stay as they are, a letter kept for a volume that is away.
void AdoptOldEntries(LetterMemory& memory, const std::vector<DriveEntry>& volumes);

// Letters for the present volumes (identities), in their order, from C: to Z:
// (A: and B: are never given). A volume with a remembered letter keeps it; a
// new volume takes the first letter neither in use nor remembered for another
// volume, else the first letter not in use (its old owner is forgotten).
// Returns one letter per volume, a null QChar when all 24 are taken; memory is
// updated.
std::vector<QChar> AssignLetters(const QStringList& volumeIds, LetterMemory& memory);

// Gives the letters and remembers them in the settings folder's letters file
// (rewritten only when it changes). The volumes come out sorted by letter;
// those left without one when C: to Z: are all taken keep an empty letter,
// come last in their given order, and one line in notes tells how many.
void GiveDriveLetters(std::vector<DriveEntry>& volumes, const QString& settingsFolder,
                      QStringList& notes);

}  // namespace undelvo
