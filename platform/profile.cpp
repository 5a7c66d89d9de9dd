#include "platform/profile.h"

// Sections: reporting - reading files - kept parses - write lock - saving -
// per-user profile - machine-wide values
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/data_file.h"
#include "platform/ini_text.h"

namespace {

// ---- reporting ---------------------------------------------------------------
// Says why once per path and program run.
void ReportOnce(const std::string& path, const std::string& message) {
  static std::mutex mutex;
  static std::vector<std::string> reported;
  const std::lock_guard<std::mutex> hold(mutex);
  if (std::find(reported.begin(), reported.end(), path) != reported.end()) return;
  reported.push_back(path);
  std::fprintf(stderr, "Ravelle: %s\n", message.c_str());
}

// Says why a save failed, each time, and answers the fault.
ProfileFault SaveFailed(const std::string& path, ProfileFault fault, const std::string& why) {
  std::fprintf(stderr, "Ravelle: the settings file %s is not written: %s\n", path.c_str(), why.c_str());
  return fault;
}

// ---- reading files ---------------------------------------------------------------
// A settings file's bytes (kept in bytes, whose storage is used again); a
// file that exists but cannot be used (no regular file, too large,
// unreadable) reads as empty, is reported once and answers the fault that
// keeps writes away.
ProfileFault FaultOf(DataFileFault fault) {
  switch (fault) {
    case DataFileFault::kNotRegular: return ProfileFault::NotRegular;
    case DataFileFault::kTooLarge: return ProfileFault::TooLarge;
    default: return ProfileFault::CannotWrite;
  }
}

ProfileFault ReadSettingsFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) return ProfileFault::None;
  std::string why;
  DataFileFault fault = DataFileFault::kNone;
  const int fd = OpenDataFile(path, kMaxProfileBytes, &why, &fault);
  if (fd < 0 && ::lstat(path.c_str(), &st) != 0 && errno == ENOENT)
    return ProfileFault::None;  // gone meanwhile
  if (fd >= 0 && ReadOpenedDataFile(fd, kMaxProfileBytes, bytes, &why, &fault)) fault = DataFileFault::kNone;
  if (fd >= 0) ::close(fd);
  if (fault == DataFileFault::kNone) return ProfileFault::None;
  ReportOnce(path, "the settings file " + path + " is not used (" + why + "); nothing is written to it");
  bytes.clear();
  return FaultOf(fault);
}

// ---- kept parses ---------------------------------------------------------------
// The last parse of each settings file, used again only for the very same
// bytes: reading the file is cheap (at most 1 MiB, into storage kept from
// read to read), parsing it costs more.
std::shared_ptr<const IniText> CurrentText(const std::string& path) {
  static std::mutex mutex;
  static std::string bytes;
  static std::map<std::string, std::shared_ptr<const IniText>> kept;
  constexpr std::size_t kMaxKept = 8;  // the profile, the machine files; tests point at many
  const std::lock_guard<std::mutex> hold(mutex);
  ReadSettingsFile(path, bytes);
  auto& text = kept[path];
  if (text && text->Bytes() == bytes) return text;
  auto parsed = std::make_shared<const IniText>(bytes);
  if (kept.size() > kMaxKept)
    kept.clear();
  else
    text = parsed;
  return parsed;
}

// ---- write lock ---------------------------------------------------------------
// Set from a signal handler: lock-free.
std::atomic<bool> g_stopWaits{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// What is at a lock's path, looked at without opening it.
enum class LockPath { Free, Lock, Refused };

LockPath LookAtLockPath(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? LockPath::Free : LockPath::Refused;
  // A link: what it leads to; one that vanished meanwhile is a free lock,
  // one that leads nowhere is refused.
  if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0) {
    const bool vanished = ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
    return vanished ? LockPath::Free : LockPath::Refused;
  }
  return S_ISREG(st.st_mode) && std::uint64_t(st.st_size) <= kMaxLockBytes ? LockPath::Lock
                                                                           : LockPath::Refused;
}

