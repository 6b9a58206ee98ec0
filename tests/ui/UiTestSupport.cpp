#include "UiTestSupport.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QtGlobal>

namespace undelvo::test {

QByteArray FileSha256(const QString& path) {
  QFile f(path);
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!f.open(QIODevice::ReadOnly) || !hash.addData(&f)) return {};
  return hash.result().toHex();
}

void AutoPrompter::Inform(QWidget*, const QString& text) {
  informed << text;
  if (onPrompt) onPrompt(text);
}

bool AutoPrompter::Confirm(QWidget*, const QString& question) {
  asked << question;
  if (onPrompt) onPrompt(question);
  if (answers.empty()) return defaultAnswer;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

TempSettingsFolder::TempSettingsFolder() : saved_(qgetenv("XDG_CONFIG_HOME")), had_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
  qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
}

TempSettingsFolder::~TempSettingsFolder() {
  if (had_)
    qputenv("XDG_CONFIG_HOME", saved_);
  else
    qunsetenv("XDG_CONFIG_HOME");
}

QString TempSettingsFolder::RegistryPath() const { return dir_.path() + QStringLiteral("/undelvo/registry.reg"); }

QWidget* Child(const QObject* root, const QString& name) {
  auto* w = root ? root->findChild<QWidget*>(name) : nullptr;
  if (!w) qWarning("no child widget named %s", qPrintable(name));
  return w;
}

QString BinDir() { return QStringLiteral(UNDELVO_BIN_DIR); }

void OnNextModal(std::function<void(QWidget*)> act, QWidget* besides, int timeoutMs) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QElapsedTimer clock;
  clock.start();
  QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act), clock, timeoutMs, besides = QPointer<QWidget>(besides)] {
    QWidget* modal = QApplication::activeModalWidget();
    const bool shown = modal && modal->isVisible() && modal != besides;
    if (!shown && clock.elapsed() <= timeoutMs) return;
    timer->stop();
    timer->deleteLater();
    if (shown) {
      QPointer<QWidget> guard(modal);
      act(modal);
      // A check that failed inside `act` returned early: close the dialog so
      // that its exec() returns and the test ends instead of hanging.
      if (QTest::currentTestFailed() && guard && guard->isVisible()) guard->close();
    } else
      qWarning("no modal dialog appeared within %d ms", timeoutMs);
  });
  timer->start();
}

}  // namespace undelvo::test
