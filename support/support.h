#pragma once
// Small helpers both programs use: formatting, trimming, splitting, paths,
// folders, rectangle fitting, the installation and data folders, the private
// temporary folder and the interface language. Text is UTF-8; paths use
// kPathSeparator. Nothing here keeps state between calls.
//
// Sections: strings - paths and folders - geometry - installation and data
// folders - language
#include <cstdarg>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/win_types.h"

// ---- strings ---------------------------------------------------------------
// printf-style formatting of any length; a format error gives "".
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
void FormatStringTo(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::string FormatStringV(const char* format, va_list args);

// Every character through tolower (ASCII letters only; UTF-8 bytes kept).
void ToLowerString(std::string& s);
// Removes leading blanks, tabs, CR and LF; an all-blank string becomes empty.
void TrimLeft(std::string& s);
// Removes trailing characters of the set; a string made only of them (or an
// empty one) is left as it is.
void TrimRight(std::string& s, const std::string& set);
// The first n characters (all of them when the string is shorter).
std::string StringLeft(size_t n, const std::string& s);
// The last character as a one-character string; s must not be empty.
std::string StringLastChar(const std::string& s);
// Fields between separators: "a;;b" -> a, "", b; "a;" -> a, ""; ";" -> "", "";
// "" -> no field.
void SplitString(std::vector<std::string>& out, const std::string& text, char separator);

// ---- paths and folders ------------------------------------------------------
// After the last separator; the whole path when there is none.
std::string GetFileNameFromPath(const std::string& path);
// Before the last separator; the whole path when there is none.
std::string GetFolderFromPath(const std::string& path);
// After the last dot; empty when there is no dot or a separator follows it.
std::string GetFileExtension(const std::string& path);
// The path names a folder (a plain file does not pass); "" answers false.
bool FolderExists(const std::string& path);
// Creates every missing level of the path; existing levels are left alone.
// An absolute path starts at the root. False at the first level that could
// not be made.
bool CreateFolderPath(const std::string& path);
// Creates the folder path, the last level private to the user (mode 0700).
// False when the folder cannot be made, is not a real folder (a link, a
// file), or belongs to someone else.
bool CreatePrivateFolder(const std::string& path);
// The names (without folder) of the plain files (links to one count) in the
// folder whose extension equals, ignoring case, one field of the
// ";"-separated list; an empty field matches files without extension; the
// list "*" takes every file. Folders, special files and broken links are not
// listed. Sorted by name ignoring case, then byte by byte. Empty when the
// folder cannot be read.
void ListFilesInFolder(const std::string& folder, std::vector<std::string>& names,
                       const std::string& extensions);

// ---- geometry ----------------------------------------------------------------
// Fits the source's aspect into the target, from the target's top-left corner
// (sizes as absolute values, single precision, truncated). A source without
// width or height gives an empty rectangle at the target's top-left corner.
void FitRectKeepAspect(const RECT& source, const RECT& target, RECT& out);

// ---- installation and data folders ------------------------------------------
// The machine-wide "InstallDir" value, at most 255 bytes, into a 256-byte
// buffer with its terminator. False when there is none or it is longer.
bool ReadInstallDir(char (&buffer)[256]);
// The installation folder without trailing separators; "" when unknown.
std::string GetInstallDir();
std::string GetTexturesDir();
std::string GetSoundsDir();
std::string GetPuzzleSamplesDir();
std::string GetEnvironmentsDir();
std::string GetEnvironmentTexturesDir();
std::string GetTutorialsDir();
// The user's private temporary folder for the product (not created here; use
// CreatePrivateFolder): $XDG_RUNTIME_DIR/Ravelle when that is set, else
// <temp>/Ravelle-<uid>.
std::string GetTempDataDir();

// ---- language ----------------------------------------------------------------
// The profile value "Language" of the root section, lower-cased; "english"
// by default.
std::string GetLanguage();
