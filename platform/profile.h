#pragma once
// The profile store: per-user settings, and the machine-wide installation
// values.
//
// Per-user profile: one INI file shared by the game and the screen saver
// ($XDG_CONFIG_HOME/Halvorn/Ravelle.ini), in the format Qt's settings write
// (read and written by platform/ini_text.h, never through Qt's settings,
// whose own cache of parsed files could answer an older file). Sections are
// INI groups; the section "" holds values at the top level. Every read
// passes its default, so a missing file, section or value is never an
// error; a value that is not a whole number reads as the default. A value
// stored as a Qt type ("@Variant(...)", "@Rect(...)"), which neither program
// writes, reads as the default too, and the next write to the file drops it.
//
// Reading: each read (a single value, or a ProfileSnapshot for many) reads
// the file whole, so it answers what the file holds at that moment, whatever
// the other program did; a parse is kept and used again only while the
// file's bytes are the very bytes it was made from. The file is opened
// through the data-file opener (platform/data_file.h): a profile that is no
// regular file (a pipe would block) or is larger than kMaxProfileBytes reads
// as empty, takes no writes and is reported once on stderr.
//
// Writing: the values of one user action are one ProfileChange, saved by
// one locked replacement of the file. Save takes the file's lock
// ("<profile>.lock", the lock Qt's settings take, so older versions of the
// programs keep out too), waits for it kProfileLockWaitMs at most, reads the
// file as it is then, changes only its own values, and replaces the file
// whole (never a pipe or device in its place, never past kMaxProfileBytes).
// A lock that another program holds longer (a stopped or hung program) makes
// the save fail, and later saves fail at once while that same lock stays.
// The lock's path is looked at before Qt's lock code may open or read it:
// anything there but nothing or a regular file of at most kMaxLockBytes (a
// pipe, a folder, a device, a link to one, a large file) makes the profile
// take no writes, said once on stderr; reads go on. A lock that disappears
// while it is looked at is a free lock. A failed save leaves the file as it
// was and answers why (ProfileFault), which the programs show to the player
// where the player asked for the change.
//
// Machine-wide values (installation folder): read from the first file that
// exists of
//   1. the file set with SetMachineSettingsFile (tests),
//   2. "Ravelle.machine.ini" beside the running program (written by the build
//      into the build tree, which makes the build tree an installation),
//   3. the system-wide Halvorn/Ravelle.ini of the XDG configuration folders
//      (/etc/xdg by default), written by an installer.
// They are never read from the user's profile.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The longest a write waits for the profile's lock.
inline constexpr int kProfileLockWaitMs = 1000;
// The largest settings file read or written.
inline constexpr std::uint64_t kMaxProfileBytes = 1024 * 1024;
// The largest file at the lock's path that is taken for a lock (a real one
// holds a process id, a program and a host name).
inline constexpr std::uint64_t kMaxLockBytes = 4096;

int ProfileGetInt(const std::string& section, const std::string& entry, int defaultValue);
std::string ProfileGetString(const std::string& section, const std::string& entry,
                             const std::string& defaultValue);
// Any value other than 0 reads as true.
bool ProfileGetBool(const std::string& section, const std::string& entry, bool defaultValue);

// Why a change of the profile was not saved.
enum class ProfileFault {
  None,
  LockHeld,     // another program held the profile's lock longer than kProfileLockWaitMs
  NotRegular,   // the profile or its lock is not a regular file (a pipe, a folder, a device)
  TooLarge,     // the profile is, or would become, larger than kMaxProfileBytes
  CannotWrite,  // the disk: the folder or the file cannot be written (rights, space)
};

// The values of one user action (a dialog's OK, a command), saved together:
// Save takes the profile's lock, reads the file as it is then, changes only
// these values (the other program's values written in between stay) and
// replaces the file once. A value set twice keeps the last.
class ProfileChange {
 public:
  ProfileChange& SetInt(const std::string& section, const std::string& entry, int value);
  ProfileChange& SetString(const std::string& section, const std::string& entry, const std::string& value);
  // Stored as 1 or 0.
  ProfileChange& SetBool(const std::string& section, const std::string& entry, bool value);
  bool Empty() const { return m_values.empty(); }
  // ProfileFault::None when every value is saved; otherwise nothing is
  // written, the file is as it was, and the fault is also said on stderr.
  // Saving nothing changes nothing and succeeds.
  ProfileFault Save() const;

 private:
  struct Value {
    std::string section, entry, text;
  };
  std::vector<Value> m_values;
};

class IniText;

// What the profile holds at one moment, for reading many values at one
// place: the file is read whole and parsed once, when the snapshot is made.
class ProfileSnapshot {
 public:
  ProfileSnapshot();
  ~ProfileSnapshot();
  ProfileSnapshot(const ProfileSnapshot&) = delete;
  ProfileSnapshot& operator=(const ProfileSnapshot&) = delete;
  int GetInt(const std::string& section, const std::string& entry, int defaultValue) const;
  std::string GetString(const std::string& section, const std::string& entry,
                        const std::string& defaultValue) const;
  bool GetBool(const std::string& section, const std::string& entry, bool defaultValue) const;

 private:
  std::shared_ptr<const IniText> m_text;
};

// While stopped, a save waits for no lock: one that another program holds
// fails it at once (as held). For a program that is ending, so that a save
// under way does not hold up its end. Safe to call in a signal handler.
void StopProfileLockWaits(bool stop);

// One value each, saved as a ProfileChange of its own: false when it was not.
bool ProfileWriteInt(const std::string& section, const std::string& entry, int value);
bool ProfileWriteString(const std::string& section, const std::string& entry, const std::string& value);
// Stored as 1 or 0.
bool ProfileWriteBool(const std::string& section, const std::string& entry, bool value);

// The profile file in use.
std::string ProfileFilePath();
// Points the profile at another file ("" goes back to the user's profile);
// answers the setting it replaces.
std::string SetProfileFile(const std::string& path);

// Points a store at path for the lifetime of the scope through its setter
// (which answers the setting it replaces) and puts the previous setting back.
template <std::string (*Set)(const std::string&)>
class ScopedSettingsFile {
 public:
  explicit ScopedSettingsFile(const std::string& path) : m_previous(Set(path)) {}
  ~ScopedSettingsFile() { Set(m_previous); }
  ScopedSettingsFile(const ScopedSettingsFile&) = delete;
  ScopedSettingsFile& operator=(const ScopedSettingsFile&) = delete;

 private:
  std::string m_previous;
};

// The profile at path for the lifetime of the scope.
using ScopedProfileFile = ScopedSettingsFile<SetProfileFile>;

// A machine-wide string value; nullopt when no machine settings file holds it.
std::optional<std::string> MachineGetString(const std::string& section, const std::string& entry);
// Points the machine-wide store at one file ("" goes back to the search);
// answers the setting it replaces.
std::string SetMachineSettingsFile(const std::string& path);
// The machine-wide store at path for the lifetime of the scope.
using ScopedMachineSettingsFile = ScopedSettingsFile<SetMachineSettingsFile>;
// The machine settings files searched, in order (existing or not).
std::vector<std::string> MachineSettingsFiles();
// The name of the machine settings file that lives beside the programs.
inline constexpr const char* kMachineSettingsFileName = "Ravelle.machine.ini";
