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
#include "profile_watch.h"
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
// Sets the file's modification time to seconds since the epoch.
void SetModified(const std::string& path, long seconds) {
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}
}  // namespace

// Each way another program can change the file is seen at the next read: a
// new file put in place (as QSettings and these programs write), a write in
// place of the same size with only the time moved on, and one of another
// size with the time put back.
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
    EXPECT_EQ(testkit::ReadWholeFile(file), "[GameOptions]\nPieceCount=40\n") << c.what;
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
  testkit::StoppedLockHolder holder(file);
  ASSERT_TRUE(holder.Holding());

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  EXPECT_FALSE(ProfileWriteInt("GameOptions", "PieceCount", 60));
  const auto first = Clock::now() - start;
  EXPECT_FALSE(ProfileWriteInt("GameOptions", "PieceCount", 61));
  const auto second = Clock::now() - start - first;
  EXPECT_EQ(testkit::ReadWholeFile(file), "[GameOptions]\nPieceCount=40\n");
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 40);
  // Not timings: whether a write waited at all, and not for ever.
  EXPECT_GE(first, std::chrono::milliseconds(kProfileLockWaitMs));
  EXPECT_LT(first, std::chrono::milliseconds(10 * kProfileLockWaitMs));
  EXPECT_LT(second, std::chrono::milliseconds(kProfileLockWaitMs / 2));

  holder.Release();
  EXPECT_TRUE(ProfileWriteInt("GameOptions", "PieceCount", 62));
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 62);
}

// A read answers what the file holds, however the other program replaced
// it: by rename with a value of the same length (the new file may get the
// inode, size and time of one read before), or in place with the same size
// and the time put back.
TEST_F(Profile, EveryReadAnswersWhatTheFileHoldsNow) {
  const std::string file = dir / "profile.ini";
  int stale = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::string value = std::to_string(1000 + i % 3);
    const std::string next = dir / "next.ini";
    std::ofstream(next) << "[GameOptions]\nCameraDefaultHeight=" << value << "\n";
    std::filesystem::rename(next, file);
    stale += ProfileGetString("GameOptions", "CameraDefaultHeight", "") != value;
  }
  EXPECT_EQ(stale, 0) << "of 2000 replacements by rename";
  for (int i = 0; i < 8; ++i) {
    std::fstream(file, std::ios::in | std::ios::out)
        << "[GameOptions]\nCameraDefaultHeight=" << 20 + i << "\n";
    SetModified(file, 1000000000);
    EXPECT_EQ(ProfileGetInt("GameOptions", "CameraDefaultHeight", 0), 20 + i) << "in place, time put back";
  }
}

