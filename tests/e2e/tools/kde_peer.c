/* The KWin peer of the end-to-end tests: a keyboard and a window list as KDE Plasma gives them to programs
 * it trusts (its desktop file lists the interfaces; see tests/e2e/kwin.bash).
 *   kde_peer keys COMBO...   presses key combos in xdotool's notation ("ctrl+c", "shift+Home", "Return")
 *                            through org_kde_kwin_fake_input
 *   kde_peer type TEXT       types UTF-8 text; characters that no key of the compositor's keymap gives
 *                            are entered as GTK does it, Ctrl+Shift+U, the hex code point, Space
 *   kde_peer down|up KEY     presses or releases one key only, as a user still holding Ctrl
 *   kde_peer windows         lists the windows (org_kde_plasma_window_management), one a line:
 *                            "active|- APP_ID PID TITLE"
 *   kde_peer activate WHAT   asks KWin to activate the first window whose app id, or pid, is WHAT
 *   kde_peer hold            prints "ready", then reads such commands from stdin, one a line, and answers
 *                            each with "ok" after its output, or "err WHY"
 * fake_input carries evdev codes that KWin reads through its own keymap, so the codes are looked up in
 * the keymap KWin sends on the seat's wl_keyboard, never in a default one: a German layout there must
 * still type "z" as "z". Exit status: 0 done, 2 a needed interface is not offered, 1 anything else. */
#define _GNU_SOURCE
#include "fake-input-client.h"
#include "plasma-window-management-client.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

enum { ok = 0, failed = 1, not_offered = 2, max_windows = 64, max_held = 8 };

static struct wl_display* display;
static struct wl_seat* seat;
static struct org_kde_kwin_fake_input* fake;
static struct org_kde_plasma_window_management* manager;
static struct xkb_context* context;
static struct xkb_keymap* keymap;

static int fail(int status, const char* what, const char* detail) {
    fprintf(stderr, "kde_peer: %s%s\n", what, detail ? detail : "");
    return status;
}

/* ---- the compositor's keymap ---- */

static void keymap_event(void* data, struct wl_keyboard* keyboard, uint32_t format, int32_t fd, uint32_t size) {
    (void)data, (void)keyboard;
    char* text =
        format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 ? mmap(NULL, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    if (text != MAP_FAILED) {
        /* A new layout replaces the old one: later keys follow it, as the user's would. */
        struct xkb_keymap* next = xkb_keymap_new_from_string(context, text, XKB_KEYMAP_FORMAT_TEXT_V1, 0);
        if (next) {
            xkb_keymap_unref(keymap);
            keymap = next;
        }
        munmap(text, size);
    }
    close(fd);
}
static void enter_event(void* d, struct wl_keyboard* k, uint32_t s, struct wl_surface* f, struct wl_array* a) {
    (void)d, (void)k, (void)s, (void)f, (void)a;
}
static void leave_event(void* d, struct wl_keyboard* k, uint32_t s, struct wl_surface* f) {
    (void)d, (void)k, (void)s, (void)f;
}
static void key_event(void* d, struct wl_keyboard* k, uint32_t s, uint32_t t, uint32_t key, uint32_t state) {
    (void)d, (void)k, (void)s, (void)t, (void)key, (void)state;
}
static void modifiers_event(void* d, struct wl_keyboard* k, uint32_t s, uint32_t a, uint32_t b, uint32_t c,
                            uint32_t g) {
    (void)d, (void)k, (void)s, (void)a, (void)b, (void)c, (void)g;
}
static void repeat_event(void* d, struct wl_keyboard* k, int32_t rate, int32_t delay) {
    (void)d, (void)k, (void)rate, (void)delay;
}
static const struct wl_keyboard_listener keyboard_listener = {keymap_event, enter_event,     leave_event,
                                                              key_event,    modifiers_event, repeat_event};

static void capabilities_event(void* data, struct wl_seat* s, uint32_t caps) {
    (void)data;
    static struct wl_keyboard* keyboard;
    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !keyboard) {
        keyboard = wl_seat_get_keyboard(s);
        wl_keyboard_add_listener(keyboard, &keyboard_listener, NULL);
    }
}
static void name_event(void* data, struct wl_seat* s, const char* name) {
    (void)data, (void)s, (void)name;
}
static const struct wl_seat_listener seat_listener = {capabilities_event, name_event};

