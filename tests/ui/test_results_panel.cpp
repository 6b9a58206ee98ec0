// The results panel on real scans of the fixtures and on filled stores: the
// category list, the file list and its sizes, the search, sorting, the
// selection line, and recovering from the window.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>

#include "found/CategoryTable.h"
#include "found/EntryValue.h"
#include "scan/QuickScanRun.h"
#include "scan/ScanStatistics.h"
#include "scan/UndelvoState.h"
#include "settings/Registry.h"
#include "ui/Panel4.h"
#include "ui/Unit1.h"
#include "UiTestSupport.h"

using namespace undelvo;
using namespace undelvo::ui;

namespace {

struct ScriptedPrompter : Prompter {
  QStringList told, asked;
  std::function<bool(const QString&)> answer = [](const QString&) { return true; };
  bool leave = true;  // the answer to "Scan results are not saved..."
  bool tickNote = false;  // "Do not show message again" on the same-drive note
  int notes = 0;
  bool SameDriveNote(QWidget*) override {
    ++notes;
    return tickNote;
  }
  int leaveAsked = 0;
  bool ConfirmLeaveResults(QWidget*) override {
    ++leaveAsked;
    return leave;
  }
  void Inform(QWidget*, const QString& text) override { told << text; }
  bool Confirm(QWidget*, const QString& question) override {
    asked << question;
    return answer(question);
  }
};

struct Manifest {
  QString name;
  int64_t size = 0;
  bool reused = false, contiguous = false;
  QByteArray sha;
};
std::vector<Manifest> ReadManifest(const QString& image) {
  std::vector<Manifest> rows;
  QFile f(QStringLiteral(UNDELVO_SOURCE_DIR "/tests/data/") + image + ".manifest.tsv");
  if (!f.open(QIODevice::ReadOnly)) return rows;
  f.readLine();
  while (!f.atEnd()) {
    const QStringList c = QString::fromUtf8(f.readLine()).trimmed().split(QLatin1Char('\t'));
    if (c.size() >= 6) rows.push_back({c[0], c[2].toLongLong(), c[4] == "1", c[5] == "1", c[3].toLatin1()});
  }
  return rows;
}

// A window over one image, with settings of its own and events at every pump.
struct Window {
  explicit Window(const QString& image) : state(settings.filePath(QStringLiteral("registry.reg"))), ctx(state, prompter) {
    state.Program.Config.DataDir = QStringLiteral(UNDELVO_BIN_DIR);
    state.Program.GeometryCacheFile = settings.filePath(QStringLiteral("Zantero.ini"));
    state.Program.Config.SaveFolder = settings.filePath(QStringLiteral("Restored Files"));
    ctx.pumpIntervalMs = 0;
    DriveTableOptions drives;
    drives.includeBlockDevices = false;
    drives.settingsFolder = settings.path();
    if (!image.isEmpty()) drives.images.push_back(QFile::encodeName(image).toStdString());
    form = std::make_unique<TForm1>(ctx, drives);
    form->ResultsPanel()->SetFolderOpener([this](const QUrl& url) { opened << url; });
  }
  Panel4* Results() const { return form->ResultsPanel(); }
  QStringList Column(int column) const {
    QStringList out;
    const ResultsModel* m = Results()->Model();
    for (int r = 0; r < m->rowCount(); ++r) out << m->index(r, column).data().toString();
    return out;
  }
  // Selects the rows whose file name is in `names`.
  void Select(const std::function<bool(const QString&)>& pick) {
    QTableView* list = Results()->FileList();
    list->clearSelection();
    const ResultsModel* m = Results()->Model();
    for (int r = 0; r < m->rowCount(); ++r)
      if (pick(m->index(r, 0).data().toString()))
        list->selectionModel()->select(m->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  QTemporaryDir settings;
  UndelvoState state;
  ScriptedPrompter prompter;
  UiContext ctx;
  std::unique_ptr<TForm1> form;
  QList<QUrl> opened;
};

}  // namespace

class ResultsPanelTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QHash<QString, QString> images_;
  QHash<QString, QByteArray> shas_;

  QString Image(const QString& name) {
    if (!images_.contains(name)) {
      const QString out = dir_.filePath(name);
      QProcess gunzip;
      gunzip.setStandardOutputFile(out);
      gunzip.start(QStringLiteral("gunzip"),
                   {QStringLiteral("-c"), QStringLiteral(UNDELVO_SOURCE_DIR "/tests/data/") + name + ".gz"});
      gunzip.waitForFinished();
      images_[name] = out;
      shas_[name] = test::FileSha256(out);
    }
    return images_[name];
  }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }
  void cleanupTestCase() {
    for (auto it = images_.cbegin(); it != images_.cend(); ++it) QCOMPARE(test::FileSha256(it.value()), shas_[it.key()]);
  }

