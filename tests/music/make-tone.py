#!/usr/bin/env python3
"""Writes a sine tone as raw 16-bit mono PCM at 22,050 Hz to stdout.
Usage: make-tone.py SECONDS [HERTZ]"""
import math
import struct
import sys

seconds = float(sys.argv[1])
hertz = float(sys.argv[2]) if len(sys.argv) > 2 else 440.0
rate = 22050
frames = int(seconds * rate)
samples = (int(8000 * math.sin(2 * math.pi * hertz * i / rate)) for i in range(frames))
sys.stdout.buffer.write(b"".join(struct.pack("<h", s) for s in samples))
