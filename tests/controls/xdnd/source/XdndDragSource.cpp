// A desktop drag source of another program, as a file manager is one: plain
// Xlib, no toolkit. It offers one "text/uri-list" over the desktop's
// drag-and-drop protocol (version 5), leads the drag to a screen point, moves
// one pixel on and drops there, whatever the target answered, and prints what
// the target told it:
//
//   xdnd-drag-source X Y PREFERRED OFFERED URI
//     PREFERRED   the action asked for: copy, move or link
//     OFFERED     the actions allowed, comma-separated (the action list)
//
//   status accepted=1 action=copy      one line per status message
//   finished success=1 action=copy     the target's finished message
//
// It exits with 0 once the target finished, 1 when no aware window is at the
// point or the target never answered.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <poll.h>

namespace {

constexpr long kProtocolVersion = 5;
constexpr auto kAnswerTimeout = std::chrono::seconds(10);

struct TAtoms {
    explicit TAtoms(Display* display)
        : aware(XInternAtom(display, "XdndAware", False)), enter(XInternAtom(display, "XdndEnter", False)),
          position(XInternAtom(display, "XdndPosition", False)), status(XInternAtom(display, "XdndStatus", False)),
          drop(XInternAtom(display, "XdndDrop", False)), finished(XInternAtom(display, "XdndFinished", False)),
          selection(XInternAtom(display, "XdndSelection", False)),
          actionList(XInternAtom(display, "XdndActionList", False)),
          uriList(XInternAtom(display, "text/uri-list", False)), targets(XInternAtom(display, "TARGETS", False)),
          stamp(XInternAtom(display, "XDND_SOURCE_STAMP", False)), copy(XInternAtom(display, "XdndActionCopy", False)),
          move(XInternAtom(display, "XdndActionMove", False)), link(XInternAtom(display, "XdndActionLink", False)) {}

    Atom ActionNamed(std::string_view name) const {
        if (name == "copy") return copy;
        if (name == "move") return move;
        if (name == "link") return link;
        return None;
    }
    const char* NameOf(Atom action) const {
        if (action == copy) return "copy";
        if (action == move) return "move";
        if (action == link) return "link";
        return action == None ? "none" : "other";
    }

    Atom aware, enter, position, status, drop, finished, selection, actionList, uriList, targets, stamp;
    Atom copy, move, link;
};

class TDragSource {
public:
    TDragSource(Display* display, std::string uri, Atom preferred, std::vector<Atom> offered)
        : display_(display), atoms_(display), uri_(std::move(uri)), preferred_(preferred),
          offered_(std::move(offered)) {
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), -10, -10, 1, 1, 0, 0, 0);
        XSelectInput(display_, window_, PropertyChangeMask);
    }
    ~TDragSource() { XDestroyWindow(display_, window_); }

    // Drags to (X, Y) and drops one pixel further; false when nobody finished it.
    bool DragTo(int x, int y) {
        const Window target = AwareWindowAt(x, y);
        if (target == None) {
            std::puts("no aware window");
            return false;
        }
        time_ = ServerTime();
        XChangeProperty(display_, window_, atoms_.actionList, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered_.data()), int(offered_.size()));
        XSetSelectionOwner(display_, atoms_.selection, window_, time_);
        Send(target, atoms_.enter, {long(window_), kProtocolVersion << 24, long(atoms_.uriList), 0, 0});
        for (const int step : {0, 1}) {
            Send(target, atoms_.position,
                 {long(window_), 0, long((x + step) << 16 | (y + step)), long(time_), long(preferred_)});
            if (!AwaitMessage(atoms_.status)) return false;
        }
        Send(target, atoms_.drop, {long(window_), 0, long(time_), 0, 0});
        return AwaitMessage(atoms_.finished).has_value();
    }

