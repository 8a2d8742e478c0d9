// zarn as its users run it: the real program on a virtual X display (Xvfb), under a window
// manager (openbox) as on a desktop, typed at and resized with xdotool, its screen read back and
// checked at chosen pixels. Skipped where those programs are not installed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <thread>
#include <utility>

#include "platform/programs.h"
#include "support/runtool.h"
#include "support/tempdir.h"

#if ZARN_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace zarn {
namespace {

#if ZARN_HAVE_X11

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool overlaps(const Rect& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
};

std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << r.w << "x" << r.h << "+" << r.x << "+" << r.y;
}

// Colours as the program paints them.
bool yellow(QRgb c) { return qRed(c) > 230 && qGreen(c) > 230 && qBlue(c) < 40; }
bool alarmred(QRgb c) { return qRed(c) > 200 && qGreen(c) < 40 && qBlue(c) < 40; }
bool markerred(QRgb c) { return qRed(c) > 0xb0 && qGreen(c) < 0x70 && qBlue(c) < 0x70; }
bool dark(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c) < 240; }
bool gridblue(QRgb c) { return std::abs(qRed(c) - 0xc2) < 30 && std::abs(qGreen(c) - 0xcb) < 30 && qBlue(c) > 0xd0; }

// The share of the pixels in r that pass the test.
double share(const QImage& screen, const Rect& r, const std::function<bool(QRgb)>& test) {
  long n = 0, hit = 0;
  for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, screen.height()); ++y)
    for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, screen.width()); ++x, ++n) hit += test(screen.pixel(x, y));
  return n ? static_cast<double>(hit) / static_cast<double>(n) : 0;
}

// Whether a pixel of row y within 3 of x0 passes the test.
bool near(const QImage& screen, int x0, int y, const std::function<bool(QRgb)>& test) {
  for (int x = x0 - 3; x <= x0 + 3; ++x)
    if (x >= 0 && x < screen.width() && y >= 0 && y < screen.height() && test(screen.pixel(x, y))) return true;
  return false;
}

// Where a national grid position lies on the screen while the demo's Ashley and Mobberley map
// (0LOCAL.DES: 12.78 km across 640 pixels, 9.58 km down 480) is stretched to w x h.
std::pair<int, int> onlocalmap(double e, double n, int w, int h) {
  const double col = (e - 69570) / 12780 * 639, row = (88130 - n) / 9580 * 479;
  return {static_cast<int>(std::lround((col + 0.5) * w / 640)), static_cast<int>(std::lround((row + 0.5) * h / 480))};
}

