#pragma once
// Reading files whose names come from data: installation files, names read
// from the profile or from description files, pictures the player picks.
// Such a name may lead to a named pipe (opening it would wait for a writer),
// a device (/dev/zero never ends) or a huge file; these helpers open without
// blocking, accept only regular files (links to one count) and never read
// past a size cap. Every program file that reads a file from outside opens
// it here (the lint test lint.readers checks the sources).
//
// Writing: ReplaceFileWhole puts a whole file in place atomically and never
// over something that is not a regular file.
#include <cstdint>
#include <string>

// Size caps of the kinds of data file.
inline constexpr std::uint64_t kMaxStringTableBytes = 1024 * 1024;
inline constexpr std::uint64_t kMaxDescriptionBytes = 64 * 1024;
// A help or tutorial page, or a picture it shows.
inline constexpr std::uint64_t kMaxPageFileBytes = 16 * 1024 * 1024;

// Why a file was refused.
enum class DataFileFault { kNone, kCannotOpen, kNotRegular, kTooLarge, kCannotRead };

// Opens the file for reading without blocking. Answers the descriptor
// (close-on-exec, blocking mode restored), or -1 with error saying why: it
// cannot be opened, is not a regular file, or is larger than maxBytes.
int OpenDataFile(const std::string& path, std::uint64_t maxBytes, std::string* error = nullptr,
                 DataFileFault* fault = nullptr);
// The whole file through OpenDataFile; a file that grows past maxBytes while
// it is read is refused too. On failure bytes is empty.
bool ReadDataFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                  std::string* error = nullptr, DataFileFault* fault = nullptr);

// The rest of a descriptor from OpenDataFile, read from its current offset;
// the descriptor stays open. On failure bytes is empty.
bool ReadOpenedDataFile(int fd, std::uint64_t maxBytes, std::string& bytes, std::string* error = nullptr,
                        DataFileFault* fault = nullptr);

// Writes bytes to a temporary file beside path and renames it over path only
// when every byte is written (unbuffered, so a full disk or a file size limit
// shows as a short write); a failure leaves no temporary file and the old
// file as it was. A path that exists and is not a regular file (a pipe, a
// device, a folder; a link to a regular file counts as one) is refused and
// left untouched. Answers "" on success, else the reason.
std::string ReplaceFileWhole(const std::string& path, const std::string& bytes);
// The reason ReplaceFileWhole gives for a target that is not a regular file.
inline constexpr const char* kNotRegularFileReason = "it is not a regular file";

// Makes a write past the file size limit (ulimit -f) fail with EFBIG ("File
// too large") instead of ending the process with SIGXFSZ, so that a save
// reports it and the player keeps the game. Both programs call it first.
void IgnoreFileSizeSignal();