// The lock Qt's settings take on a settings file (QLockFile on
// "<file>.lock"), so the other program's save cannot fall between this
// save's read and its write. QLockFile opens and reads what it finds at the
// lock's path (and at "<file>.lock.rmlock" while it removes a stale lock):
// each try looks at both first, and anything there that is not a lock
// refuses the save (reported once). A lock another program holds is waited
// for kProfileLockWaitMs at most; a holder that outlasts the wait (stopped,
// hung) fails this save, and every later one at once while the same lock
// stays in place.
class WriteLock {
 public:
  explicit WriteLock(const std::string& file)
      : m_file(file), m_path(file + ".lock"), m_lock(QString::fromStdString(m_path)) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kProfileLockWaitMs);
    while (!TryOnce(deadline)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  // None when the lock is held.
  ProfileFault Fault() const { return m_fault; }
  const std::string& Why() const { return m_why; }

 private:
  // Which lock file is at a path: another file put there has another inode
  // or another change time.
  struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
  };
  static FileIdentity IdentityOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return {};
    return {true, st.st_dev, st.st_ino, std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
  }

  // One try; true when it is over: the lock taken, or m_fault says why not.
  bool TryOnce(std::chrono::steady_clock::time_point deadline) {
    for (const std::string& at : {m_path, m_path + ".rmlock"})
      if (LookAtLockPath(at) == LockPath::Refused)
        return Fail(ProfileFault::NotRegular, "its lock " + at + " is not a regular file of at most " +
                                                  std::to_string(kMaxLockBytes) + " bytes");
    if (m_lock.tryLock(0)) return true;
    if (m_lock.error() != QLockFile::LockFailedError)
      return Fail(ProfileFault::CannotWrite, "its lock " + m_path + " cannot be made");
    if (g_stopWaits)
      return Fail(ProfileFault::LockHeld, "another program holds its lock and this one is ending");
    static FileIdentity outlasted;  // the lock whose holder outlasted a wait
    const FileIdentity holder = IdentityOf(m_path);
    if ((!holder.exists || holder != outlasted) && std::chrono::steady_clock::now() < deadline) return false;
    outlasted = holder;
    return Fail(ProfileFault::LockHeld, "another program has held its lock for more than " +
                                            std::to_string(kProfileLockWaitMs) + " ms");
  }
  bool Fail(ProfileFault fault, const std::string& why) {
    m_fault = fault;
    m_why = why;
    // A lock path that is no lock stays so: said once.
    if (fault == ProfileFault::NotRegular)
      ReportOnce(m_file + "#lock", "the settings file " + m_file + " is not written: " + why);
    return true;
  }

  std::string m_file;
  std::string m_path;
  QLockFile m_lock;
  ProfileFault m_fault = ProfileFault::None;
  std::string m_why;
};

// ---- saving ---------------------------------------------------------------
std::string g_profileFile;
std::string g_machineFile;

// Where Qt's settings keep the INI file of the user scope.
std::string UserProfilePath() {
  if (!g_profileFile.empty()) return g_profileFile;
  return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Halvorn/Ravelle.ini")
      .toStdString();
}

// One locked replacement of the profile with these values set.
ProfileFault SaveValues(const std::vector<IniSetting>& values) {
  if (values.empty()) return ProfileFault::None;
  const std::string path = UserProfilePath();
  QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
  static std::mutex oneAtATime;
  const std::lock_guard<std::mutex> hold(oneAtATime);
  const WriteLock lock(path);
  if (lock.Fault() == ProfileFault::NotRegular) return lock.Fault();  // said once already
  if (lock.Fault() != ProfileFault::None) return SaveFailed(path, lock.Fault(), lock.Why());
  std::string current;
  const ProfileFault unusable = ReadSettingsFile(path, current);
  if (unusable != ProfileFault::None) return unusable;  // said once already
  const std::string bytes = IniText(std::move(current)).WithValues(values);
  if (bytes.size() > kMaxProfileBytes)
    return SaveFailed(path, ProfileFault::TooLarge,
                      "it would be larger than " + std::to_string(kMaxProfileBytes) + " bytes");
  const std::string why = ReplaceFileWhole(path, bytes);
  if (why.empty()) return ProfileFault::None;
  return SaveFailed(path, why == kNotRegularFileReason ? ProfileFault::NotRegular : ProfileFault::CannotWrite,
                    why);
}

