#pragma once
// One running game per user. The first instance holds a lock file and a
// local socket in the user's private temporary folder; a new instance asks
// the socket whether a valid game answers (8888) and, when one does, asks it
// to show itself, then ends silently.
//
// Protocol (one line each, over the socket): the new instance sends
// "CheckAppValidity", the running one answers its number; the new instance
// sends "ShowMainWindow" when the answer was 8888. An instance that does not
// answer within the timeout (hung, stopped) or answers anything else is not
// taken as running: the new one starts as if alone and takes the socket
// name over. A lock left by a crashed instance is taken over.
#include <QObject>
#include <functional>
#include <memory>
#include <string>

class QLocalServer;
class QLockFile;

inline constexpr int kInstanceAnswer = 8888;
inline constexpr int kInstanceQueryTimeoutMs = 2000;

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // folder: where the lock and the socket live (the private temporary folder
  // by default, made when missing).
  explicit SingleInstance(std::string folder = {});
  ~SingleInstance() override;

  // true when another instance answered 8888; it has been asked to show.
  bool FindRunningInstance(int timeoutMs = kInstanceQueryTimeoutMs);
  // Starts answering: check() gives the answer to a query, show() runs on a
  // wake-up. false when the socket cannot be opened (the game still runs).
  bool Listen(std::function<int()> check, std::function<void()> show);

  std::string SocketPath() const;

 private:
  void OnConnection();

  std::string m_folder;
  std::unique_ptr<QLockFile> m_lock;
  std::unique_ptr<QLocalServer> m_server;
  std::function<int()> m_check;
  std::function<void()> m_show;
};
