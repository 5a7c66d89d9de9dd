#include "platform/profile.h"

// Sections: typed values - file identity - settings files - parsed files - write lock -
// per-user profile - machine-wide values
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/data_file.h"

namespace {

// ---- typed values ---------------------------------------------------------------
// Qt reads a value whose text starts with one '@' as a stored object
// ("@Variant(<bytes>)", "@Rect(1 2 3 4)"); "@@" is a literal '@'. Such values
// are found in the file's bytes before Qt sees them.

// The character an INI value holds at i (escapes decoded: \x40, \100),
// moving i past it; line continuations are skipped.
char DecodeAt(const std::string& text, size_t& i) {
  while (i + 1 < text.size() && text[i] == '\\' && (text[i + 1] == '\n' || text[i + 1] == '\r')) {
    i += 2;
    if (i < text.size() && text[i] == '\n' && text[i - 1] == '\r') ++i;
  }
  if (i >= text.size()) return '\0';
  if (text[i] != '\\' || i + 1 >= text.size()) return text[i++];
  const char e = text[i + 1];
  i += 2;
  int value = 0;
  if (e == 'x' || e == 'X') {
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
      value = (value * 16 + (c <= '9' ? c - '0' : c - 'a' + 10)) & 0xFFFF;
    }
    return static_cast<char>(value);
  }
  if (e >= '0' && e <= '7') {
    value = e - '0';
    while (i < text.size() && text[i] >= '0' && text[i] <= '7')
      value = (value * 8 + (text[i++] - '0')) & 0xFFFF;
    return static_cast<char>(value);
  }
  return e;
}

// The byte ranges of the logical lines whose value, or one of whose
// comma-separated elements, is typed.
std::vector<std::pair<size_t, size_t>> TypedValueLines(const std::string& text) {
  std::vector<std::pair<size_t, size_t>> lines;
  size_t i = 0;
  while (i < text.size()) {
    const size_t begin = i;
    // The logical line ends at a newline that no backslash continues and
    // that no quote holds open (a quoted run goes on to the next quote, over
    // newlines, as Qt reads it).
    size_t end = begin;
    while (end < text.size() && text[end] != '\n') {
      if (text[end] == '"') {
        const size_t close = text.find('"', end + 1);
        end = close == std::string::npos ? text.size() : close + 1;
      } else {
        end += (text[end] == '\\' && end + 1 < text.size()) ? 2 : 1;
      }
    }
    const size_t eq = text.find('=', begin);
    const size_t first = text.find_first_not_of(" \t", begin);
    const bool entry =
        eq < end && first < end && text[first] != '[' && text[first] != ';' && text[first] != '#';
    bool typed = false;
    for (size_t v = eq + 1; entry && !typed && v < end;) {
      while (v < end && (text[v] == ' ' || text[v] == '\t')) ++v;
      bool quoted = v < end && text[v] == '"';
      if (quoted) ++v;
      size_t probe = v;
      if (probe < end && DecodeAt(text, probe) == '@' && DecodeAt(text, probe) != '@') typed = true;
      // The next element starts after a comma outside quotes.
      while (v < end && (quoted || text[v] != ',')) {
        if (text[v] == '"') quoted = !quoted;
        v += (text[v] == '\\') ? 2 : 1;
      }
      ++v;
    }
    if (typed) lines.emplace_back(begin, std::min(end + 1, text.size()));
    i = end + 1;
  }
  return lines;
}

std::string WithoutLines(const std::string& text, const std::vector<std::pair<size_t, size_t>>& lines) {
  std::string out;
  size_t at = 0;
  for (const auto& [begin, end] : lines) {
    out.append(text, at, begin - at);
    at = end;
  }
  out.append(text, at, std::string::npos);
  return out;
}

