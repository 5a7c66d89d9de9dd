// Sections: web addresses - system report - update check
#include "game/system_services.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "engine/engine.h"
#include "game/game_profile.h"
#include "game/game_text_ids.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
// The warning box of a failure: the text id's format with what was not
// opened or started.
void SayNotOpened(unsigned textId, const std::string& what) {
  Shell().MessageBox(FormatString(LoadResString(textId).c_str(), what.c_str()), LoadResString(IDS_APP_NAME),
                     MB_OK | MB_ICONWARNING);
}
}  // namespace

// ---- web addresses -------------------------------------------------------------------
void OpenWebAddress(const std::string& address) {
  if (!Shell().OpenAddress(address)) SayNotOpened(IDS_ADDRESS_NOT_OPENED, address);
}

// ---- system report ---------------------------------------------------------------
std::string BuildSystemReport(int osMajor, int osMinor, const D3DADAPTER_IDENTIFIER9* adapter) {
  const D3DADAPTER_IDENTIFIER9 none;
  const D3DADAPTER_IDENTIFIER9& id = adapter ? *adapter : none;
  const DWORD high = static_cast<DWORD>(id.DriverVersion.HighPart);
  const DWORD low = id.DriverVersion.LowPart;
  std::string text;
  auto line = [&text](const std::string& s) { text += s + "\n"; };
  line("*** System Information ***");
  line("");
  line("--- Operating System Information ---");
  line(FormatString("Windows Version: %d.%d", osMajor, osMinor));
  line("");
  line("--- Application Information ---");
  line("");
  line(FormatString("Application name: %s", GetProductTitle().c_str()));
  line(FormatString("Game version: %s", GetGameVersion().c_str()));
  line(FormatString("Installation directory: %s", GetInstallDir().c_str()));
  line("");
  line("--- Graphic Card Information ---");
  line("");
  line(FormatString("Driver: %s", id.Driver));
  line(FormatString("Description: %s", id.Description));
  line(FormatString("Driver version (%d): %d.%d (Build %d)", int(high >> 16), int(high & 0xFFFF),
                    int(low >> 16), int(low & 0xFFFF)));
  line(FormatString("VendorId: %d", int(id.VendorId)));
  line(FormatString("DeviceId: %d", int(id.DeviceId)));
  line(FormatString("SubSysId: %d", int(id.SubSysId)));
  line(FormatString("Revision: %d", int(id.Revision)));
  line(FormatString("WHQLLevel: 0x%X", unsigned(id.WHQLLevel)));
  line("");
  return text;
}

void GetKernelVersion(int* major, int* minor) {
  *major = *minor = 0;
  struct utsname name;
  if (::uname(&name) != 0) return;
  std::sscanf(name.release, "%d.%d", major, minor);
}

bool WritePrivateFile(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid() && st.st_nlink == 1 &&
            ::ftruncate(fd, 0) == 0;
  size_t done = 0;
  while (ok && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0)
      ok = false;
    else
      done += static_cast<size_t>(n);
  }
  return ::close(fd) == 0 && ok;
}

void ShowSystemReport() {
  int major = 0, minor = 0;
  GetKernelVersion(&major, &minor);
  const std::string text = BuildSystemReport(major, minor, g_Engine.AdapterIdentifier());
  const std::string folder = GetTempDataDir();
  const std::string path = folder + kPathSeparator + kSystemReportFileName;
  if (!CreatePrivateFolder(folder) || !WritePrivateFile(path, text)) {
    Shell().MessageBox("Error", LoadResString(IDS_APP_NAME), MB_OK);
    return;
  }
  if (!Shell().OpenDocument(path)) SayNotOpened(IDS_REPORT_NOT_SHOWN, path);
}

// ---- update check -------------------------------------------------------------------
namespace {
// Where the maker's site keeps this product's version information.
constexpr const char* kUpdateCheckPath = "ravelle/";
}  // namespace

std::vector<std::string> UpdateCheckArguments(bool automatic) {
  std::vector<std::string> args = {"/lang",           GetLanguage(),    "/name",
                                   GetProductTitle(), "/appversion",    GetGameVersion(),
                                   "/releasedate",    GetReleaseDate(), "/checkurl",
                                   kUpdateCheckPath,  "/homepageurl",   LoadResString(IDS_URL_PRODUCT_HOME)};
  if (automatic) {
    args.push_back("/autoclose");
    args.push_back("true");
  }
  return args;
}

std::string UpdateCheckerPath() { return GetInstallDir() + kPathSeparator + "Tidewatch"; }

namespace {
UpdateCheckLaunch StartUpdateChecker(bool automatic) {
  if (GetInstallDir().empty()) return UpdateCheckLaunch::NotInstalled;
  const std::string program = UpdateCheckerPath();
  std::error_code error;
  if (!std::filesystem::is_regular_file(program, error)) return UpdateCheckLaunch::NotInstalled;
  if (!Shell().LaunchProgram(program, UpdateCheckArguments(automatic))) return UpdateCheckLaunch::NotStarted;
  return UpdateCheckLaunch::Started;
}
}  // namespace

UpdateCheckLaunch LaunchUpdateCheck(bool automatic) {
  const UpdateCheckLaunch result = StartUpdateChecker(automatic);
  SetLastNewVersionCheckTime(WallTime());
  return result;
}

void CheckForUpdates() {
  const UpdateCheckLaunch result = LaunchUpdateCheck(false);
  if (result == UpdateCheckLaunch::Started) return;
  const bool missing = result == UpdateCheckLaunch::NotInstalled;
  SayNotOpened(missing ? IDS_UPDATE_CHECKER_MISSING : IDS_UPDATE_CHECKER_NOT_STARTED, UpdateCheckerPath());
}