  void categoryCaptionsAndCountsAreTheStoresOnes() {
    Window w(Image(QStringLiteral("ntfs.img")));
    w.form->QuickPanel()->StartScan();
    QTreeWidget* list = w.Results()->CategoryList();
    QCOMPARE(list->topLevelItemCount(), 6);
    const FoundState& found = w.state.Scan.Found;
    const auto groups = CategoryGroups();
    for (int g = 0; g < 6; ++g) {
      QTreeWidgetItem* group = list->topLevelItem(g);
      QCOMPARE(group->text(0), GroupCaption(w.state.Program.Lang, groups[size_t(g)], GroupCount(found, groups[size_t(g)])));
      QCOMPARE(group->childCount(), int(groups[size_t(g)].entries.size()));
    }
    QCOMPARE(list->topLevelItem(0)->child(0)->text(0), QStringLiteral("Word documents (4 files)"));
    QCOMPARE(w.form->findChild<QLabel*>(QStringLiteral("Panel4HintLabel"))->text(),
             QStringLiteral("0 of %1 files selected for recovery").arg(found.FoundCount));
    // Word documents: the four REPORT.DOC and 日本語.doc rows, sizes in kb.
    w.Results()->OpenCategory(0, 0);
    QCOMPARE(w.Results()->Model()->rowCount(), 4);
    QVERIFY(w.Column(0).contains(QStringLiteral("REPORT(1).DOC")));
  }

  void aLargeCategoryListsItsFirstThousandAndTheSelectionLineCountsEveryFile() {
    Window w{QString()};
    FoundState& found = w.state.Scan.Found;
    for (int i = 0; i < 1500; ++i)
      found.FoundFiles.Write(QStringLiteral("TXT"), QStringLiteral("note%1.txt").arg(1499 - i),
                             QStringLiteral("%1#C:\\#2024/01/02#%2").arg(i + 100).arg(i));
    found.FoundCount = 1250;  // what the scan says it found
    found.CategoryCount[1] = 1250;
    found.ScannedCount = 1;
    w.Results()->Enter();
    QCOMPARE(w.Results()->CategoryList()->topLevelItem(0)->child(3)->text(0), QStringLiteral("Text documents (1500 files)"));
    w.Results()->OpenCategory(0, 3);
    QCOMPARE(w.Results()->Model()->rowCount(), 1000);
    const QStringList names = w.Column(0);
    QCOMPARE(names.first(), QStringLiteral("note1499.txt"));  // the order of first write
    QCOMPARE(names.last(), QStringLiteral("note500.txt"));
    w.Results()->SelectAll();
    QCOMPARE(w.form->findChild<QLabel*>(QStringLiteral("Panel4HintLabel"))->text(),
             QStringLiteral("1000 of 1250 files selected for recovery"));
    w.Results()->DeselectAll();
    QVERIFY(w.form->findChild<QLabel*>(QStringLiteral("Panel4HintLabel"))->text().startsWith("0 of 1250"));
  }

