// The main window driving real scans of the fixture volumes: the quick and
// the advanced panel, Stop from inside a running scan, close refused while
// busy, the drive lists and device changes, keyboard and screen readers.
#include <QAccessible>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "found/FoundRows.h"
#include "scan/UndelvoState.h"
#include "ui/ImageButton.h"
#include "ui/Panel1.h"
#include "ui/Panel2.h"
#include "ui/Unit1.h"
#include "UiTestSupport.h"

using namespace undelvo;
using namespace undelvo::ui;

namespace {

// Answers the window's questions by script and keeps what it was told.
struct ScriptedPrompter : Prompter {
  QStringList told, asked;
  std::function<bool(const QString&)> answer = [](const QString&) { return false; };
  void Inform(QWidget*, const QString& text) override { told << text; }
  bool Confirm(QWidget*, const QString& question) override {
    asked << question;
    return answer(question);
  }
};

// A window over the given images alone, with settings of its own (so the
// first image gets the letter C:).
struct Window {
  Window(const QString&, const QStringList& images)
      : state(settings.filePath(QStringLiteral("registry.reg"))), ctx(state, prompter) {
    const QString dir = settings.path();
    state.Program.Config.DataDir = QStringLiteral(UNDELVO_BIN_DIR);
    state.Program.GeometryCacheFile = dir + QStringLiteral("/Zantero.ini");
    ctx.pumpIntervalMs = 0;  // every pump lets events through: a Stop is seen at once
    DriveTableOptions drives;
    drives.includeBlockDevices = false;
    drives.settingsFolder = dir;
    for (const QString& i : images) drives.images.push_back(QFile::encodeName(i).toStdString());
    form = std::make_unique<TForm1>(ctx, drives);
  }
  template <typename T>
  T* Find(const char* name) const {
    return form->findChild<T*>(QLatin1String(name));
  }
  QTemporaryDir settings;
  UndelvoState state;
  ScriptedPrompter prompter;
  UiContext ctx;
  std::unique_ptr<TForm1> form;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QHash<QString, QString> images_;  // fixture name -> unpacked image
  QHash<QString, QByteArray> shas_;