// A profile as today's programs wrote it (through Qt's settings), with every
// kind of value they store, and the stored objects they refuse, reads the
// same value for value.
TEST_F(Profile, AProfileWrittenByEarlierVersionsReadsTheSame) {
  std::ofstream(dir / "profile.ini") << R"([General]
Language=french
ShowFPS=1
Broken=@Rect(1 2 3 4)

[Environments]
LastEnvCustomFile=
LastEnvFile=CUSTOM

[GameOptions]
CameraDefaultHeight=33
NewVersionsCheckXDays=-7

[ImagePreviewWindow]
LastPos=4194336

[MenuSel]
LastOwnPictureFolder=" /home/ana/with spaces "
LastPieceShape=51
LastPuzzlePictureFilePath="/home/ana/Pictures/\xc3\xa9t\xc3\xa9, 2024/\"best\" = one; a\\b.jpg"

[Screensaver]
ShowFPS=0
Object=@Variant(\0\0\0J\0\0)

[ScreensaverFolders]
Count=3
Folder1=/srv/photos/\xe6\x97\xa5\xe6\x9c\xac
Folder2=@@home/tab\there
Folder3=
)";
  // The file holds UTF-8 where the escapes above stand (as Qt wrote it).
  std::string bytes = testkit::ReadWholeFile(dir / "profile.ini");
  for (const auto& [escaped, raw] : {std::pair<std::string, std::string>{"\\xc3\\xa9", "\xc3\xa9"},
                                     {"\\xe6\\x97\\xa5", "\xe6\x97\xa5"},
                                     {"\\xe6\\x9c\\xac", "\xe6\x9c\xac"}})
    for (std::size_t at; (at = bytes.find(escaped)) != std::string::npos;)
      bytes.replace(at, escaped.size(), raw);
  std::ofstream(dir / "profile.ini", std::ios::trunc) << bytes;

  struct Expected {
    const char* section;
    const char* entry;
    const char* value;  // nullptr: reads as the default
  };
  const Expected expected[] = {
      {"", "Language", "french"},
      {"", "ShowFPS", "1"},
      {"", "Broken", nullptr},
      {"Environments", "LastEnvCustomFile", ""},
      {"Environments", "LastEnvFile", "CUSTOM"},
      {"GameOptions", "CameraDefaultHeight", "33"},
      {"GameOptions", "NewVersionsCheckXDays", "-7"},
      {"ImagePreviewWindow", "LastPos", "4194336"},
      {"MenuSel", "LastOwnPictureFolder", " /home/ana/with spaces "},
      {"MenuSel", "LastPieceShape", "51"},
      {"MenuSel", "LastPuzzlePictureFilePath",
       "/home/ana/Pictures/\xc3\xa9t\xc3\xa9, 2024/\"best\" = one; a\\b.jpg"},
      {"Screensaver", "ShowFPS", "0"},
      {"Screensaver", "Object", nullptr},
      {"ScreensaverFolders", "Count", "3"},
      {"ScreensaverFolders", "Folder1", "/srv/photos/\xe6\x97\xa5\xe6\x9c\xac"},
      {"ScreensaverFolders", "Folder2", "@home/tab\there"},
      {"ScreensaverFolders", "Folder3", ""},
  };
  const ProfileSnapshot snapshot;
  for (const Expected& e : expected) {
    const std::string value = e.value ? e.value : "(default)";
    EXPECT_EQ(ProfileGetString(e.section, e.entry, "(default)"), value) << e.entry;
    EXPECT_EQ(snapshot.GetString(e.section, e.entry, "(default)"), value) << e.entry;
  }
  EXPECT_EQ(ProfileGetInt("ImagePreviewWindow", "LastPos", 0), 0x400020);
  EXPECT_EQ(ProfileGetInt("GameOptions", "NewVersionsCheckXDays", 0), -7);
}

// The values of one change are one replacement of the file, made from the
// file as it is when the change is saved: what another program wrote since
// stays.
TEST_F(Profile, OneChangeIsOneReplacementThatKeepsTheOthersValues) {
  ASSERT_TRUE(ProfileWriteInt("ScreensaverFolders", "Count", 0));
  ProfileChange change;
  change.SetInt("ScreensaverFolders", "Count", 300);
  for (int i = 1; i <= 300; ++i)
    change.SetString("ScreensaverFolders", "Folder" + std::to_string(i), "/f" + std::to_string(i));
  {
    QSettings other(QString::fromStdString(dir / "profile.ini"), QSettings::IniFormat);
    other.setValue("Screensaver/ShowFPS", 1);
  }
  testkit::FileReplacements replacements(dir / "profile.ini");
  EXPECT_EQ(change.Save(), ProfileFault::None);
  EXPECT_EQ(replacements.Count(), 1);
  const ProfileSnapshot now;
  EXPECT_EQ(now.GetInt("ScreensaverFolders", "Count", 0), 300);
  EXPECT_EQ(now.GetString("ScreensaverFolders", "Folder300", ""), "/f300");
  EXPECT_EQ(now.GetInt("Screensaver", "ShowFPS", 0), 1);
  EXPECT_EQ(ProfileChange().Save(), ProfileFault::None);
  EXPECT_EQ(replacements.Count(), 1);  // saving nothing touches nothing
}

