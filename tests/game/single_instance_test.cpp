// One game per user, with real processes: a second start raises the first
// and ends; a stopped first instance does not hold the second past the
// timeout; a crashed one's lock is taken over.
#include <gtest/gtest.h>

#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

#include "game/single_instance.h"
#include "testkit.h"

namespace {
class SingleInstance_X11 : public ::testing::Test {
 protected:
  SingleInstance_X11() {
    m_run = m_dir.MakeFolder("run");
    m_folder = m_run + "/Ravelle";
  }
  // The game program with this test's private folders.
  void StartGame(QProcess& process) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(m_run));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(m_dir.MakeFolder("config")));
    env.insert("ALSOFT_DRIVERS", "null");
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationDirPath() + "/RavelleGame", {});
    ASSERT_TRUE(process.waitForStarted(5000));
  }
  // Runs the event loop until done() or the time is up; false on time-out.
  static bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
      if (clock.elapsed() > ms) return false;
      QTest::qWait(10);
    }
    return true;
  }

  testkit::TempDir m_dir;
  std::string m_run;
  std::string m_folder;
};
}  // namespace

TEST_F(SingleInstance_X11, ASecondStartRaisesTheFirstAndEnds) {
  SingleInstance first(m_folder);
  ASSERT_FALSE(first.FindRunningInstance());  // alone: it holds the lock
  int shows = 0;
  ASSERT_TRUE(first.Listen([] { return 8888; }, [&shows] { ++shows; }));
  QProcess second;
  StartGame(second);
  ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(shows, 1);
}

TEST_F(SingleInstance_X11, AStoppedFirstInstanceDoesNotHoldTheSecond) {
  QProcess first;
  StartGame(first);
  const QString socket = QString::fromStdString(m_folder + "/RavelleGame.socket");
  ASSERT_TRUE(WaitFor([&] { return QFile::exists(socket); }, 15000)) << "the game did not start";
  QTest::qWait(200);
  ::kill(static_cast<pid_t>(first.processId()), SIGSTOP);
  SingleInstance second(m_folder);
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(second.FindRunningInstance());
  EXPECT_LT(clock.elapsed(), kInstanceQueryTimeoutMs * 2 + 500);
  ::kill(static_cast<pid_t>(first.processId()), SIGCONT);
  first.kill();
  first.waitForFinished(5000);
}

TEST_F(SingleInstance_X11, ACrashedInstancesLockIsTakenOver) {
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_folder)));
  QFile lock(QString::fromStdString(m_folder + "/RavelleGame.lock"));
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write("999999\nRavelleGame\n" + QSysInfo::machineHostName().toUtf8() + "\n");
  lock.close();
  SingleInstance again(m_folder);
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(again.FindRunningInstance());
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_TRUE(again.Listen([] { return 8888; }, [] {}));
}
