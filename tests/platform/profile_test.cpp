#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QLockFile>
#include <QSettings>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/data_file.h"
#include "platform/profile.h"
#include "testkit.h"

namespace {
class Profile : public ::testing::Test {
 protected:
  testkit::TempDir dir;
  ScopedProfileFile profile{dir / "profile.ini"};
};
}  // namespace

TEST_F(Profile, MissingValuesReadTheirDefaults) {
  EXPECT_EQ(ProfileGetInt("GameOptions", "Nothing", 42), 42);
  EXPECT_EQ(ProfileGetString("", "Language", "english"), "english");
  EXPECT_TRUE(ProfileGetBool("X", "Y", true));
}

TEST_F(Profile, ValuesRoundTripInSectionsAndAtTheRoot) {
  ASSERT_TRUE(ProfileWriteInt("GameOptions", "PieceCount", -17));
  ASSERT_TRUE(ProfileWriteString("", "Language", "french"));
  ASSERT_TRUE(ProfileWriteString("MenuSel", "LastImage", "/home/a, b/c.jpg"));
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), -17);
  EXPECT_EQ(ProfileGetString("", "Language", ""), "french");
  EXPECT_EQ(ProfileGetString("MenuSel", "LastImage", ""), "/home/a, b/c.jpg");
  // Sections are separate.
  EXPECT_EQ(ProfileGetInt("", "PieceCount", 5), 5);
}

TEST_F(Profile, BooleansAreOneOrZeroAndAnyNonZeroIsTrue) {
  ProfileWriteBool("S", "On", true);
  EXPECT_EQ(ProfileGetInt("S", "On", -1), 1);
  ProfileWriteBool("S", "On", false);
  EXPECT_EQ(ProfileGetInt("S", "On", -1), 0);
  EXPECT_FALSE(ProfileGetBool("S", "On", true));
  ProfileWriteInt("S", "On", 7);
  EXPECT_TRUE(ProfileGetBool("S", "On", false));
}

TEST_F(Profile, ValueThatIsNotANumberReadsAsDefault) {
  std::ofstream(dir / "profile.ini") << "[GameOptions]\nA=abc\nB=12x\nC= 33 \n";
  EXPECT_EQ(ProfileGetInt("GameOptions", "A", 9), 9);
  EXPECT_EQ(ProfileGetInt("GameOptions", "B", 9), 9);
  EXPECT_EQ(ProfileGetInt("GameOptions", "C", 9), 33);
  EXPECT_FALSE(ProfileGetBool("GameOptions", "A", false));
}

TEST_F(Profile, WritesReachTheFileAtOnce) {
  ProfileWriteInt("ScreensaverOptions", "Speed", 3);
  std::ifstream in(dir / "profile.ini");
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("[ScreensaverOptions]"), std::string::npos);
  EXPECT_NE(text.find("Speed=3"), std::string::npos);
}

TEST(MachineSettings, ReadFromTheMachineFileNotTheProfile) {
  testkit::TempDir dir;
  const ScopedProfileFile profile(dir / "user.ini");
  ProfileWriteString("", "InstallDir", "/from/profile");
  SetMachineSettingsFile(dir / "absent.ini");
  EXPECT_FALSE(MachineGetString("", "InstallDir"));
  std::ofstream(dir / "machine.ini") << "[General]\nInstallDir=/opt/ravelle\n";
  SetMachineSettingsFile(dir / "machine.ini");
  EXPECT_EQ(MachineGetString("", "InstallDir").value_or(""), "/opt/ravelle");
  std::ofstream(dir / "machine.ini") << "[General]\nInstallDir=/opt/a, b\n";  // unquoted comma
  EXPECT_EQ(MachineGetString("", "InstallDir").value_or(""), "/opt/a, b");
  SetMachineSettingsFile("");
}

TEST(MachineSettings, TheBuildTreeIsAnInstallation) {
  // The build writes the machine file beside the programs, this test among them.
  const auto dir = MachineGetString("", "InstallDir");
  ASSERT_TRUE(dir);
  std::ifstream probe(*dir + "/" + kMachineSettingsFileName);
  EXPECT_TRUE(probe.good()) << *dir;
}

