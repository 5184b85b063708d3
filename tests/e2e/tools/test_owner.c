/* Clipboard peers that the end-to-end tests need and no ordinary program is:
 *   test_owner silent        takes the CLIPBOARD and never answers a request for it
 *   test_owner big BYTES     takes the CLIPBOARD with BYTES of text, offered as INCR as large owners do,
 *                            and counts what is asked of it
 *   test_owner ping WINDOW   sends WINDOW a _NET_WM_PING and prints the milliseconds until it answers
 *                            (a window that does not answer within 5 s prints "timeout", exits 1)
 * The owners print "owned" once they own the clipboard, then one line per request and per chunk sent
 * ("request TARGET", "sent BYTES"), and run until killed. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static int ping(Display* dpy, Window target) {
    Window root = DefaultRootWindow(dpy);
    /* The answer goes to the root window, for whoever listens to its substructure. */
    XSelectInput(dpy, root, SubstructureNotifyMask | StructureNotifyMask);
    XEvent ev;
    memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = target;
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(dpy, "_NET_WM_PING", False);
    ev.xclient.data.l[1] = 12345;
    ev.xclient.data.l[2] = (long)target;
    const double start = now_ms();
    XSendEvent(dpy, target, False, NoEventMask, &ev);
    XFlush(dpy);
    while (now_ms() - start < 5000) {
        while (XPending(dpy)) {
            XEvent reply;
            XNextEvent(dpy, &reply);
            if (reply.type == ClientMessage && reply.xclient.data.l[1] == 12345 &&
                (Window)reply.xclient.data.l[2] == target) {
                printf("%.1f\n", now_ms() - start);
                return 0;
            }
        }
        struct pollfd fd = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&fd, 1, 50);
    }
    printf("timeout\n");
    return 1;
}

int main(int argc, char** argv) {
    setvbuf(stdout, NULL, _IOLBF, 0);
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy || argc < 2)
        return 2;
    if (strcmp(argv[1], "ping") == 0)
        return argc < 3 ? 2 : ping(dpy, (Window)strtoul(argv[2], NULL, 0));

    const int silent = strcmp(argv[1], "silent") == 0;
    const long size = !silent && argc > 2 ? atol(argv[2]) : 0;
    Window win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    const Atom targets = XInternAtom(dpy, "TARGETS", False);
    const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    const Atom incr = XInternAtom(dpy, "INCR", False);
    XSelectInput(dpy, win, PropertyChangeMask);
    /* A fresh time stamp to own the clipboard with. */
    XChangeProperty(dpy, win, XA_WM_NAME, XA_STRING, 8, PropModeReplace, (const unsigned char*)"test_owner", 10);
    XEvent ev;
    do
        XNextEvent(dpy, &ev);
    while (ev.type != PropertyNotify);
    XSetSelectionOwner(dpy, clipboard, win, ev.xproperty.time);
    if (XGetSelectionOwner(dpy, clipboard) != win)
        return 1;
    printf("owned\n");

    char* text = NULL;
    if (size > 0) {
        text = malloc((size_t)size);
        memset(text, 'x', (size_t)size);
    }
    /* One INCR transfer at a time: the requestor, its property, and how far it got. */
    Window incr_to = None;
    Atom incr_property = None;
    long incr_sent = 0;
    for (;;) {
        XNextEvent(dpy, &ev);
        if (ev.type == SelectionRequest) {
            XSelectionRequestEvent* req = &ev.xselectionrequest;
            char* name = XGetAtomName(dpy, req->target);
            printf("request %s\n", name ? name : "?");
            XFree(name);
            if (silent)
                continue;
            XSelectionEvent reply;
            memset(&reply, 0, sizeof reply);
            reply.type = SelectionNotify;
            reply.requestor = req->requestor;
            reply.selection = req->selection;
            reply.target = req->target;
            reply.time = req->time;
            reply.property = req->property;
            if (req->target == targets) {
                Atom list[] = {targets, utf8, XA_STRING};
                XChangeProperty(dpy, req->requestor, req->property, XA_ATOM, 32, PropModeReplace,
                                (const unsigned char*)list, 3);
            } else if (req->target == utf8 || req->target == XA_STRING) {
                long announced = size;
                XSelectInput(dpy, req->requestor, PropertyChangeMask);
                XChangeProperty(dpy, req->requestor, req->property, incr, 32, PropModeReplace,
                                (const unsigned char*)&announced, 1);
                incr_to = req->requestor;
                incr_property = req->property;
                incr_sent = 0;
            } else {
                reply.property = None;
            }
            XSendEvent(dpy, req->requestor, False, NoEventMask, (XEvent*)&reply);
            XFlush(dpy);
        } else if (ev.type == PropertyNotify && ev.xproperty.window == incr_to &&
                   ev.xproperty.atom == incr_property && ev.xproperty.state == PropertyDelete) {
            /* The requestor deleted the property: it wants the next chunk. */
            const long chunk = size - incr_sent < 65536 ? size - incr_sent : 65536;
            XChangeProperty(dpy, incr_to, incr_property, utf8, 8, PropModeReplace,
                            (const unsigned char*)text + incr_sent, (int)chunk);
            incr_sent += chunk;
            printf("sent %ld\n", chunk);
            if (chunk == 0)
                incr_to = None;
            XFlush(dpy);
        } else if (ev.type == SelectionClear) {
            printf("lost\n");
        }
    }
}
