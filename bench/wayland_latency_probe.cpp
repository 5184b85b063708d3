// The Wayland twin of expand_latency_probe: from the Ctrl+C in a native editor to the moment the clipboard
// holds the expansion, seen through the compositor's data-control protocol.
//   wayland_latency_probe <rounds> <keyword>
// The focused window must be an editor. Each round types the keyword (ASCII) on a new line through a
// virtual keyboard (on KWin, which has none, through its fake input, as a program it trusts), selects it with
// Shift+Home, presses Ctrl+C and waits for the selection announcements: the first after the copy is the editor's, the
// first that carries Wordwisp's own type is the expansion. Prints one line per round (total, and the expander's share
// from the editor's selection on), then a summary line.
#define _GNU_SOURCE 1
#include "LatencySummary.h"
#include "fake-input-client.h"
#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-data-control-unstable-v1-client.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <poll.h>
#include <random>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kRoundTimeoutMs = 2000;
constexpr int kSelectSettleMs = 40;
constexpr int kJitterMs = 20;
constexpr int kPasteSettleMs = 150;

struct Probe {
    wl_display* display = nullptr;
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* dataControl = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
    zwp_virtual_keyboard_v1* keyboard = nullptr;
    // KWin's way in: keys read through the compositor's own keymap, modifiers as keys held.
    org_kde_kwin_fake_input* fakeInput = nullptr;
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    uint32_t ctrl = 0;
    uint32_t shift = 0;
    // The types announced for each offer, and what each selection was: the editor's or ours.
    std::map<zwlr_data_control_offer_v1*, bool> ours;
    std::vector<std::pair<Clock::time_point, bool>> selections;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    auto* probe = static_cast<Probe*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !probe->seat)
        probe->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        probe->dataControl = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
    else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        probe->keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    else if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        probe->fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry = {onGlobal, onGlobalRemove};

void onType(void* data, zwlr_data_control_offer_v1* offer, const char* type) {
    if (std::strncmp(type, "application/x-wordwisp-", 23) == 0)
        static_cast<Probe*>(data)->ours[offer] = true;
}
const zwlr_data_control_offer_v1_listener kOffer = {onType};

void onDataOffer(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    static_cast<Probe*>(data)->ours[offer] = false;
    zwlr_data_control_offer_v1_add_listener(offer, &kOffer, data);
}
void onSelection(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    auto* probe = static_cast<Probe*>(data);
    if (!offer)
        return;
    probe->selections.emplace_back(Clock::now(), probe->ours[offer]);
    probe->ours.erase(offer);
    zwlr_data_control_offer_v1_destroy(offer);
}
void onFinished(void*, zwlr_data_control_device_v1*) {}
void onPrimary(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    if (offer)
        zwlr_data_control_offer_v1_destroy(offer);
}
const zwlr_data_control_device_v1_listener kDevice = {onDataOffer, onSelection, onFinished, onPrimary};

void onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    auto* probe = static_cast<Probe*>(data);
    void* text =
        format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    if (text != MAP_FAILED && !probe->keymap) {
        probe->keymap = xkb_keymap_new_from_string(probe->context, static_cast<const char*>(text),
                                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    }
    if (text != MAP_FAILED)
        munmap(text, size);
    close(fd);
}
void onEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void onLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void onKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void onModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void onRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboard = {onKeymap, onEnter, onLeave, onKey, onModifiers, onRepeat};

uint32_t keycodeFor(xkb_keymap* keymap, xkb_keysym_t sym) {
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap); ++key) {
        const xkb_keysym_t* syms = nullptr;
        const int n = xkb_keymap_key_get_syms_by_level(keymap, key, 0, 0, &syms);
        for (int i = 0; i < n; ++i) {
            if (syms[i] == sym)
                return key - 8;
        }
    }
    return 0;
}

