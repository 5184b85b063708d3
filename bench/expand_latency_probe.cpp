// Times the road of an expansion as the user sees it: from the Ctrl+C in an editor to the moment another
// client (the expander) owns the clipboard with the key's text.
//   expand_latency_probe <rounds> <keyword>
// The focused window must be an editor. Each round types the keyword on a new line, selects it with
// Shift+Home, presses Ctrl+C through XTest and waits for the clipboard owner announcements (XFixes): the
// first owner after the copy is the editor, the next different one is the expander. Prints one line per
// round (total latency, and the expander's share: from the editor taking the clipboard to the expansion),
// then a summary line for each.
#include "LatencySummary.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kRoundTimeoutMs = 2000;
constexpr int kSelectSettleMs = 40;
// A random part of the pause, so that the copies do not fall in step with a polling timer.
constexpr int kJitterMs = 20;
constexpr int kPasteSettleMs = 150;

void key(Display* dpy, KeySym sym, bool press) {
    const KeyCode code = XKeysymToKeycode(dpy, sym);
    if (code != 0)
        XTestFakeKeyEvent(dpy, code, press ? True : False, CurrentTime);
}

void tap(Display* dpy, KeySym sym, KeySym modifier = NoSymbol) {
    if (modifier != NoSymbol)
        key(dpy, modifier, true);
    key(dpy, sym, true);
    key(dpy, sym, false);
    if (modifier != NoSymbol)
        key(dpy, modifier, false);
}

// Waits for the next event up to the deadline; false on timeout.
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

void drain(Display* dpy) {
    XEvent event;
    while (XPending(dpy))
        XNextEvent(dpy, &event);
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <rounds> <keyword>\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    const std::string keyword = argv[2];
    Display* dpy = XOpenDisplay(nullptr);
    int fixesEvent = 0;
    int fixesError = 0;
    if (!dpy || !XFixesQueryExtension(dpy, &fixesEvent, &fixesError)) {
        std::fprintf(stderr, "no X display with XFixes\n");
        return 2;
    }
    const Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    XFixesSelectSelectionInput(dpy, DefaultRootWindow(dpy), clipboard, XFixesSetSelectionOwnerNotifyMask);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> jitter(0, kJitterMs - 1);
    std::vector<double> latencies;
    std::vector<double> shares;
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        if (round > 0)
            tap(dpy, XK_Return);
        for (const char c : keyword)
            tap(dpy, KeySym(static_cast<unsigned char>(c)));
        tap(dpy, XK_Home, XK_Shift_L);
        XSync(dpy, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(kSelectSettleMs + jitter(random)));
        drain(dpy);

        const auto start = Clock::now();
        tap(dpy, XK_c, XK_Control_L);
        XFlush(dpy);
        const auto deadline = start + std::chrono::milliseconds(kRoundTimeoutMs);
        Window editor = None;
        Clock::time_point copied;
        bool expanded = false;
        XEvent event;
        while (!expanded && nextEvent(dpy, deadline, &event)) {
            if (event.type != fixesEvent + XFixesSelectionNotify)
                continue;
            const Window owner = reinterpret_cast<XFixesSelectionNotifyEvent*>(&event)->owner;
            if (owner == None)
                continue;
            if (editor == None) {
                editor = owner;
                copied = Clock::now();
            } else if (owner != editor) {
                const auto now = Clock::now();
                const double ms = std::chrono::duration<double, std::milli>(now - start).count();
                const double share = std::chrono::duration<double, std::milli>(now - copied).count();
                latencies.push_back(ms);
                shares.push_back(share);
                std::printf("%.2f %.2f\n", ms, share);
                expanded = true;
            }
        }
        if (!expanded) {
            ++failures;
            std::printf("timeout\n");
        }
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(kPasteSettleMs));
    }

    std::printf("summary n=%zu timeouts=%d | total %s | expander's share %s\n", latencies.size(), failures,
                latencySummary(latencies).c_str(), latencySummary(shares).c_str());
    XCloseDisplay(dpy);
    return failures == 0 ? 0 : 1;
}
