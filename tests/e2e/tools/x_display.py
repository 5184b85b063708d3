#!/usr/bin/env python3
"""Opens the listening sockets of a free X display and runs a command that inherits them: for a compositor
that starts XWayland on sockets handed to it (kwin_wayland --xwayland-fd), so that the test picks the
display number and the compositor never takes one that another server uses.
    x_display.py FIRST NUMBER_FILE -- COMMAND...
Takes the first number from FIRST on whose lock file /tmp/.XN-lock it can create, as X servers claim
one, and opens both sockets an X server would, /tmp/.X11-unix/XN and its abstract twin; writes N to
NUMBER_FILE; replaces each "{fd}" in COMMAND with one socket in turn and "{display}" with N. The lock
holds this process's pid, which the command keeps. The caller removes the lock and the socket."""
import errno
import os
import socket
import sys

TRIES = 100
BACKLOG = 16

first, number_file = int(sys.argv[1]), sys.argv[2]
command = sys.argv[sys.argv.index("--") + 1:]


def claim(n):
    """The two listening sockets of display :n, or None when the number is taken."""
    lock = f"/tmp/.X{n}-lock"
    try:
        fd = os.open(lock, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
    except FileExistsError:
        return None
    os.write(fd, b"%10d\n" % os.getpid())
    os.close(fd)
    path = f"/tmp/.X11-unix/X{n}"
    sockets = []
    try:
        for address in (path, "\0" + path):
            s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            sockets.append(s)
            s.bind(address)
            s.listen(BACKLOG)
        # Anyone may connect, as to any X server: the compositor's clients may run as another user.
        os.chmod(path, 0o777)
    except OSError as e:
        # A server that wrote no lock, or a stale socket file: leave the number to it.
        for s in sockets:
            s.close()
        if e.errno != errno.EADDRINUSE:
            raise
        if len(sockets) == 2:
            os.unlink(path)
        os.unlink(lock)
        return None
    return sockets


os.makedirs("/tmp/.X11-unix", mode=0o1777, exist_ok=True)
for n in range(first, first + TRIES):
    sockets = claim(n)
    if sockets:
        break
else:
    sys.exit(f"x_display.py: no free X display from :{first} to :{first + TRIES - 1}")
with open(number_file, "w") as f:
    f.write(f"{n}\n")
fds = []
for s in sockets:
    s.set_inheritable(True)
    fds.append(s.detach())
args = []
for arg in command:
    if "{fd}" in arg:
        arg = arg.replace("{fd}", str(fds.pop(0)))
    args.append(arg.replace("{display}", str(n)))
os.execvp(args[0], args)