/* The modifier keys that select a key's level: none, Shift, AltGr, both. */
static const char* const level_keys[][2] = {
    {NULL, NULL}, {"Shift_L", NULL}, {"ISO_Level3_Shift", NULL}, {"Shift_L", "ISO_Level3_Shift"}};

static xkb_keycode_t plain_key(xkb_keysym_t sym) {
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap); code <= xkb_keymap_max_keycode(keymap); ++code) {
        const xkb_keysym_t* syms;
        if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, 0, &syms) > 0 && syms[0] == sym)
            return code;
    }
    return 0;
}

/* The key that gives SYM in the first layout and the modifier keys to hold for it, found by pressing them
 * in a scratch state: the keymap's own types decide which modifiers pick which level. */
static xkb_keycode_t find_key(xkb_keysym_t sym, xkb_keycode_t mods[2]) {
    for (size_t set = 0; set < sizeof level_keys / sizeof level_keys[0]; ++set) {
        struct xkb_state* state = xkb_state_new(keymap);
        int usable = 1;
        for (int i = 0; i < 2; ++i) {
            mods[i] = level_keys[set][i] ? plain_key(xkb_keysym_from_name(level_keys[set][i], 0)) : 0;
            usable &= !level_keys[set][i] || mods[i];
            if (mods[i])
                xkb_state_update_key(state, mods[i], XKB_KEY_DOWN);
        }
        xkb_keycode_t found = 0;
        for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
             usable && !found && code <= xkb_keymap_max_keycode(keymap); ++code)
            if (xkb_state_key_get_one_sym(state, code) == sym)
                found = code;
        xkb_state_unref(state);
        if (found)
            return found;
    }
    return 0;
}

/* ---- keys ---- */

