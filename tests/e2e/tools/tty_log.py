#!/usr/bin/python3
"""Runs in a terminal and writes every byte the terminal sends it to a file, one read a line (repr), the
way a shell gets them: raw, with bracketed paste on as readline turns it on.
  tty_log.py FILE"""
import os
import sys
import tty

out = open(sys.argv[1], 'ab', buffering=0)
tty.setraw(0)
os.write(1, b'\x1b[?2004h')
out.write(b'ready\n')
while True:
    data = os.read(0, 4096)
    if not data:
        break
    out.write(repr(data).encode() + b'\n')
