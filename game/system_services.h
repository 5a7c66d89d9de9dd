#pragma once
// What the frame reaches outside the game for: web addresses (opened with
// the desktop's browser), the system report (written to the user's private
// temporary folder and opened with the desktop's text viewer) and the
// launch of the separate update checker "Tidewatch" from the installation
// folder. All go through the shell seam (platform/shell.h); what the player
// asked for and could not be opened or started is said in a box naming it.
//
// Sections: web addresses - system report - update check
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"

// ---- web addresses -------------------------------------------------------------------
// Opens the address with the desktop's browser; when none could be started,
// the box naming the address.
void OpenWebAddress(const std::string& address);

// ---- system report ---------------------------------------------------------------
inline constexpr const char* kSystemReportFileName = "RavelleGame_SystemInfo.txt";

// The 22 lines of the report, each ending in "\n". adapter may be null (no
// device was enumerated): its lines then show empty values.
std::string BuildSystemReport(int osMajor, int osMinor, const D3DADAPTER_IDENTIFIER9* adapter);
// The running kernel's major and minor version (0, 0 when unknown).
void GetKernelVersion(int* major, int* minor);
// Writes text to path as a new private file, replacing a file of the user's
// own; never follows a link and never writes to another user's file. false
// when it could not.
bool WritePrivateFile(const std::string& path, const std::string& text);
// The whole command: the report about g_Engine's first adapter into
// GetTempDataDir()/kSystemReportFileName, opened with the desktop's program.
// A file that cannot be written shows the "Error" box and opens nothing; a
// file written but not opened (no viewer) the box naming the file.
void ShowSystemReport();

// ---- update check -------------------------------------------------------------------
// The checker's arguments: /lang, /name, /appversion, /releasedate,
// /checkurl and /homepageurl with their values, then "/autoclose" "true"
// for the automatic check.
std::vector<std::string> UpdateCheckArguments(bool automatic);
// The checker's path: installation folder + "/Tidewatch".
std::string UpdateCheckerPath();
enum class UpdateCheckLaunch { Started, NotInstalled, NotStarted };
// Starts the checker when it exists, then stores now as the last check time,
// whether it started or not. Shows nothing (the automatic check at start-up
// stays silent).
UpdateCheckLaunch LaunchUpdateCheck(bool automatic);
// The menu command: LaunchUpdateCheck (false); when the checker is not
// installed or could not be started, the box that says no check was made
// and names the checker's path.
void CheckForUpdates();
