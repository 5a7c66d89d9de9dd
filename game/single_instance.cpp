#include "game/single_instance.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include "support/support.h"

namespace {
// Reads one line within the time left; "" when none came.
QByteArray ReadLine(QLocalSocket& socket, QElapsedTimer& clock, int timeoutMs) {
  while (!socket.canReadLine()) {
    const qint64 left = timeoutMs - clock.elapsed();
    if (left <= 0 || !socket.waitForReadyRead(static_cast<int>(left))) return {};
  }
  return socket.readLine().trimmed();
}
}  // namespace

SingleInstance::SingleInstance(std::string folder) : m_folder(folder.empty() ? GetTempDataDir() : std::move(folder)) {
  CreatePrivateFolder(m_folder);
}

SingleInstance::~SingleInstance() = default;

std::string SingleInstance::SocketPath() const { return m_folder + kPathSeparator + "RavelleGame.socket"; }

bool SingleInstance::FindRunningInstance(int timeoutMs) {
  m_lock = std::make_unique<QLockFile>(QString::fromStdString(m_folder + kPathSeparator + "RavelleGame.lock"));
  if (m_lock->tryLock(0)) return false;  // alone (a crashed instance's lock is taken over)
  QLocalSocket socket;
  QElapsedTimer clock;
  clock.start();
  socket.connectToServer(QString::fromStdString(SocketPath()));
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write("CheckAppValidity\n");
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  if (ReadLine(socket, clock, timeoutMs) != QByteArray::number(kInstanceAnswer)) return false;
  socket.write("ShowMainWindow\n");
  socket.waitForBytesWritten(timeoutMs);
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::Listen(std::function<int()> check, std::function<void()> show) {
  m_check = std::move(check);
  m_show = std::move(show);
  const QString path = QString::fromStdString(SocketPath());
  QLocalServer::removeServer(path);  // a crashed or hung instance's socket
  m_server = std::make_unique<QLocalServer>();
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!m_server->listen(path)) return false;
  connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
  return true;
}

void SingleInstance::OnConnection() {
  while (QLocalSocket* socket = m_server->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine()) {
        const QByteArray line = socket->readLine().trimmed();
        if (line == "CheckAppValidity") {
          socket->write(QByteArray::number(m_check ? m_check() : 0) + "\n");
          socket->flush();
        } else if (line == "ShowMainWindow" && m_show) {
          m_show();
        }
      }
    });
  }
}
