#pragma once
// One running game per user. The first instance holds a lock file and a
// local socket in the user's private temporary folder; a new instance asks
// the socket whether a valid game answers (8888) and, when one does, asks it
// to show itself, then ends silently.
//
// Protocol (one line each, over the socket): the new instance sends
// "CheckAppValidity", the running one answers its number; the new instance
// sends "ShowMainWindow" when the answer was 8888.
//
// The lock decides: while its holder lives nobody else takes it, and the
// holder's socket is never removed. The holder listens as soon as it has
// the lock (answering 8888 while it is still starting). A new instance that
// finds the lock held keeps trying the socket for kInstanceWaitMs, long
// enough for a holder that is starting or busy in one long step; a holder
// that answers nothing valid in that time is reported as not responding. A
// lock whose holder has ended (crashed) is taken over, and its socket with it.
//
// The folder must be the user's own private folder (a real folder, not a
// link, owned by the user, closed to others); another is refused and no
// guard is kept at all.
//
// Sections: SingleInstance
#include <QObject>
#include <functional>
#include <memory>
#include <string>

class QLocalServer;
class QLockFile;

inline constexpr int kInstanceAnswer = 8888;
// How long a new instance keeps trying to reach the lock's holder.
inline constexpr int kInstanceWaitMs = 15000;

enum class InstanceCheck {
  kAlone,          // this instance holds the lock and listens
  kShownRunning,   // the running game answered and was asked to show itself
  kNotResponding,  // a running game holds the lock but did not answer in time
  kFolderRefused,  // the folder is not the user's own private folder: no guard
};

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // folder: where the lock and the socket live (the private temporary folder
  // by default, made when missing).
  explicit SingleInstance(std::string folder = {});
  ~SingleInstance() override;

  // Takes the lock and listens at once, or reaches the running game within
  // waitMs (see the top of the file). Once only.
  InstanceCheck Start(int waitMs = kInstanceWaitMs);
  // What answers from now on: check() the number to a query, show() a
  // wake-up. Before, a query is answered 8888 and a wake-up is dropped (a
  // starting game comes up in front by itself).
  void SetHandlers(std::function<int()> check, std::function<void()> show);

  const std::string& Folder() const { return m_folder; }
  std::string SocketPath() const;
  bool Listening() const;

 private:
  bool Listen();
  bool AskRunningGame(int waitMs);
  void OnConnection();

  std::string m_folder;
  bool m_folderPrivate = false;
  std::unique_ptr<QLockFile> m_lock;
  std::unique_ptr<QLocalServer> m_server;
  std::function<int()> m_check;
  std::function<void()> m_show;
};