std::string ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

std::optional<int> AsInt(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  bool ok = false;
  const int n = QString::fromStdString(*text).trimmed().toInt(&ok);
  return ok ? std::optional<int>(n) : std::nullopt;
}

}  // namespace

// ---- per-user profile ---------------------------------------------------------------
ProfileSnapshot::ProfileSnapshot() : m_text(CurrentText(UserProfilePath())) {}
ProfileSnapshot::~ProfileSnapshot() = default;

int ProfileSnapshot::GetInt(const std::string& section, const std::string& entry, int defaultValue) const {
  return AsInt(m_text->Value(section, entry)).value_or(defaultValue);
}

std::string ProfileSnapshot::GetString(const std::string& section, const std::string& entry,
                                       const std::string& defaultValue) const {
  return m_text->Value(section, entry).value_or(defaultValue);
}

bool ProfileSnapshot::GetBool(const std::string& section, const std::string& entry, bool defaultValue) const {
  return GetInt(section, entry, defaultValue ? 1 : 0) != 0;
}

int ProfileGetInt(const std::string& section, const std::string& entry, int defaultValue) {
  return ProfileSnapshot().GetInt(section, entry, defaultValue);
}

std::string ProfileGetString(const std::string& section, const std::string& entry,
                             const std::string& defaultValue) {
  return ProfileSnapshot().GetString(section, entry, defaultValue);
}

bool ProfileGetBool(const std::string& section, const std::string& entry, bool defaultValue) {
  return ProfileSnapshot().GetBool(section, entry, defaultValue);
}

ProfileChange& ProfileChange::SetInt(const std::string& section, const std::string& entry, int value) {
  return SetString(section, entry, std::to_string(value));
}

ProfileChange& ProfileChange::SetString(const std::string& section, const std::string& entry,
                                        const std::string& value) {
  m_values.push_back({section, entry, value});
  return *this;
}

ProfileChange& ProfileChange::SetBool(const std::string& section, const std::string& entry, bool value) {
  return SetInt(section, entry, value ? 1 : 0);
}

ProfileFault ProfileChange::Save() const {
  std::vector<IniSetting> values;
  values.reserve(m_values.size());
  for (const Value& v : m_values) values.push_back({v.section, v.entry, v.text});
  return SaveValues(values);
}

bool ProfileWriteInt(const std::string& section, const std::string& entry, int value) {
  return ProfileChange().SetInt(section, entry, value).Save() == ProfileFault::None;
}

bool ProfileWriteString(const std::string& section, const std::string& entry, const std::string& value) {
  return ProfileChange().SetString(section, entry, value).Save() == ProfileFault::None;
}

bool ProfileWriteBool(const std::string& section, const std::string& entry, bool value) {
  return ProfileWriteInt(section, entry, value ? 1 : 0);
}

void StopProfileLockWaits(bool stop) { g_stopWaits.store(stop); }

std::string ProfileFilePath() { return UserProfilePath(); }
std::string SetProfileFile(const std::string& path) { return std::exchange(g_profileFile, path); }

// ---- machine-wide values ---------------------------------------------------------------
std::vector<std::string> MachineSettingsFiles() {
  if (!g_machineFile.empty()) return {g_machineFile};
  std::vector<std::string> files;
  const std::string folder = ProgramFolder();
  if (!folder.empty()) files.push_back(folder + "/" + kMachineSettingsFileName);
  // Where QSettings keeps the system scope's file.
  files.push_back(QLibraryInfo::path(QLibraryInfo::SettingsPath).toStdString() + "/Halvorn/Ravelle.ini");
  return files;
}

std::optional<std::string> MachineGetString(const std::string& section, const std::string& entry) {
  for (const std::string& name : MachineSettingsFiles()) {
    if (!QFileInfo(QString::fromStdString(name)).isFile()) continue;
    const std::optional<std::string> value = CurrentText(name)->Value(section, entry);
    if (value) return value;
    if (!g_machineFile.empty()) break;
  }
  return std::nullopt;
}

std::string SetMachineSettingsFile(const std::string& path) { return std::exchange(g_machineFile, path); }
