#pragma once
// The profile seen from outside, for the tests of what saves settings: how
// many times the file took new bytes, and a profile that takes no write.
//
// Sections: watching - refusing - holding
#include <sys/types.h>

#include <string>

namespace testkit {

// ---- watching --------------------------------------------------------------------------------
// Counts, while it lives, the times a file that exists gets new bytes: a
// file renamed onto its name (a whole replacement) or a write to it closed
// (inotify on its folder). The kernel queues each event inside the call
// that causes it, so a count read after a save holds that save. (A file
// made where none was may come by a link that no event names: hence a file
// that exists.)
class FileReplacements {
 public:
  explicit FileReplacements(const std::string& path);
  ~FileReplacements();
  FileReplacements(const FileReplacements&) = delete;
  FileReplacements& operator=(const FileReplacements&) = delete;

  int Count();

 private:
  int m_fd = -1;
  int m_count = 0;
  std::string m_name;
};

// ---- refusing --------------------------------------------------------------------------------
// Makes the profile in use refuse every write, deterministically: a named
// pipe at its lock path ("<profile>.lock"), where the store never opens
// anything but a regular file. Answers the pipe's path (remove it to let
// writes through again).
std::string BlockProfileWrites();
// The whole text of the box that says a change was not saved in the profile
// in use because of that pipe, in English or (french) in French.
std::string BlockedProfileBox(bool french);

// ---- holding --------------------------------------------------------------------------------
// Another program that took a settings file's lock and stopped (SIGSTOP)
// before letting it go, as a hung program would: the lock stays held until
// Release or the end of the scope, which kill the program.
class StoppedLockHolder {
 public:
  explicit StoppedLockHolder(const std::string& file);
  ~StoppedLockHolder() { Release(); }
  StoppedLockHolder(const StoppedLockHolder&) = delete;
  StoppedLockHolder& operator=(const StoppedLockHolder&) = delete;

  // The holder stopped holding the lock (false when it could not be made).
  bool Holding() const { return m_pid > 0; }
  void Release();

 private:
  pid_t m_pid = -1;
};

}  // namespace testkit
