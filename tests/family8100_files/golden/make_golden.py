#!/usr/bin/env python3
"""Writes the golden "*.ov0" files from the file layout alone: header comments, the device type,
the name, the chosen memories, the current settings and the preset map of a new virtual unit of
each model. Run it to refresh the files; the tests compare the program's output with them."""

HEADER = ("// Ordavinex setting file\n// Do not alter manually.\n\n"
          "// Created by TelvoWindows\n// Copyright Telvo. All rights reserved.\n\n")
THIRD_OCTAVES = [31, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800, 1000,
                 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000]


def section(name):
    return "\n[%s]\n" % name


def ints(*values):
    return "".join("%d " % v for v in values)


def reals(*values):
    return "".join("%f " % v for v in values)


def text(value):
    return '"%s" ' % value


def settings(model, memory):
    suffix = "" if memory == 0 else " %d" % memory
    routing = 0x00010001 if model == "x" else 0x01000001
    out = section("Globals" + suffix) + ints(0, 0, 0, 0, routing)
    if model in ("plus", "x"):
        out += section("Delay" + suffix) + ints(0, 0)
    filters = []
    if model == "rt":
        # Left output (4) then right output (3), width 3.2, level 0.
        filters = [ints(10, bank, f) + reals(0.0, 3.2) for bank in (4, 3) for f in THIRD_OCTAVES]
    out += section("Filters" + suffix) + ints(len(filters)) + "\n"
    out += "".join(record + "\n" for record in filters)
    if model == "x":
        out += section("Polarity" + suffix) + ints(0, 0)
        out += section("Limiting" + suffix) + reals(262765, 262765, 2.0833333e-5, 2.0833333e-5)
        out += ints(0)
    if model == "rt":
        out += section("Noise Sources" + suffix) + ints(0) + reals(-40) + ints(1, 0)
        out += reals(-40) + ints(1)
    return out


def settings_file(model, name, memories):
    out = HEADER + section("Device Type") + text("Standard")
    out += section("Interface Name") + text(name)
    for n in memories:
        out += "\n" + section("Settings Memory %d" % n) + text("Memory %d" % n) + "\n"
        out += settings(model, n)
    out += "\n" + section("Current Settings") + settings(model, 0)
    out += section("Preset map") + ints(*range(1, 13))
    return out + "\n\n// End of file\n"


FILES = {
    "default-ordavinex.ov0": ("base", "Default", []),
    "example-ordavinex-plus.ov0": ("plus", "Stage", [1]),
    "default-ordavinex-x.ov0": ("x", "Default", [2]),
    "default-ordavinex-rune-tide.ov0": ("rt", "Default", []),
}

if __name__ == "__main__":
    import os
    here = os.path.dirname(os.path.abspath(__file__))
    for file_name, (model, name, memories) in FILES.items():
        with open(os.path.join(here, file_name), "w", newline="\n") as f:
            f.write(settings_file(model, name, memories))
