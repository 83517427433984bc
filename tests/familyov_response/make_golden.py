#!/usr/bin/python3
"""Writes golden/ResponseGolden.inc: reference responses for the filter response tests.

The references come from scipy.signal (Butterworth and Bessel prototypes, polynomial evaluation)
and from the textbook transfer functions of the peaking, shelving, horn and allpass sections,
written here from their definitions rather than from the C++ code. Run once after a deliberate
change of the tables, review the diff and commit the output:

    /usr/bin/python3 tests/familyov_response/make_golden.py
"""

import math
import os

import numpy as np
from scipy import signal

PARAMETRIC, LOWPASS, HIGHPASS, LOW_SHELF, HIGH_SHELF = 3, 4, 5, 6, 7
LOW_CROSSOVER, HIGH_CROSSOVER, BOOST_CUT, CD_HORN, ALLPASS = 8, 9, 10, 11, 12
NONE, BUTTERWORTH, BESSEL, LINKWITZ_RILEY = 0, 1, 2, 3
SAMPLE_RATE_HZ = 48000.0

# Frequencies relative to the filter frequency: well below, around and well above it.
RELATIVE_FREQUENCIES = [0.1, 0.33, 0.7, 0.95, 1.0, 1.05, 1.4, 3.0, 9.5]


def frequencies_around(f0):
    """Test frequencies as the C++ side holds them: single precision."""
    around = [float(np.float32(f0 * r)) for r in RELATIVE_FREQUENCIES if f0 * r <= 24000.0]
    return around + [20.0, 20000.0]


def analogue(b, a, f):
    """H(j f) of the polynomial ratio b(s) / a(s) (highest power first), s in the units of f."""
    return signal.freqs(b, a, worN=[f])[1][0]


def level_gain(level_db):
    return 10.0 ** (level_db / 20.0)


def parametric(f0, level_db, q, f):
    # Peaking section: (s^2 + A w0/Q s + w0^2) / (s^2 + w0/Q s + w0^2).
    a_gain = level_gain(level_db)
    return analogue([1.0, a_gain * f0 / q, f0 * f0], [1.0, f0 / q, f0 * f0], f)


def boost_cut(f0, level_db, q, f):
    # Constant-Q boost/cut: the zeros and poles share w0 and move apart by sqrt(A) either way.
    r = math.sqrt(level_gain(level_db))
    return analogue([1.0, f0 * r / math.sqrt(q), f0 * f0], [1.0, f0 / (r * math.sqrt(q)), f0 * f0], f)


def shelf_corners(f0, level_db, other_corner):
    """(zero, pole) of a first-order shelf: a boost puts its zero at f0, a cut its pole."""
    return (f0, other_corner) if level_db >= 0.0 else (other_corner, f0)


def shelf_span(level_db):
    """The second corner lies |level| / 6 octaves from f0."""
    return 2.0 ** (abs(level_db) / 6.0)


def low_shelf(f0, level_db, f):
    zero, pole = shelf_corners(f0, level_db, f0 / shelf_span(level_db))
    return analogue([1.0, zero], [1.0, pole], f)


def high_shelf(f0, level_db, f):
    zero, pole = shelf_corners(f0, level_db, f0 * shelf_span(level_db))
    return level_gain(level_db) * analogue([1.0, zero], [1.0, pole], f)


def butterworth(order, f0, kind, f):
    if order <= 0:
        return 1.0 + 0.0j
    b, a = signal.butter(order, f0, btype=kind, analog=True)
    return analogue(b, a, f)


def bessel(order, f0, kind, f):
    b, a = signal.bessel(order, f0, btype=kind, analog=True, norm="mag")
    return analogue(b, a, f)


