// The screen saver as a desktop user meets it: the real Ravelle on a desktop
// of its own with a window manager, driven by real pointer and key input.
// Positions inside a dialog are its template's dialog units from the
// top-left corner of its client area; a unit's size in pixels is read off
// the dialog as it opened (its client size over its template's size).
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "desktop_session.h"
#include "wait.h"

using desktop::DesktopSession;
using desktop::Program;
using desktop::WindowInfo;

namespace {
constexpr int kWindowMs = 20000;

struct Language {
  const char* name;           // the profile's Language value
  const char* settingsTitle;  // the settings dialog's title
  const char* foldersTitle;   // the picture-folder dialog's title
  const char* chooserTitle;   // the folder chooser's title
  const char* saverPage;      // title of the screen saver's help page
  const char* contentsPage;   // title of the help's contents page
};
const Language kEnglish{"english",
                        "Ravelle Screensaver",
                        "Manage Puzzle Images",
                        "Choose a picture folder",
                        "The Ravelle screen saver",
                        "Contents"};
const Language kFrench{"french",
                       "Économiseur d'écran Ravelle",
                       "Gérer les images des puzzles",
                       "Choisir un dossier d'images",
                       "L'économiseur d'écran Ravelle",
                       "Sommaire"};

void PrintTo(const Language& language, std::ostream* out) { *out << language.name; }

class SaverDesktop : public ::testing::TestWithParam<Language> {
 protected:
  void SetUp() override {
    if (!DesktopSession::Available()) GTEST_SKIP() << "Xvfb or openbox is missing";
    session = std::make_unique<DesktopSession>();
    ASSERT_TRUE(session->Ok()) << session->Error();
    std::filesystem::create_directories(ConfigFolder());
    std::ofstream(ConfigFolder() + "/Ravelle.ini") << "[General]\nLanguage=" << GetParam().name << "\n";
  }
  std::string ConfigFolder() const { return session->ConfigHome() + "/Halvorn"; }
  std::string Profile() const {
    std::ifstream in(ConfigFolder() + "/Ravelle.ini");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string Shot(const std::string& what) const {
    return std::string("saver-") + what + "-" + GetParam().name;
  }

  // Waits for a window of the program whose title is exactly `title`.
  WindowInfo WindowTitled(const Program& program, const std::string& title, int ms = kWindowMs) {
    WindowInfo found;
    testkit::WaitUntil(
        [&] {
          for (const WindowInfo& w : session->WindowsOf(program.Pid()))
            if (w.name == title) found = w;
          return found.id != 0;
        },
        ms);
    return found;
  }

  bool Gone(const Program& program, const std::string& title) {
    return testkit::WaitUntil(
        [&] {
          for (const WindowInfo& w : session->WindowsOf(program.Pid()))
            if (w.name == title) return false;
          return true;
        },
        kWindowMs);
  }
  // Waits until the screen pixel passes `test` (the window there has been
  // repainted), so a screenshot shows the state reached.
  bool PixelBecomes(int x, int y, bool (*test)(int r, int g, int b)) {
    return testkit::WaitUntil(
        [&] {
          const unsigned c = session->Pixel(x, y);
          return test(int(c >> 16), int((c >> 8) & 0xff), int(c & 0xff));
        },
        kWindowMs);
  }
  static bool Highlighted(int r, int, int b) { return b > r + 60; }
  static bool White(int r, int g, int b) { return r > 240 && g > 240 && b > 240; }
  static bool NotBlack(int r, int g, int b) { return r + g + b > 30; }

  // The same, once the window manager has made it the active window (placed
  // and taking input) and the program has drawn it (its middle is not the
  // black of the empty screen); answers it where it ended up.
  WindowInfo ActiveWindowTitled(const Program& program, const std::string& title) {
    const WindowInfo found = WindowTitled(program, title);
    if (!found.id || !testkit::WaitUntil([&] { return session->ActiveWindow() == found.id; }, kWindowMs))
      return {};
    session->Sync();
    const WindowInfo placed = session->Info(found.id);
    if (!PixelBecomes(placed.x + placed.width / 2, placed.y + placed.height / 2, NotBlack)) return {};
    return placed;
  }

  // A dialog template's size in dialog units.
  struct Template {
    int width, height;
  };
  static constexpr Template kSettings{384, 185}, kFolders{437, 259};

  // A click in the middle of the control at (x, y, width, height) dialog
  // units of the dialog made from the template.
  void ClickUnits(const WindowInfo& dialog, Template units, int x, int y, int width, int height) {
    const double across = double(dialog.width) / units.width, down = double(dialog.height) / units.height;
    session->ClickAt(dialog.x + int(std::lround(across * (x + width / 2.0))),
                     dialog.y + int(std::lround(down * (y + height / 2.0))));
  }
  // Opens the settings and, in them, the picture folders.
  std::unique_ptr<Program> OpenFolders(WindowInfo& settings, WindowInfo& folders) {
    auto saver = session->Start("Ravelle", {"/c"});
    settings = ActiveWindowTitled(*saver, GetParam().settingsTitle);
    EXPECT_NE(settings.id, 0u) << saver->Log();
    ClickUnits(settings, kSettings, 276, 24, 92, 16);  // "Add/Remove images"
    folders = ActiveWindowTitled(*saver, GetParam().foldersTitle);
    EXPECT_NE(folders.id, 0u) << saver->Log();
    return saver;
  }
  // OK in the picture folders, OK in the settings, and the program ends.
  void OkAndOk(Program& saver, const WindowInfo& settings, const WindowInfo& folders) {
    ClickUnits(folders, kFolders, 313, 235, 55, 16);
    ASSERT_TRUE(Gone(saver, GetParam().foldersTitle));
    ClickUnits(settings, kSettings, 253, 162, 60, 16);
    EXPECT_EQ(saver.WaitForExit(kWindowMs), std::optional<int>(0)) << saver.Log();
  }

  std::unique_ptr<DesktopSession> session;
};
using SaverDesktop_Desktop = SaverDesktop;

// Opens of a folder itself (its listing), seen through inotify.
class FolderOpens {
 public:
  explicit FolderOpens(const std::string& folder) : m_fd(inotify_init1(IN_NONBLOCK)) {
    inotify_add_watch(m_fd, folder.c_str(), IN_OPEN);
  }
  ~FolderOpens() { ::close(m_fd); }
  // True once the folder itself has been opened since the last call.
  bool Opened() {
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;)
      for (char* p = buffer; p < buffer + n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(p);
        if ((event->mask & IN_ISDIR) && event->len == 0) m_opened = true;
        p += sizeof(inotify_event) + event->len;
      }
    const bool opened = m_opened;
    m_opened = false;
    return opened;
  }