// A save that cannot be made answers why, at once unless the lock is held,
// and leaves the file as it was. The lock's holder is in
// AStoppedHolderMakesTheWriteFailWithinTheWait.
TEST(ProfileChange, AFailedSaveSaysWhyAndKeepsTheFile) {
  struct Case {
    const char* what;
    std::function<void(const std::string& file)> make;
    ProfileFault fault;
  };
  const Case cases[] = {
      {"a pipe at the lock", [](const std::string& file) { ::mkfifo((file + ".lock").c_str(), 0600); },
       ProfileFault::NotRegular},
      {"a 512 MiB file at the lock",
       [](const std::string& file) {
         std::ofstream(file + ".lock") << "1";
         std::filesystem::resize_file(file + ".lock", 512ull << 20);
       },
       ProfileFault::NotRegular},
      {"a profile that would pass the cap",
       [](const std::string& file) {
         std::ofstream(file, std::ios::app) << "; " << std::string(kMaxProfileBytes - 36, 'x') << "\n";
       },
       ProfileFault::TooLarge},
      {"a disk that takes no more",
       [](const std::string& file) {
         // Room for the report on stderr, not for the new file.
         std::ofstream(file, std::ios::app) << "; " << std::string(300, 'x') << "\n";
         rlimit limit{};
         getrlimit(RLIMIT_FSIZE, &limit);
         limit.rlim_cur = std::filesystem::file_size(file) + 4;
         setrlimit(RLIMIT_FSIZE, &limit);
       },
       ProfileFault::CannotWrite},
  };
  IgnoreFileSizeSignal();
  testkit::TempDir dir;
  for (const Case& c : cases) {
    const std::string file =
        dir.WriteFile(std::string(c.what) + "/profile.ini", "[GameOptions]\nPieceCount=40\n");
    const ScopedProfileFile profile(file);
    c.make(file);
    const std::string before = testkit::ReadWholeFile(file);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    ::testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    const ProfileFault fault =
        ProfileChange().SetInt("GameOptions", "PieceCount", 60).SetString("A", "B", "c").Save();
    const auto took = std::chrono::steady_clock::now() - start;
    saved.rlim_cur = saved.rlim_max;
    setrlimit(RLIMIT_FSIZE, &saved);
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(fault, c.fault) << c.what;
    EXPECT_EQ(testkit::ReadWholeFile(file), before) << c.what;
    EXPECT_NE(report.find(file), std::string::npos) << c.what << ": " << report;
    // Not a timing: whether it waited for the lock at all.
    EXPECT_LT(took, std::chrono::milliseconds(kProfileLockWaitMs / 2)) << c.what;
  }
}

// A lock that another program takes and lets go all the time is a free lock
// whenever it is not there, even when it goes between two looks at it: no
// save is refused for it.
TEST(ProfileLock, ALockThatComesAndGoesRefusesNoSave) {
  testkit::TempDir dir;
  const std::string file = dir.WriteFile("profile.ini", "[GameOptions]\nPieceCount=40\n");
  const ScopedProfileFile profile(file);
  const pid_t other = ::fork();
  ASSERT_GE(other, 0);
  if (other == 0) {
    for (;;) {
      QLockFile lock(QString::fromStdString(file + ".lock"));
      if (lock.tryLock(0)) lock.unlock();
    }
  }
  int refused = 0;
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < 300; ++i) refused += !ProfileWriteInt("GameOptions", "PieceCount", i);
  const std::string report = ::testing::internal::GetCapturedStderr();
  ::kill(other, SIGKILL);
  ::waitpid(other, nullptr, 0);
  EXPECT_EQ(refused, 0) << report;
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), 299);
}

// Two programs saving their own values into one profile at the same time:
// every value of both is there at the end, and the file read whole after
// each save holds every value that program saved so far.
TEST(ProfileLock, TwoProgramsSavingAtOnceLoseNothing) {
  testkit::TempDir dir;
  const std::string file = dir.WriteFile("profile.ini", "");
  const ScopedProfileFile profile(file);
  constexpr int kSaves = 1000;
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = ::fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] != 0) continue;
    const std::string section = "Writer" + std::to_string(w);
    int faults = 0;
    for (int i = 0; i < kSaves; ++i) {
      faults +=
          ProfileChange().SetInt(section, "V" + std::to_string(i), i).SetInt(section, "Last", i).Save() !=
          ProfileFault::None;
      const ProfileSnapshot now;
      faults += now.GetInt(section, "Last", -1) != i ||
                now.GetInt(section, "V" + std::to_string(i / 2), -1) != i / 2;
    }
    ::_exit(faults == 0 ? 0 : 1);
  }
  for (const pid_t writer : writers) {
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed or a value went missing";
  }
  const ProfileSnapshot end;
  int lost = 0;
  for (int w = 0; w < 2; ++w)
    for (int i = 0; i < kSaves; ++i)
      lost += end.GetInt("Writer" + std::to_string(w), "V" + std::to_string(i), -1) != i;
  EXPECT_EQ(lost, 0) << "of " << 2 * kSaves;
}
