#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <deque>
#include <functional>

#include "ui/Prompter.h"

namespace undelvo::test {

// The sha256 of a file's content in hex; empty when it cannot be read.
QByteArray FileSha256(const QString& path);

// A prompter that answers by itself: it records every message and question
// and answers the questions from `answers` in turn, then `defaultAnswer`.
class AutoPrompter : public ui::Prompter {
 public:
  void Inform(QWidget* over, const QString& text) override;
  bool Confirm(QWidget* over, const QString& question) override;

  QStringList informed;
  QStringList asked;
  std::deque<bool> answers;
  bool defaultAnswer = true;
  // Run inside each Inform/Confirm, e.g. to check the state while a modal question would be open.
  std::function<void(const QString&)> onPrompt;
};

// A settings folder of its own: XDG_CONFIG_HOME points into a temporary
// folder while it lives, and back to what it was afterwards.
class TempSettingsFolder {
 public:
  TempSettingsFolder();
  ~TempSettingsFolder();
  TempSettingsFolder(const TempSettingsFolder&) = delete;
  TempSettingsFolder& operator=(const TempSettingsFolder&) = delete;
  QString Path() const { return dir_.path(); }
  // The registry file the program would use there.
  QString RegistryPath() const;

 private:
  QTemporaryDir dir_;
  QByteArray saved_;
  bool had_;
};

// The child of `root` named `name` (objectName), or nullptr with a warning
// naming what was missing.
QWidget* Child(const QObject* root, const QString& name);
template <class T>
T* Child(const QObject* root, const QString& name) {
  return qobject_cast<T*>(Child(root, name));
}

// The build's program folder (language files, the animation).
QString BinDir();

// Runs `act` on the next modal dialog as soon as it is shown (polls the
// event loop every 10 ms; gives up after `timeoutMs`), passing over
// `besides` (a dialog already open). For dialogs a test opens with exec().
// When a check inside `act` fails, the dialog is closed so exec() returns.
void OnNextModal(std::function<void(QWidget*)> act, QWidget* besides = nullptr, int timeoutMs = 5000);

}  // namespace undelvo::test
