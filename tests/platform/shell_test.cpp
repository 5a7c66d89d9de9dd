#include <gtest/gtest.h>

#include "platform/shell.h"
#include "testkit.h"

TEST(Shell, RecordingShellSeesWhatWouldBeShown) {
  ScopedRecordingShell shell;
  shell.answer = IDNO;
  EXPECT_EQ(Shell().MessageBox("Really?", "Ravelle", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_TRUE(Shell().OpenDocument("/tmp/report.txt"));
  shell.openSucceeds = false;
  EXPECT_FALSE(Shell().OpenAddress("https://example.org/"));
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_EQ(shell.boxes[0].text, "Really?");
  EXPECT_EQ(shell.boxes[0].flags, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(shell.documents, std::vector<std::string>{"/tmp/report.txt"});
  EXPECT_EQ(shell.addresses, std::vector<std::string>{"https://example.org/"});
}

TEST(Shell, RemovingTheFakeRestoresTheDefault) {
  IShell* fake;
  {
    ScopedRecordingShell shell;
    fake = &Shell();
    EXPECT_EQ(fake, &shell);
  }
  EXPECT_NE(&Shell(), fake);
}

// The desktop's own shell on a desktop with no launcher and no browser (an
// empty PATH): opening an address or a file answers false, which is what
// the frame's boxes go by.
TEST(Shell_X11, WithoutALauncherOrBrowserNothingOpens) {
  testkit::TempDir empty;
  const std::string file = empty.WriteFile("report.txt", "text\n");
  const testkit::ScopedEnv path("PATH", empty.path().c_str());
  const testkit::ScopedEnv browser("BROWSER", "");
  const testkit::ScopedEnv defaultBrowser("DEFAULT_BROWSER", "");
  EXPECT_FALSE(Shell().OpenAddress("https://example.org/"));
  EXPECT_FALSE(Shell().OpenDocument(file));
}
