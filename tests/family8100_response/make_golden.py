#!/usr/bin/python3
"""Writes golden/GainGolden.inc: reference gains for the older family's filter response tests.

The references are the textbook magnitudes of the peaking, boost/cut, shelving, Butterworth,
Linkwitz-Riley and Bessel sections, written here from their definitions (the Bessel ones from the
reverse Bessel polynomial, normalised to -3 dB at the corner), not from the C++ code. Run once
after a deliberate change, review the diff and commit the output:

    /usr/bin/python3 tests/family8100_response/make_golden.py
"""

import math
import os
import struct

PARAMETRIC, LOWPASS, HIGHPASS, LOW_SHELF, HIGH_SHELF = 3, 4, 5, 6, 7
LOW_CROSSOVER, HIGH_CROSSOVER, BOOST_CUT = 8, 9, 10
NONE, BUTTERWORTH, BESSEL, LINKWITZ_RILEY = 0, 1, 2, 3

RELATIVE_FREQUENCIES = [0.1, 0.33, 0.7, 0.95, 1.0, 1.05, 1.4, 3.0, 9.5]


def single(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def frequencies_around(f0):
    """Test frequencies as the C++ side holds them: single precision."""
    return [single(f0 * r) for r in RELATIVE_FREQUENCIES] + [20.0, 20000.0]


def level_gain(level_db):
    return 10.0 ** (level_db / 20.0)


def parametric(f0, level_db, q, f):
    # Peaking section: (s^2 + A w0/Q s + w0^2) / (s^2 + w0/Q s + w0^2) at s = j f.
    a = level_gain(level_db)
    s = 1j * f
    return abs((s * s + a * f0 / q * s + f0 * f0) / (s * s + f0 / q * s + f0 * f0))


def boost_cut(f0, level_db, q, f):
    # Constant-Q boost/cut: zeros and poles share w0 and move apart by sqrt(A) either way.
    r = math.sqrt(level_gain(level_db))
    s = 1j * f
    return abs((s * s + f0 * r / math.sqrt(q) * s + f0 * f0) /
               (s * s + f0 / (r * math.sqrt(q)) * s + f0 * f0))


def shelf(f0, level_db, order, high, f):
    """`order` equal first-order shelves, each with 1/order of the level (in octaves of 6 dB)."""
    span = 2.0 ** (abs(level_db) / (6.0 * order))
    other = f0 * span if high else f0 / span
    zero, pole = (f0, other) if level_db >= 0.0 else (other, f0)
    section = abs((zero + 1j * f) / (pole + 1j * f))
    return (level_gain(level_db) if high else 1.0) * section ** order


def butterworth(order, f0, high, f):
    x = (f0 / f if high else f / f0) if f > 0.0 else (math.inf if high else 0.0)
    return 1.0 / math.sqrt(1.0 + x ** (2 * order))


def linkwitz_riley(order, f0, high, f):
    """A Butterworth gain of order N/2, squared: 1 / (1 + x^N), whatever the parity of N."""
    x = (f0 / f if high else f / f0)
    return 1.0 / (1.0 + x ** order)


def reverse_bessel(order):
    return [math.factorial(2 * order - k) /
            (2 ** (order - k) * math.factorial(k) * math.factorial(order - k))
            for k in range(order + 1)]


def bessel_lowpass(order, w):
    """|H(j w)| of the Bessel low-pass with its -3 dB point at w = 1."""
    a = reverse_bessel(order)

    def gain(x):
        return a[0] / abs(sum(c * (1j * x) ** k for k, c in enumerate(a)))

    low, high = 0.1, 10.0
    for _ in range(200):
        mid = math.sqrt(low * high)
        if gain(mid) > 1.0 / math.sqrt(2.0):
            low = mid
        else:
            high = mid
    return gain(w * low)


def crossover(alignment, order, f0, high, f):
    if alignment == BUTTERWORTH:
        return butterworth(order, f0, high, f)
    if alignment == LINKWITZ_RILEY:
        return linkwitz_riley(order, f0, high, f)
    if alignment == BESSEL:
        return bessel_lowpass(order, f0 / f if high else f / f0)
    return 1.0


def rows():
    out = []

    def add(type_code, f0, level, q, order, shelf_order, alignment, f, gain):
        out.append((type_code, f0, level, q, order, shelf_order, alignment, f,
                    20.0 * math.log10(gain)))

    for f0, level, q in [(1000, 6.0, 1.0), (1000, -12.0, 4.3), (80, 3.0, 8.7), (1000, 0.0, 2.0)]:
        for f in frequencies_around(f0):
            add(PARAMETRIC, f0, level, q, 0, 1, 0, f, parametric(f0, level, q, f))
    for f0, level, q in [(1000, 6.0, 1.4), (630, -12.0, 4.3)]:
        for f in frequencies_around(f0):
            add(BOOST_CUT, f0, level, q, 0, 1, 0, f, boost_cut(f0, level, q, f))
    for order in range(1, 9):
        for f in frequencies_around(1000):
            add(LOWPASS, 1000, 0.0, 1.0, order, 1, 0, f, butterworth(order, 1000, False, f))
            if f / 1000.0 <= 10.0:
                add(HIGHPASS, 1000, 0.0, 1.0, order, 1, 0, f, butterworth(order, 1000, True, f))
    for f0, level, shelf_order in [(1000, 6.0, 1), (1000, -6.0, 2), (200, 12.0, 2),
                                   (5000, -4.0, 3), (1000, 0.0, 2)]:
        for f in frequencies_around(f0) + [0.0]:
            add(LOW_SHELF, f0, level, 1.0, 0, shelf_order, 0, f,
                shelf(f0, level, shelf_order, False, f))
            add(HIGH_SHELF, f0, level, 1.0, 0, shelf_order, 0, f,
                shelf(f0, level, shelf_order, True, f))
    for alignment in (NONE, BUTTERWORTH, BESSEL, LINKWITZ_RILEY):
        for order in range(1, 9):
            for f in frequencies_around(2500):
                add(LOW_CROSSOVER, 2500, 0.0, 1.0, order, 1, alignment, f,
                    crossover(alignment, order, 2500, False, f))
                add(HIGH_CROSSOVER, 2500, 0.0, 1.0, order, 1, alignment, f,
                    crossover(alignment, order, 2500, True, f))
    return out


def write(path):
    with open(path, "w", encoding="ascii") as out:
        out.write("// Generated by make_golden.py; do not edit.\n")
        out.write("// {type, f0, level dB, Q, order, shelf order, alignment, f Hz, gain dB}\n")
        out.write("inline const GoldenGain kGoldenGains[] = {\n")
        for t, f0, level, q, order, shelf_order, alignment, f, gain in rows():
            out.write(f"    {{{t}, {f0}, {level!r}f, {q!r}f, {order}, {shelf_order}, {alignment}, "
                      f"{f!r}f, {gain:.12g}}},\n")
        out.write("};\n")


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write(os.path.join(here, "golden", "GainGolden.inc"))
