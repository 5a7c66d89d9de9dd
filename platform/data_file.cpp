#include "platform/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace {
void SetError(std::string* error, const std::string& message) {
  if (error) *error = message;
}

bool Refuse(std::string* error, DataFileFault* fault, DataFileFault kind, const std::string& message) {
  SetError(error, message);
  if (fault) *fault = kind;
  return false;
}

std::string TooLarge(std::uint64_t maxBytes) {
  return "the file is too large (more than " + std::to_string(maxBytes) + " bytes)";
}
}  // namespace

int OpenDataFile(const std::string& path, std::uint64_t maxBytes, std::string* error, DataFileFault* fault) {
  if (fault) *fault = DataFileFault::kNone;
  // O_NONBLOCK: opening a pipe returns at once instead of waiting for a
  // writer; the type check below then refuses it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    Refuse(error, fault, DataFileFault::kCannotOpen,
           std::string("the file cannot be opened (") + std::strerror(errno) + ")");
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    Refuse(error, fault, DataFileFault::kNotRegular, kNotRegularFileReason);
    return -1;
  }
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    Refuse(error, fault, DataFileFault::kTooLarge, TooLarge(maxBytes));
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

bool ReadDataFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes, std::string* error,
                  DataFileFault* fault) {
  bytes.clear();
  const int fd = OpenDataFile(path, maxBytes, error, fault);
  if (fd < 0) return false;
  const bool ok = ReadOpenedDataFile(fd, maxBytes, bytes, error, fault);
  ::close(fd);
  return ok;
}

bool ReadOpenedDataFile(int fd, std::uint64_t maxBytes, std::string& bytes, std::string* error,
                        DataFileFault* fault) {
  bytes.clear();
  char chunk[16384];
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ok = Refuse(error, fault, DataFileFault::kCannotRead,
                  std::string("the file cannot be read (") + std::strerror(errno) + ")");
      break;
    }
    if (got == 0) break;
    if (bytes.size() + static_cast<size_t>(got) > maxBytes) {
      ok = Refuse(error, fault, DataFileFault::kTooLarge, TooLarge(maxBytes));
      break;
    }
    bytes.append(chunk, static_cast<size_t>(got));
  }
  if (!ok) bytes.clear();
  return ok;
}

std::string ReplaceFileWhole(const std::string& path, const std::string& bytes) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return kNotRegularFileReason;
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString().toStdString();
  qint64 written = 0;
  const qint64 size = qint64(bytes.size());
  while (written < size) {
    const qint64 n = file.write(bytes.data() + written, size - written);
    if (n <= 0) {
      const std::string reason = file.errorString().toStdString();
      file.cancelWriting();
      return reason;
    }
    written += n;
  }
  return file.commit() ? std::string() : file.errorString().toStdString();
}

void IgnoreFileSizeSignal() {
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, nullptr);
}