// ---- file identity ---------------------------------------------------------------
// What tells one state of a file from another without opening it: a rewrite
// puts another file in place (another inode), a write in place changes the
// size or the times (kept to the nanosecond).
struct FileIdentity {
  bool exists = false;
  std::uint64_t device = 0, inode = 0, mode = 0;
  std::int64_t size = 0, modifiedNs = 0, changedNs = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& st) {
  const auto ns = [](const timespec& t) { return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
  return {true,
          std::uint64_t(st.st_dev),
          std::uint64_t(st.st_ino),
          std::uint64_t(st.st_mode),
          st.st_size,
          ns(st.st_mtim),
          ns(st.st_ctim)};
}

// The file at path, links followed (nothing there reads as !exists).
FileIdentity PathIdentity(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? IdentityOf(st) : FileIdentity{};
}

// Says why once per path and program run.
void ReportOnce(const std::string& path, const std::string& message) {
  static std::mutex mutex;
  static std::vector<std::string> reported;
  const std::lock_guard<std::mutex> hold(mutex);
  if (std::find(reported.begin(), reported.end(), path) != reported.end()) return;
  reported.push_back(path);
  std::fprintf(stderr, "Ravelle: %s\n", message.c_str());
}

// ---- settings files ---------------------------------------------------------------
// QSettings over an INI file opened through the data-file opener (Qt would
// open the file by its name, and a pipe there would block it). For reading,
// Qt gets the opened descriptor's name (/proc/self/fd/N: the very file that
// was checked, and no copy that a file size limit or a full /tmp could
// stop); a file with typed values, and every write, goes through a private
// copy without them. A file that exists but is no regular file or is too
// large reads as empty and takes no writes; it is reported once on stderr.
// A write goes into the copy and the copy replaces the file whole, never
// past the size cap.
class SettingsFile {
 public:
  enum Use { kRead, kWrite };
  SettingsFile(const QString& path, Use use) : m_path(path.toStdString()) {
    std::string bytes, why;
    std::error_code ec;
    const bool exists = std::filesystem::exists(m_path, ec) || std::filesystem::is_symlink(m_path, ec);
    if (exists) m_fd = OpenDataFile(m_path, kMaxProfileBytes, &why);
    if (exists && (m_fd < 0 || !ReadOpenedDataFile(m_fd, kMaxProfileBytes, bytes, &why))) {
      m_usable = false;
      ReportUnusable(why);
    }
    const auto typed = TypedValueLines(bytes);
    const QString opened = QString("/proc/self/fd/%1").arg(m_fd);
    if (use == kRead && m_usable && m_fd >= 0 && typed.empty() && QFileInfo(opened).isFile())
      m_opened = opened;
    else
      m_opened = Copy(WithoutLines(bytes, typed));
    m_settings = std::make_unique<QSettings>(m_opened, QSettings::IniFormat);
  }
  ~SettingsFile() {
    m_settings.reset();
    if (m_fd >= 0) ::close(m_fd);
  }
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;
  QSettings* operator->() { return m_settings.get(); }
  bool Usable() const { return m_usable; }
  // The file that was read (unset when none was opened).
  FileIdentity Identity() const {
    struct stat st;
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 ? IdentityOf(st) : FileIdentity{};
  }

  // The copy, with the values set since, written over the file.
  bool Save() {
    m_settings->sync();
    std::string bytes;
    return m_usable && m_copy && m_settings->status() == QSettings::NoError &&
           ReadDataFile(m_opened.toStdString(), kMaxProfileBytes, bytes) &&
           ReplaceFileWhole(m_path, bytes).empty();
  }

 private:
  // The private copy's name; a copy that cannot be made takes no writes.
  QString Copy(const std::string& bytes) {
    m_copy = std::make_unique<QTemporaryFile>();
    if (!m_copy->open() || m_copy->write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) ||
        !m_copy->flush())
      m_usable = false;
    return m_copy->fileName();
  }
  void ReportUnusable(const std::string& why) const {
    ReportOnce(m_path,
               "the settings file " + m_path + " is not used (" + why + "); nothing is written to it");
  }
  std::string m_path;
  int m_fd = -1;
  std::unique_ptr<QTemporaryFile> m_copy;
  QString m_opened;  // what QSettings reads: the descriptor's name or the copy
  std::unique_ptr<QSettings> m_settings;
  bool m_usable = true;
};

