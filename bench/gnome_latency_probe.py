#!/usr/bin/python3
"""The GNOME twin of expand_latency_probe: from the Ctrl+C in a native editor on a headless mutter to the
moment the expander owns the X11 clipboard (XFixes on XWayland), keys through a remote-desktop session of
its own.
  gnome_latency_probe.py ROUNDS KEYWORD [IDLE_ROUNDS EXCLUDED_SESSION...]
Each round types the keyword on a new line, selects it with Shift+Home, presses Ctrl+C and waits for the
owner changes: the first ones after the copy are mutter's (the editor's copy bridged to X), the first of
another owner is the expansion. Then IDLE_ROUNDS more, each after the expander's remote-desktop session
has closed for idleness (no session left but its own and the EXCLUDED ones). Prints one line per round,
then a summary line for each kind.
"""
import os
import random
import select
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'e2e', 'tools'))
import mutter_keys  # noqa: E402
from gi.repository import Gio  # noqa: E402
from Xlib import display  # noqa: E402
from Xlib.ext import xfixes  # noqa: E402

ROUND_TIMEOUT_S = 2.0
SELECT_SETTLE_S = 0.04
JITTER_S = 0.02
PASTE_SETTLE_S = 0.15
IDLE_WAIT_S = 30.0


def summary(values):
    if not values:
        return 'n=0'
    v = sorted(values)
    n = len(v)
    median = v[n // 2] if n % 2 else (v[n // 2 - 1] + v[n // 2]) / 2
    p95 = v[min(max(0, -(-95 * n // 100) - 1), n - 1)]
    return 'median=%.2f p95=%.2f max=%.2f' % (median, p95, v[-1])


class Watcher:
    def __init__(self):
        self.d = display.Display()
        self.d.xfixes_query_version()
        self.d.xfixes_select_selection_input(self.d.screen().root, self.d.intern_atom('CLIPBOARD'),
                                             xfixes.XFixesSetSelectionOwnerNotifyMask)
        self.event_type = self.d.extension_event.SetSelectionOwnerNotify
        if isinstance(self.event_type, tuple):
            self.event_type = self.event_type[0]

    def drain(self):
        while self.d.pending_events():
            self.d.next_event()

    def next_owner(self, deadline):
        while True:
            while self.d.pending_events():
                e = self.d.next_event()
                if e.type == self.event_type and e.owner:
                    return e.owner.id
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([self.d.fileno()], [], [], left)


def copy_once(keys, watch, keyword, first):
    if not first:
        keys.combo('Return')
    keys.type(keyword)
    keys.combo('shift+Home')
    time.sleep(SELECT_SETTLE_S + random.random() * JITTER_S)
    watch.drain()
    start = time.monotonic()
    keys.combo('ctrl+c')
    deadline = start + ROUND_TIMEOUT_S
    editor = None
    while True:
        owner = watch.next_owner(deadline)
        if owner is None:
            return None
        if editor is None:
            editor = owner
        elif owner != editor:
            return (time.monotonic() - start) * 1000


def main():
    rounds, keyword = int(sys.argv[1]), sys.argv[2]
    idle_rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    keys = mutter_keys.Session(bus)
    excluded = set(sys.argv[4:]) | {keys.path}
    watch = Watcher()
    results = {'steady': [], 'after idle close': []}
    timeouts = 0
    for i in range(rounds + idle_rounds):
        kind = 'steady' if i < rounds else 'after idle close'
        if i >= rounds:
            deadline = time.monotonic() + IDLE_WAIT_S
            while set(mutter_keys.sessions(bus)) - excluded and time.monotonic() < deadline:
                time.sleep(0.05)
        ms = copy_once(keys, watch, keyword, i == 0)
        print('%s %s' % (kind, 'timeout' if ms is None else '%.2f' % ms), flush=True)
        if ms is None:
            timeouts += 1
        else:
            results[kind].append(ms)
        time.sleep(PASTE_SETTLE_S)
    print('summary n=%d timeouts=%d | total %s | first after an idle close n=%d %s'
          % (len(results['steady']), timeouts, summary(results['steady']), len(results['after idle close']),
             summary(results['after idle close'])), flush=True)
    return 0 if timeouts == 0 else 1


if __name__ == '__main__':
    sys.exit(main())
