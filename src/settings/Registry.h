#pragma once
#include <QDateTime>
#include <QString>
#include <cstdint>

#include "platform/RegistryStore.h"

namespace undelvo {

// The program's key under the current user.
inline const QString kSettingsKey = QStringLiteral("SOFTWARE\\Morrowvane\\Undelvo");

// Reads give the reader's default when the value is absent or of another type:
// empty text, 0, false, the current date and time. A text is returned with
// ASCII letters upper-cased, as the program has always compared them.
QString RegReadString(const RegistryStore& store, RegRoot root, const QString& key, const QString& name);
int32_t RegReadInteger(const RegistryStore& store, RegRoot root, const QString& key, const QString& name);
bool RegReadBool(const RegistryStore& store, RegRoot root, const QString& key, const QString& name);
double RegReadDateTime(const RegistryStore& store, RegRoot root, const QString& key, const QString& name);

// Writes create the key when missing and do nothing when the store cannot be written.
void RegWriteString(RegistryStore& store, RegRoot root, const QString& key, const QString& name, const QString& value);
void RegWriteInteger(RegistryStore& store, RegRoot root, const QString& key, const QString& name, int32_t value);
void RegWriteBool(RegistryStore& store, RegRoot root, const QString& key, const QString& name, bool value);
void RegWriteDateTime(RegistryStore& store, RegRoot root, const QString& key, const QString& name, double value);

// A date-time as the store keeps it: the 8 bytes of the double.
RegValue DateTimeRegValue(double value);

// ASCII a..z to A..Z; every other character stays.
QString AsciiUpper(const QString& s);

}  // namespace undelvo
