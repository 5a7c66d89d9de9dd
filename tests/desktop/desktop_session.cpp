#include "desktop_session.h"

// Qt before Xlib: Xlib defines macros (Status, Bool) that Qt's headers use as names.
#include <QImage>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "wait.h"

extern char** environ;

namespace fs = std::filesystem;

namespace desktop {

namespace {
constexpr int kServerStartMs = 15000;
constexpr int kWindowManagerStartMs = 15000;

// Windows come and go while they are read: a vanished one is no error here.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');)
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

// The current environment with `changes` applied (an empty value removes).
std::vector<std::string> Environment(const std::map<std::string, std::string>& changes) {
  std::map<std::string, std::string> all;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const size_t eq = entry.find('=');
    if (eq != std::string::npos) all[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [name, value] : changes) {
    if (value.empty())
      all.erase(name);
    else
      all[name] = value;
  }
  std::vector<std::string> out;
  for (const auto& [name, value] : all) out.push_back(name + "=" + value);
  return out;
}

// Starts `argv` with `env`, output into `logPath`; `passFd` (when >= 0)
// becomes descriptor 3 of the child. Answers the pid, or -1.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& logPath, int passFd = -1) {
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int devNull = ::open("/dev/null", O_RDONLY);
    ::dup2(devNull, 0);
    if (log >= 0) ::dup2(log, 1), ::dup2(log, 2);
    if (passFd >= 0) ::dup2(passFd, 3);
    ::execvpe(args[0], args.data(), envp.data());
    ::_exit(127);
  }
  if (log >= 0) ::close(log);
  return pid;
}

std::string BinDir() { return RAVELLE_DESKTOP_BIN_DIR; }
std::string DemoDir() { return RAVELLE_DESKTOP_DEMO_DIR; }

bool Contains(const std::string& haystack, const std::string& needle) {
  return !needle.empty() && haystack.find(needle) != std::string::npos;
}
}  // namespace

// ---- programs ----------------------------------------------------------------------------------
Program::~Program() {
  if (Running()) {
    ::kill(m_pid, SIGKILL);
    ::kill(m_pid, SIGCONT);
    Reap(0);
  }
}

void Program::Reap(int flags) {
  if (m_ended) return;
  int status = 0;
  const pid_t r = ::waitpid(m_pid, &status, flags);
  if (r == m_pid || (r < 0 && errno == ECHILD)) {
    m_ended = true;
    m_status = (r == m_pid && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
  }
}

bool Program::Running() {
  Reap(WNOHANG);
  return !m_ended;
}

std::optional<int> Program::WaitForExit(int ms) {
  testkit::WaitUntil([this] { return !Running(); }, ms);
  if (!m_ended) return std::nullopt;
  return m_status;
}

void Program::Stop() { ::kill(m_pid, SIGSTOP); }
void Program::Continue() { ::kill(m_pid, SIGCONT); }
void Program::Terminate() { ::kill(m_pid, SIGTERM); }

std::string Program::Log() const {
  std::ifstream in(m_log);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// ---- the session -------------------------------------------------------------------------------
bool DesktopSession::Available() { return OnPath("Xvfb") && OnPath("openbox"); }

DesktopSession::DesktopSession(int width, int height) {
  std::string pattern = (fs::temp_directory_path() / "ravelle-desktop-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    m_error = "no scratch folder";
    return;
  }
  m_root = pattern;
  m_config = m_root + "/config";
  m_data = m_root + "/data";
  m_cache = m_root + "/cache";
  m_runtime = m_root + "/runtime";
  for (const std::string* folder : {&m_config, &m_data, &m_cache, &m_runtime}) ::mkdir(folder->c_str(), 0700);
  ::mkdir((m_root + "/tmp").c_str(), 0700);
  if (StartServer(width, height) && !StartWindowManager()) {
    XCloseDisplay(m_display);
    m_display = nullptr;
  }
}

DesktopSession::~DesktopSession() {
  if (m_display) XCloseDisplay(m_display);
  m_wm.reset();
  m_server.reset();
  std::error_code ec;
  if (!m_root.empty()) fs::remove_all(m_root, ec);
}

bool DesktopSession::StartServer(int width, int height) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return m_error = "no pipe", false;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string log = m_root + "/xvfb.log";
  const pid_t pid = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
                          Environment({}), log, fds[1]);
  ::close(fds[1]);
  m_server = std::make_unique<Program>(pid, log);
  std::string number;
  testkit::WaitUntil(
      [&] {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0) return !m_server->Running();
        char c;
        const ssize_t n = ::read(fds[0], &c, 1);
        if (n <= 0) return true;
        if (c == '\n') return true;
        number += c;
        return false;
      },
      kServerStartMs);
  ::close(fds[0]);
  if (number.empty()) return m_error = "Xvfb did not start: " + m_server->Log(), false;
  m_displayName = ":" + number;
  XSetErrorHandler(IgnoreXError);
  m_display = XOpenDisplay(m_displayName.c_str());
  if (!m_display) return m_error = "cannot open " + m_displayName, false;
  int event, error, major, minor;
  if (!XTestQueryExtension(m_display, &event, &error, &major, &minor)) return m_error = "no XTest", false;
  return true;
}

