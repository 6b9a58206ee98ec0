#include "app/SingleInstance.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace undelvo::app {

namespace {
constexpr char kRestore[] = "DRestore 1140";
constexpr char kUninstall[] = "DUninstall 1141";
constexpr char kImage[] = "image ";
}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName() { return QStringLiteral("undelvo-%1").arg(::getuid()); }

QByteArray SingleInstance::RestoreRequest(const QStringList& images) {
  QByteArray request = QByteArray(kRestore) + '\n';
  for (const QString& image : images) request += kImage + image.toUtf8() + '\n';
  return request;
}

QByteArray SingleInstance::UninstallRequest() { return QByteArray(kUninstall) + '\n'; }

bool SingleInstance::Send(const QByteArray& request, int waitMs) {
  QElapsedTimer clock;
  clock.start();
  QLocalSocket socket;
  socket.connectToServer(ServerName());
  if (!socket.waitForConnected(waitMs)) return false;
  socket.write(request);
  const int left = std::max<int>(1, waitMs - int(clock.elapsed()));
  if (!socket.waitForBytesWritten(left)) return false;
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::Listen() {
  if (server_->listen(ServerName())) return true;
  // Nobody answered on the name (Send failed before we came here): the
  // socket file is a leftover of a killed instance.
  QLocalServer::removeServer(ServerName());
  return server_->listen(ServerName());
}

void SingleInstance::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    // A request is whole once its sender hangs up.
    auto* request = new QByteArray;
    connect(socket, &QLocalSocket::readyRead, this, [socket, request] { *request += socket->readAll(); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, request] {
      *request += socket->readAll();
      const QList<QByteArray> lines = request->split('\n');
      delete request;
      socket->deleteLater();
      const QByteArray first = lines.value(0).trimmed();
      if (first == kUninstall) {
        emit uninstallRequested();
      } else if (first == kRestore) {
        QStringList images;
        for (qsizetype i = 1; i < lines.size(); ++i)
          if (lines[i].startsWith(kImage)) images << QString::fromUtf8(lines[i].mid(qsizetype(sizeof kImage) - 1));
        emit restoreRequested(images);
      }
    });
  }
}

}  // namespace undelvo::app