 private:
  int m_fd;
  bool m_opened = false;
};

}  // namespace

// Help opened from the modal settings comes up in front and takes input:
// a link is followed, Back returns, Escape closes it and the settings go on.
TEST_P(SaverDesktop_Desktop, HelpIsReadableInFrontOfTheSettingsAndGoesBack) {
  auto saver = session->Start("Ravelle", {"/c"});
  const WindowInfo settings = ActiveWindowTitled(*saver, GetParam().settingsTitle);
  ASSERT_NE(settings.id, 0u) << saver->Log();
  ClickUnits(settings, kSettings, 7, 162, 60, 16);                           // "Help"
  const WindowInfo help = ActiveWindowTitled(*saver, GetParam().saverPage);  // in front, taking the keys
  ASSERT_NE(help.id, 0u) << saver->Log();
  EXPECT_GT(session->StackIndex(help.id), session->StackIndex(settings.id));
  // The whole window is on the screen.
  EXPECT_GE(help.x, 0);
  EXPECT_GE(help.y, 0);
  EXPECT_LE(help.y + help.height, 1024);
  PixelBecomes(help.x + 300, help.y + 300, White);  // the page drawn
  session->Screenshot(Shot("help"));

  session->Key("Tab");  // to the page's first link, "Contents"
  session->Key("Return");
  ASSERT_NE(WindowTitled(*saver, GetParam().contentsPage).id, 0u);
  session->Screenshot(Shot("help-contents"));
  session->ClickAt(help.x + 38, help.y + 16);  // Back
  ASSERT_NE(WindowTitled(*saver, GetParam().saverPage).id, 0u);
  session->Key("Right", {"Alt_L"});  // Forward
  ASSERT_NE(WindowTitled(*saver, GetParam().contentsPage).id, 0u);

  session->Key("Escape");
  ASSERT_TRUE(Gone(*saver, GetParam().contentsPage));
  EXPECT_TRUE(saver->Running());
  ClickUnits(settings, kSettings, 16, 22, 100, 10);  // back to the settings (their note text)
  ASSERT_NE(ActiveWindowTitled(*saver, GetParam().settingsTitle).id, 0u);
  session->Key("Escape");  // the settings, cancelled
  EXPECT_EQ(saver->WaitForExit(kWindowMs), std::optional<int>(0)) << saver->Log();
}