// Values stored as Qt types (written by some other program) would be built
// while the file is read; some of them end a process that has no GUI. They
// read as the default, and the values around them are kept.
TEST_F(Profile, ValuesOfQtTypesReadAsTheDefault) {
  std::ofstream(dir / "profile.ini")
      << "[General]\nLanguage=french\nA=@Rect(1 2 3 4)\n"
         "B=@Variant("
         "\\0\\0\\0\\x41\\0\\0\\0\\x1\\x89PNG\\r\\n\\x1a\\n\\0\\0\\0\\rIHDR\\0\\0\\0\\x2\\0\\0\\0\\x2\\b\\x2"
         "\\0\\0\\0\\xfd\\xd4\\x9as\\0\\0\\0\\x16IDAT\\b\\x99\\x63\\xb0\\x97\\xf9\\xc0P\\x7f\\x96\\x89\\x81\\"
         "x81\\x81"
         "\\x81\\x81\\x1\\0\\x19\\xce\\x2\\x9a\\0\\0\\0\\0IEND\\xae\\x42`\\x82)\n"
         "C=\"@Variant(\\0\\0\\0\\x43\\x1\\xff\\xff\\x1\\x1\\x2\\x2\\x3\\x3\\0\\0)\"\n"
         "D=\\x40Variant(\\0\\0\\0J\\0\\0)\nE=1, @Variant(\\0\\0\\0J\\0\\0)\nF=@@mail\n"
         "H=\"\", @Variant(\\0\\0\\0J\\0\\0)\nI=\"a, @b\"\n"
         "[GameOptions]\nPieceCount=40\nG=@Size(1 2)\n";
  for (const char* key : {"A", "B", "C", "D", "E", "H"}) {
    EXPECT_EQ(ProfileGetString("", key, "dflt"), "dflt") << key;
    EXPECT_EQ(ProfileGetInt("", key, 7), 7) << key;
  }
  EXPECT_EQ(ProfileGetString("", "F", ""), "@mail");  // an escaped '@' is text
  EXPECT_EQ(ProfileGetString("", "I", ""), "a, @b");  // so is one inside quotes
  EXPECT_EQ(ProfileGetString("", "Language", ""), "french");
  EXPECT_EQ(ProfileGetInt("GameOptions", "G", 3), 3);
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 40);
  ASSERT_TRUE(ProfileWriteInt("GameOptions", "PieceCount", 60));
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 60);
  EXPECT_EQ(ProfileGetString("", "Language", ""), "french");
  EXPECT_EQ(ProfileGetString("", "F", ""), "@mail");
}

TEST_F(Profile, AQuoteHeldOpenOverANewlineDoesNotHideATypedValue) {
  // Qt reads J's value on to the next quote, on the next line; the element
  // after the comma there is a stored object.
  std::ofstream(dir / "profile.ini") << "[General]\nJ=open\"\nK=x\", @Variant(\\0\\0\\0J\\0\\0)\nL=5\n";
  EXPECT_EQ(ProfileGetString("", "J", "dflt"), "dflt");
  EXPECT_EQ(ProfileGetInt("", "L", 0), 5);
}

TEST_F(Profile, ProfileThatIsAPipeReadsAsDefaultsWithoutWaiting) {
  ASSERT_EQ(::mkfifo((dir / "profile.ini").c_str(), 0600), 0);
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 5), 5);
  EXPECT_FALSE(ProfileWriteInt("GameOptions", "PieceCount", 6));
}

// The user's own profile where the programs find it without a test file:
// neither learning its name nor reading it waits on a pipe, the pipe stays a
// pipe, and it is reported once.
TEST(UserProfile, APipeInPlaceOfTheProfileIsReportedOnceAndNeverWritten) {
  testkit::TempDir dir;
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string previous = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
  const ScopedProfileFile user("");
  std::filesystem::create_directories(dir / "Halvorn");
  const std::string pipe = dir / "Halvorn/Ravelle.ini";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ProfileFilePath(), pipe);
  EXPECT_EQ(ProfileGetBool("", "ShowTutorialDialog", true), true);
  EXPECT_FALSE(ProfileWriteBool("", "ShowTutorialDialog", false));
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 5), 5);
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::filesystem::status(pipe).type(), std::filesystem::file_type::fifo);
  EXPECT_NE(report.find(pipe), std::string::npos) << report;
  EXPECT_NE(report.find("not a regular file"), std::string::npos) << report;
  EXPECT_EQ(report.find(pipe), report.rfind(pipe)) << report;  // once

  // A profile the programs write appears there, folder and all.
  std::filesystem::remove_all(dir / "Halvorn");
  EXPECT_TRUE(ProfileWriteInt("GameOptions", "PieceCount", 6));
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 5), 6);
  if (old)
    ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

