#pragma once
// Reading files whose names come from data: installation files, names read
// from the profile or from description files, pictures the player picks.
// Such a name may lead to a named pipe (opening it would wait for a writer),
// a device (/dev/zero never ends) or a huge file; these helpers open without
// blocking, accept only regular files (links to one count) and never read
// past a size cap.
#include <cstdint>
#include <string>

// Size caps of the kinds of data file.
inline constexpr std::uint64_t kMaxStringTableBytes = 1024 * 1024;
inline constexpr std::uint64_t kMaxDescriptionBytes = 64 * 1024;

// Opens the file for reading without blocking. Answers the descriptor
// (close-on-exec, blocking mode restored), or -1 with error saying why: it
// cannot be opened, is not a regular file, or is larger than maxBytes.
int OpenDataFile(const std::string& path, std::uint64_t maxBytes, std::string* error = nullptr);
// The whole file through OpenDataFile; a file that grows past maxBytes while
// it is read is refused too. On failure bytes is empty.
bool ReadDataFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                  std::string* error = nullptr);
