#pragma once
#include <QLocale>
#include <cstdint>

#include "platform/RegistryStore.h"
#include "settings/Settings.h"

namespace undelvo {

// The language index that suits a locale: 2 German, 3 French, 4 Spanish,
// 5 Italian, 6 Portuguese, 1 (English) for every other language.
int32_t LanguageIndexForLocale(const QLocale& locale);

// The window's first start: when the store holds no "Language" value yet,
// picks the index from `locale`, writes it as "Language" and puts it in
// `settings`, so that LoadSettings, called next, keeps it. A stored value,
// whatever it holds, is left alone. The command-line program does not call
// this: its texts do not follow the locale.
void ChooseFirstLanguage(Settings& settings, RegistryStore& store, const QLocale& locale = QLocale::system());

}  // namespace undelvo
