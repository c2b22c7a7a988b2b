#!/usr/bin/env python3
"""Make Velmora's answer sounds: four cheerful rewards and one gentle "try again".

Writes si1.wav ... si4.wav (right answer) and no.wav (wrong answer) into
OUTDIR as 16-bit mono PCM at 22050 Hz, each under a second long. The rewards
peak at -3 dBFS; the wrong-answer tone is softer. Every note fades in and
out, so nothing clicks. The output is the same on every run. Standard
library only. Called as:

  make_sounds.py OUTDIR
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
PEAK_DBFS = -3.0
# The wrong-answer tone is steady, so at the same peak it would sound louder
# than the rewards; it stays a little quieter, as befits "try again".
GENTLE_PEAK_DBFS = -9.0

# Note frequencies in Hz.
CS4, E4 = 277.18, 329.63
G4, C5, E5, G5 = 392.00, 523.25, 659.26, 783.99
C6, D6, E6, G6, A6, C7, E7 = 1046.50, 1174.66, 1318.51, 1567.98, 1760.00, 2093.00, 2637.02

# Timbres as (frequency ratio, amplitude) partials.
MARIMBA = ((1, 1.0), (4, 0.12), (10, 0.02))
BELL = ((1, 1.0), (2.0, 0.35), (3.01, 0.15), (4.17, 0.08))
FLUTE = ((1, 1.0), (2, 0.3), (3, 0.1))
GLASS = ((1, 1.0), (2.0, 0.15))
OCARINA = ((1, 1.0), (2, 0.12), (3, 0.03))


def silence(seconds):
    return [0.0] * round(seconds * RATE)


def envelope(t, length, attack, release, decay):
    """Raised-cosine fade in and out, with an optional exponential decay between."""
    gain = 1.0
    if t < attack:
        gain *= 0.5 - 0.5 * math.cos(math.pi * t / attack)
    if decay:
        gain *= math.exp(-t / decay)
    left = length - t
    if left < release:
        gain *= 0.5 - 0.5 * math.cos(math.pi * left / release)
    return gain


def add_note(buf, start, length, freq, partials, attack=0.008, release=0.04,
             decay=None, glide=1.0, vibrato=0.0, level=1.0):
    """Mix one note into buf; glide bends the pitch by that ratio over the note."""
    first, count = round(start * RATE), round(length * RATE)
    phases = [0.0] * len(partials)
    for i in range(min(count, len(buf) - first)):
        t = i / RATE
        f = freq * (1 + (glide - 1) * i / count)
        f *= 1 + vibrato * math.sin(2 * math.pi * 5.5 * t)
        sample = 0.0
        for k, (ratio, amp) in enumerate(partials):
            if f * ratio < RATE / 2:
                phases[k] += 2 * math.pi * f * ratio / RATE
                sample += amp * math.sin(phases[k])
        buf[first + i] += level * envelope(t, length, attack, release, decay) * sample


def arpeggio():
    """A marimba running up a major chord."""
    buf = silence(0.75)
    for i, freq in enumerate((C5, E5, G5, C6)):
        start = i * 0.09
        add_note(buf, start, 0.75 - start, freq, MARIMBA, decay=0.12 if i < 3 else 0.2)
    return buf


def chime():
    """Two bell strikes a sixth apart, ringing together."""
    buf = silence(0.9)
    add_note(buf, 0.0, 0.9, G5, BELL, attack=0.004, decay=0.3, level=0.8)
    add_note(buf, 0.16, 0.74, E6, BELL, attack=0.004, decay=0.3)
    return buf


def ta_da():
    """A short pick-up note, then a held major chord with a little vibrato."""
    buf = silence(0.85)
    add_note(buf, 0.0, 0.14, G4, FLUTE, attack=0.015, release=0.05)
    for freq in (C5, E5, G5):
        add_note(buf, 0.16, 0.69, freq, FLUTE, attack=0.02, release=0.25,
                 vibrato=0.006, level=0.6)
    return buf


def sparkle():
    """Quick glassy pings climbing a pentatonic scale."""
    buf = silence(0.7)
    for i, freq in enumerate((C6, D6, E6, G6, A6, C7, E7)):
        start = i * 0.055
        add_note(buf, start, 0.7 - start, freq, GLASS, attack=0.003, decay=0.07,
                 level=0.5 + 0.08 * i)
    return buf


def uh_oh():
    """A soft falling minor third, sagging a little at the end: "uh-oh"."""
    buf = silence(0.7)
    add_note(buf, 0.0, 0.24, E4, OCARINA, attack=0.03, release=0.06)
    add_note(buf, 0.24, 0.46, CS4, OCARINA, attack=0.03, release=0.15, decay=0.6, glide=0.97)
    return buf


SOUNDS = {"si1.wav": (arpeggio, PEAK_DBFS), "si2.wav": (chime, PEAK_DBFS),
          "si3.wav": (ta_da, PEAK_DBFS), "si4.wav": (sparkle, PEAK_DBFS),
          "no.wav": (uh_oh, GENTLE_PEAK_DBFS)}


def write_wav(path, samples, peak_dbfs):
    scale = 10 ** (peak_dbfs / 20) / max(abs(s) for s in samples)
    frames = struct.pack(f"<{len(samples)}h", *(round(s * scale * 32767) for s in samples))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    for name, (make, peak_dbfs) in SOUNDS.items():
        write_wav(os.path.join(outdir, name), make(), peak_dbfs)
    return 0


if __name__ == "__main__":
    sys.exit(main())
