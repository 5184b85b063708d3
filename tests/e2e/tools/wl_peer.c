/* Wayland peers that the end-to-end tests need and no ordinary program is:
 *   wl_peer hold            keeps a virtual keyboard alive until killed. A seat with no physical keyboard
 *                           loses its keyboard whenever the last virtual one goes away, and clients drop
 *                           keys until they have bound the new one; this one never goes away. It also
 *                           presses the combos of each line it reads, as keys does, and answers "ok".
 *   wl_peer keys COMBO...   presses key combos in xdotool's notation ("ctrl+s", "shift+Home", "Return").
 *                           It uploads a full keymap and sends the modifiers as modifier state, which GTK
 *                           honours (wtype's -M is ignored by GTK).
 *   wl_peer pointer         keeps a virtual pointer alive until killed: a seat with no pointer device gives
 *                           clients no wl_pointer, and sway's "seat - cursor" commands then reach nobody.
 *   wl_peer silent          takes the clipboard through data-control, offering text, and never writes a
 *                           byte to the fds it is asked to fill (it keeps them open).
 * hold and pointer print "ready" once their device exists; silent prints "owned" once the compositor has
 * made it the clipboard's owner, "request MIME" for each request and "cancelled" when another client takes
 * over. All three run until killed. */
#define _GNU_SOURCE
#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"
#include "wlr-data-control-unstable-v1-client.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

static struct wl_seat* seat;
static struct zwp_virtual_keyboard_manager_v1* keyboards;
static struct zwlr_data_control_manager_v1* data_control;
static struct zwlr_virtual_pointer_manager_v1* pointers;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        keyboards = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
    else if (strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        data_control = wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1);
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        pointers = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}
static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}
static const struct wl_registry_listener registry_listener = {global, global_remove};

static int die(const char* message) {
    fprintf(stderr, "wl_peer: %s\n", message);
    return 2;
}

static uint32_t now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

/* ---- keyboard ---- */

static struct xkb_keymap* keymap;
static struct zwp_virtual_keyboard_v1* keyboard;

/* A virtual keyboard with the whole US keymap, so that every client sees ordinary keycodes and modifiers. */
static int create_keyboard(struct wl_display* display) {
    if (!keyboards)
        return die("the compositor offers no virtual keyboard");
    struct xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    struct xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
    keymap = context ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : NULL;
    if (!keymap)
        return die("no US keymap from xkbcommon");
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    size_t size = strlen(text) + 1;
    int fd = memfd_create("wl_peer-keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text, size) != (ssize_t)size)
        return die("cannot write the keymap");
    free(text);
    keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards, seat);
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, (uint32_t)size);
    close(fd);
    return wl_display_roundtrip(display) < 0 ? die("the compositor refused the keyboard") : 0;
}

static uint32_t mod_mask(const char* name) {
    static const struct {
        const char* given;
        const char* xkb;
    } mods[] = {{"ctrl", XKB_MOD_NAME_CTRL}, {"control", XKB_MOD_NAME_CTRL}, {"shift", XKB_MOD_NAME_SHIFT},
                {"alt", XKB_MOD_NAME_ALT},   {"super", XKB_MOD_NAME_LOGO},   {"logo", XKB_MOD_NAME_LOGO}};
    for (size_t i = 0; i < sizeof mods / sizeof mods[0]; ++i)
        if (strcasecmp(name, mods[i].given) == 0) {
            xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, mods[i].xkb);
            return index == XKB_MOD_INVALID ? 0 : 1u << index;
        }
    return 0;
}

/* The keycode that gives SYM on the first or the second level; the second one needs Shift. */
static xkb_keycode_t find_key(xkb_keysym_t sym, int* shifted) {
    for (int level = 0; level < 2; ++level)
        for (xkb_keycode_t k = xkb_keymap_min_keycode(keymap); k <= xkb_keymap_max_keycode(keymap); ++k) {
            const xkb_keysym_t* syms;
            int n = xkb_keymap_key_get_syms_by_level(keymap, k, 0, (xkb_level_index_t)level, &syms);
            for (int i = 0; i < n; ++i)
                if (syms[i] == sym) {
                    *shifted = level;
                    return k;
                }
        }
    return 0;
}