// A profile just under the cap: the programs' own writes never push it over
// (the next start would ignore it whole), and a write that would fails and
// leaves the file as it was.
TEST_F(Profile, AWriteThatWouldPassTheCapFailsAndKeepsTheFile) {
  const std::string padding(1024 * 1024 - 200, 'x');
  std::ofstream(dir / "profile.ini") << "[General]\nShowTutorialDialog=0\nPadding=" << padding << "\n";
  const auto readAll = [&] {
    std::ifstream in(dir / "profile.ini");
    return std::string((std::istreambuf_iterator<char>(in)), {});
  };
  const std::string before = readAll();
  ASSERT_LT(before.size(), 1024u * 1024u);
  EXPECT_FALSE(ProfileWriteString("MenuSel", "LastPuzzlePictureFilePath", std::string(200, 'p')));
  EXPECT_EQ(readAll(), before);
  EXPECT_EQ(ProfileGetBool("", "ShowTutorialDialog", true), false);
  EXPECT_TRUE(ProfileWriteInt("MenuSel", "LastPuzzleSizeX", 9));  // a small one still fits
  EXPECT_EQ(ProfileGetInt("MenuSel", "LastPuzzleSizeX", 0), 9);
  EXPECT_EQ(ProfileGetBool("", "ShowTutorialDialog", true), false);
}

// Reading writes nothing: under a file size limit smaller than the profile
// every value still reads, and a write fails cleanly instead of ending the
// program.
TEST_F(Profile, ValuesReadUnderAFileSizeLimit) {
  std::ofstream(dir / "profile.ini") << "[General]\nShowTutorialDialog=0\nPadding=" << std::string(4096, 'x')
                                     << "\n";
  std::ofstream(dir / "machine.ini") << "[General]\nInstallDir=/opt/ravelle\n";
  SetMachineSettingsFile(dir / "machine.ini");
  IgnoreFileSizeSignal();
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const bool tutorial = ProfileGetBool("", "ShowTutorialDialog", true);
  const std::string install = MachineGetString("", "InstallDir").value_or("");
  const bool written = ProfileWriteInt("GameOptions", "PieceCount", 6);
  setrlimit(RLIMIT_FSIZE, &saved);
  SetMachineSettingsFile("");
  EXPECT_FALSE(tutorial);
  EXPECT_EQ(install, "/opt/ravelle");
  EXPECT_FALSE(written);
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 5), 5);
  EXPECT_FALSE(ProfileGetBool("", "ShowTutorialDialog", true));
}

// Saving the profile never puts a regular file in place of what is there.
TEST_F(Profile, AProfileThatIsAFolderStaysAFolder) {
  std::filesystem::create_directory(dir / "profile.ini");
  EXPECT_FALSE(ProfileWriteInt("GameOptions", "PieceCount", 6));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "profile.ini"));
}

namespace {
std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Sets the file's modification time to seconds since the epoch.
void SetModified(const std::string& path, long seconds) {
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}
}  // namespace

// Values are parsed once and kept; each way another program can change the
// file is seen at the next read: a new file put in place (as QSettings and
// these programs write), a write in place of the same size with only the
// time moved on, and one of another size with the time put back.
TEST_F(Profile, AChangeByAnotherProgramIsSeenAtTheNextRead) {
  const std::string file = dir / "profile.ini";
  struct Change {
    const char* what;
    int expected;
    std::function<void()> make;
  };
  const Change changes[] = {
      {"another QSettings", 222,
       [&] {
         QSettings other(QString::fromStdString(file), QSettings::IniFormat);
         other.setValue("GameOptions/PieceCount", 222);
       }},
      {"same size, new time", 333,
       [&] {
         std::ofstream(file, std::ios::trunc) << "[GameOptions]\nPieceCount=333\n";
         SetModified(file, 2000000000);
       }},
      {"new size, same time", 4444,
       [&] {
         std::ofstream(file, std::ios::trunc) << "[GameOptions]\nPieceCount=4444\n";
         SetModified(file, 2000000000);
       }},
  };
  std::ofstream(file) << "[GameOptions]\nPieceCount=111\n";
  SetModified(file, 1000000000);
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 111);
  for (const Change& change : changes) {
    change.make();
    EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), change.expected) << change.what;
    EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), change.expected) << change.what;
  }
  // A write here is seen at once, and so is the file going away.
  ASSERT_TRUE(ProfileWriteInt("GameOptions", "PieceCount", 55));
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 55);
  std::filesystem::remove(file);
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 7), 7);
}

