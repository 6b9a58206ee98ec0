#include "scan/ScanStatistics.h"

#include "settings/DateTimeValue.h"
#include "settings/Registry.h"

namespace undelvo {

ScanStatistics LoadScanStatistics(const RegistryStore& store) {
  const RegRoot user = RegRoot::CurrentUser;
  ScanStatistics s;
  s.LastRun = FromDateTimeValue(RegReadDateTime(store, user, kSettingsKey, QStringLiteral("LastRun")));
  s.Found = RegReadInteger(store, user, kSettingsKey, QStringLiteral("nFound"));
  s.Recovered = RegReadInteger(store, user, kSettingsKey, QStringLiteral("nRecovered"));
  return s;
}

void SaveScanStatistics(RegistryStore& store, int32_t found) {
  // One replacement of the file for both values: each costs a flush to disk.
  store.WriteValues(RegRoot::CurrentUser, kSettingsKey,
                    {{QStringLiteral("LastRun"), DateTimeRegValue(DateTimeNow())},
                     {QStringLiteral("nFound"), RegValue::Integer(found)}});
}

void AddRecoveredFiles(RegistryStore& store, int32_t restored) {
  if (restored <= 0) return;
  const RegRoot user = RegRoot::CurrentUser;
  const QString name = QStringLiteral("nRecovered");
  RegWriteInteger(store, user, kSettingsKey, name, RegReadInteger(store, user, kSettingsKey, name) + restored);
}

}  // namespace undelvo
