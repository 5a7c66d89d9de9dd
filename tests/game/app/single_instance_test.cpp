// One game per user. In one process (the second start runs on a thread of
// its own, as another program would): a holder that listens late or does
// not answer keeps the guard, a crashed holder's lock is taken over, a
// folder that is not the user's own is refused. With the real program: a
// second start raises the first and ends.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <filesystem>
#include <future>

#include "game/app/single_instance.h"
#include "testkit.h"
#include "wait.h"

namespace {
class SingleInstanceTest : public ::testing::Test {
 protected:
  SingleInstanceTest() {
    m_run = m_dir.MakeFolder("run");
    m_folder = m_run + "/Ravelle";
  }
  QString LockPath() const { return QString::fromStdString(m_folder + "/RavelleGame.lock"); }
  QString SocketPath() const { return QString::fromStdString(m_folder + "/RavelleGame.socket"); }

  // A second start on a thread of its own; the test's event loop keeps
  // running meanwhile (for what this thread listens with).
  struct Outcome {
    InstanceCheck check;
    qint64 ms;
  };
  Outcome StartElsewhere(int waitMs) {
    const std::string folder = m_folder;
    auto result = std::async(std::launch::async, [folder, waitMs] {
      QElapsedTimer clock;
      clock.start();
      SingleInstance second(folder);
      const InstanceCheck check = second.Start(waitMs);
      return Outcome{check, clock.elapsed()};
    });
    testkit::WaitUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                       waitMs + 10000);
    return result.get();
  }

  testkit::TempDir m_dir;
  std::string m_run;
  std::string m_folder;
};

// A holder that answers queries as the game does, counting wake-ups.
class FakeHolder : public QObject {
 public:
  explicit FakeHolder(const QString& path, bool answers) {
    server.listen(path);
    connect(&server, &QLocalServer::newConnection, this, [this, answers] {
      while (QLocalSocket* s = server.nextPendingConnection()) {
        connections.push_back(s);
        if (!answers) continue;  // hung: takes the call, says nothing
        connect(s, &QLocalSocket::readyRead, s, [this, s] {
          while (s->canReadLine()) {
            const QByteArray line = s->readLine().trimmed();
            if (line == "CheckAppValidity") s->write("8888\n"), s->flush();
            if (line == "ShowMainWindow") ++shows;
          }
        });
      }
    });
  }
  QLocalServer server;
  std::vector<QLocalSocket*> connections;
  int shows = 0;
};

using SingleInstance_Offscreen = SingleInstanceTest;
using SingleInstance_X11 = SingleInstanceTest;
}  // namespace

// Two starts at the same instant: the lock's holder has no socket yet. The
// second keeps trying and finds it once it listens, instead of running too.
TEST_F(SingleInstance_Offscreen, AHolderThatListensLateIsFoundAndShown) {
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_folder)));
  QLockFile lock(LockPath());
  ASSERT_TRUE(lock.tryLock(0));
  std::unique_ptr<FakeHolder> holder;
  const std::string folder = m_folder;
  auto second = std::async(std::launch::async, [folder] { return SingleInstance(folder).Start(10000); });
  testkit::KeepRunningFor(700);  // the holder is still loading
  holder = std::make_unique<FakeHolder>(SocketPath(), true);
  ASSERT_TRUE(testkit::WaitUntil(
      [&] { return second.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 15000));
  EXPECT_EQ(second.get(), InstanceCheck::kShownRunning);
  EXPECT_TRUE(testkit::WaitUntil([&] { return holder->shows == 1; }, 5000));
}

// A holder that is stopped or busy: the second start waits its time, says
// the game does not respond, and leaves the holder's lock and socket alone.
TEST_F(SingleInstance_Offscreen, AHolderThatDoesNotAnswerKeepsItsSocketAndLock) {
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_folder)));
  QLockFile lock(LockPath());
  ASSERT_TRUE(lock.tryLock(0));
  FakeHolder holder(SocketPath(), false);
  const Outcome outcome = StartElsewhere(1500);
  EXPECT_EQ(outcome.check, InstanceCheck::kNotResponding);
  EXPECT_GE(outcome.ms, 1500);
  EXPECT_LT(outcome.ms, 1500 + 3000);
  EXPECT_TRUE(QFile::exists(SocketPath()));
  EXPECT_TRUE(holder.server.isListening());
  EXPECT_TRUE(QFile::exists(LockPath()));
  // Once it answers again it is found, and no second game took over.
  holder.server.close();
  FakeHolder back(SocketPath(), true);
  EXPECT_EQ(StartElsewhere(5000).check, InstanceCheck::kShownRunning);
  EXPECT_TRUE(testkit::WaitUntil([&] { return back.shows == 1; }, 5000));
}