static int press(struct wl_display* display, const char* combo) {
    char* copy = strdup(combo);
    char* key = copy;
    uint32_t mods = 0;
    for (char* plus = strchr(key, '+'); plus && plus[1]; plus = strchr(key, '+')) {
        *plus = 0;
        uint32_t mask = mod_mask(key);
        if (!mask) {
            fprintf(stderr, "wl_peer: no modifier %s in %s\n", key, combo);
            return 4;
        }
        mods |= mask;
        key = plus + 1;
    }
    xkb_keysym_t sym = xkb_keysym_from_name(key, XKB_KEYSYM_NO_FLAGS);
    if (sym == XKB_KEY_NoSymbol)
        sym = xkb_keysym_from_name(key, XKB_KEYSYM_CASE_INSENSITIVE);
    int shifted = 0;
    xkb_keycode_t code = sym == XKB_KEY_NoSymbol ? 0 : find_key(sym, &shifted);
    if (!code) {
        fprintf(stderr, "wl_peer: no key for %s\n", combo);
        return 4;
    }
    if (shifted)
        mods |= mod_mask("shift");
    /* Keycodes on the wire are evdev codes, xkb's minus 8. */
    zwp_virtual_keyboard_v1_modifiers(keyboard, mods, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(keyboard, now_ms(), code - 8, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(keyboard, now_ms(), code - 8, WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
    free(copy);
    return wl_display_roundtrip(display) < 0 ? die("lost the compositor") : 0;
}

/* Presses the combos of each line read from stdin with the one keyboard and answers "ok" (or "error") when
 * the compositor has them. Every new keyboard makes sway give the focused window the keyboard focus anew,
 * and with it a fresh clipboard offer, which makes GTK drop a paste it is still reading. */
static int hold(struct wl_display* display) {
    /* Unbuffered, so that poll() sees every line that stdio has not taken yet. */
    setvbuf(stdin, NULL, _IONBF, 0);
    printf("ready\n");
    struct pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    char* line = NULL;
    size_t capacity = 0;
    for (;;) {
        if (wl_display_flush(display) < 0 || poll(fds, 2, -1) < 0)
            break;
        if ((fds[0].revents & POLLIN) && wl_display_dispatch(display) < 0)
            break;
        if (fds[0].revents & (POLLERR | POLLHUP))
            break;
        if (!fds[1].revents)
            continue;
        if (getline(&line, &capacity, stdin) < 0) {
            fds[1].fd = -1; /* no more lines: just hold the keyboard */
            continue;
        }
        int status = 0;
        for (char* combo = strtok(line, " \t\n"); combo && !status; combo = strtok(NULL, " \t\n"))
            status = press(display, combo);
        printf(status ? "error\n" : "ok\n");
    }
    return die("lost the compositor");
}

/* ---- the silent clipboard owner ---- */

static const char* const offered[] = {"text/plain;charset=utf-8", "text/plain"};
static struct zwlr_data_control_source_v1* source;
static int set_sent, owned;
static char offer_mimes[256];

static void source_send(void* data, struct zwlr_data_control_source_v1* s, const char* mime, int32_t fd) {
    (void)data;
    (void)s;
    (void)fd; /* kept open and never written: the asker waits for data that never comes */
    printf("request %s\n", mime);
}
static void source_cancelled(void* data, struct zwlr_data_control_source_v1* s) {
    (void)data;
    (void)s;
    printf("cancelled\n");
}
static const struct zwlr_data_control_source_v1_listener source_listener = {source_send, source_cancelled};

static void offer_mime(void* data, struct zwlr_data_control_offer_v1* offer, const char* mime) {
    (void)data;
    (void)offer;
    if (strlen(offer_mimes) + strlen(mime) + 2 < sizeof offer_mimes) {
        strcat(offer_mimes, mime);
        strcat(offer_mimes, "\n");
    }
}
static const struct zwlr_data_control_offer_v1_listener offer_listener = {offer_mime};

static void device_data_offer(void* data, struct zwlr_data_control_device_v1* device,
                              struct zwlr_data_control_offer_v1* offer) {
    (void)data;
    (void)device;
    offer_mimes[0] = 0;
    zwlr_data_control_offer_v1_add_listener(offer, &offer_listener, NULL);
}
/* The selection that follows our set_selection and lists exactly our types is ours. */
static void device_selection(void* data, struct zwlr_data_control_device_v1* device,
                             struct zwlr_data_control_offer_v1* offer) {
    (void)data;
    (void)device;
    if (set_sent && !owned && offer && strcmp(offer_mimes, "text/plain;charset=utf-8\ntext/plain\n") == 0) {
        owned = 1;
        printf("owned\n");
    }
    if (offer)
        zwlr_data_control_offer_v1_destroy(offer);
}
static void device_finished(void* data, struct zwlr_data_control_device_v1* device) {
    (void)data;
    (void)device;
}
static void device_primary(void* data, struct zwlr_data_control_device_v1* device,
                           struct zwlr_data_control_offer_v1* offer) {
    (void)data;
    (void)device;
    if (offer)
        zwlr_data_control_offer_v1_destroy(offer);
}
static const struct zwlr_data_control_device_v1_listener device_listener = {device_data_offer, device_selection,
                                                                            device_finished, device_primary};

static int silent(struct wl_display* display) {
    if (!data_control)
        return die("the compositor offers no data-control");
    struct zwlr_data_control_device_v1* device = zwlr_data_control_manager_v1_get_data_device(data_control, seat);
    zwlr_data_control_device_v1_add_listener(device, &device_listener, NULL);
    wl_display_roundtrip(display); /* the selection of before */
    source = zwlr_data_control_manager_v1_create_data_source(data_control);
    zwlr_data_control_source_v1_add_listener(source, &source_listener, NULL);
    for (size_t i = 0; i < sizeof offered / sizeof offered[0]; ++i)
        zwlr_data_control_source_v1_offer(source, offered[i]);
    zwlr_data_control_device_v1_set_selection(device, source);
    set_sent = 1;
    while (wl_display_dispatch(display) != -1) {
    }
    return die("lost the compositor");
}

/* ---- pointer ---- */

static int hold_pointer(struct wl_display* display) {
    if (!pointers)
        return die("the compositor offers no virtual pointer");
    zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers, seat);
    if (wl_display_roundtrip(display) < 0)
        return die("the compositor refused the pointer");
    printf("ready\n");
    while (wl_display_dispatch(display) != -1) {
    }
    return die("lost the compositor");
}

int main(int argc, char** argv) {
    setvbuf(stdout, NULL, _IOLBF, 0);
    if (argc < 2 || (strcmp(argv[1], "hold") && strcmp(argv[1], "keys") && strcmp(argv[1], "silent") &&
                     strcmp(argv[1], "pointer"))) {
        fprintf(stderr, "usage: wl_peer hold | keys COMBO... | silent | pointer\n");
        return 1;
    }
    struct wl_display* display = wl_display_connect(NULL);
    if (!display)
        return die("no Wayland display");
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!seat)
        return die("the compositor offers no seat");

    if (strcmp(argv[1], "silent") == 0)
        return silent(display);
    if (strcmp(argv[1], "pointer") == 0)
        return hold_pointer(display);
    int status = create_keyboard(display);
    if (status)
        return status;
    if (strcmp(argv[1], "hold") == 0)
        return hold(display);
    for (int a = 2; a < argc && !status; ++a)
        status = press(display, argv[a]);
    zwp_virtual_keyboard_v1_destroy(keyboard);
    wl_display_roundtrip(display);
    return status;
}
