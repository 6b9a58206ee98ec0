// The About tab: the save folder is changed only by "Save changes", which
// stores it for later starts; the support link and the panel's texts.
#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "scan/UndelvoState.h"
#include "settings/LanguageFile.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "ui/Panel3.h"
#include "ui/UiContext.h"

using namespace undelvo;
using namespace undelvo::ui;

namespace {

// Remembers what the panel tells; answers Yes to any question.
class RecordingPrompter : public Prompter {
 public:
  void Inform(QWidget*, const QString& text) override { told.append(text); }
  bool Confirm(QWidget*, const QString& question) override {
    asked.append(question);
    return true;
  }
  QStringList told;
  QStringList asked;
};

struct PickerCall {
  QString title;
  QString start;
};

// One program start over a registry file: the settings loaded as the window
// loads them, the panel built on them.
struct AboutFixture {
  explicit AboutFixture(const QString& registryPath, int langIndex = 1) : state(registryPath) {
    state.Program.Config.SaveFolder = QStringLiteral("/nowhere/Desktop/Restored Files");
    state.Program.Config.LangIndex = langIndex;
    LoadSettings(state.Program.Config, state.Program.Registry);
    OpenLanguageFile(state.Program.Lang, langIndex, QStringLiteral(UNDELVO_SOURCE_DIR "/src/settings/lang"));
    panel = std::make_unique<Panel3>(ctx, nullptr);
    panel->SetFolderPicker([this](QWidget*, const QString& title, const QString& start) {
      calls.append({title, start});
      return answer;
    });
    panel->SetUrlOpener([this](const QUrl& url) { opened.append(url); });
  }
  template <typename T>
  T* Find(const char* name) const {
    return panel->findChild<T*>(QLatin1String(name));
  }
  QString Edit() const { return Find<QLineEdit>("Panel3Edit1")->text(); }
  void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
  QString StoredSaveDir() const {
    const auto v = state.Program.Registry.Read(RegRoot::CurrentUser, kSettingsKey, QStringLiteral("SaveDir"));
    return v ? v->text : QString();
  }

  UndelvoState state;
  RecordingPrompter prompter;
  UiContext ctx{state, prompter};
  std::unique_ptr<Panel3> panel;
  QString answer;  // what the picker returns; empty: cancelled
  QList<PickerCall> calls;
  QList<QUrl> opened;
};

}  // namespace

class AboutPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();  // a clean registry for every test
    QVERIFY(dir_->isValid());
  }

  void pickedFolderIsKeptOnlyInTheEditUntilSaved() {
    AboutFixture f(Registry());
    QCOMPARE(f.Edit(), QStringLiteral("/nowhere/Desktop/Restored Files"));

    // The picker opens at the nearest folder that exists, titled by the hint above the edit.
    f.answer = Dir().filePath("elsewhere");
    f.Click("Panel3Button2");
    QCOMPARE(f.calls.size(), 1);
    QCOMPARE(f.calls[0].title, f.Find<QLabel>("Panel3Label5")->text());
    QCOMPARE(f.calls[0].start, QDir::rootPath());
    QCOMPARE(f.Edit(), Dir().filePath("elsewhere"));

    // Leaving the tab and coming back shows the program's folder again; nothing was stored.
    f.panel->Enter();
    QCOMPARE(f.Edit(), QStringLiteral("/nowhere/Desktop/Restored Files"));
    QCOMPARE(f.state.Program.Config.SaveFolder, QStringLiteral("/nowhere/Desktop/Restored Files"));
    QCOMPARE(f.StoredSaveDir(), QStringLiteral("/nowhere/Desktop/Restored Files"));
    QVERIFY(f.prompter.told.isEmpty());

    // A cancelled picker keeps what the edit shows; the next opens at an existing edit folder itself.
    f.answer = Dir().path();
    f.Click("Panel3Button2");
    f.answer.clear();
    f.Click("Panel3Button2");
    QCOMPARE(f.Edit(), Dir().path());
    QCOMPARE(f.calls.last().start, Dir().path());
  }

  void savedFolderIsUsedAndSurvivesARestart() {
    const QString chosen = Dir().filePath("Mixed Case/Restored");
    {
      AboutFixture f(Registry());
      f.answer = chosen;
      f.Click("Panel3Button2");
      f.Click("Panel3Button3");
      QCOMPARE(f.state.Program.Config.SaveFolder, chosen);
      QCOMPARE(f.StoredSaveDir(), chosen);  // stored as typed, letter case kept
      QCOMPARE(f.prompter.told, QStringList{QStringLiteral("Options are saved!")});
      f.panel->Enter();
      QCOMPARE(f.Edit(), chosen);

      // Saving again without a pick stores the same folder and says so again.
      f.Click("Panel3Button3");
      QCOMPARE(f.StoredSaveDir(), chosen);
      QCOMPARE(f.prompter.told.size(), 2);
    }
    // The next start loads it in place of the default.
    AboutFixture next(Registry());
    QCOMPARE(next.state.Program.Config.SaveFolder, chosen);
    QCOMPARE(next.Edit(), chosen);
  }

  void savedMessageComesFromTheLanguageFile() {
    AboutFixture f(Registry(), 2);
    f.Click("Panel3Button3");
    QCOMPARE(f.prompter.told, QStringList{QStringLiteral("Einstellungen gespeichert!")});
  }

  void supportLinkFollowsTheConfiguredAddress() {
    AboutFixture f(Registry());
    auto* link = f.Find<QAbstractButton>("Panel3Label4B");
    auto* line = f.Find<QLabel>("Panel3Label4A");
    QVERIFY(link && line);
    // Built without an address (the default), the link and its line are not shown.
    QCOMPARE(link->isHidden(), Panel3::DefaultSupportUrl().isEmpty());

    f.panel->SetSupportUrl(QStringLiteral("https://support.example.org/undelvo/"));
    QVERIFY(!link->isHidden());
    QVERIFY(!line->isHidden());
    QCOMPARE(link->text(), QStringLiteral("support.example.org/undelvo"));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    link->click();
    QCOMPARE(f.opened, QList<QUrl>{QUrl(QStringLiteral("https://support.example.org/undelvo/"))});

    // While a run goes on the link does nothing.
    QVERIFY(f.state.Run.Begin());
    link->click();
    QCOMPARE(f.opened.size(), 1);
    f.state.Run.End();

    // A bare host name is an address too; blanks or an unusable text hide the link.
    f.panel->SetSupportUrl(QStringLiteral("example.org"));
    QVERIFY(!link->isHidden());
    link->click();
    QCOMPARE(f.opened.last(), QUrl(QStringLiteral("http://example.org")));
    for (const QString& none : {QString(), QStringLiteral("   "), QStringLiteral("http://")}) {
      f.panel->SetSupportUrl(none);
      QVERIFY2(link->isHidden(), qPrintable(none));
      QVERIFY(line->isHidden());
      link->click();
    }
    QCOMPARE(f.opened.size(), 2);
  }

  void everyButtonIsNamedForScreenReaders() {
    AboutFixture f(Registry());
    f.panel->SetSupportUrl(QStringLiteral("https://example.org"));
    const QList<QAbstractButton*> buttons = f.panel->findChildren<QAbstractButton*>();
    QCOMPARE(buttons.size(), 3);
    for (QAbstractButton* b : buttons) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
      QVERIFY(a);
      const QString name = a->text(QAccessible::Name);
      QVERIFY2(!name.isEmpty(), qPrintable(b->objectName()));
      QVERIFY2(name == b->text() || name == b->toolTip(), qPrintable(b->objectName() + ": " + name));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(f.Find<QAbstractButton>("Panel3Button2"))->text(QAccessible::Name),
             QStringLiteral("Browse"));
    QCOMPARE(QAccessible::queryAccessibleInterface(f.Find<QAbstractButton>("Panel3Button3"))->text(QAccessible::Name),
             QStringLiteral("Save changes"));
  }

  // Every text of the panel fits its place in every language, and the version is the build's.
  void textsFitInEveryLanguage() {
    QVERIFY(!Panel3::ProgramVersion().isEmpty());
    for (int lang = 1; lang <= 6; ++lang) {
      AboutFixture f(Registry(), lang);
      f.panel->SetSupportUrl(QStringLiteral("https://example.org"));
      QVERIFY(f.Find<QLabel>("Panel3Label2B")->text().endsWith(QLatin1Char(' ') + Panel3::ProgramVersion()));
      for (QLabel* label : f.panel->findChildren<QLabel*>()) {
        const QFontMetrics m(label->font());
        const int flags = label->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine;
        const QRect need = m.boundingRect(QRect(0, 0, label->width(), 10000), flags, label->text());
        QVERIFY2(need.width() <= label->width() && need.height() <= label->height(),
                 qPrintable(QStringLiteral("%1 in language %2: %3x%4 needed").arg(label->objectName()).arg(lang)
                                .arg(need.width()).arg(need.height())));
      }
      for (QAbstractButton* b : f.panel->findChildren<QAbstractButton*>()) {
        const int margin = qobject_cast<QPushButton*>(b) ? 8 : 0;  // a push button's caption needs some room
        const int need = QFontMetrics(b->font()).horizontalAdvance(b->text()) + margin;
        QVERIFY2(need <= b->width(), qPrintable(QStringLiteral("%1 in language %2").arg(b->objectName()).arg(lang)));
      }
    }
  }

 private:
  QString Registry() const { return Dir().filePath(QStringLiteral("registry.reg")); }
  const QTemporaryDir& Dir() const { return *dir_; }
  std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(AboutPanelTest)
#include "test_about_panel.moc"
