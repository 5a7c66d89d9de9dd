#include "platform/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
void SetError(std::string* error, const std::string& message) {
  if (error) *error = message;
}
}  // namespace

int OpenDataFile(const std::string& path, std::uint64_t maxBytes, std::string* error) {
  // O_NONBLOCK: opening a pipe returns at once instead of waiting for a
  // writer; the type check below then refuses it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    SetError(error, std::string("the file cannot be opened (") + std::strerror(errno) + ")");
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    SetError(error, "it is not a regular file");
    return -1;
  }
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    SetError(error, "the file is too large (more than " + std::to_string(maxBytes) + " bytes)");
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

bool ReadDataFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                  std::string* error) {
  bytes.clear();
  const int fd = OpenDataFile(path, maxBytes, error);
  if (fd < 0) return false;
  char chunk[16384];
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      SetError(error, std::string("the file cannot be read (") + std::strerror(errno) + ")");
      ok = false;
      break;
    }
    if (got == 0) break;
    if (bytes.size() + static_cast<size_t>(got) > maxBytes) {
      SetError(error, "the file is too large (more than " + std::to_string(maxBytes) + " bytes)");
      ok = false;
      break;
    }
    bytes.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  if (!ok) bytes.clear();
  return ok;
}
