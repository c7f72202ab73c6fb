#include "XvfbDisplay.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

#include "platform/rtl/Exceptions.h"

extern char** environ;

namespace {

constexpr int kStartTimeoutMs = 30000;

[[noreturn]] void Fail(const std::string& what) { throw Exception(String("Xvfb: " + what)); }

} // namespace

bool TXvfbDisplay::Installed() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && access((folder + "/Xvfb").c_str(), X_OK) == 0) return true;
    return false;
}

TXvfbDisplay::TXvfbDisplay(int width, int height) : width_(width), height_(height) {
    int fds[2];
    if (pipe(fds) != 0) Fail("no pipe");
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    // Xvfb picks a free display number and writes it to this descriptor once it accepts connections.
    // -noreset: by default the server resets whenever its last client leaves, and a client connecting
    // during that reset is dropped; a desktop's server, kept busy by its session, never does.
    std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     std::to_string(width) + "x" + std::to_string(height) + "x24",
                                     "-wr", "-nolisten", "tcp", "-noreset"};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, argv.data(), environ);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        pid_ = 0;
        Fail(std::string("cannot start it: ") + std::strerror(spawned));
    }
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    char c;
    while (poll(&ready, 1, kStartTimeoutMs) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        Stop();
        Fail("it reported no display");
    }
    name_ = ":" + number;
}

TXvfbDisplay::~TXvfbDisplay() { Stop(); }

void TXvfbDisplay::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = 0;
}

void TXvfbDisplay::PaintRootWindow(const std::vector<TScreenRect>& rects) const {
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(name_.c_str()), XCloseDisplay);
    if (!display) Fail("cannot connect to " + name_);
    const int screen = DefaultScreen(display.get());
    const Window root = RootWindow(display.get(), screen);
    const auto depth = static_cast<unsigned>(DefaultDepth(display.get(), screen));
    const Pixmap background =
        XCreatePixmap(display.get(), root, static_cast<unsigned>(width_), static_cast<unsigned>(height_), depth);
    const GC gc = XCreateGC(display.get(), background, 0, nullptr);
    const auto fill = [&](const TScreenRect& rect) {
        XColor colour{};
        colour.red = static_cast<unsigned short>((rect.rgb >> 16 & 0xFF) * 0x101);
        colour.green = static_cast<unsigned short>((rect.rgb >> 8 & 0xFF) * 0x101);
        colour.blue = static_cast<unsigned short>((rect.rgb & 0xFF) * 0x101);
        XAllocColor(display.get(), DefaultColormap(display.get(), screen), &colour);
        XSetForeground(display.get(), gc, colour.pixel);
        XFillRectangle(display.get(), background, gc, rect.x, rect.y, static_cast<unsigned>(rect.width),
                       static_cast<unsigned>(rect.height));
    };
    fill({0, 0, width_, height_, 0xFFFFFF});
    for (const TScreenRect& rect : rects) fill(rect);
    // The root window keeps its background after this client's pixmap name is gone.
    XSetWindowBackgroundPixmap(display.get(), root, background);
    XClearWindow(display.get(), root);
    XFreeGC(display.get(), gc);
    XFreePixmap(display.get(), background);
    // Returns once the server has drawn everything above.
    XSync(display.get(), False);
}