// A virtual display of 1280 x 1024, optionally with a window manager, and the program on it in a
// demo folder made as scripts/start.sh makes it.
class Desktop : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "openbox", "xdotool"})
      if (!testing::havetool(tool)) GTEST_SKIP() << tool << " is not installed (scripts/setup.sh test)";
    // The server names its display on a pipe once it takes connections.
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    xvfb = platform::spawnprogram(
        "Xvfb", {"Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"},
        {.stdin_fd = -1, .stdout_fd = fds[1], .stderr_fd = -1, .dir = {}, .searchpath = true});
    ::close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (::poll(&p, 1, 20000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    display = ":" + number;
    dpy = XOpenDisplay(display.c_str());
    ASSERT_NE(dpy, nullptr) << display;
    root = DefaultRootWindow(dpy);
    // Windows come and go while they are looked at: a request about one gone fails quietly
    // (Xlib's own handler would end the test).
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  }
  void TearDown() override {
    // Ended as a desktop ends it; under the sanitizers it reports nothing on the way.
    if (zarn > 0) {
      stop(zarn);
      const std::string err = stderrtext();
      EXPECT_TRUE(err.find("Sanitizer") == std::string::npos && err.find("runtime error") == std::string::npos) << err;
    }
    stop(wm, SIGKILL);  // it keeps nothing, and fluxbox at times hangs in its handler of SIGTERM
    if (dpy) XCloseDisplay(dpy);
    stop(xvfb);
  }
  static void stop(pid_t& pid, int sig = SIGTERM) {
    if (pid > 0 && ::kill(pid, sig) == 0) platform::waitprogram(pid);
    pid = 0;
  }

  // openbox, as a desktop has a window manager, or another one named (fluxbox); ready once it
  // names itself on the root window.
  void windowmanager(const std::string& name = "openbox") {
    std::vector<std::string> args = {"env", "DISPLAY=" + display, "HOME=" + home.path().string(),
                                     "XDG_CONFIG_HOME=" + home.path().string(),
                                     "XDG_CACHE_HOME=" + home.path().string(), name};
    if (name == "openbox") args.push_back("--sm-disable");
    if (name == "fluxbox") {
      // No wallpaper (its setter would put up a message when it finds no program to set one
      // with) and no toolbar over the screen's bottom rows.
      home.put(".fluxbox/overlay", "background: none\n");
      home.put(".fluxbox/init", "session.screen0.toolbar.visible: false\nsession.styleOverlay: " +
                                    (home / ".fluxbox/overlay").string() + "\n");
    }
    wm = platform::spawnprogram("env", args,
                                {.stdin_fd = -1, .stdout_fd = -1, .stderr_fd = -1, .dir = {}, .searchpath = true});
    ASSERT_GT(wm, 0);
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    ASSERT_TRUE(waitfor(10s, [&] {
      Atom type = 0;
      int format = 0;
      unsigned long n = 0, after = 0;
      unsigned char* data = nullptr;
      const bool has = XGetWindowProperty(dpy, root, check, 0, 1, False, AnyPropertyType, &type, &format, &n, &after,
                                          &data) == Success && n > 0;
      if (data) XFree(data);
      return has;
    })) << name << " did not start";
  }

  // The demo folder of the kind given (demo or fleet), made by the script start.sh uses.
  std::filesystem::path demofolder(const std::string& kind) {
    const std::filesystem::path dir = home / kind;
    EXPECT_TRUE(testing::runtool({ZARN_SOURCE_DIR "/scripts/demofolder.sh", kind, dir.string()}, "")) << kind;
    return dir;
  }

  // The program started in dir; its standard error goes to a file of the test's. Its home and
  // settings folders are the test's too, so that programs started side by side share none.
  void start(const std::filesystem::path& dir) {
    const int err = ::open((home / "zarn-stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const std::string h = home.path().string();
    zarn = platform::spawnprogram(
        "env",
        {"env", "-u", "QT_QPA_PLATFORM", "-u", "WAYLAND_DISPLAY", "DISPLAY=" + display, "HOME=" + h,
         "XDG_CONFIG_HOME=" + h + "/.config", "XDG_CACHE_HOME=" + h + "/.cache", "XDG_DATA_HOME=" + h + "/.local/share",
         "XDG_RUNTIME_DIR=" + h, "ZARN_TOOLS=" ZARN_SOURCE_DIR "/tools",
         "PULSE_SERVER=unix:" + (home / "no-sound-server").string(), ZARN_PROGRAM},
        {.stdin_fd = -1, .stdout_fd = -1, .stderr_fd = err, .dir = dir, .searchpath = true});
    ::close(err);
    started = Clock::now();
    ASSERT_GT(zarn, 0);
  }
  std::string stderrtext() const { return home.get("zarn-stderr.txt"); }
  double since() const { return std::chrono::duration<double>(Clock::now() - started).count(); }

  // Waits end on what the screen shows; the limits are only a safety net, well beyond what a
  // busy machine needs. A wait while the program runs ends too as soon as it has ended: nothing
  // it could show is coming.
  bool waitfor(Clock::duration limit, const std::function<bool()>& done) {
    for (const auto end = Clock::now() + limit; Clock::now() < end; std::this_thread::sleep_for(100ms)) {
      if (done()) return true;
      if (ended()) return false;
    }
    return false;
  }
  // Whether the program started has ended; the first time it is seen so, the test fails, saying
  // how it ended.
  bool ended() {
    if (zarn <= 0) return false;
    int status = 0;
    const pid_t r = ::waitpid(zarn, &status, WNOHANG);
    if (r == 0 || (r < 0 && errno != ECHILD)) return false;
    zarn = 0;  // reaped (here or by running()): nothing to stop at the end
    const std::string how = r < 0                ? "seen ended before"
                            : WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                                : std::string("signal ") + ::strsignal(WTERMSIG(status));
    ADD_FAILURE() << "the program ended while it was waited on (" << how << ")\n" << stderrtext();
    return true;
  }

  // The shown windows of the program's with the title given, or with the role (the form's name)
  // given when it starts with "role:".
  std::vector<Window> windows(const std::string& title) {
    const Atom role = XInternAtom(dpy, "WM_WINDOW_ROLE", False);
    std::vector<Window> found;
    std::function<void(Window)> walk = [&](Window w) {
      XWindowAttributes a;
      if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable) return;
      XTextProperty name;
      const bool byrole = title.starts_with("role:");
      if ((byrole ? XGetTextProperty(dpy, w, &name, role) : XGetWMName(dpy, w, &name)) && name.value) {
        const std::string text(reinterpret_cast<const char*>(name.value), name.nitems);
        if (text == (byrole ? title.substr(5) : title)) found.push_back(w);
        XFree(name.value);
      }
      Window r = 0, parent = 0, *kids = nullptr;
      unsigned n = 0;
      if (XQueryTree(dpy, w, &r, &parent, &kids, &n)) {
        for (unsigned i = 0; i < n; ++i) walk(kids[i]);
        if (kids) XFree(kids);
      }
    };
    walk(root);
    return found;
  }
  std::optional<Window> window(const std::string& title) {
    const std::vector<Window> w = windows(title);
    return w.size() == 1 ? std::optional(w.front()) : std::nullopt;
  }
  // Where a window lies on the screen, its frame left out.
  Rect where(Window w) {
    XWindowAttributes a;
    int x = 0, y = 0;
    Window child = 0;
    if (!XGetWindowAttributes(dpy, w, &a) || !XTranslateCoordinates(dpy, w, root, 0, 0, &x, &y, &child)) return {};
    return {x, y, a.width, a.height};
  }
  // Whether the keys go to the window (or one inside it).
  bool haskeys(Window w) {
    Window focus = 0;
    int how = 0;
    XGetInputFocus(dpy, &focus, &how);
    for (Window f = focus; f && f != root;) {
      if (f == w) return true;
      Window r = 0, parent = 0, *kids = nullptr;
      unsigned n = 0;
      if (!XQueryTree(dpy, f, &r, &parent, &kids, &n)) return false;
      if (kids) XFree(kids);
      f = parent;
    }
    return false;
  }

  // A part of the screen as shown (black off the screen).
  QImage grab(Rect r) {
    const int sw = DisplayWidth(dpy, DefaultScreen(dpy)), sh = DisplayHeight(dpy, DefaultScreen(dpy));
    r.w = std::min(r.x + r.w, sw) - std::max(r.x, 0);
    r.h = std::min(r.y + r.h, sh) - std::max(r.y, 0);
    std::tie(r.x, r.y) = std::pair(std::max(r.x, 0), std::max(r.y, 0));
    QImage shot(std::max(r.w, 1), std::max(r.h, 1), QImage::Format_RGB32);
    shot.fill(Qt::black);
    XImage* im = r.w > 0 && r.h > 0 ? XGetImage(dpy, root, r.x, r.y, static_cast<unsigned>(r.w),
                                                static_cast<unsigned>(r.h), AllPlanes, ZPixmap)
                                    : nullptr;
    if (!im) return shot;
    for (int y = 0; y < r.h; ++y) {
      auto* line = reinterpret_cast<QRgb*>(shot.scanLine(y));
      for (int x = 0; x < r.w; ++x) {
        const unsigned long p = XGetPixel(im, x, y);
        line[x] = qRgb(static_cast<int>((p >> 16) & 255), static_cast<int>((p >> 8) & 255), static_cast<int>(p & 255));
      }
    }
    XDestroyImage(im);
    return shot;
  }
  // The whole screen, kept beside the test binary under the name given (none: not kept).
  QImage screen(const std::string& name) {
    XWindowAttributes a;
    XGetWindowAttributes(dpy, root, &a);
    const QImage shot = grab({0, 0, a.width, a.height});
    if (!name.empty()) keep(shot, name);
    return shot;
  }
  static void keep(const QImage& shot, const std::string& name) {
    shot.save(QString::fromStdString(
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / ("desktop-" + name + ".png")).string()));
  }

  // A part of the screen as a user's capture shows it: xwd's dump of the whole screen, which reads
  // the windows one by one, each through its colormap (none when xwd is missing or its dump is of
  // a kind not read here).
  std::optional<QImage> captured(Rect r) {
    const std::optional<std::string> dump =
        testing::runtool({"env", "DISPLAY=" + display, "xwd", "-root", "-silent"}, "");
    if (!dump || dump->size() < 100) return std::nullopt;
    const auto* b = reinterpret_cast<const unsigned char*>(dump->data());
    const auto field = [&](int i) {  // the header's words, most significant byte first
      return static_cast<std::uint32_t>(b[4 * i]) << 24 | static_cast<std::uint32_t>(b[4 * i + 1]) << 16 |
             static_cast<std::uint32_t>(b[4 * i + 2]) << 8 | b[4 * i + 3];
    };
    const std::uint32_t headersize = field(0), format = field(2), width = field(4), height = field(5),
                        lsbfirst = field(7) == 0, bpp = field(11), line = field(12), masks[3] = {field(14), field(15),
                                                                                               field(16)},
                        ncolours = field(19);
    const std::size_t start = headersize + 12 * static_cast<std::size_t>(ncolours);
    if (format != 2 || bpp != 32 || dump->size() < start + static_cast<std::size_t>(line) * height) return std::nullopt;
    QImage shot(std::max(r.w, 1), std::max(r.h, 1), QImage::Format_RGB32);
    shot.fill(Qt::black);
    for (int y = 0; y < r.h; ++y)
      for (int x = 0; x < r.w; ++x) {
        const int sx = r.x + x, sy = r.y + y;
        if (sx < 0 || sy < 0 || sx >= static_cast<int>(width) || sy >= static_cast<int>(height)) continue;
        const unsigned char* p = b + start + static_cast<std::size_t>(sy) * line + 4 * static_cast<std::size_t>(sx);
        const std::uint32_t v = lsbfirst ? p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24
                                         : static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
        int c[3];
        for (int i = 0; i < 3; ++i)
          c[i] = masks[i] ? static_cast<int>((v & masks[i]) >> std::countr_zero(masks[i])) : 0;
        shot.setPixel(x, y, qRgb(c[0], c[1], c[2]));
      }
    return shot;
  }

  bool xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), {"env", "DISPLAY=" + display, "xdotool"});
    return testing::runtool(args, "").has_value();
  }

  // The title of the window that has the keys (of the first window up from it that has one).
  std::string keysat() {
    Window focus = 0;
    int how = 0;
    XGetInputFocus(dpy, &focus, &how);
    if (focus == None || focus == PointerRoot) return focus == None ? "no window" : "the window under the pointer";
    for (Window f = focus; f && f != root;) {
      XTextProperty name;
      if (XGetWMName(dpy, f, &name) && name.value) {
        const std::string text(reinterpret_cast<const char*>(name.value), name.nitems);
        XFree(name.value);
        return "\"" + text + "\"";
      }
      Window r = 0, parent = 0, *kids = nullptr;
      unsigned n = 0;
      if (!XQueryTree(dpy, f, &r, &parent, &kids, &n)) break;
      if (kids) XFree(kids);
      f = parent;
    }
    return focus == root ? "the screen" : "an untitled window";
  }

  // The program's main window once start-up has handed it the keys.
  Window mainwindow() {
    std::optional<Window> w;
    EXPECT_TRUE(waitfor(180s, [&] { return (w = window("role:zarn")) && haskeys(*w); }))
        << "the main window has the keys after start-up: " << windows("role:zarn").size() << " main windows, "
        << "the keys with " << keysat() << "\n" << stderrtext();
    return w.value_or(0);
  }

  // The dark pixels of the text in the Vehicles Tracked window's Send box: how many, and the
  // column after the last.
  std::pair<int, int> sendboxtext(Window mv) {
    const Rect box{46, 414, 52, 18};  // inside the box's border
    const QImage shot = grab(where(mv));
    int n = 0, end = 0;
    for (int y = box.y; y < box.y + box.h; ++y)
      for (int x = box.x; x < box.x + box.w; ++x)
        if (x < shot.width() && y < shot.height() && qGray(shot.pixel(x, y)) < 128) ++n, end = std::max(end, x + 1 - box.x);
    return {n, end};
  }

  // A click on the Send box, then "ABC" typed into it: `shown` is what the box then shows.
  void typeabc(Window mv, std::pair<int, int>& shown) {
    ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(mv), "72", "423", "click", "1"}));
    ASSERT_TRUE(waitfor(15s, [&] { return haskeys(mv); })) << "the click gives the window the keys";
    ASSERT_TRUE(xdotool({"type", "--delay", "60", "ABC"}));
    ASSERT_TRUE(waitfor(10s, [&] { return (shown = sendboxtext(mv)).first > 20; })) << "the box shows ABC";
  }

  // "DEF" typed after the box showed `abc`: the box must show all six letters.
  void typemore(Window mv, std::pair<int, int> abc, std::pair<int, int>& abcdef) {
    ASSERT_TRUE(xdotool({"type", "--delay", "60", "DEF"}));
    EXPECT_TRUE(waitfor(10s, [&] {
      abcdef = sendboxtext(mv);
      return abcdef.first > abc.first * 3 / 2 && abcdef.second > abc.second + 12;  // the cursor blinks
    })) << "the box shows ABCDEF: " << abc.first << " dark pixels to column " << abc.second << ", then "
        << abcdef.first << " to " << abcdef.second;
  }

  // The windows kept on top of the full-screen map draw what they hold under the window manager
  // named, as read back from the screen or, with `captured`, in a user's capture of it.
  void toolwindowsdrawn(const std::string& manager, bool captured = false);
  // The windows kept on top brought up one after another under the window manager named stand
  // clear of one another's title bars and of the help's close cross, and below a question.
  void toolwindowsclear(const std::string& manager);
  // A message arriving while the Vehicles Tracked window's Send box is typed in, under the window
  // manager named, and put away: the keys stay with the box throughout.
  void messagewhiletyping(const std::string& manager);

  testing::TempDir home;
  std::string display;
  pid_t xvfb = 0, wm = 0, zarn = 0;
  Display* dpy = nullptr;
  Window root = 0;
  Clock::time_point started;
};

