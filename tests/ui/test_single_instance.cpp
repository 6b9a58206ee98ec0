// One window per user: a second start hands over to the first and ends,
// "/UNINSTALL" ends the running window (a scanning one too), and a socket
// left by a killed window never blocks a start.
#include <QElapsedTimer>
#include <QComboBox>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>

#include "app/ServeWindow.h"
#include "app/SingleInstance.h"
#include "scan/UndelvoState.h"
#include "ui/Unit1.h"

using namespace undelvo;

namespace {

struct QuietPrompter : ui::Prompter {
  QStringList told;
  void Inform(QWidget*, const QString& text) override { told << text; }
  bool Confirm(QWidget*, const QString&) override { return false; }
};

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  // The window program, offscreen, with settings and its socket in the test's folder.
  std::unique_ptr<QProcess> Start(const QStringList& args) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(UNDELVO_WINDOW), args);
    p->waitForStarted();
    return p;
  }
  // Waits until a running window answers on the socket.
  static bool WaitForListener(int ms = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
      QLocalSocket probe;
      probe.connectToServer(app::SingleInstance::ServerName());
      if (probe.waitForConnected(100)) return true;
      QTest::qWait(50);
    }
    return false;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    // The socket lives in the temporary folder: the test's own, not the user's.
    qputenv("TMPDIR", dir_.path().toUtf8());
  }

  void aSecondStartRaisesTheFirstAndEnds() {
    auto first = Start({});
    QVERIFY(WaitForListener());
    QElapsedTimer clock;
    clock.start();
    auto second = Start({QStringLiteral("--image"), QStringLiteral("/nonexistent.img")});
    QVERIFY(second->waitForFinished(3000));
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(first->state(), QProcess::Running);

    // "/uninstall", in any case and with blanks, ends the running window.
    auto uninstall = Start({QStringLiteral("  /uninstall ")});
    QVERIFY(uninstall->waitForFinished(3000));
    QCOMPARE(uninstall->exitCode(), 0);
    QVERIFY(first->waitForFinished(5000));
    QCOMPARE(first->exitCode(), 0);

    // Without a running window it ends at once.
    clock.restart();
    auto alone = Start({QStringLiteral("/UNINSTALL")});
    QVERIFY(alone->waitForFinished(3000));
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
  }

  void aKilledWindowsSocketNeverBlocksAStart() {
    auto killed = Start({});
    QVERIFY(WaitForListener());
    ::kill(pid_t(killed->processId()), SIGKILL);
    QVERIFY(killed->waitForFinished(3000));
    auto next = Start({});
    QVERIFY2(WaitForListener(), "the new window listens");
    QCOMPARE(next->state(), QProcess::Running);
    next->terminate();
    QVERIFY(next->waitForFinished(5000));
  }

  void anUninstallStopsAScanningWindow() {
    const QString image = dir_.filePath(QStringLiteral("ntfs.img"));
    QProcess gunzip;
    gunzip.setStandardOutputFile(image);
    gunzip.start(QStringLiteral("gunzip"), {QStringLiteral("-c"), QStringLiteral(UNDELVO_SOURCE_DIR "/tests/data/ntfs.img.gz")});
    QVERIFY(gunzip.waitForFinished());

    QTemporaryDir settings;
    UndelvoState state(settings.filePath(QStringLiteral("registry.reg")));
    state.Program.Config.DataDir = QStringLiteral(UNDELVO_BIN_DIR);
    state.Program.GeometryCacheFile = settings.filePath(QStringLiteral("Zantero.ini"));
    QuietPrompter prompter;
    ui::UiContext ctx(state, prompter);
    ctx.pumpIntervalMs = 0;
    DriveTableOptions drives;
    drives.includeBlockDevices = false;
    drives.settingsFolder = settings.path();
    drives.images.push_back(QFile::encodeName(image).toStdString());
    ui::TForm1 window(ctx, drives);
    app::SingleInstance instance;
    QVERIFY(instance.Listen());
    app::ServeWindow(instance, window, state.Run);

    // A second start's "/UNINSTALL" arrives while the scan runs.
    bool sent = false;
    QTimer::singleShot(0, this, [&] { sent = app::SingleInstance::Send(app::SingleInstance::UninstallRequest()); });
    window.QuickPanel()->StartScan();
    QVERIFY(sent);
    QVERIFY(state.Run.Stopped());
    QVERIFY(!state.Run.Busy());

    // Images given to a later start join the drive lists of the idle window.
    const QString second = dir_.filePath(QStringLiteral("second.img"));
    QFile::remove(second);
    QVERIFY(QFile::copy(image, second));
    auto* box = window.findChild<QComboBox*>(QStringLiteral("Panel1DriveBox"));
    QCOMPARE(box->count(), 1);
    QVERIFY(app::SingleInstance::Send(app::SingleInstance::RestoreRequest({second})));
    QTRY_COMPARE(box->count(), 2);
  }
};

QTEST_MAIN(SingleInstanceTest)
#include "test_single_instance.moc"