private:
    // The pointer goes there too, as a real drag leads it.
    Window AwareWindowAt(int x, int y) {
        const Window root = DefaultRootWindow(display_);
        XWarpPointer(display_, None, root, 0, 0, 0, 0, x, y);
        const auto giveUp = std::chrono::steady_clock::now() + kAnswerTimeout;
        while (std::chrono::steady_clock::now() < giveUp) {
            Window from = root, child = None;
            int childX = 0, childY = 0;
            while (XTranslateCoordinates(display_, root, from, x, y, &childX, &childY, &child) && child != None) {
                if (IsAware(child)) return child;
                from = child;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return None;
    }
    bool IsAware(Window window) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const bool aware = XGetWindowProperty(display_, window, atoms_.aware, 0, 1, False, XA_ATOM, &type, &format,
                                              &count, &after, &data) == Success &&
                           type == XA_ATOM && count == 1;
        if (data) XFree(data);
        return aware;
    }
    // A timestamp of the server's, from a property change of our own.
    Time ServerTime() {
        XChangeProperty(display_, window_, atoms_.stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
        XEvent event;
        XWindowEvent(display_, window_, PropertyChangeMask, &event);
        return event.xproperty.time;
    }
    void Send(Window target, Atom type, std::initializer_list<long> values) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = type;
        event.xclient.format = 32;
        std::copy(values.begin(), values.end(), event.xclient.data.l);
        XSendEvent(display_, target, False, NoEventMask, &event);
        XFlush(display_);
    }
    // Serves the selection meanwhile; prints the message awaited.
    std::optional<XClientMessageEvent> AwaitMessage(Atom type) {
        const auto giveUp = std::chrono::steady_clock::now() + kAnswerTimeout;
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        while (std::chrono::steady_clock::now() < giveUp) {
            if (!XPending(display_)) {
                poll(&connection, 1, 50);
                continue;
            }
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == SelectionRequest) {
                Serve(event.xselectionrequest);
            } else if (event.type == ClientMessage && event.xclient.message_type == type) {
                const long* l = event.xclient.data.l;
                if (type == atoms_.status)
                    std::printf("status accepted=%d action=%s\n", int(l[1] & 1), atoms_.NameOf(Atom(l[4])));
                else
                    std::printf("finished success=%d action=%s\n", int(l[1] & 1), atoms_.NameOf(Atom(l[2])));
                std::fflush(stdout);
                return event.xclient;
            }
        }
        std::printf("no %s\n", type == atoms_.status ? "status" : "finished");
        return std::nullopt;
    }
    void Serve(const XSelectionRequestEvent& request) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = request.property == None ? request.target : request.property;
        if (request.selection != atoms_.selection) {
            reply.xselection.property = None;
        } else if (request.target == atoms_.uriList) {
            XChangeProperty(display_, request.requestor, reply.xselection.property, atoms_.uriList, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(uri_.data()), int(uri_.size()));
        } else if (request.target == atoms_.targets) {
            const Atom targets[] = {atoms_.targets, atoms_.uriList};
            XChangeProperty(display_, request.requestor, reply.xselection.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), 2);
        } else {
            reply.xselection.property = None;
        }
        XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
        XFlush(display_);
    }

    Display* display_;
    TAtoms atoms_;
    std::string uri_;
    Atom preferred_;
    std::vector<Atom> offered_;
    Window window_ = None;
    Time time_ = CurrentTime;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s X Y PREFERRED OFFERED URI\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("no display\n", stderr);
        return 2;
    }
    const TAtoms atoms(display);
    std::vector<Atom> offered;
    for (std::string_view rest = argv[4]; !rest.empty();) {
        const size_t comma = rest.find(',');
        offered.push_back(atoms.ActionNamed(rest.substr(0, comma)));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    bool finished = false;
    {
        TDragSource source(display, std::string(argv[5]) + "\r\n", atoms.ActionNamed(argv[3]), std::move(offered));
        finished = source.DragTo(std::atoi(argv[1]), std::atoi(argv[2]));
    }
    XCloseDisplay(display);
    return finished ? 0 : 1;
}