bool DesktopSession::StartWindowManager() {
  const std::string log = m_root + "/openbox.log";
  std::vector<std::string> env = Environment({{"DISPLAY", m_displayName},
                                              {"XDG_CONFIG_HOME", m_config},
                                              {"XDG_CACHE_HOME", m_cache},
                                              {"XDG_DATA_HOME", m_data},
                                              {"XDG_RUNTIME_DIR", m_runtime}});
  m_wm = std::make_unique<Program>(Spawn({"openbox", "--sm-disable"}, env, log), log);
  // Ready once it names itself on the root and has taken the client list.
  const bool up = testkit::WaitUntil(
      [this] {
        if (!m_wm->Running()) return true;
        const auto check = WindowList(DefaultRootWindow(m_display), "_NET_SUPPORTING_WM_CHECK");
        return !check.empty() && !Property(check.front(), "_NET_WM_NAME").empty();
      },
      kWindowManagerStartMs);
  if (!up || !m_wm->Running()) return m_error = "openbox did not start: " + m_wm->Log(), false;
  return true;
}

std::unique_ptr<Program> DesktopSession::Start(const std::string& name, const std::vector<std::string>& args,
                                               const std::map<std::string, std::string>& env) {
  std::map<std::string, std::string> changes = {
      {"DISPLAY", m_displayName},  {"XDG_CONFIG_HOME", m_config},  {"XDG_DATA_HOME", m_data},
      {"XDG_CACHE_HOME", m_cache}, {"XDG_RUNTIME_DIR", m_runtime}, {"TMPDIR", m_root + "/tmp"},
      {"ALSOFT_DRIVERS", "null"},  {"QT_QPA_PLATFORM", ""},        {"RAVELLE_TEST_NEEDS", ""}};
  for (const auto& [key, value] : env) changes[key] = value;
  std::vector<std::string> argv = {BinDir() + "/" + name};
  argv.insert(argv.end(), args.begin(), args.end());
  static int count = 0;
  const std::string log = m_root + "/" + name + "-" + std::to_string(++count) + ".log";
  return std::make_unique<Program>(Spawn(argv, Environment(changes), log), log);
}

// ---- windows -----------------------------------------------------------------------------------
std::string DesktopSession::Property(WindowId window, const char* atom) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  const Atom name = XInternAtom(m_display, atom, False);
  if (XGetWindowProperty(m_display, window, name, 0, 4096, False, AnyPropertyType, &type, &format, &count,
                         &after, &data) != Success ||
      !data)
    return {};
  std::string value(reinterpret_cast<char*>(data), count * static_cast<unsigned long>(format / 8));
  XFree(data);
  return value;
}

std::vector<unsigned long> DesktopSession::WindowList(WindowId window, const char* atom) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  const Atom name = XInternAtom(m_display, atom, False);
  std::vector<unsigned long> out;
  if (XGetWindowProperty(m_display, window, name, 0, 4096, False, AnyPropertyType, &type, &format, &count,
                         &after, &data) != Success ||
      !data)
    return out;
  if (format == 32) {
    const auto* values = reinterpret_cast<unsigned long*>(data);  // Xlib hands 32-bit items as longs
    out.assign(values, values + count);
  }
  XFree(data);
  return out;
}

