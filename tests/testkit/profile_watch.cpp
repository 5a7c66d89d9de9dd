#include "profile_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QLockFile>

#include <csignal>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "platform/profile.h"

namespace testkit {

// ---- watching --------------------------------------------------------------------------------
FileReplacements::FileReplacements(const std::string& path)
    : m_name(std::filesystem::path(path).filename().string()) {
  if (!std::filesystem::is_regular_file(path)) throw std::runtime_error(path + " is no file to watch");
  m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  const std::string folder = std::filesystem::path(path).parent_path().string();
  if (m_fd < 0 || ::inotify_add_watch(m_fd, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE) < 0)
    throw std::runtime_error("cannot watch " + folder + ": " + std::strerror(errno));
}

FileReplacements::~FileReplacements() { ::close(m_fd); }

int FileReplacements::Count() {
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
    if (got <= 0) return m_count;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0 && m_name == event->name) ++m_count;
      at += ssize_t(sizeof(inotify_event) + event->len);
    }
  }
}

// ---- refusing --------------------------------------------------------------------------------
std::string BlockProfileWrites() {
  const std::string lock = ProfileFilePath() + ".lock";
  std::filesystem::create_directories(std::filesystem::path(lock).parent_path());
  if (::mkfifo(lock.c_str(), 0600) != 0)
    throw std::runtime_error("cannot make " + lock + ": " + std::strerror(errno));
  return lock;
}

std::string BlockedProfileBox(bool french) {
  return french
             ? "Vos réglages n'ont pas pu être enregistrés dans :\n" + ProfileFilePath() +
                   "\n\nLe fichier ou son fichier de verrou (terminé par .lock) n'est pas ce qu'il devrait "
                   "être : un tube, un dossier, un périphérique ou un gros fichier est à sa place."
             : "Your settings could not be saved in:\n" + ProfileFilePath() +
                   "\n\nThe file or its lock file (ending in .lock) is not what it should be: a pipe, a "
                   "folder, a device or a large file is in its place.";
}

// ---- holding --------------------------------------------------------------------------------
StoppedLockHolder::StoppedLockHolder(const std::string& file) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    QLockFile lock(QString::fromStdString(file + ".lock"));
    if (lock.lock()) ::raise(SIGSTOP);
    ::_exit(0);
  }
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, WUNTRACED) == pid && WIFSTOPPED(status)) m_pid = pid;
}

void StoppedLockHolder::Release() {
  if (m_pid <= 0) return;
  ::kill(m_pid, SIGKILL);
  ::waitpid(m_pid, nullptr, 0);
  m_pid = -1;
}

}  // namespace testkit
