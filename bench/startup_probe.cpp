// Times a start of the program as the user meets it: from exec to its main window being mapped, and on to
// the first expansion of a key, which needs the key list, the keyword index and a running event loop.
//   startup_probe <keyword> <program> [arguments...]
// The probe watches the root window for the map (SubstructureNotify) and, once the program's window is
// up, offers the keyword on the clipboard as an editor's Ctrl+C would; the expansion is the program taking
// the clipboard over (XFixes). Then it reads the program's memory and CPU time from /proc and ends it.
// Prints one line: "map_ms expand_ms rss_kib hwm_kib cpu_ms" (expand_ms is -1 when no expansion came).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kMapTimeoutMs = 20000;
constexpr int kExpandTimeoutMs = 10000;
// Memory is read once the window has settled after the expansion (its first paints are done).
constexpr int kSettleMs = 300;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool nextEvent(Display* dpy, Clock::time_point deadline, XEvent* event) {
    while (!XPending(dpy)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
        poll(&fd, 1, int(left));
    }
    XNextEvent(dpy, event);
    return true;
}

long statusField(pid_t pid, const char* field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0)
            return std::stol(line.substr(length + 1));
    }
    return -1;
}

long cpuMs(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The fields after the command name, which may hold spaces itself; utime and stime are 14 and 15.
    std::size_t pos = text.rfind(')');
    if (pos == std::string::npos)
        return -1;
    long values[13] = {};
    const char* p = text.c_str() + pos + 2;
    char state = 0;
    std::sscanf(p, "%c %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld", &state, &values[0], &values[1], &values[2],
                &values[3], &values[4], &values[5], &values[6], &values[7], &values[8], &values[9], &values[10],
                &values[11]);
    return (values[10] + values[11]) * 1000 / sysconf(_SC_CLK_TCK);
}

bool ownedBy(Display* dpy, Window window, pid_t pid) {
    const Atom wmPid = XInternAtom(dpy, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool same = false;
    if (XGetWindowProperty(dpy, window, wmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data && count == 1)
        same = pid_t(*reinterpret_cast<unsigned long*>(data)) == pid;
    if (data)
        XFree(data);
    return same;
}

// Answers a request for the clipboard we hold: its targets, or the keyword as text.
void serve(Display* dpy, const XSelectionRequestEvent& request, const std::string& keyword) {
    const Atom targets = XInternAtom(dpy, "TARGETS", False);
    const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    const Atom text = XInternAtom(dpy, "TEXT", False);
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = request.property == None ? request.target : request.property;
    if (request.target == targets) {
        const Atom offered[] = {targets, utf8, XA_STRING, text};
        XChangeProperty(dpy, request.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), 4);
    } else if (request.target == utf8 || request.target == XA_STRING || request.target == text) {
        XChangeProperty(dpy, request.requestor, reply.property, request.target == text ? utf8 : request.target, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(keyword.data()), int(keyword.size()));
    } else {
        reply.property = None;
    }
    XSendEvent(dpy, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(dpy);
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <keyword> <program> [arguments...]\n", argv[0]);
        return 2;
    }
    const std::string keyword = argv[1];
    Display* dpy = XOpenDisplay(nullptr);
    int fixesEvent = 0;
    int fixesError = 0;
    if (!dpy || !XFixesQueryExtension(dpy, &fixesEvent, &fixesError)) {
        std::fprintf(stderr, "no X display with XFixes\n");
        return 2;
    }
    const Window root = DefaultRootWindow(dpy);
    const Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    const Window own = XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XFixesSelectSelectionInput(dpy, root, clipboard, XFixesSetSelectionOwnerNotifyMask);
    XSync(dpy, False);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }

    double mapMs = -1;
    double expandMs = -1;
    bool offered = false;
    auto deadline = start + std::chrono::milliseconds(kMapTimeoutMs);
    XEvent event;
    while (expandMs < 0 && nextEvent(dpy, deadline, &event)) {
        if (event.type == MapNotify && mapMs < 0 && !event.xmap.override_redirect &&
            ownedBy(dpy, event.xmap.window, pid)) {
            mapMs = msSince(start);
            // The keyword goes on the clipboard as soon as the window is there: a user quick to copy.
            XSetSelectionOwner(dpy, clipboard, own, CurrentTime);
            XFlush(dpy);
            offered = true;
            deadline = Clock::now() + std::chrono::milliseconds(kExpandTimeoutMs);
        } else if (event.type == SelectionRequest) {
            serve(dpy, event.xselectionrequest, keyword);
        } else if (offered && event.type == fixesEvent + XFixesSelectionNotify) {
            const Window owner = reinterpret_cast<XFixesSelectionNotifyEvent*>(&event)->owner;
            if (owner != None && owner != own)
                expandMs = msSince(start);
        }
    }

    std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
    const long rss = statusField(pid, "VmRSS");
    const long hwm = statusField(pid, "VmHWM");
    const long cpu = cpuMs(pid);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    std::printf("%.1f %.1f %ld %ld %ld\n", mapMs, expandMs, rss, hwm, cpu);
    XCloseDisplay(dpy);
    return mapMs < 0 ? 1 : 0;
}
