// The window's first start picks the language from the user's locale; later
// starts, and a value stored by anyone before, keep what the store holds.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/RegistryStore.h"
#include "settings/FirstLanguage.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

using namespace undelvo;

namespace {

std::optional<RegValue> StoredLanguage(const RegistryStore& store) {
  return store.Read(RegRoot::CurrentUser, kSettingsKey, QStringLiteral("Language"));
}

// A start of the window: the first-start choice, then the settings load.
Settings StartWindow(RegistryStore& store, const QLocale& locale) {
  Settings s;
  ChooseFirstLanguage(s, store, locale);
  LoadSettings(s, store);
  return s;
}

}  // namespace

TEST(FirstLanguage, LocaleGivesTheIndexOfItsLanguageAndEnglishOtherwise) {
  const struct {
    const char* locale;
    int32_t index;
  } cases[] = {
      {"de_DE", 2}, {"de_AT", 2}, {"de_CH", 2}, {"fr_FR", 3}, {"fr_CA", 3}, {"es_ES", 4},
      {"es_MX", 4}, {"it_IT", 5}, {"it_CH", 5}, {"pt_PT", 6}, {"pt_BR", 6}, {"en_US", 1},
      {"en_GB", 1}, {"nl_NL", 1}, {"ru_RU", 1}, {"ca_ES", 1}, {"C", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(LanguageIndexForLocale(QLocale(QString::fromLatin1(c.locale))), c.index);

    QTemporaryDir dir;
    RegistryStore store(dir.filePath("registry.reg"));
    const Settings s = StartWindow(store, QLocale(QString::fromLatin1(c.locale)));
    EXPECT_EQ(s.LangIndex, c.index);
    const auto stored = StoredLanguage(store);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, RegType::Integer);
    EXPECT_EQ(stored->integer, c.index);
  }
}

TEST(FirstLanguage, StoredValueIsKeptWhateverTheLocale) {
  QTemporaryDir dir;
  RegistryStore store(dir.filePath("registry.reg"));

  // First start in French, later starts under another locale keep French.
  EXPECT_EQ(StartWindow(store, QLocale(QStringLiteral("fr_FR"))).LangIndex, 3);
  EXPECT_EQ(StartWindow(store, QLocale(QStringLiteral("de_DE"))).LangIndex, 3);
  EXPECT_EQ(StartWindow(store, QLocale(QStringLiteral("en_US"))).LangIndex, 3);

  // A value chosen by the user (or written by an earlier command-line run) stays,
  // English among them.
  RegWriteInteger(store, RegRoot::CurrentUser, kSettingsKey, QStringLiteral("Language"), 1);
  EXPECT_EQ(StartWindow(store, QLocale(QStringLiteral("it_IT"))).LangIndex, 1);
  EXPECT_EQ(StoredLanguage(store)->integer, 1);

  // A value of the wrong type is left for the load to judge (English), not replaced.
  RegWriteString(store, RegRoot::CurrentUser, kSettingsKey, QStringLiteral("Language"), QStringLiteral("2"));
  StartWindow(store, QLocale(QStringLiteral("es_ES")));
  EXPECT_EQ(StoredLanguage(store)->type, RegType::Text);
}

TEST(FirstLanguage, CommandLineStartStaysEnglishAndUnwritableStoreStillFollowsTheLocale) {
  QTemporaryDir dir;
  {
    // The command-line program loads the settings without the first-start choice.
    RegistryStore store(dir.filePath("cli.reg"));
    Settings s;
    LoadSettings(s, store);
    EXPECT_EQ(s.LangIndex, 1);
    EXPECT_EQ(StoredLanguage(store)->integer, 1);
  }
  {
    // A store below a plain file cannot be written: this run still gets the
    // locale's language.
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RegistryStore store(dir.filePath("blocker/registry.reg"));
    EXPECT_EQ(StartWindow(store, QLocale(QStringLiteral("pt_BR"))).LangIndex, 6);
    EXPECT_FALSE(StoredLanguage(store).has_value());
  }
}
