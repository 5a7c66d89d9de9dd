#include "game/app/single_instance.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include "support/support.h"

namespace {
// Pause between two tries while the holder has no socket yet.
constexpr int kRetryPauseMs = 50;

// Reads one line within the time left; "" when none came.
QByteArray ReadLine(QLocalSocket& socket, const QElapsedTimer& clock, int timeoutMs) {
  while (!socket.canReadLine()) {
    const qint64 left = timeoutMs - clock.elapsed();
    if (left <= 0 || !socket.waitForReadyRead(static_cast<int>(left))) return {};
  }
  return socket.readLine().trimmed();
}

int Left(const QElapsedTimer& clock, int timeoutMs) {
  return static_cast<int>(std::max<qint64>(0, timeoutMs - clock.elapsed()));
}
}  // namespace

SingleInstance::SingleInstance(std::string folder)
    : m_folder(folder.empty() ? GetTempDataDir() : std::move(folder)) {
  m_folderPrivate = CreatePrivateFolder(m_folder);
}

SingleInstance::~SingleInstance() = default;

std::string SingleInstance::SocketPath() const { return m_folder + kPathSeparator + "RavelleGame.socket"; }

bool SingleInstance::Listening() const { return m_server && m_server->isListening(); }

InstanceCheck SingleInstance::Start(int waitMs) {
  if (!m_folderPrivate) return InstanceCheck::kFolderRefused;
  m_lock =
      std::make_unique<QLockFile>(QString::fromStdString(m_folder + kPathSeparator + "RavelleGame.lock"));
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    // Taken when free or when its holder has ended (a crashed game's lock).
    if (m_lock->tryLock(0)) {
      Listen();  // without a socket the game still runs
      return InstanceCheck::kAlone;
    }
    if (AskRunningGame(Left(clock, waitMs))) return InstanceCheck::kShownRunning;
    if (clock.elapsed() >= waitMs) return InstanceCheck::kNotResponding;
    QThread::msleep(static_cast<unsigned long>(std::min(kRetryPauseMs, Left(clock, waitMs))));
  }
}

// One try: true when the game at the socket answered 8888 within timeoutMs
// and was asked to show itself.
bool SingleInstance::AskRunningGame(int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(SocketPath()));
  if (!socket.waitForConnected(Left(clock, timeoutMs))) return false;
  socket.write("CheckAppValidity\n");
  if (!socket.waitForBytesWritten(Left(clock, timeoutMs))) return false;
  if (ReadLine(socket, clock, timeoutMs) != QByteArray::number(kInstanceAnswer)) return false;
  socket.write("ShowMainWindow\n");
  socket.waitForBytesWritten(std::max(Left(clock, timeoutMs), 1000));
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::Listen() {
  const QString path = QString::fromStdString(SocketPath());
  QLocalServer::removeServer(path);  // we hold the lock: a socket there is an ended game's
  m_server = std::make_unique<QLocalServer>();
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!m_server->listen(path)) return false;
  connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
  return true;
}

void SingleInstance::SetHandlers(std::function<int()> check, std::function<void()> show) {
  m_check = std::move(check);
  m_show = std::move(show);
}

void SingleInstance::OnConnection() {
  while (QLocalSocket* socket = m_server->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine()) {
        const QByteArray line = socket->readLine().trimmed();
        if (line == "CheckAppValidity") {
          socket->write(QByteArray::number(m_check ? m_check() : kInstanceAnswer) + "\n");
          socket->flush();
        } else if (line == "ShowMainWindow" && m_show) {
          m_show();
        }
      }
    });
  }
}