  QString Image(const QString& name) {
    if (!images_.contains(name)) {
      const QString out = dir_.filePath(name);
      QProcess gunzip;
      gunzip.setStandardOutputFile(out);
      gunzip.start(QStringLiteral("gunzip"), {QStringLiteral("-c"),
                                               QStringLiteral(UNDELVO_SOURCE_DIR "/tests/data/") + name + ".gz"});
      gunzip.waitForFinished();
      images_[name] = out;
      shas_[name] = test::FileSha256(out);
    }
    return images_[name];
  }
  int CliFound(const QString& image, const QStringList& extra = {}) {
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("cli-config")));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(UNDELVO_CLI), QStringList{"scan", "--json", "--image", image} + extra);
    cli.waitForFinished(60000);
    return QJsonDocument::fromJson(cli.readAllStandardOutput()).object()[QStringLiteral("found")].toInt();
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("config")).toUtf8());
  }

  void cleanupTestCase() {
    // The scans only ever read the volumes.
    for (auto it = images_.cbegin(); it != images_.cend(); ++it) QCOMPARE(test::FileSha256(it.value()), shas_[it.key()]);
  }

  void quickScanReachesTheResultsWithTheCommandLinesTotal_data() {
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("entry");
    QTest::newRow("FAT32 behind an MBR") << "fat32-mbr.img" << "C: (FAT32)";
    QTest::newRow("NTFS") << "ntfs.img" << "C: (NTFS)";
  }
  void quickScanReachesTheResultsWithTheCommandLinesTotal() {
    QFETCH(QString, image);
    QFETCH(QString, entry);
    const QString path = Image(image);
    Window w(dir_.path(), {path});
    auto* box = w.Find<QComboBox>("Panel1DriveBox");
    QCOMPARE(box->currentText(), entry);
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(w.form->QuickPanel()));
    w.Find<QPushButton>("Panel1Button1")->click();
    QVERIFY2(w.prompter.told.isEmpty(), qPrintable(w.prompter.told.join("; ")));
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(w.form->ResultsPanel()));
    const int found = CliFound(path);
    QVERIFY(found > 10);
    QCOMPARE(w.Find<QLabel>("Panel4ResultsLabel2")->text(), QString::number(found));
    QCOMPARE(w.Find<QLabel>("Panel1BLabel1b")->text(), QString::number(found));
    QCOMPARE(w.Find<QLabel>("Panel1ProgressLabel")->text(), QStringLiteral("100%"));
    // The quick scan's results grey the other scan tab; Back returns to the quick scan.
    QVERIFY(!w.Find<QAbstractButton>("TabLabel2")->isEnabled());
    auto* back = w.Find<QAbstractButton>("BackLabel");
    QVERIFY(back->isVisibleTo(w.form.get()));
    back->click();
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(w.form->QuickPanel()));
    QVERIFY(w.Find<QAbstractButton>("TabLabel2")->isEnabled());
    QCOMPARE(w.Find<QLabel>("Panel1ALabel3b")->text(), QString::number(found));
  }

  void advancedPanelMasksRunsDeepAndSaysWhenNothingMatches() {
    const QString path = Image(QStringLiteral("ntfs.img"));
    Window w(dir_.path(), {path});
    w.form->TabClick(2);
    Panel2* panel = w.form->AdvancedPanel();
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(panel));
    auto* typeList = w.Find<QComboBox>("Panel2MaskBox");
    const int jpg = typeList->findText(QStringLiteral("Graphics (jpg)"));
    QCOMPARE(jpg, 4);
    panel->MaskBoxChanged(jpg);
    QCOMPARE(w.Find<QLineEdit>("Panel2MaskEdit")->text(), QStringLiteral("*.jpg"));
    w.Find<QPushButton>("Panel2Button1")->click();
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(w.form->ResultsPanel()));
    QVERIFY(!w.Find<QAbstractButton>("TabLabel1")->isEnabled());
    const int jpgs = CliFound(path, {"--mask", "*.jpg"});
    QVERIFY(jpgs > 0);
    QCOMPARE(w.state.Scan.Found.FoundCount, jpgs);
    for (const auto& row : AllFoundRows(w.state.Scan.Found)) QVERIFY(row.name.endsWith(".jpg", Qt::CaseInsensitive));
    w.Find<QAbstractButton>("BackLabel")->click();
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(panel));

    // Deep: the status line shows the four steps in order.
    QStringList steps;
    auto* status = w.Find<QLabel>("Panel2StatusLabel");
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
      if (!status->text().isEmpty() && (steps.isEmpty() || steps.last() != status->text())) steps << status->text();
    });
    watch.start(0);
    w.Find<QComboBox>("Panel2ModeBox")->setCurrentIndex(1);
    w.Find<QLineEdit>("Panel2MaskEdit")->setText(QStringLiteral("*.*"));
    w.Find<QPushButton>("Panel2Button1")->click();
    watch.stop();
    QCOMPARE(steps, QStringList({"Find MFT records (1/4)", "Read MFT records (2/4)", "Find folders (3/4)",
                                 "Find files (4/4)"}));
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(w.form->ResultsPanel()));
    w.Find<QAbstractButton>("BackLabel")->click();

    // A list of masks is one pattern, which matches nothing.
    w.Find<QComboBox>("Panel2ModeBox")->setCurrentIndex(0);
    w.Find<QLineEdit>("Panel2MaskEdit")->setText(QStringLiteral("*.doc,*.txt"));
    w.Find<QPushButton>("Panel2Button1")->click();
    QCOMPARE(w.prompter.told, QStringList{"No deleted files were found matching this search criteria!"});
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(panel));
    QVERIFY(!w.Find<QLabel>("Panel2Label1a")->isVisible());
  }

  void stopAsksAndNoGoesOnWhileYesKeepsWhatWasFound() {
    const QString path = Image(QStringLiteral("ntfs.img"));
    const int all = CliFound(path);
    for (bool yes : {false, true}) {
      Window w(dir_.path(), {path});
      w.form->show();
      w.prompter.answer = [yes](const QString&) { return yes; };
      // Press Stop once a few files are in; the question is asked from inside the scan.
      QTimer press;
      int foundAtStop = -1;
      connect(&press, &QTimer::timeout, this, [&] {
        if (foundAtStop < 0 && w.state.Scan.Found.FoundCount >= 3) {
          foundAtStop = w.state.Scan.Found.FoundCount;
          w.Find<QPushButton>("Panel1BButton1")->click();
        }
      });
      press.start(0);
      w.Find<QPushButton>("Panel1Button1")->click();
      QCOMPARE(w.prompter.asked, QStringList{"Are you sure you wish to cancel this operation?"});
      QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(w.form->ResultsPanel()));
      if (yes) QCOMPARE(w.state.Scan.Found.FoundCount, foundAtStop);
      else QCOMPARE(w.state.Scan.Found.FoundCount, all);
    }
  }

  void closingIsRefusedWhileAScanRuns() {
    Window w(dir_.path(), {Image(QStringLiteral("ntfs.img"))});
    w.form->show();
    bool closedDuringScan = true;
    QTimer::singleShot(0, this, [&] {
      closedDuringScan = w.form->close();
      w.form->TabClick(3);  // the tabs do nothing while busy
    });
    w.Find<QPushButton>("Panel1Button1")->click();
    QVERIFY(!closedDuringScan);
    QVERIFY(w.form->isVisible());
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(w.form->ResultsPanel()));
    QVERIFY(w.form->close());
  }

  void driveListsFollowDeviceChangesOnlyWhileIdle() {
    const QString first = Image(QStringLiteral("ntfs.img"));
    const QString second = dir_.filePath(QStringLiteral("second.img"));
    QFile::remove(second);
    QVERIFY(QFile::copy(Image(QStringLiteral("fat16.img")), second));
    Window w(dir_.path(), {first, second});
    auto* quick = w.Find<QComboBox>("Panel1DriveBox");
    auto* advanced = w.Find<QComboBox>("Panel2DriveBox");
    QCOMPARE(quick->count(), 2);
    QCOMPARE(advanced->count(), 2);
    QVERIFY(QFile::remove(second));  // the stick is pulled out
    int duringScan = -1;
    QTimer::singleShot(0, this, [&] {
      w.form->DeviceChange();
      duringScan = quick->count();
    });
    w.Find<QPushButton>("Panel1Button1")->click();
    QCOMPARE(duringScan, 2);
    w.Find<QAbstractButton>("BackLabel")->click();
    w.form->DeviceChange();
    QCOMPARE(quick->count(), 1);
    QCOMPARE(advanced->count(), 1);
    QCOMPARE(quick->currentText(), QStringLiteral("C: (NTFS)"));
  }

  void helpOpensTheShippedPageOrSaysItIsMissing() {
    Window w(dir_.path(), {});
    QList<QUrl> opened;
    w.form->SetUrlOpener([&](const QUrl& url) {
      opened << url;
      return true;
    });
    w.Find<QAbstractButton>("TopButton1")->click();
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral(UNDELVO_BIN_DIR "/help/index.html"))});
    QVERIFY(w.prompter.told.isEmpty());
    w.state.Program.Config.DataDir = dir_.path();  // a program folder without the page
    w.Find<QAbstractButton>("TopButton1")->click();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(w.prompter.told, QStringList{"Help file not found!"});
  }

  void everyButtonIsSeenByScreenReadersAndReachedFromTheKeyboard() {
    Window w(dir_.path(), {Image(QStringLiteral("ntfs.img"))});
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    const QList<QAbstractButton*> buttons = w.form->findChildren<QAbstractButton*>();
    QVERIFY(buttons.size() >= 12);
    for (QAbstractButton* b : buttons) {
      if (b->isHidden() && b->text().isEmpty() && b->toolTip().isEmpty()) continue;  // a link left out of this build
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
      QVERIFY2(a != nullptr, qPrintable(b->objectName()));
      const QString name = a->text(QAccessible::Name);
      // The caption, or for a glyph ("...", the top buttons) the tooltip that says what it does.
      QVERIFY2(!name.isEmpty() && (name == b->text() || name == b->toolTip()),
               qPrintable(b->objectName() + ": " + name + " / " + b->text()));
      QVERIFY2(a->actionInterface() && a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()),
               qPrintable(b->objectName()));
    }
    for (int tab : {1, 2}) {
      w.form->TabClick(tab);
      const char* start = tab == 1 ? "Panel1Button1" : "Panel2Button1";
      bool reached = false;
      for (int i = 0; i < 40 && !reached; ++i) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.form.get(), Qt::Key_Tab);
        reached = QApplication::focusWidget() && QApplication::focusWidget()->objectName() == QLatin1String(start);
      }
      QVERIFY2(reached, start);
    }
  }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