// ---- parsed files ---------------------------------------------------------------
// Each settings file is parsed once and its values kept while the file is
// unchanged. Every read first compares the file's identity (stat: nothing is
// opened, so nothing can block) with the one it was parsed at, and parses it
// again when they differ: the other program's change is seen at the next
// read. A write here forgets the file, so it is read afresh too.
class ParsedFiles {
 public:
  QVariant Value(const QString& path, const QString& key) {
    const std::lock_guard<std::mutex> hold(m_mutex);
    return Current(path.toStdString(), path)->value(key);
  }
  void Forget(const QString& path) {
    const std::lock_guard<std::mutex> hold(m_mutex);
    m_files.erase(path.toStdString());
  }

 private:
  // A bound on the files kept (the profile and the machine-wide files; tests
  // point the profile at many).
  static constexpr std::size_t kMaxFiles = 8;
  struct Entry {
    FileIdentity identity;
    std::unique_ptr<SettingsFile> file;
  };
  SettingsFile& Current(const std::string& name, const QString& path) {
    const FileIdentity now = PathIdentity(name);
    auto it = m_files.find(name);
    if (it != m_files.end() && it->second.identity == now) return *it->second.file;
    if (it == m_files.end() && m_files.size() >= kMaxFiles) m_files.clear();
    Entry& parsed = m_files[name];
    parsed.file = std::make_unique<SettingsFile>(path, SettingsFile::kRead);
    // The file that was opened, which may be newer than the one just seen;
    // none opened (missing, refused): what was seen.
    const FileIdentity read = parsed.file->Identity();
    parsed.identity = read.exists ? read : now;
    return *parsed.file;
  }
  std::mutex m_mutex;
  std::map<std::string, Entry> m_files;
};

ParsedFiles& ParsedSettings() {
  static ParsedFiles files;
  return files;
}

// ---- write lock ---------------------------------------------------------------
// The lock QSettings takes on a settings file (QLockFile on "<file>.lock"),
// so the other program's write cannot fall between this read and this
// write. QLockFile opens what it finds at the lock's path (and at the path
// it locks while it removes a stale lock), and would wait in open(2) on a
// pipe or retry a folder for ever; those paths are looked at first
// (lstat, nothing opened), and anything but a regular file or nothing there
// makes the file unwritable, reported once. A lock another program holds is
// waited for kProfileLockWaitMs at most; a holder that outlasts the wait
// (stopped, hung) makes this write fail, and every later write fail at once
// while the same lock stays in place.
class WriteLock {
 public:
  explicit WriteLock(const std::string& file)
      : m_path(file + ".lock"), m_lock(QString::fromStdString(m_path)) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kProfileLockWaitMs);
    for (;;) {
      if (!UsablePath(file, m_path) || !UsablePath(file, m_path + ".rmlock")) return;
      if (m_lock.tryLock(0) || m_lock.error() != QLockFile::LockFailedError) return;
      static FileIdentity outlasted;  // the lock whose holder outlasted a wait
      const FileIdentity holder = PathIdentity(m_path);
      if (holder.exists && holder == outlasted) return;
      if (std::chrono::steady_clock::now() >= deadline) {
        outlasted = holder;
        std::fprintf(stderr,
                     "Ravelle: the settings file %s is not written: another program has held its lock for "
                     "more than %d ms\n",
                     file.c_str(), kProfileLockWaitMs);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  bool Held() const { return m_lock.isLocked(); }

 private:
  // Nothing at path, or a regular file (a link to one counts); else reported.
  static bool UsablePath(const std::string& file, const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) return true;
    const bool regular = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (!regular)
      ReportOnce(
          file, "the settings file " + file + " is not written: its lock " + path + " is not a regular file");
    return regular;
  }
  std::string m_path;
  QLockFile m_lock;
};

// ---- per-user profile ---------------------------------------------------------------

std::string g_profileFile;
std::string g_machineFile;

QString Key(const std::string& section, const std::string& entry) {
  const QString e = QString::fromStdString(entry);
  return section.empty() ? e : QString::fromStdString(section) + '/' + e;
}