std::vector<WindowId> DesktopSession::Stacking() {
  return WindowList(DefaultRootWindow(m_display), "_NET_CLIENT_LIST_STACKING");
}

WindowId DesktopSession::ActiveWindow() {
  const auto active = WindowList(DefaultRootWindow(m_display), "_NET_ACTIVE_WINDOW");
  return active.empty() ? 0 : active.front();
}

WindowInfo DesktopSession::Info(WindowId window) {
  WindowInfo info;
  info.id = window;
  info.name = Property(window, "_NET_WM_NAME");
  if (info.name.empty()) info.name = Property(window, "WM_NAME");
  const std::string wmClass = Property(window, "WM_CLASS");  // "instance\0Class\0"
  const size_t zero = wmClass.find('\0');
  if (zero != std::string::npos)
    info.className = wmClass.substr(zero + 1, wmClass.find('\0', zero + 1) - zero - 1);
  const auto pid = WindowList(window, "_NET_WM_PID");
  if (!pid.empty()) info.pid = static_cast<pid_t>(pid.front());
  XWindowAttributes attributes;
  if (XGetWindowAttributes(m_display, window, &attributes)) {
    Window child;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &info.x, &info.y, &child);
    info.width = attributes.width;
    info.height = attributes.height;
  }
  return info;
}

std::vector<WindowInfo> DesktopSession::FindWindows(const std::string& text) {
  std::vector<WindowInfo> found;
  for (WindowId w : Stacking()) {
    WindowInfo info = Info(w);
    if (Contains(info.name, text) || Contains(info.className, text)) found.push_back(info);
  }
  return found;
}

std::optional<WindowInfo> DesktopSession::WaitForWindow(const std::string& text, int ms) {
  std::optional<WindowInfo> found;
  testkit::WaitUntil(
      [&] {
        const auto all = FindWindows(text);
        if (!all.empty()) found = all.front();
        return found.has_value();
      },
      ms);
  return found;
}

int DesktopSession::StackIndex(WindowId window) {
  const auto stack = Stacking();
  for (size_t i = 0; i < stack.size(); ++i)
    if (stack[i] == window) return static_cast<int>(i);
  return -1;
}

std::vector<WindowInfo> DesktopSession::WindowsOf(pid_t pid) {
  std::vector<WindowInfo> found;
  for (WindowId w : Stacking())
    if (WindowInfo info = Info(w); info.pid == pid) found.push_back(info);
  return found;
}

bool DesktopSession::HasState(WindowId window, const std::string& state) {
  const Atom wanted = XInternAtom(m_display, state.c_str(), False);
  for (unsigned long atom : WindowList(window, "_NET_WM_STATE"))
    if (atom == wanted) return true;
  return false;
}

