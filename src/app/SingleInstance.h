#pragma once
#include <QObject>
#include <QStringList>

class QLocalServer;

namespace undelvo::app {

// One window per user: the first start listens on a local socket named for
// the user; a later start hands its request to it and ends. Requests are
// the lines "DRestore 1140" (come to the front; "image PATH" lines may
// follow) and "DUninstall 1141" (stop what runs and end).
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit SingleInstance(QObject* parent = nullptr);
  ~SingleInstance() override;

  // The socket's name for the current user.
  static QString ServerName();
  // Hands `request` to a running instance: true when one took it, within
  // `waitMs` milliseconds in all.
  static bool Send(const QByteArray& request, int waitMs = 500);
  static QByteArray RestoreRequest(const QStringList& images);
  static QByteArray UninstallRequest();

  // Starts listening. A socket left behind by an instance that was killed
  // is taken over; false only when no socket can be made.
  bool Listen();

 signals:
  void restoreRequested(const QStringList& images);
  void uninstallRequested();

 private:
  void Accept();

  QLocalServer* server_;
};

}  // namespace undelvo::app