// Right after start, the grid reference the read-out shows, typed with its blanks, is marked on
// the map; the instruments window stays over the full-screen map, as kept on top.
TEST_F(Desktop, AGridReferenceTypedRightAfterStartIsMarkedOnTheMap) {
  windowmanager();
  start(demofolder("demo"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  EXPECT_EQ(where(main).w, 1280) << "the scaled layout fills the screen";
  const auto [mx, my] = onlocalmap(77900, 84800, 1280, 1024);
  const Rect marker{mx - 10, my - 20, 21, 23};
  EXPECT_LT(share(screen("before-typing"), marker, markerred), 0.02) << "no marker yet";

  ASSERT_TRUE(xdotool({"type", "--delay", "40", "`SJ 77900 84800"}));
  ASSERT_TRUE(xdotool({"key", "Return"}));
  EXPECT_TRUE(haskeys(main)) << "the keys stayed with the map window";
  QImage shot;
  EXPECT_TRUE(waitfor(120s, [&] { return share(shot = screen(""), marker, markerred) > 0.1; }))
      << "the marker at " << mx << "," << my << "\n" << stderrtext();
  keep(shot, "typed-grid-reference");
  const Rect aside{mx - 110, my - 20, 21, 23};
  EXPECT_LT(share(shot, aside, markerred), 0.02) << "and not elsewhere";
  // The map is the one the grid lines say: 78 km east and 82 km north where the map puts them.
  EXPECT_TRUE(near(shot, onlocalmap(78000, 0, 1280, 1024).first, 600, gridblue));
  EXPECT_TRUE(near(shot, 20, onlocalmap(0, 82000, 1280, 1024).second, gridblue));

  const std::optional<Window> inst = window("Instruments");
  ASSERT_TRUE(inst.has_value());
  EXPECT_GT(share(shot, where(*inst), dark), 0.5) << "the instruments' dark panel shows over the map at "
                                                  << where(*inst);
}

// Resized from outside (as a window manager that ignores the fixed size does), the scaled layout
// lays the screen out again for the new size: the map stretched to it, the read-outs on it.
TEST_F(Desktop, AResizedMainWindowIsLaidOutForItsNewSize) {
  start(demofolder("demo"));
  std::optional<Window> main;
  ASSERT_TRUE(waitfor(180s, [&] { return (main = window("role:zarn")) && where(*main).w == 1280 && haskeys(*main); }))
      << stderrtext();
  // The read-outs of the full-screen layout drawn: the window is laid out for its first size.
  const auto readout = [](const QImage& shot, int w, int h) {
    return share(shot, {w / 4 - 40, h * 458 / 480 + 2, 80, 12}, yellow) > 0.4;
  };
  ASSERT_TRUE(waitfor(120s, [&] { return readout(screen(""), 1280, 1024); })) << stderrtext();
  // Smaller than the layout was made for, the read-outs would not fit: that size is refused.
  for (const auto& [asked, w, h] : {std::tuple(1200, 1200, 900), std::tuple(400, 1200, 900)}) {
    const int askedh = asked * 3 / 4;
    ASSERT_TRUE(xdotool({"windowsize", std::to_string(*main), std::to_string(asked), std::to_string(askedh)}));
    waitfor(3s, [&] { return where(*main).w == asked; });  // taken, or refused at once: no way to tell
    ASSERT_TRUE(waitfor(60s, [&] { return where(*main).w == w && where(*main).h == h; }))
        << "asked for " << asked << "x" << askedh << ", is " << where(*main);
    // Drawn for the new size once the message line runs across it and the grid lines are
    // stretched; a tick or two on an idle machine, longer on a busy one.
    const int strip = h * 432 / 480 + 6;  // the message line
    const int y = onlocalmap(0, 81700, w, h).second;
    const auto across = [&](const QImage& shot) {
      return yellow(shot.pixel(20, strip)) && yellow(shot.pixel(w - 60, strip));
    };
    const auto stretched = [&](const QImage& shot, double e) {
      return near(shot, onlocalmap(e, 0, w, h).first, y, gridblue);
    };
    QImage shot;
    waitfor(120s, [&] {
      shot = screen("");
      return across(shot) && readout(shot, w, h) && stretched(shot, 75000) && stretched(shot, 78000) &&
             !near(shot, onlocalmap(78000, 0, 1280, 1024).first, y, gridblue);
    });
    keep(shot, "resized-" + std::to_string(asked));
    EXPECT_TRUE(across(shot)) << "the message line across the window at " << w << "x" << h;
    EXPECT_TRUE(readout(shot, w, h)) << "the grid read-out";
    for (double e : {75000.0, 78000.0}) EXPECT_TRUE(stretched(shot, e)) << "grid line " << e << " stretched";
    EXPECT_FALSE(near(shot, onlocalmap(78000, 0, 1280, 1024).first, y, gridblue)) << "not where it was";
  }
}

// The fleet demo as a base station sees it: a coded message and an alarm pop up, and neither they
// nor the vehicles list nor the instruments cover the map. Two minutes of the replay bring both
// (DemoDrive.TheFleetDemoPlotsItsVehiclesAndListsThem counts them on a clock of its own); here
// the replay runs on the wall clock, slower on a busy machine, so the wait ends on what shows.
TEST_F(Desktop, TheFleetDemoShowsAMessageAndAnAlarmBesideTheMapWithinTwoMinutes) {
  windowmanager();
  start(demofolder("fleet"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  // The dial panel comes up at start and holds the replay while it is shown: Ctrl+P puts it away.
  std::optional<Window> dial;
  ASSERT_TRUE(waitfor(30s, [&] { return (dial = window("Dial")).has_value(); })) << "the dial panel is shown";
  // Typed once one of the two windows that hand their keys to the key handler has them.
  ASSERT_TRUE(waitfor(60s, [&] { return haskeys(main) || haskeys(*dial); })) << "the keys with our windows";
  ASSERT_TRUE(xdotool({"key", "ctrl+p"}));
  ASSERT_TRUE(waitfor(30s, [&] { return !window("Dial").has_value(); })) << "Ctrl+P hides the dial panel";
  std::optional<double> message, alarm;
  waitfor(360s, [&] {
    const std::optional<Window> w = window("Message Received");
    if (!w) return false;
    const Rect r = where(*w);
    const QImage shown = grab(r);
    if (!message && share(shown, {0, 0, r.w, r.h}, yellow) > 0.4) message = since();
    if (!alarm && share(shown, {0, 0, r.w, r.h}, alarmred) > 0.4) alarm = since();
    return message && alarm;
  });
  screen("fleet");
  ASSERT_TRUE(message.has_value()) << "a message pops up";
  ASSERT_TRUE(alarm.has_value()) << "an alarm pops up";
  std::cout << "message after " << *message << " s, alarm after " << *alarm << " s\n";

  const Rect map = where(main);
  for (const char* title : {"Instruments", "Vehicles Tracked", "Message Received"}) {
    const std::optional<Window> w = window(title);
    ASSERT_TRUE(w.has_value()) << title;
    EXPECT_FALSE(where(*w).overlaps(map)) << title << " at " << where(*w) << " over the map at " << map;
  }
}

// The fleet demo starts with its dial panel up, which holds the replay. With nothing typed, the
// message line says so, and how to put the panel away, for as long as the panel is up: it still
// shows well past the 10 s that the start's own messages stay.
TEST_F(Desktop, TheFleetDemoSaysOnItsMessageLineWhatHoldsItsReplay) {
  windowmanager();
  start(demofolder("fleet"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  ASSERT_TRUE(waitfor(30s, [&] { return window("Dial").has_value(); })) << "the dial panel is shown";
  const auto panel = Clock::now();
  // The message line across the foot of the map window, laid out for 640 x 480.
  const auto shown = [&](const QImage& shot) {
    const Rect r = where(main);
    const int y = r.y + r.h * 432 / 480 + 6;
    return yellow(shot.pixel(r.x + 20, y)) && yellow(shot.pixel(r.x + r.w - 60, y));
  };
  QImage shot;
  EXPECT_TRUE(waitfor(120s, [&] { return Clock::now() - panel > 15s && shown(shot = screen("")); }))
      << "the message line after " << std::chrono::duration<double>(Clock::now() - panel).count() << " s\n"
      << stderrtext();
  keep(shot, "fleet-replay-held");
  EXPECT_TRUE(window("Dial").has_value()) << "nothing typed: the panel stays";
}

// The demo's tiled map ("Ashley drive (tiles)") as one picture, put together from its 10 km tiles
// of 1000 x 1000 pixels (100 a km) in the demo folder: kilometres 60 to 90 east and 70 to 90 north
// within square SJ.
struct TiledGround {
  QImage pic{3000, 2000, QImage::Format_RGB32};
  QRgb paper = 0;  // the commonest colour: what is not paper is ink (lines, roads, names)
  explicit TiledGround(const std::filesystem::path& tiles) {
    pic.fill(Qt::black);
    QPainter p(&pic);
    for (const auto& [name, col, row] : {std::tuple{"SJ67NW", 0, 0}, {"SJ67NE", 1, 0}, {"SJ87NW", 2, 0},
                                         {"SJ67SW", 0, 1}, {"SJ67SE", 1, 1}, {"SJ87SW", 2, 1}})
      p.drawImage(col * 1000, row * 1000, QImage(QString::fromStdString((tiles / (std::string(name) + ".BMP")).string())));
    p.end();
    std::map<QRgb, long> count;
    for (int y = 0; y < pic.height(); y += 7)
      for (int x = 0; x < pic.width(); x += 7) ++count[pic.pixel(x, y)];
    paper = std::max_element(count.begin(), count.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  }
  static bool same(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 && std::abs(qBlue(a) - qBlue(b)) < 40;
  }
  // Of the ink the map centred on (e, n) km puts in the screen's rectangle r (every 6th pixel),
  // the share that shows there, at 100 pixels a km and the centre at (640, 512).
  double shows(const QImage& shot, const Rect& r, double e, double n) const {
    long ink = 0, hit = 0;
    for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, shot.height()); y += 6)
      for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, shot.width()); x += 6) {
        // As the program places the tiles: the centre's pixel within its tile, whole.
        const int gx = x - 640 + static_cast<int>(std::floor((e - 60) * 100));
        const int gy = y - 512 + 2000 - static_cast<int>(std::floor((n - 70) * 100));
        if (gx < 0 || gy < 0 || gx >= pic.width() || gy >= pic.height()) continue;
        const QRgb g = pic.pixel(gx, gy);
        if (same(g, paper)) continue;
        ++ink;
        hit += same(g, shot.pixel(x, y));
      }
    return ink > 50 ? static_cast<double>(hit) / static_cast<double>(ink) : 0;
  }
  // The centre (km east, north) within `reach` km of (e, n) whose ink shows best in r, and its share.
  std::tuple<double, double, double> centre(const QImage& shot, const Rect& r, double e, double n, double reach) const {
    std::tuple<double, double, double> best{e, n, 0};
    for (double de = -reach; de <= reach + 1e-9; de += 0.02)
      for (double dn = -reach; dn <= reach + 1e-9; dn += 0.02)
        if (const double s = shows(shot, r, e + de, n + dn); s > std::get<2>(best)) best = {e + de, n + dn, s};
    const auto [ce, cn, s0] = best;
    for (double de = -0.02; de <= 0.02 + 1e-9; de += 0.01)
      for (double dn = -0.02; dn <= 0.02 + 1e-9; dn += 0.01)
        if (const double s = shows(shot, r, ce + de, cn + dn); s > std::get<2>(best)) best = {ce + de, cn + dn, s};
    return best;
  }
};

// Whether the program is still running (one that has ended is reaped here).
bool running(pid_t pid) {
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, WNOHANG) == 0;
}

// The map on the screen of 1280 x 1024, above the message line and the read-outs.
constexpr Rect mapshown{0, 0, 1280, 900};
// The demo's local map on that screen, which is chosen at the car's first fix: its 78 km and
// 82 km grid lines where it puts them, somewhere along their length.
bool localmapshown(const QImage& shot) {
  const int x78 = onlocalmap(78000, 0, 1280, 1024).first, y82 = onlocalmap(0, 82000, 1280, 1024).second;
  const auto line = [&](int x, int y, int dx, int dy) {
    for (int i = -3; i <= 3; ++i)
      if (gridblue(shot.pixel(x + i * dx, y + i * dy))) return true;
    return false;
  };
  bool down = false, across = false;
  for (const int at : {400, 600, 850}) {
    down = down || line(x78, at, 1, 0);
    across = across || line(at, y82, 0, 1);
  }
  return down && across;
}

// "Z" shows the tiled map, then "/" makes the map follow the destination: the program lives on,
// the view centred on the destination.
TEST_F(Desktop, TheTiledMapFollowsTheDestinationAfterZThenSlash) {
  const std::filesystem::path dir = demofolder("demo");
  const TiledGround ground(dir / "TILES");
  start(dir);
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  // Once the demo has given the car a position (the read-out may show the pointer's before).
  ASSERT_TRUE(waitfor(60s, [&] { return localmapshown(grab({0, 0, 1280, 1024})); }));
  ASSERT_TRUE(waitfor(60s, [&] { return haskeys(main); })) << "the keys with the main window";
  // Z's command has drawn the tiled map about the car once the map's far corner, away from the
  // drive, no longer shows the local map; a key typed while a command runs is dropped, so "/" is
  // typed only then.
  const Rect corner{900, 600, 300, 250};
  const QImage before = grab(corner);
  ASSERT_TRUE(xdotool({"key", "Z"}));
  ASSERT_TRUE(waitfor(60s, [&] {
    const QImage now = grab(corner);
    long changed = 0;
    for (int y = 0; y < now.height(); y += 3)
      for (int x = 0; x < now.width(); x += 3) changed += now.pixel(x, y) != before.pixel(x, y);
    return changed * 9 > static_cast<long>(now.width()) * now.height() / 20;
  })) << "the tiled map drawn";
  ASSERT_TRUE(waitfor(60s, [&] { return haskeys(main); })) << "the keys with the main window";
  ASSERT_TRUE(xdotool({"key", "slash"}));
  // The destination of the demo, "End of the drive", is SJ 79227 84523.
  double shown = 0;
  EXPECT_TRUE(waitfor(60s, [&] {
    if (!running(zarn)) return false;
    shown = std::get<2>(ground.centre(grab({0, 0, 1280, 1024}), mapshown, 79.227, 84.523, 0.04));
    return shown > 0.7;
  })) << "the tiled map centred on the destination: " << shown << " of its ink shows\n" << stderrtext();
  screen("tiled-follows-destination");
  EXPECT_TRUE(running(zarn)) << stderrtext();
}

// The demo's tiled map about the car: the car put at SJ 75300 84700 with the right button on the
// local map (the drive goes on from there, some 30 m a second, and the map is centred on it again
// whenever it is 40 pixels off), then Z pressed.
class TiledDesktop : public Desktop {
 protected:
  // Waits until the tiled map shows the ground about the car: the screen then, and the centre
  // found there with the share of its ink that shows.
  void tiledaboutcar(const std::string& name) {
    const std::filesystem::path dir = demofolder("demo");
    ground.emplace(dir / "TILES");
    start(dir);
    const Window main = mainwindow();
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(waitfor(60s, [&] { return localmapshown(grab({0, 0, 1280, 1024})); }));
    const auto [cx, cy] = onlocalmap(75300, 84700, 1280, 1024);
    ASSERT_TRUE(xdotool({"mousemove", std::to_string(cx), std::to_string(cy)}));
    ASSERT_TRUE(xdotool({"click", "3"}));
    ASSERT_TRUE(xdotool({"mousemove", "1200", "60"}));
    ASSERT_TRUE(waitfor(60s, [&] { return haskeys(main); })) << "the keys with the main window";
    ASSERT_TRUE(xdotool({"key", "Z"}));
    EXPECT_TRUE(waitfor(60s, [&] {
      found = ground->centre(shot = grab({0, 0, 1280, 1024}), {440, 312, 400, 400}, 75.3, 84.7, 0.6);
      return std::get<2>(found) > 0.7;
    })) << "the tiled map of the ground about the car: " << std::get<2>(found) << " of its ink shows\n"
        << stderrtext();
    screen(name);
  }
  std::optional<TiledGround> ground;
  QImage shot;
  std::tuple<double, double, double> found;
};

// The tiled map with the car west of easting 77 km: every tile lies over its own ground, the one
// under the car included, so the car is drawn on its own grid reference.
TEST_F(TiledDesktop, TheTiledMapShowsTheGroundUnderTheCarWestOfEasting77) {
  ASSERT_NO_FATAL_FAILURE(tiledaboutcar("tiled-car-west-of-77"));
  const auto [e, n, all] = found;
  EXPECT_LT(e, 77.0) << "the car west of easting 77 km";
  // Each part of the screen by itself shows the same ground: the one about the car, and the strip
  // at the left edge, where the tiles meet, below the instruments kept on top there.
  for (const Rect& r : {Rect{440, 312, 400, 400}, Rect{0, 260, 300, mapshown.h - 260}})
    EXPECT_GT(ground->shows(shot, r, e, n), 0.7) << r << " of the view centred on " << e << ", " << n;
}

// The tiled map with the car about 5 km into a tile, where the view spans three tile columns:
// the strip at the right edge shows the same ground as the rest, where it was once left blank.
TEST_F(TiledDesktop, TheTiledMapLeavesNoBlankStripOnTheRight) {
  ASSERT_NO_FATAL_FAILURE(tiledaboutcar("tiled-no-strip"));
  // The car is found near 75.3 km unless the machine is slow; the view then reaches past a second
  // column (from 3.6 to 6.4 km into a tile), and the strip beyond it shows the ground all the same.
  const auto [e, n, all] = found;
  EXPECT_GT(ground->shows(shot, Rect{1120, 0, 160, mapshown.h}, e, n), 0.7)
      << "the right strip of the view centred on " << e << ", " << n;
}

// Where a window stands in the desktop's stacking order (its frame's place among the root's
// children, bottom first), or -1.
int stackplace(Display* dpy, Window w) {
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned n = 0;
  for (Window f = w;; f = parent) {
    if (!XQueryTree(dpy, f, &root, &parent, &kids, &n)) return -1;
    if (kids) XFree(kids);
    if (parent == root) {
      w = f;
      break;
    }
  }
  if (!XQueryTree(dpy, root, &root, &parent, &kids, &n)) return -1;
  int place = -1;
  for (unsigned i = 0; i < n; ++i)
    if (kids[i] == w) place = static_cast<int>(i);
  if (kids) XFree(kids);
  return place;
}

bool lightgrey(QRgb c) { return qRed(c) == 0xc0 && qGreen(c) == 0xc0 && qBlue(c) == 0xc0; }

// The windows the control panel opens for the first time after start-up are kept on top of the
// full-screen map, as the instruments are, and show over it.
TEST_F(Desktop, WindowsOpenedFromTheControlPanelShowOverTheFullScreenMap) {
  windowmanager();
  start(demofolder("demo"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  ASSERT_EQ(where(main).w, 1280);
  // The panel's "RouteMAN" and "Zone Mon" buttons, the panel brought up each time by the "+" at
  // the left of the read-outs.
  for (const auto& [button, role] : {std::pair(Rect{504, 32, 112, 24}, "wpform"), {Rect{504, 60, 112, 24}, "zmform"}}) {
    ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(main), "6", std::to_string(1024 * 458 / 480 + 8),
                         "click", "1"}));
    std::optional<Window> panel;
    ASSERT_TRUE(waitfor(10s, [&] { return (panel = window("role:cform")).has_value(); })) << stderrtext();
    std::this_thread::sleep_for(300ms);  // mapped, then placed by the window manager
    ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(*panel), std::to_string(button.x + button.w / 2),
                         std::to_string(button.y + button.h / 2), "click", "1"}));
    std::optional<Window> w;
    ASSERT_TRUE(waitfor(10s, [&] { return (w = window(std::string("role:") + role)).has_value(); })) << role;
    Rect r;
    EXPECT_TRUE(waitfor(10s, [&] {
      r = where(*w);
      return stackplace(dpy, *w) > stackplace(dpy, main) && share(grab(r), {0, 0, r.w, r.h}, lightgrey) > 0.3;
    })) << role << " at " << r << " stands " << stackplace(dpy, *w) << ", the map " << stackplace(dpy, main);
  }
  screen("panel-windows");
}

