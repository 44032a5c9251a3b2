// The desktop program itself on a virtual display, ended in the middle of the
// read at start: by SIGTERM, and by closing its window. It presses
// Configuration with a key sent through the X server, as a user would; the
// device is the davozi-sim program, whose log shows what reached the line.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "line_checks.h"
#include "link/device_protocol.h"
#include "sim_process.h"
#include "temp_dir.h"

// Last: Xlib's macros (None, Status, ...) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace vextune {
namespace {

using namespace std::chrono_literals;
using testing::PortIsFree;
using testing::SimProcess;
using testing::WithoutLeaveFrame;

/// The longest command line of a transfer: what may still arrive after the
/// end because it was on its way.
constexpr size_t kLongestTransferWrite = 96;
/// How long the test waits for a window or a byte count before it gives up
/// (a safety net against a hang, not a measurement).
constexpr auto kPatience = 60s;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

/// A window may go while the test looks at it: that is no failure.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

/// The X server the test runs under, and the program's windows on it.
class Screen {
 public:
  Screen() : display_(XOpenDisplay(nullptr)) { XSetErrorHandler(IgnoreXError); }
  ~Screen() {
    if (display_) XCloseDisplay(display_);
  }
  explicit operator bool() const { return display_ != nullptr; }

  /// The viewable window whose title starts with `title`, or 0.
  Window Find(const std::string& title) { return Find(DefaultRootWindow(display_), title); }

  /// A key press and release, as the keyboard gives them, to `window`.
  void Press(Window window, KeySym key) {
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    for (int type : {KeyPress, KeyRelease}) {
      XKeyEvent event{};
      event.type = type;
      event.display = display_;
      event.window = window;
      event.root = DefaultRootWindow(display_);
      event.time = CurrentTime;
      event.same_screen = True;
      event.keycode = XKeysymToKeycode(display_, key);
      XSendEvent(display_, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                 reinterpret_cast<XEvent*>(&event));
    }
    XFlush(display_);
  }

  /// What a window manager sends when the user clicks the close button.
  void Close(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
  }

 private:
  Window Find(Window parent, const std::string& title) {
    Window root = 0;
    Window up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
      char* name = nullptr;
      XWindowAttributes attributes{};
      if (XFetchName(display_, children[i], &name) && name != nullptr) {
        if (std::string(name).starts_with(title) &&
            XGetWindowAttributes(display_, children[i], &attributes) &&
            attributes.map_state == IsViewable) {
          found = children[i];
        }
        XFree(name);
      }
      if (found == 0) found = Find(children[i], title);
    }
    if (children) XFree(children);
    return found;
  }

  Display* display_;
};

constexpr const char* kMainTitle = "Olvane Vextune   V.";
constexpr const char* kConfigurationTitle = "Olvane Vextune - Configuration Main Selection";

class ProgramEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = folder_.Path("received");
    ASSERT_TRUE(screen_) << "no X display (run under xvfb-run)";
    sim_ = std::make_unique<SimProcess>(DAVOZI_SIM_PATH, std::vector<std::string>{"--log", log_});
    ASSERT_FALSE(sim_->path.empty());
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    // What the program prints goes to a file that a failure shows.
    output_ = folder_.Path("program-output");
    const int output = open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_ = testing::Spawn({VEXTUNE_PATH, "--port", sim_->path}, output, output);
    close(output);
  }
  void TearDown() override {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    sim_.reset();
  }

  /// Presses Configuration and waits until the read at start has sent
  /// `bytes` bytes of its own.
  void StartReadAtStart(size_t bytes) {
    Window main = 0;
    ASSERT_TRUE(WaitUntil([&] { return (main = screen_.Find(kMainTitle)) != 0; }))
        << "no main window; the program printed:\n"
        << ReadAll(output_);
    // The configuration button has the focus when the window opens.
    screen_.Press(main, XK_space);
    ASSERT_TRUE(WaitUntil([&] { return screen_.Find(kConfigurationTitle) != 0; }));
    const size_t checked = ReadAll(log_).size();
    ASSERT_TRUE(WaitUntil([&] { return ReadAll(log_).size() >= checked + bytes; }));
  }

  int WaitForExit() { return testing::WaitFor(std::exchange(pid_, -1), kPatience); }

  /// The log once the bytes written before `since` was read have all
  /// reached it: the simulator logs what it has read from the line, a moment
  /// after the program wrote it. The abort path ends with the leave frame.
  std::string LogAfterLeaveFrame(size_t since) {
    std::string log;
    WaitUntil([&] {
      log = ReadAll(log_);
      return log.find(LeaveHostModeFrame(), since) != std::string::npos;
    });
    // Anything the program wrote after its last frame would be here by now.
    std::this_thread::sleep_for(300ms);
    return ReadAll(log_);
  }

  testing::TempDir folder_{"vextune-end"};
  std::string log_;
  std::string output_;
  Screen screen_;
  std::unique_ptr<SimProcess> sim_;
  pid_t pid_ = -1;
};

TEST_F(ProgramEndTest, SigtermDuringTheReadEndsCleanlyAndReleasesThePort) {
  StartReadAtStart(100);
  const std::string atSignal = ReadAll(log_);
  ASSERT_EQ(kill(pid_, SIGTERM), 0);
  EXPECT_EQ(WaitForExit(), 0) << "the program printed:\n" << ReadAll(output_);
  EXPECT_TRUE(PortIsFree(sim_->path));
  const std::string all = LogAfterLeaveFrame(atSignal.size());
  ASSERT_TRUE(all.starts_with(atSignal));
  const std::string after = all.substr(atSignal.size());
  // The device was in host mode: it is told to leave it, and nothing else goes out.
  EXPECT_NE(after.find(LeaveHostModeFrame()), std::string::npos);
  EXPECT_LE(WithoutLeaveFrame(after).size(), kLongestTransferWrite);
}

TEST_F(ProgramEndTest, ClosingTheWindowDuringTheReadStopsIt) {
  StartReadAtStart(100);
  const std::string atClose = ReadAll(log_);
  screen_.Close(screen_.Find(kConfigurationTitle));
  ASSERT_TRUE(WaitUntil([&] { return screen_.Find(kConfigurationTitle) == 0; }));
  // The dialog closes once the read has gone through its abort path.
  const std::string afterClose = LogAfterLeaveFrame(atClose.size());
  ASSERT_TRUE(afterClose.starts_with(atClose));
  const std::string after = afterClose.substr(atClose.size());
  EXPECT_NE(after.find(LeaveHostModeFrame()), std::string::npos);
  EXPECT_LE(WithoutLeaveFrame(after).size(), kLongestTransferWrite);
  EXPECT_TRUE(PortIsFree(sim_->path));

  // The main window is back; closing it ends the program, with nothing more
  // sent.
  const Window main = screen_.Find(kMainTitle);
  ASSERT_NE(main, 0u);
  screen_.Close(main);
  EXPECT_EQ(WaitForExit(), 0) << "the program printed:\n" << ReadAll(output_);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(ReadAll(log_), afterClose);
}

}  // namespace
}  // namespace vextune
