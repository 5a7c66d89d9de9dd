#include <gtest/gtest.h>

#include "platform/shell.h"

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
