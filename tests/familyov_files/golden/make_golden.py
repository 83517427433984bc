#!/usr/bin/env python3
"""Writes the settings files of default virtual units from the file and image layouts alone.

The files are the reference the settings-file tests compare against; this script is how they were
written, kept so that a reviewer can check every word against the layout.
"""
import struct

OFFSETS = {
    "4x8": [1, 13, 45, 53, 54, 98, 106, 118, 126, 134, 142, 150, 158, 166, 167, 168, 169, 170,
            810, 814, 818, 822, 826, 830],
    "2x6": [1, 9, 21, 27, 28, 36, 42, 50, 56, 62, 68, 74, 80, 86, 87, 88, 0, 89,
            0, 0, 0, 0, 0, 0],
}


def bits(x):
    return struct.unpack("<i", struct.pack("<f", x))[0]


def gain(db, offset=0.0):
    return 0.0 if db <= -100.0 else 10.0 ** (0.05 * (db - offset))


def image(unit):
    ni, no, outs = unit["ni"], unit["no"], unit["outputs"]
    b = OFFSETS[unit["layout"]]
    words = [0] * (4 * ((unit["length"] + 3) // 4))
    for k in range(ni + no):
        words[b[0] + k] = bits(1.0)          # channel levels 0 dB
        words[b[4] + k] = 0                  # delays
        words[b[6] + k] = 0                  # groups
    for i in range(ni):
        for o in range(no):
            x = o * ni + i
            routed = o < outs and i < unit["inputs"] and unit["feeds"](o) == i
            words[b[1] + x] = bits(1.0) if routed else 0
            if unit["compressors"]:
                words[b[4] + ni + no + x] = 0  # crosspoint delays
    for o in range(outs):
        words[b[2] + o] = 0                  # mutes
        words[b[5] + o] = unit["network"](o)
        words[b[7] + o] = bits(gain(0.0, 22.0))
        words[b[8] + o] = 1                  # hard knee flag
        words[b[9] + o] = 1                  # limiter speed
        words[b[10] + o] = 0
        words[b[11] + o] = 0
        words[b[12] + o] = bits(1.0)         # polarity
    words[b[13]] = 0
    words[b[14]] = bits(gain(-40.0))
    words[b[15]] = bits(1.0)
    words[b[3]] = 0
    if unit["compressors"]:
        for i in range(unit["inputs"]):
            words[b[18] + i] = bits(1.0)     # post gain 0 dB
            words[b[19] + i] = bits(gain(20.0))
            words[b[20] + i] = 30            # ratio 1:2
            words[b[21] + i] = 2
            words[b[22] + i] = 0
            words[b[23] + i] = 0
    return words


def settings_file(unit):
    out = []
    w = out.append
    w("// Ordavinex 26 setting file\n// Do not alter manually.\n\n")
    w("// Created by TelvoWindows\n// Copyright Telvo. All rights reserved.\n\n")
    w("\n[Number outputs]\n%d \n" % unit["outputs"])
    w("\n[Firmware version]\n%f \n" % unit["firmware"])
    w("\n[Globals]\n")
    memories = unit["memories"]
    for m in range(memories):
        w('"Memory %d" \n' % (m + 1))
    for n in range(1, 32):
        w("%d 0 \n" % ((n - 1) % memories + 1))
    w("0 \n")
    for name in unit["names"]:
        w('"%s" \n' % name)
    w("\n[RTC Events]\n")
    for slot in range(70):
        w("%d 0 0 0 0 0 \n" % slot)
    w("\n")
    words = image(unit)
    for m in range(memories + 1):
        w("\n[Memory Dump %d]\n" % m)
        for k in range(0, len(words), 4):
            w('"%s" \n' % " ".join(str(v) for v in words[k:k + 4]))
    w("\n\n// End of file\n")
    return "".join(out)


UNITS = {
    "default-8148.q48": dict(layout="4x8", ni=4, no=8, inputs=4, outputs=8, length=840,
                             firmware=1.0, memories=8, compressors=True,
                             feeds=lambda o: o // 2, network=lambda o: o // 2 + 1,
                             names=list("1234ABCDEFGH")),
    "default-8126.ov2": dict(layout="2x6", ni=2, no=6, inputs=2, outputs=6, length=730,
                             firmware=1.5, memories=15, compressors=False,
                             feeds=lambda o: o // 3, network=lambda o: o // 3 + 1,
                             names=list("12ABCDEF")),
    "default-8122.ov2": dict(layout="2x6", ni=2, no=6, inputs=2, outputs=2, length=730,
                             firmware=1.5, memories=15, compressors=False,
                             feeds=lambda o: o, network=lambda o: o // 2 + 1,
                             names=list("12AB")),
}

if __name__ == "__main__":
    import os
    here = os.path.dirname(os.path.abspath(__file__))
    for name, unit in UNITS.items():
        with open(os.path.join(here, name), "w", newline="\n") as f:
            f.write(settings_file(unit))
