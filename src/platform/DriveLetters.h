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

// Gives each present volume its identity: its volumeId (file-system UUID or
// serial, else the source label) unless another present volume has the same
// one (copies of one image), in which case all but one of them use their
// source label. Among such copies, one whose source label is remembered keeps
// using it, so copies keep their letters from run to run.
void SettleVolumeIds(std::vector<DriveEntry>& volumes, const LetterMemory& memory);

// Letters for the present volumes (identities), in their order, from C: to Z:
// (A: and B: are never given). A volume with a remembered letter keeps it; a
// new volume takes the first letter neither in use nor remembered for another
// volume, else the first letter not in use (its old owner is forgotten).
// Returns one letter per volume, a null QChar when all 24 are taken; memory is
// updated.
std::vector<QChar> AssignLetters(const QStringList& volumeIds, LetterMemory& memory);

// Settles the identities, gives the letters, remembers them in the settings
// folder's letters file (rewritten only when it changes), drops the volumes
// left without a letter (with one line in errors naming them) and sorts the
// rest by letter.
void GiveDriveLetters(std::vector<DriveEntry>& volumes, const QString& settingsFolder,
                      QStringList& errors);

}  // namespace undelvo