static void send_key(xkb_keycode_t code, int down) {
    /* The wire carries the kernel's codes, xkb's minus 8. */
    org_kde_kwin_fake_input_keyboard_key(fake, code - 8,
                                         down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

static xkb_keysym_t named_sym(const char* name) {
    static const char* const aliases[][2] = {{"ctrl", "Control_L"}, {"control", "Control_L"},
                                             {"shift", "Shift_L"},  {"alt", "Alt_L"},
                                             {"super", "Super_L"},  {"altgr", "ISO_Level3_Shift"}};
    for (size_t i = 0; i < sizeof aliases / sizeof aliases[0]; ++i)
        if (!strcasecmp(name, aliases[i][0]))
            name = aliases[i][1];
    xkb_keysym_t sym = xkb_keysym_from_name(name, XKB_KEYSYM_NO_FLAGS);
    return sym != XKB_KEY_NoSymbol ? sym : xkb_keysym_from_name(name, XKB_KEYSYM_CASE_INSENSITIVE);
}

/* Presses SYM with the modifier keys it needs, after the HELD ones, and lets all of them go again. */
static int press_sym(xkb_keysym_t sym, const xkb_keycode_t* held, int nheld) {
    xkb_keycode_t mods[2];
    xkb_keycode_t code = sym == XKB_KEY_NoSymbol ? 0 : find_key(sym, mods);
    if (!code)
        return failed;
    for (int i = 0; i < nheld; ++i)
        send_key(held[i], 1);
    for (int i = 0; i < 2; ++i)
        if (mods[i])
            send_key(mods[i], 1);
    send_key(code, 1);
    send_key(code, 0);
    for (int i = 1; i >= 0; --i)
        if (mods[i])
            send_key(mods[i], 0);
    for (int i = nheld - 1; i >= 0; --i)
        send_key(held[i], 0);
    /* One combo at a time reaches the client before the next starts. */
    return wl_display_roundtrip(display) < 0 ? failed : ok;
}

static int press_combo(const char* combo) {
    char copy[256];
    snprintf(copy, sizeof copy, "%s", combo);
    xkb_keycode_t held[max_held];
    int nheld = 0;
    char* key = copy;
    for (char* plus = strchr(key, '+'); plus && plus[1]; plus = strchr(key, '+')) {
        *plus = 0;
        xkb_keycode_t unused[2];
        xkb_keycode_t code = nheld < max_held ? find_key(named_sym(key), unused) : 0;
        if (!code)
            return fail(failed, "no key for ", key);
        held[nheld++] = code;
        key = plus + 1;
    }
    return press_sym(named_sym(key), held, nheld) == ok ? ok : fail(failed, "no key for ", combo);
}

static int type_text(const char* text) {
    static const char* const unicode_entry[] = {"Control_L", "Shift_L"};
    for (const unsigned char* c = (const unsigned char*)text; *c;) {
        /* One UTF-8 sequence. */
        int length = *c < 0x80 ? 1 : *c < 0xe0 ? 2 : *c < 0xf0 ? 3 : 4;
        uint32_t point = length == 1 ? *c : *c & (0x3f >> (length - 1));
        for (int i = 1; i < length; ++i) {
            if ((c[i] & 0xc0) != 0x80)
                return fail(failed, "not UTF-8: ", text);
            point = point << 6 | (c[i] & 0x3f);
        }
        c += length;
        xkb_keysym_t sym = point == '\n' ? XKB_KEY_Return : xkb_utf32_to_keysym(point);
        xkb_keycode_t mods[2];
        if (find_key(sym, mods)) {
            if (press_sym(sym, NULL, 0) != ok)
                return failed;
            continue;
        }
        xkb_keycode_t held[2] = {find_key(named_sym(unicode_entry[0]), mods),
                                 find_key(named_sym(unicode_entry[1]), mods)};
        char hex[16];
        snprintf(hex, sizeof hex, "%x", point);
        if (press_sym(XKB_KEY_u, held, 2) != ok)
            return failed;
        for (const char* h = hex; *h; ++h)
            if (press_sym(xkb_utf32_to_keysym((unsigned char)*h), NULL, 0) != ok)
                return failed;
        if (press_sym(XKB_KEY_space, NULL, 0) != ok)
            return failed;
    }
    return ok;
}

/* ---- windows ---- */

struct window {
    struct org_kde_plasma_window* proxy;
    char app_id[128];
    char title[256];
    uint32_t pid;
    uint32_t state;
};
static struct window windows[max_windows];

/* Windows say many more things than these four; the rest is passed over. */
static int window_event(const void* impl, void* target, uint32_t opcode, const struct wl_message* message,
                        union wl_argument* args) {
    (void)impl, (void)opcode;
    struct window* w = wl_proxy_get_user_data(target);
    if (!strcmp(message->name, "title_changed"))
        snprintf(w->title, sizeof w->title, "%s", args[0].s ? args[0].s : "");
    else if (!strcmp(message->name, "app_id_changed"))
        snprintf(w->app_id, sizeof w->app_id, "%s", args[0].s ? args[0].s : "");
    else if (!strcmp(message->name, "state_changed"))
        w->state = args[0].u;
    else if (!strcmp(message->name, "pid_changed"))
        w->pid = args[0].u;
    else if (!strcmp(message->name, "unmapped")) {
        wl_proxy_destroy(target);
        memset(w, 0, sizeof *w);
    }
    return 0;
}

static void show_desktop_event(void* data, struct org_kde_plasma_window_management* m, uint32_t state) {
    (void)data, (void)m, (void)state;
}
static void window_added(void* data, struct org_kde_plasma_window_management* m, uint32_t id) {
    (void)data;
    for (int i = 0; i < max_windows; ++i)
        if (!windows[i].proxy) {
            windows[i].proxy = org_kde_plasma_window_management_get_window(m, id);
            wl_proxy_add_dispatcher((struct wl_proxy*)windows[i].proxy, window_event, NULL, &windows[i]);
            return;
        }
}
static void stacking_event(void* data, struct org_kde_plasma_window_management* m, struct wl_array* ids) {
    (void)data, (void)m, (void)ids;
}
static void stacking_uuid_event(void* data, struct org_kde_plasma_window_management* m, const char* uuids) {
    (void)data, (void)m, (void)uuids;
}
static void window_uuid_event(void* data, struct org_kde_plasma_window_management* m, uint32_t id, const char* uuid) {
    (void)data, (void)m, (void)id, (void)uuid;
}
static const struct org_kde_plasma_window_management_listener manager_listener = {
    show_desktop_event, window_added, stacking_event, stacking_uuid_event, window_uuid_event};

static int list_windows(void) {
    for (int i = 0; i < max_windows; ++i)
        if (windows[i].proxy && windows[i].app_id[0])
            printf("%s %s %u %s\n", windows[i].state & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE ? "active" : "-",
                   windows[i].app_id, windows[i].pid, windows[i].title);
    return ok;
}

static int activate(const char* what) {
    char* end;
    unsigned long pid = strtoul(what, &end, 10);
    for (int i = 0; i < max_windows; ++i) {
        const struct window* w = &windows[i];
        if (w->proxy && (*end ? !strcmp(w->app_id, what) : w->pid == pid)) {
            org_kde_plasma_window_set_state(w->proxy, ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE,
                                            ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE);
            return wl_display_roundtrip(display) < 0 ? failed : ok;
        }
    }
    return fail(failed, "no window ", what);
}

/* ---- commands ---- */

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    (void)data;
    if (!strcmp(interface, wl_seat_interface.name) && !seat) {
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
        wl_seat_add_listener(seat, &seat_listener, NULL);
    } else if (!strcmp(interface, org_kde_kwin_fake_input_interface.name) && version >= 4) {
        fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
        /* Keys from a client that has not said who it is are dropped without a word. */
        org_kde_kwin_fake_input_authenticate(fake, "kde_peer", "the end-to-end tests type into editors");
    } else if (!strcmp(interface, org_kde_plasma_window_management_interface.name)) {
        manager = wl_registry_bind(registry, name, &org_kde_plasma_window_management_interface, 3);
        org_kde_plasma_window_management_add_listener(manager, &manager_listener, NULL);
    }
}
static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}
static const struct wl_registry_listener registry_listener = {global, global_remove};

