#pragma once
// What the program shows or starts outside its own windows: message boxes,
// and documents or addresses opened with the desktop's default program.
//
// Everything goes through the current IShell, so tests can put a
// RecordingShell in place and see what would have been shown or opened.
// The default is the Qt shell (QMessageBox, QDesktopServices).
#include <string>
#include <vector>

// Message box buttons and icons (combinable), and answers.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class IShell {
 public:
  virtual ~IShell() = default;
  // Modal; answers the button pressed (IDOK, IDYES, ...).
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
  // Opens a file with the desktop's program for it, or a web or mail address
  // with its browser or mail program; false when no such program could be
  // started (no launcher, no browser). What the started program then does
  // is not followed. Shows nothing itself: the caller tells the player.
  virtual bool OpenDocument(const std::string& path) = 0;
  virtual bool OpenAddress(const std::string& address) = 0;
  // Starts a program on its own (not waited for, nothing read back); false
  // when it could not be started.
  virtual bool LaunchProgram(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// The shell in use. Never null.
IShell& Shell();
// Replaces it; nullptr restores the Qt shell. The caller keeps ownership.
void SetShell(IShell* shell);

// Records every call and answers with a scripted button.
class RecordingShell : public IShell {
 public:
  struct Box {
    std::string text;
    std::string caption;
    unsigned flags;
  };

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  bool OpenDocument(const std::string& path) override;
  bool OpenAddress(const std::string& address) override;
  bool LaunchProgram(const std::string& program, const std::vector<std::string>& arguments) override;

  struct Launch {
    std::string program;
    std::vector<std::string> arguments;
  };
  std::vector<Box> boxes;
  std::vector<Launch> launches;
  std::vector<std::string> documents;
  std::vector<std::string> addresses;
  int answer = IDOK;         // what every message box answers
  bool openSucceeds = true;  // what OpenDocument/OpenAddress/LaunchProgram answer
};

// Installs a RecordingShell for the lifetime of the scope.
class ScopedRecordingShell : public RecordingShell {
 public:
  ScopedRecordingShell() { SetShell(this); }
  ~ScopedRecordingShell() override { SetShell(nullptr); }
};