// A folder added through the dialog is stored and listed by /s; once
// removed through the dialog, /s leaves it alone.
TEST_P(SaverDesktop_Desktop, AFolderAddedThroughTheDialogIsUsedAndOnceRemovedIsNot) {
  const std::string pictures = session->Scratch() + "/my pictures";
  std::filesystem::create_directories(pictures);
  std::filesystem::copy_file(std::string(RAVELLE_DESKTOP_BIN_DIR) + "/RavelleGame.png",
                             pictures + "/mine.png");
  {
    WindowInfo settings, folders;
    auto saver = OpenFolders(settings, folders);
    ASSERT_NE(folders.id, 0u);
    session->Screenshot(Shot("folders"));
    ClickUnits(folders, kFolders, 7, 235, 124, 16);  // "Add Image Folder"
    ASSERT_NE(ActiveWindowTitled(*saver, GetParam().chooserTitle).id, 0u) << saver->Log();
    session->Type(pictures);
    session->Key("Return");
    ASSERT_TRUE(Gone(*saver, GetParam().chooserTitle));
    EXPECT_TRUE(PixelBecomes(folders.x + 300, folders.y + 56, Highlighted));  // the new row, selected
    session->Screenshot(Shot("folder-added"));
    OkAndOk(*saver, settings, folders);
  }
  EXPECT_NE(Profile().find("Folder1=" + pictures + "\n"), std::string::npos) << Profile();

  FolderOpens opens(pictures);
  const auto runFullScreen = [&](bool expectListed) {
    auto full = session->Start("Ravelle", {"/s"});
    const bool listed = testkit::WaitUntil([&] { return opens.Opened(); }, expectListed ? kWindowMs : 0);
    // Shown full screen: the scene was made, and with it the picture list.
    ASSERT_TRUE(testkit::WaitUntil([&] { return !session->WindowsOf(full->Pid()).empty(); }, kWindowMs))
        << full->Log();
    PixelBecomes(640, 512, NotBlack);  // for the screenshot: a scene drawn (it may be dark there)
    if (!expectListed) testkit::KeepRunningFor(1000);
    EXPECT_EQ(listed || opens.Opened(), expectListed);
    session->Screenshot(Shot(expectListed ? "full-screen-with-folder" : "full-screen-without-folder"));
    session->Key("space");
    EXPECT_EQ(full->WaitForExit(kWindowMs), std::optional<int>(0)) << full->Log();
  };
  runFullScreen(true);

  {
    WindowInfo settings, folders;
    auto saver = OpenFolders(settings, folders);
    ASSERT_NE(folders.id, 0u);
    session->ClickAt(folders.x + 100, folders.y + 56);  // the second row, our folder
    ASSERT_TRUE(PixelBecomes(folders.x + 300, folders.y + 56, Highlighted));
    ClickUnits(folders, kFolders, 135, 235, 124, 16);                  // "Remove Image Folder"
    EXPECT_TRUE(PixelBecomes(folders.x + 24, folders.y + 56, White));  // the second row's folder icon gone
    session->Screenshot(Shot("folder-removed"));
    OkAndOk(*saver, settings, folders);
  }
  EXPECT_EQ(Profile().find("Folder1=" + pictures), std::string::npos) << Profile();
  opens.Opened();
  runFullScreen(false);
}

INSTANTIATE_TEST_SUITE_P(Languages, SaverDesktop_Desktop, ::testing::Values(kEnglish, kFrench),
                         [](const auto& info) { return std::string(info.param.name); });

// Installing writes an entry the desktop-entry validator accepts, whose
// TryExec names the program file itself.
TEST(SaverEntry_Desktop, InstallWritesAValidEntryNamingTheProgram) {
  if (!DesktopSession::Available()) GTEST_SKIP() << "Xvfb or openbox is missing";
  DesktopSession session;
  ASSERT_TRUE(session.Ok()) << session.Error();
  auto saver = session.Start("Ravelle", {"/install"});
  ASSERT_EQ(saver->WaitForExit(kWindowMs), std::optional<int>(0)) << saver->Log();
  const std::string entry = session.DataHome() + "/applications/screensavers/ravelle.desktop";
  std::ifstream in(entry);
  std::string line, tryExec;
  while (std::getline(in, line))
    if (line.rfind("TryExec=", 0) == 0) tryExec = line.substr(8);
  EXPECT_TRUE(std::filesystem::is_regular_file(tryExec)) << tryExec;
  const int status =
      std::system(("desktop-file-validate '" + entry + "' >'" + entry + ".report' 2>&1").c_str());
  std::ifstream report(entry + ".report");
  std::stringstream said;
  said << report.rdbuf();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << said.str();
  EXPECT_EQ(said.str().find("error"), std::string::npos) << said.str();
}
