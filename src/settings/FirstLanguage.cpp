#include "settings/FirstLanguage.h"

#include "settings/Registry.h"

namespace undelvo {

int32_t LanguageIndexForLocale(const QLocale& locale) {
  switch (locale.language()) {
    case QLocale::German: return 2;
    case QLocale::French: return 3;
    case QLocale::Spanish: return 4;
    case QLocale::Italian: return 5;
    case QLocale::Portuguese: return 6;
    default: return 1;
  }
}

void ChooseFirstLanguage(Settings& settings, RegistryStore& store, const QLocale& locale) {
  const QString name = QStringLiteral("Language");
  if (store.Read(RegRoot::CurrentUser, kSettingsKey, name)) return;
  settings.LangIndex = LanguageIndexForLocale(locale);
  // Also held in `settings`: with a store that cannot be written, this run
  // still shows the user's language.
  RegWriteInteger(store, RegRoot::CurrentUser, kSettingsKey, name, settings.LangIndex);
}

}  // namespace undelvo