def crossover(crossover_type, order, f0, kind, f):
    if crossover_type == BUTTERWORTH:
        return butterworth(order, f0, kind, f)
    if crossover_type == LINKWITZ_RILEY:
        return butterworth(order // 2, f0, kind, f) ** 2
    if crossover_type == BESSEL:
        return bessel(order, f0, kind, f)
    return 1.0 + 0.0j


def cd_horn(f0, order, f):
    zeros = 1 if order == 1 else 2
    return analogue(np.poly1d([1.0 / f0, 1.0]) ** zeros, [1.0], f)


def allpass(f0, order, f):
    # First-order digital allpass (c + z^-1) / (1 + c z^-1), -90 degrees at f0, per section.
    t = math.tan(math.pi * f0 / SAMPLE_RATE_HZ)
    c = (t - 1.0) / (t + 1.0)
    h = signal.freqz([c, 1.0], [1.0, c], worN=[f], fs=SAMPLE_RATE_HZ)[1][0]
    return h ** order


def highpass_magnitude_db(f0, order, f, h):
    # Well above ten times its corner the family draws the high-pass as flat.
    if np.float32(f) / np.float32(f0) > np.float32(10.0):
        return 0.0
    return 20.0 * math.log10(abs(h))


def response_rows():
    rows = []

    def add(type_code, f0, level, q, order, crossover_type, f, h, mag_db=None):
        if mag_db is None:
            mag_db = 20.0 * math.log10(abs(h))
        rows.append((type_code, f0, level, q, order, crossover_type, f, mag_db, float(np.angle(h))))

    for f0, level, q in [(1000, 6.0, 1.0), (1000, -12.0, 4.3), (250, 12.0, 0.5), (5000, -70.0, 10.0),
                         (80, 3.0, 8.7), (1000, 0.0, 2.0)]:
        for f in frequencies_around(f0):
            add(PARAMETRIC, f0, level, q, 0, 0, f, parametric(f0, level, q, f))
    for f0, level, q in [(1000, 6.0, 1.414), (630, -12.0, 4.3), (4000, 9.0, 0.7)]:
        for f in frequencies_around(f0):
            add(BOOST_CUT, f0, level, q, 0, 0, f, boost_cut(f0, level, q, f))
    for order in range(1, 9):
        for f in frequencies_around(1000):
            add(LOWPASS, 1000, 0.0, 1.0, order, 0, f, butterworth(order, 1000, "lowpass", f))
        for f in frequencies_around(1000) + [10010.0]:
            h = butterworth(order, 1000, "highpass", f)
            add(HIGHPASS, 1000, 0.0, 1.0, order, 0, f, h, highpass_magnitude_db(1000, order, f, h))
    for order in (1, 2):
        for f in (999.0, 1000.0, 1001.0):
            h = butterworth(order, 100, "highpass", f)
            add(HIGHPASS, 100, 0.0, 1.0, order, 0, f, h, highpass_magnitude_db(100, order, f, h))
    for f0, level in [(1000, 6.0), (1000, -6.0), (200, 12.0), (5000, -3.7), (1000, 0.0)]:
        for f in frequencies_around(f0) + [0.0]:
            add(LOW_SHELF, f0, level, 1.0, 0, 0, f, low_shelf(f0, level, f))
            add(HIGH_SHELF, f0, level, 1.0, 0, 0, f, high_shelf(f0, level, f))
    for f0, order in [(1000, 1), (1000, 2), (3000, 2)]:
        for f in frequencies_around(f0):
            add(CD_HORN, f0, 0.0, 1.0, order, 0, f, cd_horn(f0, order, f))
    for f0, order in [(1000, 1), (1000, 2), (100, 1), (12000, 2)]:
        for f in frequencies_around(f0) + [0.0]:
            add(ALLPASS, f0, 0.0, 1.0, order, 0, f, allpass(f0, order, f), mag_db=0.0)
    for crossover_type in (NONE, BUTTERWORTH, BESSEL, LINKWITZ_RILEY):
        for order in range(1, 9):
            for f in frequencies_around(2500):
                add(LOW_CROSSOVER, 2500, 0.0, 1.0, order, crossover_type, f,
                    crossover(crossover_type, order, 2500, "lowpass", f))
                add(HIGH_CROSSOVER, 2500, 0.0, 1.0, order, crossover_type, f,
                    crossover(crossover_type, order, 2500, "highpass", f))
    return rows


def network_rows():
    """Low and high crossover of one type, order and frequency on two outputs, summed."""
    rows = []
    for crossover_type in (BUTTERWORTH, BESSEL, LINKWITZ_RILEY):
        for order in range(1, 9):
            for polarity in (1.0, -1.0):
                for f in frequencies_around(1000):
                    h = (crossover(crossover_type, order, 1000, "lowpass", f) +
                         polarity * crossover(crossover_type, order, 1000, "highpass", f))
                    if abs(h) < 1e-6:
                        continue  # an exact null: rounding alone decides its depth
                    rows.append((crossover_type, order, polarity, f, 20.0 * math.log10(abs(h)),
                                 float(np.angle(h))))
    return rows


def q_bandwidth_rows():
    # Bandwidth N of a peak: Q = sqrt(2^N) / (2^N - 1), so N = 2 asinh(1 / (2 Q)) / ln 2.
    return [(q, 2.0 * math.asinh(1.0 / (2.0 * q)) / math.log(2.0))
            for q in (0.1, 0.5, 0.7071, 1.0, 1.414, 2.0, 4.3, 8.7, 20.0, 100.0)]


def write(path):
    with open(path, "w", encoding="ascii") as out:
        out.write("// Generated by make_golden.py; do not edit.\n")
        out.write("// {type, f0, level dB, Q, order, crossover type, f Hz, magnitude dB, phase rad}\n")
        out.write("inline const GoldenResponse kGoldenResponses[] = {\n")
        for t, f0, level, q, order, xtype, f, mag, phase in response_rows():
            out.write(f"    {{{t}, {f0}, {level!r}f, {q!r}f, {order}, {xtype}, {f!r}f, {mag:.12g}, "
                      f"{phase:.12g}}},\n")
        out.write("};\n\n")
        out.write("// {crossover type, order, polarity of the high side, f Hz, magnitude dB, phase rad}\n")
        out.write("inline const GoldenNetworkSum kGoldenNetworkSums[] = {\n")
        for xtype, order, polarity, f, mag, phase in network_rows():
            out.write(f"    {{{xtype}, {order}, {polarity!r}f, {f!r}f, {mag:.12g}, {phase:.12g}}},\n")
        out.write("};\n\n")
        out.write("// {Q, bandwidth in octaves}\n")
        out.write("inline const GoldenQBandwidth kGoldenQBandwidths[] = {\n")
        for q, n in q_bandwidth_rows():
            out.write(f"    {{{q!r}f, {n:.12g}}},\n")
        out.write("};\n")


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write(os.path.join(here, "golden", "ResponseGolden.inc"))
