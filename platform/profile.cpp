#include "platform/profile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <filesystem>
#include <utility>

namespace {

std::string g_profileFile;
std::string g_machineFile;

QString Key(const std::string& section, const std::string& entry) {
  const QString e = QString::fromStdString(entry);
  return section.empty() ? e : QString::fromStdString(section) + '/' + e;
}

QString UserProfilePath() {
  if (!g_profileFile.empty()) return QString::fromStdString(g_profileFile);
  return QSettings(QSettings::IniFormat, QSettings::UserScope, "Halvorn", "Ravelle").fileName();
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
  QSettings s(UserProfilePath(), QSettings::IniFormat);
  s.setValue(Key(section, entry), value);
  s.sync();
  return s.status() == QSettings::NoError;
}

}  // namespace

int ProfileGetInt(const std::string& section, const std::string& entry, int defaultValue) {
  QSettings s(UserProfilePath(), QSettings::IniFormat);
  const QVariant v = s.value(Key(section, entry));
  if (!v.isValid()) return defaultValue;
  bool ok = false;
  const int n = v.toString().trimmed().toInt(&ok);
  return ok ? n : defaultValue;
}

std::string ProfileGetString(const std::string& section, const std::string& entry,
                             const std::string& defaultValue) {
  QSettings s(UserProfilePath(), QSettings::IniFormat);
  const QVariant v = s.value(Key(section, entry));
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

std::optional<std::string> MachineGetString(const std::string& section, const std::string& entry) {
  QStringList files;
  if (!g_machineFile.empty()) {
    files << QString::fromStdString(g_machineFile);
  } else {
    const std::string folder = ProgramFolder();
    if (!folder.empty()) files << QString::fromStdString(folder + "/" + kMachineSettingsFileName);
    files << QSettings(QSettings::IniFormat, QSettings::SystemScope, "Halvorn", "Ravelle").fileName();
  }
  for (const QString& file : files) {
    if (!QFileInfo(file).isFile()) continue;
    QSettings s(file, QSettings::IniFormat);
    const QVariant v = s.value(Key(section, entry));
    if (v.isValid()) return AsText(v);
    if (!g_machineFile.empty()) break;
  }
  return std::nullopt;
}

void SetMachineSettingsFile(const std::string& path) { g_machineFile = path; }