// A button's face as the toolkit draws it, lighter than the grey of the windows.
bool buttonface(QRgb c) { return qRed(c) > 0xd0 && qGreen(c) > 0xd0 && qBlue(c) > 0xd0; }

// The windows kept on top of the full-screen map draw what they hold, read inside each window
// under the window manager named: the instruments' "<>" button on their dark panel; the control
// panel's grey, its first heading's dark letters and its "ON" button; Route Following's grey.
void Desktop::toolwindowsdrawn(const std::string& manager, bool captured) {
  if (captured && !testing::havetool("xwd")) GTEST_SKIP() << "xwd is not installed (scripts/setup.sh test)";
  windowmanager(manager);
  start(demofolder("demo"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  ASSERT_EQ(where(main).w, 1280);
  const auto read = [&](const Rect& r) {
    if (!captured) return grab(r);
    if (std::optional<QImage> shot = this->captured(r)) return *shot;
    QImage none(std::max(r.w, 1), std::max(r.h, 1), QImage::Format_RGB32);
    none.fill(Qt::black);
    return none;
  };
  const std::string how = captured ? " in a capture" : "";
  const auto shows = [&](Window w, const std::vector<std::pair<Rect, std::function<bool(QRgb)>>>& parts) {
    return waitfor(20s, [&] {
      const QImage shot = read(where(w));
      return std::all_of(parts.begin(), parts.end(),
                         [&](const auto& p) { return share(shot, p.first, p.second) > 0.4; });
    });
  };
  const auto ink = [](QRgb c) { return qGray(c) < 0x60; };
  std::optional<Window> inst, panel, route;
  ASSERT_TRUE(waitfor(30s, [&] { return (inst = window("role:iform")).has_value(); })) << stderrtext();
  EXPECT_TRUE(shows(*inst, {{Rect{134, 4, 22, 14}, buttonface}, {Rect{0, 60, 90, 100}, dark}}))
      << "the instruments under " << manager << how << " at " << where(*inst);

  ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(main), "6", std::to_string(1024 * 458 / 480 + 8),
                       "click", "1"}));  // the "+" that brings up the control panel
  ASSERT_TRUE(waitfor(10s, [&] { return (panel = window("role:cform")).has_value(); })) << stderrtext();
  const auto heading = [&](QRgb c) { return ink(c) || lightgrey(c); };
  EXPECT_TRUE(shows(*panel, {{Rect{8, 4, 80, 14}, heading}, {Rect{0, 120, 8, 100}, lightgrey},
                             {Rect{12, 220, 48, 16}, buttonface}}) &&
              share(read(where(*panel)), {8, 4, 80, 14}, ink) > 0.05)
      << "the control panel under " << manager << how << " at " << where(*panel);
  if (captured) {
    const std::optional<QImage> all = this->captured({0, 0, 1280, 1024});
    if (all) keep(*all, "tool-windows-captured-" + manager);
  } else {
    screen("tool-windows-" + manager);
  }

  ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(*panel), "560", "44", "click", "1"}));  // RouteMAN
  ASSERT_TRUE(waitfor(10s, [&] { return (route = window("role:wpform")).has_value(); })) << stderrtext();
  EXPECT_TRUE(shows(*route, {{Rect{0, 0, where(*route).w, where(*route).h}, lightgrey}}))
      << "Route Following under " << manager << how << " at " << where(*route);
  if (!captured) screen("route-following-" + manager);
}