TEST_F(SingleInstance_Offscreen, ACrashedInstancesLockAndSocketAreTakenOver) {
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_folder)));
  QFile lock(LockPath());
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write("999999\nRavelleGame\n" + QSysInfo::machineHostName().toUtf8() + "\n");
  lock.close();
  QFile socket(SocketPath());  // what a crashed game leaves: a dead socket name
  ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
  socket.close();
  SingleInstance again(m_folder);
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(again.Start(10000), InstanceCheck::kAlone);
  EXPECT_LT(clock.elapsed(), 5000);  // taken over at once, not after the wait
  EXPECT_TRUE(again.Listening());
}

// Before the game sets its handlers it answers as a starting game; after,
// with them. The first start's request to be shown may reach the holder only
// once its loop runs again, when other handlers are already set: each set of
// handlers counts its own.
TEST_F(SingleInstance_Offscreen, TheHolderAnswersFromTheStart) {
  SingleInstance first(m_folder);
  ASSERT_EQ(first.Start(), InstanceCheck::kAlone);
  EXPECT_EQ(StartElsewhere(5000).check, InstanceCheck::kShownRunning);
  int early = 0;
  first.SetHandlers([] { return 1234; }, [&early] { ++early; });
  EXPECT_EQ(StartElsewhere(1000).check, InstanceCheck::kNotResponding);  // not our game's answer
  EXPECT_LE(early, 1);  // at most the first start's late request
  int shows = 0;
  first.SetHandlers([] { return kInstanceAnswer; }, [&shows] { ++shows; });
  EXPECT_EQ(StartElsewhere(5000).check, InstanceCheck::kShownRunning);
  EXPECT_TRUE(testkit::WaitUntil([&] { return shows == 1; }, 5000));
}

// A folder that is not the user's own private folder holds no guard: nothing
// is put in it and nothing there is believed.
TEST_F(SingleInstance_Offscreen, AFolderThatIsNotPrivateIsRefused) {
  namespace fs = std::filesystem;
  const std::string target = m_dir.MakeFolder("elsewhere");
  ::chmod(target.c_str(), 0700);
  struct Case {
    const char* what;
    std::function<bool()> make;  // false: the case cannot be set up here
  };
  const std::vector<Case> cases = {
      {"a link to a private folder", [&] { return ::symlink(target.c_str(), m_folder.c_str()) == 0; }},
      {"a file", [&] { return m_dir.WriteFile("run/Ravelle", "x"), true; }},
      {"another user's folder",
       [&] {
         if (::getuid() != 0) return false;
         fs::create_directory(m_folder);
         return ::chown(m_folder.c_str(), 65534, 65534) == 0;
       }},
  };
  for (const Case& c : cases) {
    std::error_code ec;
    fs::remove_all(m_folder, ec);
    if (!c.make()) continue;
    SingleInstance guard(m_folder);
    EXPECT_EQ(guard.Start(1000), InstanceCheck::kFolderRefused) << c.what;
    EXPECT_FALSE(guard.Listening()) << c.what;
    EXPECT_FALSE(fs::exists(target + "/RavelleGame.lock")) << c.what;
    EXPECT_FALSE(fs::exists(m_folder + "/RavelleGame.lock", ec)) << c.what;
  }
}

TEST_F(SingleInstance_X11, ASecondStartOfTheGameRaisesTheFirstAndEnds) {
  SingleInstance first(m_folder);
  ASSERT_EQ(first.Start(), InstanceCheck::kAlone);
  int shows = 0;
  first.SetHandlers([] { return kInstanceAnswer; }, [&shows] { ++shows; });
  QProcess second;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(m_run));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(m_dir.MakeFolder("config")));
  env.insert("ALSOFT_DRIVERS", "null");
  second.setProcessEnvironment(env);
  second.start(QCoreApplication::applicationDirPath() + "/RavelleGame", {});
  ASSERT_TRUE(second.waitForStarted(5000));
  ASSERT_TRUE(testkit::WaitUntil([&] { return second.state() == QProcess::NotRunning; }, 20000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  // Its request may be read after its end is seen.
  EXPECT_TRUE(testkit::WaitUntil([&] { return shows == 1; }, 5000));
}