// Where QSettings keeps the INI file of the user scope; not asked of a
// QSettings, whose constructor would read the file.
QString UserProfilePath() {
  if (!g_profileFile.empty()) return QString::fromStdString(g_profileFile);
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Halvorn/Ravelle.ini";
}

std::string ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

// A value with unquoted commas comes back as a list; join it as it was written.
std::string AsText(const QVariant& v) {
  if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(", ").toStdString();
  return v.toString().toStdString();
}

bool Write(const std::string& section, const std::string& entry, const QVariant& value) {
  const QString path = UserProfilePath();
  QDir().mkpath(QFileInfo(path).absolutePath());  // as QSettings makes it
  static std::mutex oneAtATime;
  const std::lock_guard<std::mutex> hold(oneAtATime);
  const WriteLock lock(path.toStdString());
  if (!lock.Held()) return false;
  SettingsFile s(path, SettingsFile::kWrite);
  if (!s.Usable()) return false;
  s->setValue(Key(section, entry), value);
  const bool saved = s.Save();
  ParsedSettings().Forget(path);
  return saved;
}

QVariant Read(const std::string& section, const std::string& entry) {
  return ParsedSettings().Value(UserProfilePath(), Key(section, entry));
}

}  // namespace

int ProfileGetInt(const std::string& section, const std::string& entry, int defaultValue) {
  const QVariant v = Read(section, entry);
  if (!v.isValid()) return defaultValue;
  bool ok = false;
  const int n = v.toString().trimmed().toInt(&ok);
  return ok ? n : defaultValue;
}

std::string ProfileGetString(const std::string& section, const std::string& entry,
                             const std::string& defaultValue) {
  const QVariant v = Read(section, entry);
  if (!v.isValid()) return defaultValue;
  return AsText(v);
}

bool ProfileGetBool(const std::string& section, const std::string& entry, bool defaultValue) {
  return ProfileGetInt(section, entry, defaultValue ? 1 : 0) != 0;
}

bool ProfileWriteInt(const std::string& section, const std::string& entry, int value) {
  return Write(section, entry, value);
}

bool ProfileWriteString(const std::string& section, const std::string& entry, const std::string& value) {
  return Write(section, entry, QString::fromStdString(value));
}

bool ProfileWriteBool(const std::string& section, const std::string& entry, bool value) {
  return ProfileWriteInt(section, entry, value ? 1 : 0);
}

std::string ProfileFilePath() { return UserProfilePath().toStdString(); }
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
    const QString file = QString::fromStdString(name);
    if (!QFileInfo(file).isFile()) continue;
    const QVariant v = ParsedSettings().Value(file, Key(section, entry));
    if (v.isValid()) return AsText(v);
    if (!g_machineFile.empty()) break;
  }
  return std::nullopt;
}

std::string SetMachineSettingsFile(const std::string& path) { return std::exchange(g_machineFile, path); }

// ---- one action's values (interim: one write each) ----------------------------------
ProfileChange& ProfileChange::SetInt(const std::string& section, const std::string& entry, int value) {
  m_values.push_back({section, entry, std::to_string(value)});
  return *this;
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
  for (const Value& v : m_values)
    if (!ProfileWriteString(v.section, v.entry, v.text)) return ProfileFault::CannotWrite;
  return ProfileFault::None;
}

struct ProfileSnapshot::Parsed {};
ProfileSnapshot::ProfileSnapshot() = default;
ProfileSnapshot::~ProfileSnapshot() = default;
int ProfileSnapshot::GetInt(const std::string& section, const std::string& entry, int defaultValue) const {
  return ProfileGetInt(section, entry, defaultValue);
}
std::string ProfileSnapshot::GetString(const std::string& section, const std::string& entry,
                                       const std::string& defaultValue) const {
  return ProfileGetString(section, entry, defaultValue);
}
bool ProfileSnapshot::GetBool(const std::string& section, const std::string& entry, bool defaultValue) const {
  return ProfileGetBool(section, entry, defaultValue);
}