TEST_F(Desktop, ToolWindowsDrawWhatTheyHoldUnderOpenbox) { toolwindowsdrawn("openbox"); }

TEST_F(Desktop, ToolWindowsDrawWhatTheyHoldUnderFluxbox) {
  if (!testing::havetool("fluxbox")) GTEST_SKIP() << "fluxbox is not installed (scripts/setup.sh test)";
  toolwindowsdrawn("fluxbox");
}

// The same windows in a capture of the screen taken with xwd, as users report what they see:
// each window's content, not a title bar over black where a window of ours lies over another.
TEST_F(Desktop, ToolWindowsShowInAScreenCaptureUnderOpenbox) { toolwindowsdrawn("openbox", true); }

TEST_F(Desktop, ToolWindowsShowInAScreenCaptureUnderFluxbox) {
  if (!testing::havetool("fluxbox")) GTEST_SKIP() << "fluxbox is not installed (scripts/setup.sh test)";
  toolwindowsdrawn("fluxbox", true);
}

// fluxbox hands the keys to a window that appears over the one that has them, and at times again
// after they were given back: start after start, the main window has the keys a moment after it
// shows, and keeps them while the instruments kept on top of it come up and are drawn.
TEST_F(Desktop, TheMainWindowHasTheKeysAfterEveryStartUnderFluxbox) {
  if (!testing::havetool("fluxbox")) GTEST_SKIP() << "fluxbox is not installed (scripts/setup.sh test)";
  windowmanager("fluxbox");
  const std::filesystem::path dir = demofolder("demo");
  for (int run = 1; run <= 5 && !HasFailure(); ++run) {
    start(dir);
    std::optional<Window> main, inst;
    ASSERT_TRUE(waitfor(180s, [&] { return (main = window("role:zarn")).has_value(); })) << "start " << run;
    const Clock::time_point shown = Clock::now();
    // Well before the program would take the keys back of itself, ten seconds after the last click.
    EXPECT_TRUE(waitfor(6s, [&] { return haskeys(*main); }))
        << "start " << run << ": the keys with " << keysat() << " 6 s after the main window showed";
    ASSERT_TRUE(waitfor(30s, [&] {
      return (inst = window("role:iform")) && share(grab(where(*inst)), {0, 60, 90, 100}, dark) > 0.4;
    })) << "start " << run << ": the instruments drawn";
    // Handed to the instruments meanwhile, they are given back at once.
    EXPECT_TRUE(waitfor(6s, [&] { return haskeys(*main); }))
        << "start " << run << ": the keys with " << keysat() << " 6 s after the instruments were drawn, "
        << std::chrono::duration<double>(Clock::now() - shown).count() << " s after the main window showed";
    stop(zarn);
  }
}

// The exit question asked over the full-screen map shows its face in a capture of the screen as
// well, not a title bar over black.
TEST_F(Desktop, TheExitQuestionShowsInAScreenCaptureUnderOpenbox) {
  if (!testing::havetool("xwd")) GTEST_SKIP() << "xwd is not installed (scripts/setup.sh test)";
  windowmanager();
  start(demofolder("demo"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  ASSERT_EQ(where(main).w, 1280);
  ASSERT_TRUE(xdotool({"key", "Escape"}));
  std::optional<Window> box;
  ASSERT_TRUE(waitfor(30s, [&] { return (box = window("Exit ZARN ?")).has_value(); })) << stderrtext();
  Rect r;
  std::optional<QImage> shot;
  EXPECT_TRUE(waitfor(20s, [&] {
    r = where(*box);
    shot = captured(r);
    return shot && share(*shot, {0, 0, r.w, r.h}, buttonface) > 0.5;
  })) << "the exit question at " << r;
  if (const std::optional<QImage> all = captured({0, 0, 1280, 1024})) keep(*all, "exit-question-captured");
  ASSERT_TRUE(xdotool({"key", "Escape"}));  // Cancel: the program goes on
  EXPECT_TRUE(waitfor(10s, [&] { return windows("Exit ZARN ?").empty(); }));
}

// A zone read from ZARNWARN.DAT on the map stretched to 1280 x 1024 (100 pixels a km across,
// 106.8 down): its drawn edge lies on the zone's true edge each way, not 1 km across both ways.
TEST_F(Desktop, AZoneIsDrawnOnItsTrueEdgeOnTheStretchedMap) {
  windowmanager();
  const std::filesystem::path dir = demofolder("demo");
  // North of the drive, clear of the car and of the windows at the top left.
  constexpr int e = 80800, n = 87000, r = 1000;
  home.put("demo/ZARNWARN.DAT", "1\r\nSJ 80800 87000,1\r\n");
  start(dir);
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  ASSERT_EQ(where(main).w, 1280);
  ASSERT_TRUE(waitfor(120s, [&] { return localmapshown(grab({0, 0, 1280, 1024})); })) << stderrtext();
  const std::pair<int, int> centre = onlocalmap(e, n, 1280, 1024);  // no structured binding: lambdas use it
  const int cx = centre.first, cy = centre.second;
  const int east = onlocalmap(e + r, n, 1280, 1024).first, south = onlocalmap(e, n - r, 1280, 1024).second;
  const int north = onlocalmap(e, n + r, 1280, 1024).second;
  const Rect zone{cx - (east - cx) - 8, north - 8, 2 * (east - cx) + 17, south - north + 17};
  const QImage before = grab(zone);
  // The control panel's "Zone Mon", then the zone window's "Read".
  ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(main), "6", std::to_string(1024 * 458 / 480 + 8),
                       "click", "1"}));
  std::optional<Window> panel, zm;
  ASSERT_TRUE(waitfor(10s, [&] { return (panel = window("role:cform")).has_value(); })) << stderrtext();
  std::this_thread::sleep_for(300ms);  // mapped, then placed by the window manager
  ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(*panel), "560", "72", "click", "1"}));
  ASSERT_TRUE(waitfor(10s, [&] { return (zm = window("role:zmform")).has_value(); })) << stderrtext();
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(*zm), "40", "20", "click", "1"}));
  // The outline: dark where the map was not. Its rows down the centre column and its columns
  // along the centre row, in screen pixels.
  const auto drawn = [&](const QImage& shot, bool down) {
    std::vector<int> at;
    const int len = down ? zone.h : zone.w;
    for (int i = 0; i < len; ++i) {
      const int x = down ? cx - zone.x : i, y = down ? i : cy - zone.y;
      if (dark(shot.pixel(x, y)) && !dark(before.pixel(x, y))) at.push_back(i + (down ? zone.y : zone.x));
    }
    return at;
  };
  QImage shot;
  const bool seen = waitfor(30s, [&] { return drawn(shot = grab(zone), true).size() >= 2; });
  screen("zone-stretched");
  ASSERT_TRUE(seen) << "no zone drawn in " << zone << "\n" << stderrtext();
  const std::vector<int> rows = drawn(shot, true), cols = drawn(shot, false);
  ASSERT_FALSE(rows.empty() || cols.empty());
  EXPECT_NEAR(rows.front(), north, 2) << "north edge";
  EXPECT_NEAR(rows.back(), south, 2) << "south edge";
  EXPECT_NEAR(cols.back(), east, 2) << "east edge";
  EXPECT_NEAR(cols.front(), cx - (east - cx), 2) << "west edge";
}