// Anything but a regular file or nothing at the lock's path is never opened
// (a pipe would block open(2), a folder would be retried for ever): the
// profile takes no writes and keeps its bytes, reads go on, and it is said
// once. The case ends only if nothing waited.
TEST(ProfileLock, ALockThatIsNoRegularFileIsNeverOpened) {
  struct Case {
    const char* what;
    std::function<void(const std::string& lock)> make;
  };
  const Case cases[] = {
      {"a pipe", [](const std::string& lock) { ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0); }},
      {"a folder", [](const std::string& lock) { std::filesystem::create_directory(lock); }},
      {"a link to a pipe",
       [](const std::string& lock) {
         ASSERT_EQ(::mkfifo((lock + ".pipe").c_str(), 0600), 0);
         std::filesystem::create_symlink(lock + ".pipe", lock);
       }},
      {"a link to a device",
       [](const std::string& lock) { std::filesystem::create_symlink("/dev/zero", lock); }},
      {"a link to nothing",
       [](const std::string& lock) { std::filesystem::create_symlink(lock + ".x", lock); }},
      {"a pipe where a stale lock is cleared",
       [](const std::string& lock) {
         std::ofstream(lock) << "999999999\nnobody\nnowhere\n";
         SetModified(lock, 1000000000);
         ASSERT_EQ(::mkfifo((lock + ".rmlock").c_str(), 0600), 0);
       }},
  };
  testkit::TempDir dir;
  for (const Case& c : cases) {
    const std::string file =
        dir.WriteFile(std::string(c.what) + "/profile.ini", "[GameOptions]\nPieceCount=40\n");
    const ScopedProfileFile profile(file);
    const std::string lock = file + ".lock";
    c.make(lock);
    const auto type = std::filesystem::symlink_status(lock).type();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(ProfileWriteInt("GameOptions", "PieceCount", 60)) << c.what;
    EXPECT_FALSE(ProfileWriteInt("GameOptions", "PieceCount", 61)) << c.what;
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadWhole(file), "[GameOptions]\nPieceCount=40\n") << c.what;
    EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 40) << c.what;
    EXPECT_EQ(std::filesystem::symlink_status(lock).type(), type) << c.what;
    EXPECT_NE(report.find(lock), std::string::npos) << c.what << ": " << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << c.what << ": " << report;  // once
  }
}

// Another program that holds the lock and is stopped (SIGSTOP) before it
// lets go: a write gives up within the wait and leaves the file byte for
// byte, and the next one, before the same lock, does not wait again. Once
// the holder is gone its lock is taken over.
TEST(ProfileLock, AStoppedHolderMakesTheWriteFailWithinTheWait) {
  testkit::TempDir dir;
  const std::string file = dir.WriteFile("profile.ini", "[GameOptions]\nPieceCount=40\n");
  const ScopedProfileFile profile(file);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    QLockFile lock(QString::fromStdString(file + ".lock"));
    if (lock.lock()) ::raise(SIGSTOP);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(holder, &status, WUNTRACED), holder);
  ASSERT_TRUE(WIFSTOPPED(status));

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  EXPECT_FALSE(ProfileWriteInt("GameOptions", "PieceCount", 60));
  const auto first = Clock::now() - start;
  EXPECT_FALSE(ProfileWriteInt("GameOptions", "PieceCount", 61));
  const auto second = Clock::now() - start - first;
  EXPECT_EQ(ReadWhole(file), "[GameOptions]\nPieceCount=40\n");
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 40);
  // Not timings: whether a write waited at all, and not for ever.
  EXPECT_GE(first, std::chrono::milliseconds(kProfileLockWaitMs));
  EXPECT_LT(first, std::chrono::milliseconds(10 * kProfileLockWaitMs));
  EXPECT_LT(second, std::chrono::milliseconds(kProfileLockWaitMs / 2));

  ::kill(holder, SIGKILL);
  ASSERT_EQ(::waitpid(holder, &status, 0), holder);
  EXPECT_TRUE(ProfileWriteInt("GameOptions", "PieceCount", 62));
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 62);
}