static int run(char* command, char* rest) {
    int keys = !strcmp(command, "keys"), type = !strcmp(command, "type");
    int down = !strcmp(command, "down"), up = !strcmp(command, "up");
    if (keys || type || down || up) {
        if (!fake || !keymap)
            return fail(not_offered, fake ? "no keymap from the compositor" : "org_kde_kwin_fake_input is not offered",
                        NULL);
        if (type)
            return type_text(rest);
        if (down || up) {
            xkb_keycode_t mods[2];
            xkb_keycode_t code = find_key(named_sym(rest), mods);
            if (!code)
                return fail(failed, "no key for ", rest);
            send_key(code, down);
            return wl_display_roundtrip(display) < 0 ? failed : ok;
        }
        for (char *save = NULL, *combo = strtok_r(rest, " ", &save); combo; combo = strtok_r(NULL, " ", &save))
            if (press_combo(combo) != ok)
                return failed;
        return ok;
    }
    if (!strcmp(command, "windows") || !strcmp(command, "activate")) {
        if (!manager)
            return fail(not_offered, "org_kde_plasma_window_management is not offered", NULL);
        /* New windows are announced first, and what they are comes with the second round trip. */
        if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0)
            return failed;
        return command[0] == 'w' ? list_windows() : activate(rest);
    }
    return fail(failed, "unknown command ", command);
}

/* Runs one command line: the command, a space, its argument (for type, the rest of the line as it is). */
static int run_line(char* line) {
    char* rest = strchr(line, ' ');
    if (rest)
        *rest++ = 0;
    return run(line, rest ? rest : "");
}

int main(int argc, char** argv) {
    if (argc < 2)
        return fail(failed, "usage: kde_peer keys|type|down|up|windows|activate|hold ...", NULL);
    display = wl_display_connect(NULL);
    context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!display || !context)
        return fail(failed, "no Wayland display", NULL);
    wl_registry_add_listener(wl_display_get_registry(display), &registry_listener, NULL);
    /* Globals, then the seat's keyboard, then its keymap. */
    for (int i = 0; i < 3; ++i)
        wl_display_roundtrip(display);
    if (strcmp(argv[1], "hold") != 0) {
        char line[4096] = "";
        for (int i = 1; i < argc; ++i)
            snprintf(line + strlen(line), sizeof line - strlen(line), "%s%s", i > 1 ? " " : "", argv[i]);
        int status = run_line(line);
        fflush(stdout);
        return status;
    }
    /* Unbuffered, so that poll never waits on a line the C library has read already. */
    setvbuf(stdin, NULL, _IONBF, 0);
    printf("ready\n");
    fflush(stdout);
    char line[4096];
    for (;;) {
        /* Events keep being read while no command comes, so that KWin never finds this client's queue full. */
        struct pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wl_display_get_fd(display), POLLIN, 0}};
        wl_display_flush(display);
        if (poll(fds, 2, -1) < 0)
            return failed;
        if ((fds[1].revents & POLLIN) && wl_display_dispatch(display) < 0)
            return fail(failed, "the compositor closed the connection", NULL);
        if (!(fds[0].revents & (POLLIN | POLLHUP)))
            continue;
        if (!fgets(line, sizeof line, stdin))
            return ok;
        line[strcspn(line, "\n")] = 0;
        int status = line[0] ? run_line(line) : ok;
        printf(status == ok ? "ok\n" : "err %d\n", status);
        fflush(stdout);
    }
}