// Vehicles Tracked: a row clicked with automatic selection off stays the selected one, and the
// window's close box leaves it up, as the base station's panel lives as long as the fleet does.
TEST_F(Desktop, TheVehiclesWindowKeepsTheRowClickedAndStaysUp) {
  windowmanager();
  start(demofolder("fleet"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  std::optional<Window> mv, dial;
  ASSERT_TRUE(waitfor(30s, [&] { return (mv = window("Vehicles Tracked")).has_value(); })) << stderrtext();
  // The dial panel shown at start holds the replay: Ctrl+P puts it away, and the list fills.
  ASSERT_TRUE(waitfor(30s, [&] { return (dial = window("Dial")).has_value(); })) << "the dial panel is shown";
  ASSERT_TRUE(waitfor(60s, [&] { return haskeys(main) || haskeys(*dial); })) << "the keys with our windows";
  ASSERT_TRUE(xdotool({"key", "ctrl+p"}));
  const Rect van1{8, 24, 400, 14};
  EXPECT_TRUE(waitfor(120s, [&] {
    const QImage list = grab(where(*mv));
    return share(list, {van1.x, van1.y, 40, 12}, dark) > 0.05 && share(list, {van1.x, van1.y + 14, 40, 12}, dark) > 0.05;
  })) << "VAN1 and the vehicle after it listed";
  const auto click = [&](int x, int y) {
    return xdotool({"mousemove", "--window", std::to_string(*mv), std::to_string(x), std::to_string(y), "click", "1"});
  };
  // Automatic selection off (its switch, the fifth down the right), then VAN1's row, the first.
  ASSERT_TRUE(click(426, 138));
  QImage shot;
  EXPECT_TRUE(waitfor(30s, [&] {
    if (!click(30, 31)) return false;
    std::this_thread::sleep_for(500ms);
    const Rect r = where(*mv);
    shot = grab(r);
    return share(shot, {van1.x + 360, van1.y + 1, 36, 12}, [](QRgb c) { return c == qRgb(255, 255, 255); }) > 0.9 &&
           share(shot, {van1.x + 360, van1.y + 15, 36, 12}, lightgrey) > 0.9;
  })) << "VAN1's row white, the next grey";
  screen("vehicles-van1");

  // Its close box, as the window manager is asked to close it (a key could go to a message that
  // pops up meanwhile).
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = *mv;
  close.xclient.message_type = XInternAtom(dpy, "_NET_CLOSE_WINDOW", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = CurrentTime;
  close.xclient.data.l[1] = 2;  // from a pager or taskbar: as the user asked
  XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &close);
  XFlush(dpy);
  EXPECT_FALSE(waitfor(5s, [&] { return !window("Vehicles Tracked"); })) << "closed, and nothing brings it back";
}

// The control panel's demos as a user starts them, with the mouse: DFDEMO draws its bearing lines
// (in the demo's magenta), which cross where the transmitter is, and the cross fix taken there is
// marked; CAR DEMO then drives the car from the start of the road on along it, and "*" starts it
// there again. The prompts are switched off (the first value of SOUNDS.CFG): each would take its
// length even without a sound server, and the demos are watched here, not heard.
TEST_F(Desktop, TheDfDemoCrossesItsBearingsAtTheTransmitterAndTheCarDemoDrivesTheRoad) {
  windowmanager();
  const std::filesystem::path dir = demofolder("demo");
  const std::string sounds = home.get("demo/SOUNDS.CFG");
  ASSERT_TRUE(sounds.starts_with("0\r\n")) << sounds;
  home.put("demo/SOUNDS.CFG", "1" + sounds.substr(1));
  start(dir);
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  // Ctrl+C opens the panel; a demo button (its row in the panel's first column) is clicked.
  const auto demo = [&](int row) {
    ASSERT_TRUE(waitfor(15s, [&] { return haskeys(main); })) << "the keys are back with the main window";
    ASSERT_TRUE(xdotool({"key", "ctrl+c"}));
    std::optional<Window> panel;
    ASSERT_TRUE(waitfor(15s, [&] { return (panel = window("role:cform")).has_value(); })) << "the control panel";
    const Rect r = where(*panel);
    ASSERT_TRUE(xdotool({"mousemove", std::to_string(r.x + 440), std::to_string(r.y + 16 + 28 * row), "click", "1"}));
    ASSERT_TRUE(waitfor(15s, [&] { return !window("role:cform").has_value(); })) << "the panel goes";
  };
  const auto magenta = [](QRgb c) { return qRed(c) > 140 && qBlue(c) > 140 && qGreen(c) < 60; };
  const auto square = [](std::pair<int, int> at, int half) {
    return Rect{at.first - half, at.second - half, 2 * half + 1, 2 * half + 1};
  };
  // The transmitter of the demo, SJ 77806 83707; a square beside it that no bearing crosses.
  const Rect atfix = square(onlocalmap(77806, 83707, 1280, 1024), 30);
  const Rect aside = {atfix.x + 200, atfix.y + 150, atfix.w, atfix.h};
  const double red = share(screen("before-dfdemo"), atfix, markerred);

  demo(1);
  QImage shot;
  // A bearing line through the square is 61 pixels or more of it: three or four of them.
  EXPECT_TRUE(waitfor(150s, [&] { return share(shot = grab(atfix), {0, 0, atfix.w, atfix.h}, magenta) > 0.04; }))
      << "the bearing lines cross at the transmitter\n" << stderrtext();
  shot = screen("dfdemo-first");
  EXPECT_EQ(share(shot, aside, magenta), 0) << "and nowhere else";
  EXPECT_GT(share(shot, atfix, markerred), red + 0.002) << "the cross fix is marked there";
  EXPECT_TRUE(waitfor(90s, [&] { return share(grab(atfix), {0, 0, atfix.w, atfix.h}, magenta) > 0.08; }))
      << "the bearings taken further on cross there too";
  screen("dfdemo");

  // The drive's first fix and its fix a minute later (SJ 79730 84603, SJ 77903 84597).
  const Rect first = square(onlocalmap(79730, 84603, 1280, 1024), 20);
  const Rect later = square(onlocalmap(77903, 84597, 1280, 1024), 20);
  demo(0);
  EXPECT_TRUE(waitfor(60s, [&] { return share(grab(first), {0, 0, first.w, first.h}, markerred) > 0.03; }))
      << "the car at the start of the road\n" << stderrtext();
  EXPECT_TRUE(waitfor(120s, [&] { return share(grab(later), {0, 0, later.w, later.h}, markerred) > 0.03; }))
      << "and a minute on along it\n" << stderrtext();
  screen("cardemo");
  // "*" starts the demo again from its beginning.
  ASSERT_TRUE(waitfor(15s, [&] { return haskeys(main); }));
  ASSERT_TRUE(xdotool({"key", "asterisk"}));
  EXPECT_TRUE(waitfor(60s, [&] { return share(grab(first), {0, 0, first.w, first.h}, markerred) > 0.03; }))
      << "the car back at the start\n" << stderrtext();
}

// The language's flag, where the layout puts it: the English one at start, the German one after
// "J", the English one again after "B".
TEST_F(Desktop, JAndBShowTheFlagOfTheLanguage) {
  windowmanager();
  start(demofolder("demo"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  const Rect flag{1280 - 64, 1024 * 448 / 480 + 3, 32, 32};
  const auto navy = [](QRgb c) { return qRed(c) < 40 && qGreen(c) < 70 && qBlue(c) > 80; };
  const auto black = [](QRgb c) { return qRed(c) + qGreen(c) + qBlue(c) < 30; };
  const auto gold = [](QRgb c) { return qRed(c) > 230 && qGreen(c) > 170 && qGreen(c) < 230 && qBlue(c) < 40; };
  const auto shows = [&](const std::function<bool(QRgb)>& a, const std::function<bool(QRgb)>& b) {
    return waitfor(20s, [&] {
      const QImage f = grab(flag);
      return share(f, {0, 0, flag.w, flag.h}, a) > 0.05 && share(f, {0, 0, flag.w, flag.h}, b) > 0.05;
    });
  };
  EXPECT_TRUE(shows(navy, navy)) << "the English flag at start";
  screen("flag-english");
  for (const auto& [key, a, b, name] : {std::tuple(std::string("j"), std::function<bool(QRgb)>(black),
                                                   std::function<bool(QRgb)>(gold), "flag-german"),
                                        std::tuple(std::string("b"), std::function<bool(QRgb)>(navy),
                                                   std::function<bool(QRgb)>(navy), "flag-english-again")}) {
    // A key that arrives while a command is still speaking is dropped, as every key is then: "b",
    // which only goes back to English, is typed again until it shows.
    bool shown = false;
    for (int tries = 0; tries < (key == "b" ? 4 : 1) && !shown; ++tries) {
      ASSERT_TRUE(waitfor(15s, [&] { return haskeys(main); }));
      ASSERT_TRUE(xdotool({"key", key}));
      shown = shows(a, b);
    }
    EXPECT_TRUE(shown) << name << "\n" << stderrtext();
    screen(name);
  }
}

// A message typed into the vehicles window's Send box stays there: no key of it runs a map
// command (the first would end the demo and hand the keys back), and the window keeps the keys
// while it is being typed in.
TEST_F(Desktop, TypingAMessageIntoTheVehiclesTrackedSendBoxKeepsItThere) {
  windowmanager();
  start(demofolder("fleet"));
  ASSERT_NE(mainwindow(), 0u);
  std::optional<Window> mv;
  ASSERT_TRUE(waitfor(30s, [&] { return (mv = window("Vehicles Tracked")).has_value(); })) << stderrtext();
  const auto click = [&](int x, int y) {
    return xdotool({"mousemove", "--window", std::to_string(*mv), std::to_string(x), std::to_string(y), "click", "1"});
  };
  const Rect box{46, 414, 52, 18};  // inside the Send box's border
  const auto dark = [](QRgb c) { return qGray(c) < 128; };
  ASSERT_TRUE(click(30, 31));  // VAN1's row
  ASSERT_TRUE(click(72, 423));  // the Send box
  ASSERT_TRUE(waitfor(15s, [&] { return haskeys(*mv); })) << "the click gives the window the keys";
  EXPECT_LT(share(grab(where(*mv)), box, dark), 0.03) << "the box starts empty";
  ASSERT_TRUE(xdotool({"type", "--delay", "60", "Hello VAN1 test"}));
  QImage shot;
  EXPECT_TRUE(waitfor(10s, [&] { return share(shot = grab(where(*mv)), box, dark) > 0.06; }))
      << "the box shows the text typed";
  screen("vehicles-typed-message");
  EXPECT_TRUE(haskeys(*mv)) << "the window being typed in keeps the keys";
  EXPECT_FALSE(window("Please answer Yes or No")) << "no key ran as a command";
}

// A pause in typing into the Send box longer than the 10 s after which the map takes the keys
// back leaves them in the box: the keys after the pause are typed there too, none runs a command.
TEST_F(Desktop, KeysTypedIntoTheSendBoxAfterAPauseGoIntoItToo) {
  windowmanager();
  start(demofolder("fleet"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  std::optional<Window> mv;
  ASSERT_TRUE(waitfor(30s, [&] { return (mv = window("Vehicles Tracked")).has_value(); })) << stderrtext();
  std::pair<int, int> abc;
  ASSERT_NO_FATAL_FAILURE(typeabc(*mv, abc));
  EXPECT_FALSE(waitfor(20s, [&] { return haskeys(main); })) << "the map takes the keys after the pause";
  std::pair<int, int> abcdef;
  ASSERT_NO_FATAL_FAILURE(typemore(*mv, abc, abcdef));
  screen("send-box-after-a-pause");
  EXPECT_TRUE(haskeys(*mv)) << "the window typed in keeps the keys";
  EXPECT_FALSE(window("Please answer Yes or No")) << "no key ran as a command";
}

// The frame a window manager put round a window of ours (the root's child that holds it), as it
// stands on the screen.
Rect frameof(Display* dpy, Window w) {
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned n = 0;
  for (Window f = w;; f = parent) {
    if (!XQueryTree(dpy, f, &root, &parent, &kids, &n)) return {};
    if (kids) XFree(kids);
    if (parent == root) {
      w = f;
      break;
    }
  }
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, w, &a)) return {};
  return {a.x, a.y, a.width + 2 * a.border_width, a.height + 2 * a.border_width};
}

// The windows kept on top that a user brings up one after another over the full-screen map, each
// by its key typed at the map: none stands over the title bar of one below it, nor over the
// help's close cross at the top right, and the exit question asked then stands above them all.
void Desktop::toolwindowsclear(const std::string& manager) {
  windowmanager(manager);
  start(demofolder("demo"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  ASSERT_EQ(where(main).w, 1280);
  // The keys to the map window, as a click on it gives them.
  const auto tomap = [&] {
    return waitfor(30s, [&] {
      if (!haskeys(main)) xdotool({"windowactivate", std::to_string(main)});
      return haskeys(main);
    });
  };
  std::vector<std::pair<std::string, Window>> up;
  std::optional<Window> w;
  ASSERT_TRUE(waitfor(30s, [&] { return (w = window("role:iform")).has_value(); })) << stderrtext();
  up.emplace_back("iform", *w);
  for (const auto& [key, role] : {std::pair("ctrl+c", "cform"), {"ctrl+p", "dialform"}, {"ctrl+a", "fform"},
                                  {"ctrl+w", "zmform"}, {"asciicircum", "GPSeng"}, {"ctrl+l", "kform"}}) {
    // A key that arrives while a command still speaks is dropped: typed again until it is taken.
    bool shown = false;
    for (int tries = 0; tries < 4 && !shown; ++tries) {
      ASSERT_TRUE(tomap()) << "the keys with the map for " << key;
      ASSERT_TRUE(xdotool({"key", key}));
      shown = waitfor(10s, [&] { return (w = window(std::string("role:") + role)).has_value(); });
    }
    ASSERT_TRUE(shown) << role << " is shown\n" << stderrtext();
    up.emplace_back(role, *w);
  }
  // Once the window manager has framed and placed them all.
  const auto frames = [&] {
    std::vector<Rect> v;
    for (const auto& [role, win] : up) v.push_back(frameof(dpy, win));
    return v;
  };
  std::vector<Rect> now = frames(), was;
  waitfor(10s, [&] {
    std::this_thread::sleep_for(300ms);
    was = std::exchange(now, frames());
    return std::equal(was.begin(), was.end(), now.begin(), now.end(), [](const Rect& a, const Rect& b) {
      return std::tie(a.x, a.y, a.w, a.h) == std::tie(b.x, b.y, b.w, b.h);
    });
  });
  screen("tool-windows-placed-" + manager);
  const Rect cross{1280 - 34, 0, 32, 32};  // the help's close cross, at the map's top right
  for (std::size_t i = 0; i < up.size(); ++i) {
    EXPECT_FALSE(now[i].overlaps(cross)) << up[i].first << " at " << now[i] << " over the help's close cross";
    const Rect title{now[i].x, now[i].y, now[i].w, std::max(1, where(up[i].second).y - now[i].y)};
    for (std::size_t j = 0; j < up.size(); ++j) {
      if (j != i && stackplace(dpy, up[j].second) > stackplace(dpy, up[i].second)) {
        EXPECT_FALSE(now[j].overlaps(title)) << up[j].first << " at " << now[j] << " over the title bar of "
                                             << up[i].first << " at " << now[i];
      }
    }
  }

  // The engineering window moved by the user to the middle of the screen, where a question comes.
  const Window eng = up[5].second;
  ASSERT_TRUE(xdotool({"windowmove", std::to_string(eng), "380", "300"}));
  ASSERT_TRUE(waitfor(10s, [&] { return frameof(dpy, eng).overlaps({540, 412, 200, 200}); })) << frameof(dpy, eng);
  ASSERT_TRUE(tomap()) << "the keys with the map for Escape";
  ASSERT_TRUE(xdotool({"key", "Escape"}));
  std::optional<Window> box;
  ASSERT_TRUE(waitfor(30s, [&] { return (box = window("Exit ZARN ?")).has_value(); })) << stderrtext();
  std::string under;
  EXPECT_TRUE(waitfor(10s, [&] {
    under.clear();
    const Rect q = frameof(dpy, *box);
    for (const auto& [role, win] : up)
      if (frameof(dpy, win).overlaps(q) && stackplace(dpy, win) > stackplace(dpy, *box)) under += role + " ";
    return under.empty();
  })) << "the exit question at " << frameof(dpy, *box) << " under " << under;
  EXPECT_TRUE(frameof(dpy, eng).overlaps(frameof(dpy, *box))) << "the question is asked over the engineering window";
  screen("tool-windows-question-" + manager);
  ASSERT_TRUE(xdotool({"key", "Escape"}));  // Cancel: the program goes on
  EXPECT_TRUE(waitfor(10s, [&] { return windows("Exit ZARN ?").empty(); }));
}

TEST_F(Desktop, ToolWindowsComeUpClearOfOneAnothersTitlesAndTheHelpsCrossUnderOpenbox) { toolwindowsclear("openbox"); }

TEST_F(Desktop, ToolWindowsComeUpClearOfOneAnothersTitlesAndTheHelpsCrossUnderFluxbox) {
  if (!testing::havetool("fluxbox")) GTEST_SKIP() << "fluxbox is not installed (scripts/setup.sh test)";
  toolwindowsclear("fluxbox");
}

// Before the first fix the instruments read nothing: no distance, bearing, speed or height in
// their corners, no heading or destination needle and no destination circle. The demo's drive is
// replaced by a script that gives no position, so that the wait before the fix lasts.
TEST_F(Desktop, TheInstrumentsShowNoReadingBeforeTheFirstFix) {
  windowmanager();
  const std::filesystem::path dir = demofolder("demo");
  home.put("demo/ZARN.NME", "TXT Waiting for the receiver\r\n");
  start(dir);
  ASSERT_NE(mainwindow(), 0u);
  std::optional<Window> inst;
  ASSERT_TRUE(waitfor(30s, [&] { return (inst = window("role:iform")).has_value(); })) << stderrtext();
  ASSERT_TRUE(waitfor(30s, [&] {
    const QImage shot = grab(where(*inst));
    return share(shot, {134, 4, 22, 14}, buttonface) > 0.4 && share(shot, {0, 60, 90, 100}, dark) > 0.5;
  })) << "the instruments drawn at " << where(*inst);
  // The read-outs' places: distance and bearing at the left, speeds and height at the right.
  const Rect readouts[] = {{2, 150, 96, 34}, {222, 150, 96, 86}};
  const auto bright = [](QRgb c) { return qGray(c) > 0xd0; };
  const auto needle = [](QRgb c) {  // the heading's yellow, the destination's green, the circle's cyan
    return qGreen(c) > 240 && ((qRed(c) > 240 && qBlue(c) < 16) || (qRed(c) < 16 && qBlue(c) < 16) ||
                               (qRed(c) < 16 && qBlue(c) > 240));
  };
  QImage shot;
  std::string shown;
  EXPECT_FALSE(waitfor(5s, [&] {
    shot = grab(where(*inst));
    shown.clear();
    for (const Rect& r : readouts)
      if (share(shot, r, bright) > 0) shown += "text at " + std::to_string(r.x) + "," + std::to_string(r.y) + " ";
    // About the destination dial and the compass (the GPS light between them is yellow now).
    for (const Rect& r : {Rect{10, 8, 140, 140}, Rect{100, 118, 120, 120}})
      if (share(shot, r, needle) > 0)
        shown += "a needle or the circle at " + std::to_string(r.x) + "," + std::to_string(r.y) + " ";
    return !shown.empty();
  })) << shown;
  keep(shot, "instruments-before-fix");
}

// A message that arrives while the operator types into the Send box opens its window beside
// the map without taking the keys: the rest of the typing, after a pause longer than the 10 s
// after which the map takes the keys back, goes into the box too, and none of it to the map.
void Desktop::messagewhiletyping(const std::string& manager) {
  windowmanager(manager);
  start(demofolder("fleet"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  // The replay that brings the message waits for the dial panel: Ctrl+P puts it away.
  std::optional<Window> dial, mv;
  ASSERT_TRUE(waitfor(30s, [&] { return (dial = window("Dial")).has_value(); })) << "the dial panel is shown";
  ASSERT_TRUE(waitfor(60s, [&] { return haskeys(main) || haskeys(*dial); })) << "the keys with our windows";
  ASSERT_TRUE(xdotool({"key", "ctrl+p"}));
  ASSERT_TRUE(waitfor(30s, [&] { return !window("Dial").has_value(); })) << "Ctrl+P hides the dial panel";
  ASSERT_TRUE(waitfor(30s, [&] { return (mv = window("Vehicles Tracked")).has_value(); })) << stderrtext();
  const auto text = [&] { return sendboxtext(*mv); };
  std::pair<int, int> abc;
  ASSERT_NO_FATAL_FAILURE(typeabc(*mv, abc));
  ASSERT_FALSE(window("Message Received")) << "the message came before the typing: nothing tested";
  std::optional<Window> message;
  ASSERT_TRUE(waitfor(300s, [&] { return (message = window("Message Received")).has_value(); }))
      << "a message arrives\n" << stderrtext();
  screen("message-while-typing");
  EXPECT_FALSE(waitfor(20s, [&] { return !haskeys(*mv); })) << "the message window or the map took the keys";
  std::pair<int, int> abcdef;
  ASSERT_NO_FATAL_FAILURE(typemore(*mv, abc, abcdef));
  EXPECT_TRUE(haskeys(*mv)) << "the window typed in keeps the keys";
  // The message put away with its Cancel button: the keys go back to the box, not to the map.
  const Rect m = where(*message);
  ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(*message), "48", std::to_string(m.h - 22), "click", "1"}));
  ASSERT_TRUE(waitfor(30s, [&] { return !window("Message Received").has_value(); })) << "Cancel puts it away";
  EXPECT_TRUE(waitfor(10s, [&] { return haskeys(*mv); })) << "the keys back with the window typed in, not " << keysat() << stderrtext();
  ASSERT_TRUE(xdotool({"key", "--delay", "60", "BackSpace", "BackSpace", "BackSpace"}));
  std::pair<int, int> back;
  EXPECT_TRUE(waitfor(10s, [&] { return (back = text()).second < abcdef.second - 8; }))
      << "the box shows ABC again: " << abcdef.second << " columns, then " << back.second;
  EXPECT_FALSE(window("Please answer Yes or No")) << "no key ran as a command";
}

TEST_F(Desktop, AMessageArrivingWhileTheSendBoxIsTypedInLeavesTheKeysThere) { messagewhiletyping("openbox"); }

TEST_F(Desktop, AMessageArrivingWhileTheSendBoxIsTypedInLeavesTheKeysThereUnderFluxbox) {
  if (!testing::havetool("fluxbox")) GTEST_SKIP() << "fluxbox is not installed (scripts/setup.sh test)";
  messagewhiletyping("fluxbox");
}

// After "O" (shall I say the same things as before ?) a typed search runs on Return, and the
// program can still be left: Escape brings the exit question, and so does closing the window
// while a search is being typed.
TEST_F(Desktop, ATypedSearchAfterTheReportQuestionRunsAndTheProgramCanStillBeLeft) {
  windowmanager();
  start(demofolder("demo"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  // The key that asks: one that comes while a command still speaks is dropped, as every key but
  // Q is then, and is pressed again.
  const auto asks = [&](const char* key) {
    for (int i = 0; i < 6; ++i)
      if (!xdotool({"key", key}) || waitfor(10s, [&] { return window("Exit ZARN ?").has_value(); })) return true;
    return false;
  };
  ASSERT_TRUE(xdotool({"type", "--delay", "60", "O~Mere"}));
  ASSERT_TRUE(xdotool({"key", "Return"}));
  ASSERT_TRUE(asks("Escape")) << "Escape asks\n" << stderrtext();
  ASSERT_TRUE(xdotool({"key", "Escape"}));  // Cancel: the program goes on
  ASSERT_TRUE(waitfor(10s, [&] { return windows("Exit ZARN ?").empty(); }));
  ASSERT_TRUE(waitfor(10s, [&] { return haskeys(main); }));
  ASSERT_TRUE(xdotool({"type", "--delay", "60", "~ab"}));
  EXPECT_TRUE(asks("alt+F4")) << "closing the window (the window manager's close) asks";
  screen("exit-while-typing");
  ASSERT_TRUE(xdotool({"key", "Escape"}));
  EXPECT_TRUE(waitfor(10s, [&] { return windows("Exit ZARN ?").empty(); }));
}

// On a fresh start at 1280 x 1024, a click on the grey "Help" at the end of the message line
// opens the help: its white text box over the top of the map.
TEST_F(Desktop, TheHelpButtonAtTheEndOfTheMessageLineOpensTheHelp) {
  windowmanager();
  start(demofolder("demo"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  ASSERT_EQ(where(main).w, 1280);
  const Rect under{700, 200, 500, 400};  // where the help text box goes, over the map
  const auto white = [](QRgb c) { return c == qRgb(255, 255, 255); };
  ASSERT_LT(share(screen(""), under, white), 0.9) << "no help at first";
  const int x = 1280 - 33 + 16, y = 1024 * 434 / 480 + 11;  // the middle of the grey "Help"
  ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(main), std::to_string(x), std::to_string(y), "click", "1"}));
  QImage shot;
  EXPECT_TRUE(waitfor(30s, [&] { return share(shot = screen(""), under, white) > 0.9; })) << "the help's text box";
  keep(shot, "help-button");
}

// With no window manager to keep them there, the windows kept on top stay over the full-screen
// map when it takes the keys back 10 s after the last map click: a click meant for RouteMAN must
// not land on the map beneath and add a waypoint.
TEST_F(Desktop, TheMainWindowTakingTheKeysBackLeavesRouteManOnTopWithNoWindowManager) {
  start(demofolder("demo"));
  const Window main = mainwindow();
  ASSERT_NE(main, 0u);
  ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(main), "6", std::to_string(1024 * 458 / 480 + 8),
                       "click", "1"}));  // the "+" that brings up the control panel
  std::optional<Window> panel, route;
  ASSERT_TRUE(waitfor(10s, [&] { return (panel = window("role:cform")).has_value(); })) << stderrtext();
  ASSERT_TRUE(xdotool({"mousemove", "--window", std::to_string(*panel), "560", "44", "click", "1"}));  // RouteMAN
  ASSERT_TRUE(waitfor(10s, [&] { return (route = window("role:wpform")).has_value(); }));
  ASSERT_TRUE(waitfor(10s, [&] { return stackplace(dpy, *route) > stackplace(dpy, main); }));
  ASSERT_TRUE(waitfor(30s, [&] { return haskeys(main); })) << "the map takes the keys back";
  EXPECT_FALSE(waitfor(3s, [&] { return stackplace(dpy, *route) < stackplace(dpy, main); }))
      << "RouteMAN stands " << stackplace(dpy, *route) << ", the map " << stackplace(dpy, main);
  screen("routeman-no-window-manager");
}

#else

TEST(Desktop, NeedsXlib) { GTEST_SKIP() << "built without Xlib (libx11-dev)"; }

#endif

}  // namespace
}  // namespace zarn