void fakeKey(Probe& probe, uint32_t code, bool pressed) {
    org_kde_kwin_fake_input_keyboard_key(probe.fakeInput, code,
                                         pressed ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

void tap(Probe& probe, xkb_keysym_t sym, uint32_t modifiers = 0) {
    const uint32_t code = keycodeFor(probe.keymap, sym);
    if (!probe.keyboard) {
        // Fake input has no modifier state of its own: the modifier keys are pressed around the key.
        const uint32_t held = keycodeFor(probe.keymap, modifiers == probe.ctrl ? XKB_KEY_Control_L : XKB_KEY_Shift_L);
        if (modifiers)
            fakeKey(probe, held, true);
        fakeKey(probe, code, true);
        fakeKey(probe, code, false);
        if (modifiers)
            fakeKey(probe, held, false);
        return;
    }
    const auto ms =
        uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
    zwp_virtual_keyboard_v1_modifiers(probe.keyboard, modifiers, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(probe.keyboard, ms, code, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(probe.keyboard, ms, code, WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_modifiers(probe.keyboard, 0, 0, 0, 0);
}

// Handles events until the deadline or until an expansion was announced.
bool waitForExpansion(Probe& probe, Clock::time_point deadline) {
    for (;;) {
        for (const auto& selection : probe.selections) {
            if (selection.second)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        while (wl_display_prepare_read(probe.display) != 0)
            wl_display_dispatch_pending(probe.display);
        wl_display_flush(probe.display);
        pollfd fd{wl_display_get_fd(probe.display), POLLIN, 0};
        if (poll(&fd, 1, int(left)) > 0) {
            wl_display_read_events(probe.display);
            wl_display_dispatch_pending(probe.display);
        } else {
            wl_display_cancel_read(probe.display);
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <rounds> <keyword>\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    const std::string keyword = argv[2];
    Probe probe;
    probe.display = wl_display_connect(nullptr);
    if (!probe.display) {
        std::fprintf(stderr, "no Wayland display\n");
        return 2;
    }
    wl_registry_add_listener(wl_display_get_registry(probe.display), &kRegistry, &probe);
    wl_display_roundtrip(probe.display);
    if (!probe.seat || !probe.dataControl || (!probe.keyboards && !probe.fakeInput)) {
        std::fprintf(stderr, "the compositor lacks data-control, or the virtual keyboard and KWin's fake input\n");
        return 2;
    }
    probe.context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (probe.keyboards) {
        xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
        probe.keymap = xkb_keymap_new_from_names(probe.context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        char* text = xkb_keymap_get_as_string(probe.keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        const size_t size = std::strlen(text) + 1;
        const int fd = memfd_create("probe-keymap", MFD_CLOEXEC);
        if (fd < 0 || write(fd, text, size) != ssize_t(size))
            return 2;
        std::free(text);
        probe.keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(probe.keyboards, probe.seat);
        zwp_virtual_keyboard_v1_keymap(probe.keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(size));
        close(fd);
    } else {
        // KWin drops the keys of a client that has not said who it is; its keymap comes on the seat's keyboard.
        org_kde_kwin_fake_input_authenticate(probe.fakeInput, "wayland_latency_probe", "times expansions");
        wl_keyboard_add_listener(wl_seat_get_keyboard(probe.seat), &kKeyboard, &probe);
        wl_display_roundtrip(probe.display);
        wl_display_roundtrip(probe.display);
        if (!probe.keymap) {
            std::fprintf(stderr, "the compositor sent no keymap\n");
            return 2;
        }
    }
    probe.ctrl = 1u << xkb_keymap_mod_get_index(probe.keymap, XKB_MOD_NAME_CTRL);
    probe.shift = 1u << xkb_keymap_mod_get_index(probe.keymap, XKB_MOD_NAME_SHIFT);
    zwlr_data_control_device_v1* device = zwlr_data_control_manager_v1_get_data_device(probe.dataControl, probe.seat);
    zwlr_data_control_device_v1_add_listener(device, &kDevice, &probe);
    wl_display_roundtrip(probe.display);
    // A keyboard new to the seat is taken in by the editor before its first keys count.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> jitter(0, kJitterMs - 1);
    std::vector<double> latencies;
    std::vector<double> shares;
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        if (round > 0)
            tap(probe, XKB_KEY_Return);
        for (const char c : keyword)
            tap(probe, xkb_keysym_t(static_cast<unsigned char>(c)));
        tap(probe, XKB_KEY_Home, probe.shift);
        wl_display_roundtrip(probe.display);
        std::this_thread::sleep_for(std::chrono::milliseconds(kSelectSettleMs + jitter(random)));
        wl_display_roundtrip(probe.display);
        probe.selections.clear();

        const auto start = Clock::now();
        tap(probe, XKB_KEY_c, probe.ctrl);
        wl_display_flush(probe.display);
        if (waitForExpansion(probe, start + std::chrono::milliseconds(kRoundTimeoutMs))) {
            Clock::time_point copied = start;
            Clock::time_point expanded = start;
            for (const auto& selection : probe.selections) {
                if (!selection.second && copied == start)
                    copied = selection.first;
                if (selection.second) {
                    expanded = selection.first;
                    break;
                }
            }
            const double ms = std::chrono::duration<double, std::milli>(expanded - start).count();
            const double share = std::chrono::duration<double, std::milli>(expanded - copied).count();
            latencies.push_back(ms);
            shares.push_back(share);
            std::printf("%.2f %.2f\n", ms, share);
        } else {
            ++failures;
            std::printf("timeout\n");
        }
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(kPasteSettleMs));
        wl_display_roundtrip(probe.display);
    }

    std::printf("summary n=%zu timeouts=%d | total %s | expander's share %s\n", latencies.size(), failures,
                latencySummary(latencies).c_str(), latencySummary(shares).c_str());
    wl_display_disconnect(probe.display);
    return failures == 0 ? 0 : 1;
}