void DesktopSession::SetMaximised(WindowId window, bool on) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(m_display, "_NET_WM_STATE", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = on ? 1 : 0;  // add or remove
  e.xclient.data.l[1] = static_cast<long>(XInternAtom(m_display, "_NET_WM_STATE_MAXIMIZED_VERT", False));
  e.xclient.data.l[2] = static_cast<long>(XInternAtom(m_display, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
  e.xclient.data.l[3] = 1;  // from an application
  XSendEvent(m_display, DefaultRootWindow(m_display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &e);
  Sync();
}

void DesktopSession::Minimise(WindowId window) {
  XIconifyWindow(m_display, window, DefaultScreen(m_display));
  Sync();
}

WindowInfo DesktopSession::Framed(WindowId window) {
  WindowInfo info = Info(window);
  const auto extents = WindowList(window, "_NET_FRAME_EXTENTS");  // left, right, top, bottom
  if (extents.size() == 4) {
    info.x -= static_cast<int>(extents[0]);
    info.y -= static_cast<int>(extents[2]);
    info.width += static_cast<int>(extents[0] + extents[1]);
    info.height += static_cast<int>(extents[2] + extents[3]);
  }
  return info;
}

// ---- input (XTest) -----------------------------------------------------------------------------
void DesktopSession::Sync() { XSync(m_display, False); }

void DesktopSession::SetResources(const std::string& resources) {
  XChangeProperty(m_display, DefaultRootWindow(m_display), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources.data()),
                  static_cast<int>(resources.size()));
  Sync();
}

void DesktopSession::MoveTo(int x, int y) {
  XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
  Sync();
}

void DesktopSession::MoveSmoothly(int fromX, int fromY, int toX, int toY, int step) {
  const int dx = toX - fromX, dy = toY - fromY;
  const int longest = std::max(std::abs(dx), std::abs(dy));
  const int steps = std::max(1, (longest + step - 1) / std::max(1, step));
  for (int i = 1; i <= steps; ++i) {
    MoveTo(fromX + dx * i / steps, fromY + dy * i / steps);
    testkit::KeepRunningFor(8);  // a hand's pace: the program sees the steps as separate moves
  }
}

void DesktopSession::Press(int button) {
  XTestFakeButtonEvent(m_display, static_cast<unsigned>(button), True, CurrentTime);
  Sync();
}

void DesktopSession::Release(int button) {
  XTestFakeButtonEvent(m_display, static_cast<unsigned>(button), False, CurrentTime);
  Sync();
}

void DesktopSession::Click(int button) {
  Press(button);
  Release(button);
}

void DesktopSession::ClickAt(int x, int y, int button) {
  MoveTo(x, y);
  Click(button);
}

void DesktopSession::Key(const std::string& name, const std::vector<std::string>& modifiers) {
  std::vector<KeyCode> held;
  for (const std::string& m : modifiers)
    held.push_back(XKeysymToKeycode(m_display, XStringToKeysym(m.c_str())));
  const KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(name.c_str()));
  for (KeyCode m : held) XTestFakeKeyEvent(m_display, m, True, CurrentTime);
  XTestFakeKeyEvent(m_display, code, True, CurrentTime);
  XTestFakeKeyEvent(m_display, code, False, CurrentTime);
  for (auto it = held.rbegin(); it != held.rend(); ++it)
    XTestFakeKeyEvent(m_display, *it, False, CurrentTime);
  Sync();
}

void DesktopSession::Type(const std::string& text) {
  for (const char c : text) {
    const KeySym sym = static_cast<KeySym>(static_cast<unsigned char>(c));
    const KeyCode code = XKeysymToKeycode(m_display, sym);
    if (!code) continue;
    const bool shifted = XkbKeycodeToKeysym(m_display, code, 0, 0) != sym;
    const KeyCode shift = XKeysymToKeycode(m_display, XK_Shift_L);
    if (shifted) XTestFakeKeyEvent(m_display, shift, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    if (shifted) XTestFakeKeyEvent(m_display, shift, False, CurrentTime);
  }
  Sync();
}

// ---- screenshots -------------------------------------------------------------------------------
std::string DesktopSession::Screenshot(const std::string& name) {
  const Window root = DefaultRootWindow(m_display);
  XWindowAttributes a;
  XGetWindowAttributes(m_display, root, &a);
  XImage* image = XGetImage(m_display, root, 0, 0, static_cast<unsigned>(a.width),
                            static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (!image) return {};
  QImage out(a.width, a.height, QImage::Format_RGB32);
  for (int y = 0; y < a.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < a.width; ++x) line[x] = static_cast<QRgb>(XGetPixel(image, x, y) & 0xffffff);
  }
  XDestroyImage(image);
  std::error_code ec;
  fs::create_directories(DemoDir(), ec);
  const std::string path = DemoDir() + "/" + name + ".png";
  return out.save(QString::fromStdString(path)) ? path : std::string();
}

unsigned DesktopSession::Pixel(int x, int y) {
  const std::vector<unsigned> one = Grab(x, y, 1, 1);
  return one.empty() ? 0 : one.front();
}

std::vector<unsigned> DesktopSession::Grab(int x, int y, int width, int height) {
  std::vector<unsigned> out;
  if (width <= 0 || height <= 0) return out;
  XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return out;
  out.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column)
      out.push_back(static_cast<unsigned>(XGetPixel(image, column, row) & 0xffffff));
  XDestroyImage(image);
  return out;
}

}  // namespace desktop