  void theWindowAndTheCommandLineListTheSameFiles_data() {
    QTest::addColumn<QString>("image");
    QTest::newRow("FAT16") << "fat16.img";
    QTest::newRow("NTFS") << "ntfs.img";
  }
  void theWindowAndTheCommandLineListTheSameFiles() {
    QFETCH(QString, image);
    const QString path = Image(image);
    Window w(path);
    w.form->QuickPanel()->StartScan();
    w.form->findChild<QLineEdit*>(QStringLiteral("Panel4FindEdit"))->setText(QStringLiteral("*.*"));
    w.Results()->Find();
    QStringList window;
    const ResultsRows& rows = w.Results()->Model()->Rows();
    for (size_t i = 0; i < rows.DataArray.size(); ++i)
      window << rows.DataArray[i].Str1 + " " + rows.DataArray[i].Str2 + " " +
                    QString::number(ParseEntryValue(rows.ViewList[qsizetype(i)]).size) + " " +
                    w.Results()->Model()->index(int(i), ResultsModel::StateColumn).data().toString();
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), w.settings.filePath(QStringLiteral("cli")));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(UNDELVO_CLI), {"scan", "--json", "--image", path});
    QVERIFY(cli.waitForFinished(60000));
    QStringList listed;
    for (const QJsonValue f : QJsonDocument::fromJson(cli.readAllStandardOutput()).object()["files"].toArray()) {
      const QJsonObject o = f.toObject();
      const QString state = o["state"].toString() == "partial"
                                ? QString("partial (%1 %)").arg(o["intact_percent"].toInt())
                                : o["state"].toString();
      listed << o["name"].toString() + " " + o["path"].toString() + " " + QString::number(o["size"].toInteger()) +
                    " " + state;
    }
    window.sort();
    listed.sort();
    QVERIFY(window.size() > 10);
    QCOMPARE(window, listed);
  }

  void sizesShowInRoundedKilobytes() {
    Window w{QString()};
    FoundState& found = w.state.Scan.Found;
    const int64_t sizes[] = {511, 512, 1536, 2560, 2561};
    for (int64_t s : sizes)
      found.FoundFiles.Write(QStringLiteral("PDF"), QStringLiteral("f%1.pdf").arg(s), QStringLiteral("9#C:\\#d#%1").arg(s));
    w.Results()->Enter();
    w.Results()->OpenCategory(0, 4);
    QCOMPARE(w.Column(ResultsModel::SizeColumn), QStringList({"0 kb", "0 kb", "2 kb", "2 kb", "3 kb"}));
  }

  void searchFindsTextMasksAndOtherFiles() {
    Window w{QString()};
    FoundState& found = w.state.Scan.Found;
    found.FoundFiles.Write("DOC", "Report.doc", "10#C:\\Work\\#d#1");
    found.FoundFiles.Write("DOC", "letter.doc", "11#C:\\Mail\\#d#1");
    found.FoundFiles.Write("JPG", "holiday.jpg", "12#C:\\Photos\\#d#2");
    found.OtherFiles << "data.xyz=13#C:\\Report drafts\\#d#4" << "plain.dat2=14#C:\\mine\\#d#4";
    w.Results()->Enter();
    auto* edit = w.form->findChild<QLineEdit*>(QStringLiteral("Panel4FindEdit"));
    const struct {
      const char* text;
      QStringList names;
    } cases[] = {
        {"REPORT", {"Report.doc", "data.xyz"}},  // any case; other files by their whole line
        {"*.doc", {"Report.doc", "letter.doc"}},
        {"*.dat2", {"plain.dat2"}},              // reduced to DAT2 for the other files
    };
    for (const auto& c : cases) {
      edit->setText(QString::fromLatin1(c.text));
      w.Results()->Find();
      QVERIFY2(w.Column(0) == c.names, qPrintable(c.text + QStringLiteral(": ") + w.Column(0).join(", ")));
    }
    edit->setText(QStringLiteral("nothing like it"));
    w.Results()->Find();
    QCOMPARE(w.prompter.told, QStringList{"No such file found!"});
    QCOMPARE(w.Results()->Model()->rowCount(), 0);
  }

  void recoveringWritesTheManifestsBytesAndNeverReplaces_data() {
    QTest::addColumn<QString>("image");
    QTest::newRow("FAT16") << "fat16.img";
    QTest::newRow("FAT32") << "fat32-mbr.img";
    QTest::newRow("NTFS") << "ntfs.img";
  }
  void recoveringWritesTheManifestsBytesAndNeverReplaces() {
    QFETCH(QString, image);
    Window w(Image(image));
    w.form->QuickPanel()->StartScan();
    auto* edit = w.form->findChild<QLineEdit*>(QStringLiteral("Panel4FindEdit"));
    edit->setText(QStringLiteral("*.*"));
    w.Results()->Find();
    w.Results()->SelectAll();
    const int32_t before = LoadScanStatistics(w.state.Program.Registry).Recovered;
    w.Results()->Recover();
    QCOMPARE(w.prompter.asked.first(), QStringLiteral("Restore selected files?"));
    // Each fixture holds files written over after their deletion: counted apart.
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+ file\\(s\\) restored! [1-9]\\d* of them may be damaged\\.$"))
                 .match(w.prompter.told.last())
                 .hasMatch(),
             qPrintable(w.prompter.told.last()));
    const int restored = w.prompter.told.last().section(QLatin1Char(' '), 0, 0).toInt();
    QVERIFY(restored > 10);
    QCOMPARE(w.opened, QList<QUrl>{QUrl::fromLocalFile(w.state.Program.Config.SaveFolder)});
    QCOMPARE(LoadScanStatistics(w.state.Program.Registry).Recovered, before + restored);
    QSet<QByteArray> written;
    const QString folder = w.state.Program.Config.SaveFolder;
    for (const QString& f : QDir(folder).entryList(QDir::Files)) written.insert(test::FileSha256(folder + "/" + f));
    // Every listed file that was neither overwritten nor fragmented comes back byte for byte.
    QSet<QString> listed;
    for (const QString& name : w.Column(0)) listed.insert(name.toCaseFolded());
    int checked = 0;
    for (const Manifest& m : ReadManifest(image)) {
      if (m.reused || !m.contiguous || m.size == 0 || !listed.contains(m.name.toCaseFolded())) continue;
      QVERIFY2(written.contains(m.sha), qPrintable(m.name));
      ++checked;
    }
    QVERIFY(checked >= 5);

    // Again: name(1) copies next to the first ones, nothing replaced.
    const int files = int(QDir(folder).entryList(QDir::Files).size());
    w.Results()->Recover();
    QCOMPARE(int(QDir(folder).entryList(QDir::Files).size()), files + restored);
    // Only the files listed as empty come back empty.
    QSet<QString> empty;
    for (const Manifest& m : ReadManifest(image))
      if (m.size == 0) empty.insert(m.name.toCaseFolded());
    for (const QString& f : QDir(folder).entryList(QDir::Files))
      QVERIFY2(QFileInfo(folder + "/" + f).size() > 0 || empty.contains(QString(f).remove(QRegularExpression("\\(\\d+\\)")).toCaseFolded()),
               qPrintable(f));
  }

  void recycleBinRowsAreCopiedAndNeverReplaced() {
    Window w(Image(QStringLiteral("ntfs.img")));
    // A folder stands in for the mounted volume: its bin holds one file.
    const QString mount = w.settings.filePath(QStringLiteral("mnt"));
    QVERIFY(QDir().mkpath(mount + "/$RECYCLE.BIN/S-1-5-21"));
    QFile binned(mount + "/$RECYCLE.BIN/S-1-5-21/$RAB12CE.jpg");
    QVERIFY(binned.open(QIODevice::WriteOnly) && binned.write("jpeg bytes") == 10);
    binned.close();
    w.state.Program.Drives.drives[0].mountPoint = mount;
    w.form->QuickPanel()->StartScan();
    w.form->findChild<QLineEdit*>(QStringLiteral("Panel4FindEdit"))->setText(QStringLiteral("$RAB"));
    w.Results()->Find();
    QCOMPARE(w.Column(0), QStringList{"$RAB12CE.jpg"});
    w.Results()->SelectAll();
    w.Results()->Recover();
    QCOMPARE(w.prompter.told.last(), QStringLiteral("1 file(s) restored!"));
    const QString copy = w.state.Program.Config.SaveFolder + "/$RAB12CE.jpg";
    QFile copied(copy);
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), QByteArray("jpeg bytes"));
    w.Results()->Recover();  // the copy is there: nothing replaced, nothing counted
    QCOMPARE(w.prompter.told.last(), QStringLiteral("0 file(s) restored!"));
    QCOMPARE(QDir(w.state.Program.Config.SaveFolder).entryList(QDir::Files).size(), 1);
  }

  void theSameDriveNoteShowsUntilTheUserTicksItsBox() {
    Window w(Image(QStringLiteral("ntfs.img")));
    RegWriteBool(w.state.Program.Registry, RegRoot::CurrentUser, kSettingsKey, QStringLiteral("ShowNote"), true);
    w.form->QuickPanel()->StartScan();
    w.Results()->OpenCategory(0, 3);
    w.Results()->SelectAll();
    w.Results()->Recover();
    QCOMPARE(w.prompter.notes, 1);
    w.prompter.tickNote = true;
    w.Results()->Recover();
    QCOMPARE(w.prompter.notes, 2);
    QVERIFY(!RegReadBool(w.state.Program.Registry, RegRoot::CurrentUser, kSettingsKey, QStringLiteral("ShowNote")));
    w.Results()->Recover();
    QCOMPARE(w.prompter.notes, 2);  // turned off for later runs
    // Anything but Yes to "Restore selected files?" changes nothing.
    const int files = int(QDir(w.state.Program.Config.SaveFolder).entryList(QDir::Files).size());
    w.prompter.answer = [](const QString&) { return false; };
    w.Results()->Recover();
    QCOMPARE(int(QDir(w.state.Program.Config.SaveFolder).entryList(QDir::Files).size()), files);
  }

  void sortingThenRecoveringWritesTheRowTheUserSees() {
    Window w(Image(QStringLiteral("ntfs.img")));
    w.form->QuickPanel()->StartScan();
    w.form->findChild<QLineEdit*>(QStringLiteral("Panel4FindEdit"))->setText(QStringLiteral("*.*"));
    w.Results()->Find();
    ResultsModel* model = w.Results()->Model();
    model->sort(ResultsModel::SizeColumn, Qt::DescendingOrder);
    const QString biggest = model->index(0, 0).data().toString();
    QCOMPARE(biggest, QStringLiteral("movie.avi"));
    w.Select([&](const QString& name) { return name == biggest; });
    // The selection follows its row through another sort.
    model->sort(ResultsModel::FileColumn, Qt::AscendingOrder);
    w.Results()->Recover();
    const QString folder = w.state.Program.Config.SaveFolder;
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{biggest});
    QCOMPARE(QFileInfo(folder + "/" + biggest).size(), 37564);

    // The state sorts by the share still intact: the file written over in part first.
    model->sort(ResultsModel::StateColumn, Qt::AscendingOrder);
    QCOMPARE(model->index(0, ResultsModel::FileColumn).data().toString(), QStringLiteral("Reused notes.txt"));
    QCOMPARE(model->index(0, ResultsModel::StateColumn).data().toString(), QStringLiteral("partial (50 %)"));
    QCOMPARE(model->headerData(ResultsModel::StateColumn, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("State"));
  }

  void aFailedWriteIsNamedAndTheOthersStay() {
    Window w(Image(QStringLiteral("ntfs.img")));
    w.form->QuickPanel()->StartScan();
    w.form->findChild<QLineEdit*>(QStringLiteral("Panel4FindEdit"))->setText(QStringLiteral("*.*"));
    w.Results()->Find();
    w.Select([](const QString& n) { return n == "setup.exe" || n == "plan.txt" || n == "memo.txt"; });
    rlimit before{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit limited = before;
    limited.rlim_cur = 8192;  // a disk too small for setup.exe (30,000 bytes)
    auto old = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    w.Results()->Recover();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, old);
    QVERIFY(w.prompter.told.contains(QStringLiteral("setup.exe: File too large")));
    QCOMPARE(w.prompter.told.last(), QStringLiteral("2 file(s) restored!"));
    const QString folder = w.state.Program.Config.SaveFolder;
    QVERIFY(QFile::exists(folder + "/plan.txt"));
    QVERIFY(QFile::exists(folder + "/memo.txt"));
  }

  void stopBetweenTwoFilesEndsWithOneRestored() {
    Window w(Image(QStringLiteral("ntfs.img")));
    w.form->QuickPanel()->StartScan();
    w.form->findChild<QLineEdit*>(QStringLiteral("Panel4FindEdit"))->setText(QStringLiteral("*.*"));
    w.Results()->Find();
    w.Results()->SelectAll();
    // Stop is the Recover button itself, pressed again once one file is written.
    const QString folder = w.state.Program.Config.SaveFolder;
    QTimer press;
    bool pressed = false;
    connect(&press, &QTimer::timeout, this, [&] {
      if (!pressed && QDir(folder).entryList(QDir::Files).size() == 1) {
        pressed = true;
        w.Results()->Recover();
      }
    });
    press.start(0);
    w.Results()->Recover();
    QVERIFY(pressed);
    QCOMPARE(w.prompter.asked.last(), QStringLiteral("Are you sure you wish to cancel this operation?"));
    QCOMPARE(w.prompter.told.last(), QStringLiteral("1 file(s) restored!"));
    QCOMPARE(w.form->findChild<QPushButton*>(QStringLiteral("Panel4Button2"))->text(), QStringLiteral("Restore"));
  }

  void cancelAsksBeforeTheResultsAreLeft() {
    Window w(Image(QStringLiteral("ntfs.img")));
    w.form->QuickPanel()->StartScan();
    w.Results()->OpenCategory(0, 0);
    auto* cancel = w.form->findChild<QPushButton*>(QStringLiteral("Panel4Button3"));
    w.prompter.leave = false;
    cancel->click();
    QCOMPARE(w.prompter.leaveAsked, 1);
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(w.Results()));
    QCOMPARE(w.Results()->Model()->rowCount(), 4);
    w.prompter.leave = true;
    w.form->findChild<QAbstractButton*>(QStringLiteral("BackLabel"))->click();
    QCOMPARE(w.prompter.leaveAsked, 2);
    QCOMPARE(w.form->CurrentPanel(), static_cast<QWidget*>(w.form->QuickPanel()));
    QCOMPARE(w.Results()->Model()->rowCount(), 0);
  }
};

QTEST_MAIN(ResultsPanelTest)
#include "test_results_panel.moc"
