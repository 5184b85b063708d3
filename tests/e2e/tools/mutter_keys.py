#!/usr/bin/python3
"""The test's own keyboard on a headless mutter: a RemoteDesktop session of its own on the session bus.

  mutter_keys.py hold            reads commands on stdin, one a line, answers "ok" (or "error ...") each:
                                   keys COMBO...   xdotool style: shift+Home ctrl+c Return
                                   type TEXT       character by character, as keysyms (others through GTK's Ctrl+Shift+U)
                                   down KEY / up KEY   holds a key, lets it go (a user's Ctrl)
                                 and first prints "ready PATH", PATH its own session's object.
  mutter_keys.py sessions        prints the object paths of the running sessions, one a line
  mutter_keys.py end PATH        makes mutter end the session PATH from outside (see end_session)
"""
import sys
import time

import gi
gi.require_version('Gio', '2.0')
from gi.repository import Gio, GLib  # noqa: E402

RD = 'org.gnome.Mutter.RemoteDesktop'
RD_PATH = '/org/gnome/Mutter/RemoteDesktop'
SC = 'org.gnome.Mutter.ScreenCast'
SC_PATH = '/org/gnome/Mutter/ScreenCast'
CALL_TIMEOUT_MS = 5000
# The first event of a new session makes mutter's virtual keyboard, and the window takes that keyboard
# in a few milliseconds later: the same tap and wait as the program's own.
PRIME_MS = 20
NAMED = {'ctrl': 0xffe3, 'control': 0xffe3, 'ctrl_r': 0xffe4, 'shift': 0xffe1, 'alt': 0xffe9,
         'super': 0xffeb, 'return': 0xff0d, 'enter': 0xff0d, 'tab': 0xff09, 'escape': 0xff1b,
         'backspace': 0xff08, 'delete': 0xffff, 'insert': 0xff63, 'home': 0xff50, 'end': 0xff57,
         'left': 0xff51, 'right': 0xff53, 'up': 0xff52, 'down': 0xff54, 'space': 0x20,
         'xf86paste': 0x1008ff57, 'control_l': 0xffe3, 'control_r': 0xffe4}


def keysym(name):
    if name.lower() in NAMED:
        return NAMED[name.lower()]
    if len(name) != 1:
        raise ValueError('unknown key ' + name)
    c = ord(name)
    return c if 0x20 <= c < 0x7f or 0xa0 <= c < 0x100 else 0x01000000 | c


class Session:
    def __init__(self, bus):
        self.bus = bus
        self.path = self.call(RD_PATH, RD, 'CreateSession', None, '(o)').unpack()[0]
        self.call(self.path, RD + '.Session', 'Start')
        self.key(NAMED['shift'], True)
        self.key(NAMED['shift'], False)
        time.sleep(PRIME_MS / 1000)

    def call(self, path, iface, method, args=None, reply=None):
        return self.bus.call_sync(RD, path, iface, method, args,
                                  GLib.VariantType(reply) if reply else None, 0, CALL_TIMEOUT_MS, None)

    def key(self, sym, down):
        self.call(self.path, RD + '.Session', 'NotifyKeyboardKeysym', GLib.Variant('(ub)', (sym, down)))

    def combo(self, text):
        syms = [keysym(k) for k in text.split('+')] if text != '+' else [ord('+')]
        for s in syms:
            self.key(s, True)
        for s in reversed(syms):
            self.key(s, False)

    def type(self, text):
        for ch in text:
            if ord(ch) >= 0x80:
                # Mutter's keymap (us) has no key for it, and it drops such a keysym: GTK's own Unicode
                # entry types it instead.
                self.combo('ctrl+shift+u')
                self.type('%x' % ord(ch))
                self.combo('space')
                continue
            self.key(keysym(ch), True)
            self.key(keysym(ch), False)


def sessions(bus):
    xml = bus.call_sync(RD, RD_PATH + '/Session', 'org.freedesktop.DBus.Introspectable', 'Introspect', None,
                        GLib.VariantType('(s)'), 0, CALL_TIMEOUT_MS, None).unpack()[0]
    return [RD_PATH + '/Session/' + n.path for n in Gio.DBusNodeInfo.new_for_xml(xml).nodes]


def end_session(bus, path):
    """Mutter refuses Stop from any connection but the session's own; what ends a session from outside is
    mutter itself. A screen cast tied to the session is part of it: when the screen cast's client leaves
    the bus, mutter closes the screen cast, and with it the remote-desktop session, through the same close
    that the top bar's "Stop Screen Sharing" and the lock screen use, Closed signal and all."""
    session_id = bus.call_sync(RD, path, 'org.freedesktop.DBus.Properties', 'Get',
                               GLib.Variant('(ss)', (RD + '.Session', 'SessionId')),
                               GLib.VariantType('(v)'), 0, CALL_TIMEOUT_MS, None).unpack()[0]
    bus.call_sync(SC, SC_PATH, SC, 'CreateSession',
                  GLib.Variant('(a{sv})', ({'remote-desktop-session-id': GLib.Variant('s', session_id)},)),
                  GLib.VariantType('(o)'), 0, CALL_TIMEOUT_MS, None)
    bus.close_sync(None)


def hold(bus):
    s = Session(bus)
    print('ready', s.path, flush=True)
    for line in sys.stdin:
        verb, _, rest = line.rstrip('\n').partition(' ')
        try:
            if verb == 'keys':
                for c in rest.split():
                    s.combo(c)
            elif verb == 'type':
                s.type(rest)
            elif verb in ('down', 'up'):
                s.key(keysym(rest), verb == 'down')
            else:
                raise ValueError('unknown command ' + verb)
            print('ok', flush=True)
        except (GLib.Error, ValueError) as e:
            print('error', str(e).replace('\n', ' '), flush=True)


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    if sys.argv[1:2] == ['hold']:
        hold(bus)
    elif sys.argv[1:2] == ['sessions']:
        print('\n'.join(sessions(bus)))
    elif sys.argv[1:2] == ['end'] and len(sys.argv) == 3:
        end_session(bus, sys.argv[2])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == '__main__':
    sys.exit(main())
