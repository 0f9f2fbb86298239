#!/usr/bin/python3
"""Composes the game's music and writes it as a 4-channel ProTracker module.

Every sample is synthesised here and every pattern is composed here. The song
is in A minor at 125 BPM (speed 6), thirteen patterns of four bars, a little
over 99 seconds before it loops back to the intro. The outro ends on the
dominant and fades the lead out, so the return to the intro is seamless.
Usage: gen_music.py OUT.mod
"""
import itertools
import math
import random
import struct
import sys
from pathlib import Path

# ProTracker periods, finetune 0, for C-1 .. B-3.
PERIODS = [
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
]
RATE_C2 = 3546894.6 / 428  # playback rate of a sample at C-2

NOTE_NAMES = {"C": 0, "C#": 1, "D": 2, "D#": 3, "E": 4, "F": 5, "F#": 6, "G": 7, "G#": 8, "A": 9, "A#": 10, "B": 11}


def midi(name):
    n, octave = name[:-1], int(name[-1])
    return 12 * (octave + 1) + NOTE_NAMES[n]


# ---------------------------------------------------------------- samples


def to_s8(values, gain=1.0):
    out = bytearray()
    for v in values:
        x = int(round(max(-1.0, min(1.0, v * gain)) * 127))
        out.append(x & 0xFF)
    if len(out) % 2:
        out.append(0)
    return bytes(out)


def bass_sample():
    """A plucked saw: eight bright cycles settling into a looped softer cycle."""
    cyc = 64
    def cycle(bright, start=0):
        vals = []
        for i in range(cyc):
            x = (i + start) / cyc
            s = 0.0
            for k in range(1, 12):
                s += (math.sin(2 * math.pi * k * x) / k) * math.exp(-k * (1.0 - bright) * 0.45)
            s += 0.5 * math.sin(2 * math.pi * x)
            vals.append(s * 0.55)
        return vals
    # The next note cuts this one at any point of a cycle, and the part-cycle left over is an
    # offset. Starting each cycle where its running sum equals that sum's average makes those
    # leftovers cancel over many notes instead of all pulling one way.
    running = list(itertools.accumulate(cycle(0.4)))
    average = sum(running) / cyc
    start = min(range(cyc), key=lambda i: abs(running[i] - average)) + 1
    data = []
    for c in range(8):
        data += cycle(1.0 - c / 8 * 0.6, start)
    loop = cycle(0.4, start)
    data += loop
    body = to_s8(data)
    return body, len(body) - cyc, cyc


def lead_sample():
    """A pulse whose width sweeps up and back over the loop, for a gentle chorus."""
    cyc, cycles = 32, 32
    data = []
    for c in range(cycles):
        duty = 0.28 + 0.17 * (1 - abs(c / cycles * 2 - 1))
        raw = [1.0 if (i / cyc) < duty else -1.0 for i in range(cyc)]
        # A soft low-pass keeps the edges from buzzing.
        cycle = [0.25 * raw[i - 1] + 0.5 * raw[i] + 0.25 * raw[(i + 1) % cyc] for i in range(cyc)]
        # A pulse narrower than half sits below zero on average; centring each cycle keeps
        # that offset out of the mix, where it would only eat headroom.
        mean = sum(cycle) / cyc
        data += [v - mean for v in cycle]
    body = to_s8(data, 0.62)
    return body, 0, len(body)


def pluck_sample():
    """A short decaying triangle-and-square pluck for the chord arpeggios."""
    cyc = 32
    n = 2600
    data = []
    for i in range(n):
        x = (i % cyc) / cyc
        tri = 4 * abs(x - 0.5) - 1
        sq = 1.0 if x < 0.5 else -1.0
        env = math.exp(-i / RATE_C2 * 9.0) * min(1.0, i / 30)
        data.append((0.7 * tri + 0.3 * sq) * env)
    data[-40:] = [v * (k / 40) for k, v in zip(range(40, 0, -1), data[-40:])]
    return to_s8(data, 0.8), 0, 0


def kick_sample():
    rate = RATE_C2
    n = int(rate * 0.3)
    data, ph = [], 0.0
    for i in range(n):
        t = i / rate
        f = 45 + 130 * math.exp(-t * 28)
        ph += 2 * math.pi * f / rate
        env = math.exp(-t * 9) * min(1.0, i / 4)
        data.append(math.sin(ph) * env)
    data[-60:] = [v * (k / 60) for k, v in zip(range(60, 0, -1), data[-60:])]
    return to_s8(data, 0.95), 0, 0


def snare_sample():
    rate = RATE_C2 * 2  # played at C-3
    rng = random.Random(7)
    n = int(rate * 0.2)
    data, lp, ph = [], 0.0, 0.0
    for i in range(n):
        t = i / rate
        lp = 0.55 * lp + 0.45 * rng.uniform(-1, 1)
        ph += 2 * math.pi * 185 / rate
        v = lp * math.exp(-t * 16) + 0.55 * math.sin(ph) * math.exp(-t * 35)
        data.append(v * min(1.0, i / 6))
    data[-80:] = [v * (k / 80) for k, v in zip(range(80, 0, -1), data[-80:])]
    return to_s8(data, 0.9), 0, 0


def hat_sample(length, decay):
    rate = RATE_C2 * 2
    rng = random.Random(9)
    n = int(rate * length)
    data, prev = [], 0.0
    for i in range(n):
        t = i / rate
        x = rng.uniform(-1, 1)
        data.append((x - prev) * 0.5 * math.exp(-t * decay) * min(1.0, i / 4))
        prev = x
    data[-30:] = [v * (k / 30) for k, v in zip(range(30, 0, -1), data[-30:])]
    return to_s8(data, 0.8), 0, 0


# Sample numbers (1-based) and the MIDI note each sounds at MOD note C-1.
KICK, SNARE, HAT, OHAT, BASS, LEAD, PLUCK = 1, 2, 3, 4, 5, 6, 7
BASE = {BASS: midi("C2"), LEAD: midi("C3"), PLUCK: midi("C3")}


def build_samples():
    return [
        ("kick", kick_sample(), 64),
        ("snare", snare_sample(), 52),
        ("hat", hat_sample(0.05, 70), 40),
        ("open hat", hat_sample(0.18, 16), 34),
        ("bass", bass_sample(), 50),
        ("lead", lead_sample(), 40),
        ("pluck", pluck_sample(), 30),
    ]


# ---------------------------------------------------------------- patterns


class Pattern:
    def __init__(self):
        self.cells = [[None] * 4 for _ in range(64)]  # (period, sample, effect, param)

    def note(self, row, ch, period, sample, effect=0, param=0):
        self.cells[row][ch] = (period, sample, effect, param)

    def fx(self, row, ch, effect, param):
        cur = self.cells[row][ch]
        if cur is None:
            self.cells[row][ch] = (0, 0, effect, param)
        else:
            self.cells[row][ch] = (cur[0], cur[1], effect, param)

    def pack(self):
        out = bytearray()
        for row in self.cells:
            for cell in row:
                period, sample, effect, param = cell if cell else (0, 0, 0, 0)
                out += bytes([
                    (sample & 0xF0) | ((period >> 8) & 0x0F),
                    period & 0xFF,
                    ((sample & 0x0F) << 4) | (effect & 0x0F),
                    param & 0xFF,
                ])
        return bytes(out)


def period_of(sample, note):
    idx = midi(note) - BASE[sample] if isinstance(note, str) else note - BASE[sample]
    if not 0 <= idx < 36:
        raise ValueError("note %s out of range for sample %d" % (note, sample))
    return PERIODS[idx]


CH_DRUM, CH_BASS, CH_ARP, CH_LEAD = 0, 1, 2, 3

CHORDS = {
    "Am": ("A2", 0x37), "F": ("F2", 0x47), "C": ("C3", 0x47), "G": ("G2", 0x47),
    "E": ("E2", 0x47), "Dm": ("D3", 0x37), "Em": ("E2", 0x37),
}


def drums(p, style, fill=False):
    """style: 0 none, 1 hats only, 2 kick and hats, 3 full beat."""
    if style == 0:
        return
    for bar in range(4):
        for step in range(16):
            row = bar * 16 + step
            if fill and bar == 3 and step >= 8:
                vol = 0x20 + (step - 8) * 4
                p.note(row, CH_DRUM, PERIODS[24], SNARE, 0xC, vol if step % 2 == 0 or step > 11 else 0x18)
                continue
            if style >= 2 and step in (0, 8) or (style == 3 and step == 10 and bar % 2 == 1):
                p.note(row, CH_DRUM, PERIODS[12], KICK)
            elif style == 3 and step in (4, 12):
                p.note(row, CH_DRUM, PERIODS[24], SNARE)
            elif step in (2, 6, 10, 14):
                sample = OHAT if step == 14 and bar % 2 == 1 else HAT
                p.note(row, CH_DRUM, PERIODS[24], sample, 0xC, 0x28)
            elif style == 3 and step % 2 == 1 and step not in (3, 11):
                p.note(row, CH_DRUM, PERIODS[24], HAT, 0xC, 0x10)


def bass(p, chords, style=1):
    for bar, name in enumerate(chords):
        root = midi(CHORDS[name][0])
        if root > midi("B2"):
            root -= 12
        fifth = root + 7
        line = {
            1: [(0, root), (4, root), (8, root), (12, root)],
            2: [(0, root), (2, root), (4, root + 12), (6, root), (8, root), (10, fifth), (12, root + 12), (14, root)],
        }[style]
        for step, n in line:
            vol = 0x30 if step % 4 == 0 else 0x24
            p.note(bar * 16 + step, CH_BASS, period_of(BASS, n), BASS, 0xC, vol)


def arps(p, chords, every=4):
    """Pluck chords retriggered every few rows; the arpeggio effect runs on every row."""
    for bar, name in enumerate(chords):
        root, arp = CHORDS[name]
        base = midi(root) + 12
        for step in range(16):
            row = bar * 16 + step
            if step % every == 0:
                p.note(row, CH_ARP, period_of(PLUCK, base), PLUCK, 0x0, arp)
            else:
                p.fx(row, CH_ARP, 0x0, arp)


def melody(p, bars, vol=0x30, decay=True, octave=0):
    """bars: four strings of 16 tokens: a note name starts a note, '-' holds, '.' silences."""
    row = 0
    for bar in bars:
        toks = bar.split()
        assert len(toks) == 16, bar
        for tok in toks:
            if tok == ".":
                p.note(row, CH_LEAD, 0, 0, 0xC, 0)
            elif tok != "-":
                n = midi(tok) + 12 * octave
                p.note(row, CH_LEAD, period_of(LEAD, n), LEAD, 0xC, vol)
            elif decay:
                p.fx(row, CH_LEAD, 0xA, 0x01)
            row += 1


A1 = ["E5 - - - C5 - D5 - E5 - - - A4 - - -",
      "F5 - - - E5 - C5 - A4 - - - C5 - - -",
      "G5 - - - E5 - C5 - E5 - G5 - E5 - - -",
      "D5 - - - B4 - G4 - B4 - D5 - G5 - - -"]
A2 = ["A5 - - - G5 - E5 - C5 - D5 - E5 - - -",
      "F5 - - - A5 - - - G5 - F5 - E5 - C5 -",
      "D5 - - - G4 - B4 - D5 - - - E5 - D5 -",
      "B4 - - - - - - - G#4 - - - B4 - - -"]
B1 = ["D5 - F5 - A5 - - - G5 - F5 - E5 - D5 -",
      "C5 - - - E5 - A4 - - - B4 - C5 - - -",
      "A4 - C5 - F5 - - - E5 - F5 - G5 - - -",
      "B4 - - - D5 - G5 - - - F5 - E5 - D5 -"]
B2 = ["F5 - - - E5 - D5 - A4 - - - D5 - F5 -",
      "E5 - - - - - C5 - A4 - C5 - E5 - - -",
      "F5 - - - A5 - G5 - F5 - E5 - C5 - - -",
      "E5 - - - - - - - D5 - C5 - B4 - G#4 -"]
BREAK = ["C5 - - - - - - - A4 - - - - - - -",
         "D5 - - - - - - - B4 - - - - - - -",
         "E5 - - - - - - - - - - - - - - -",
         "- - - - - - - - . . . . . . . ."]
BUILD = [". . . . . . . . . . . . . . . .",
         ". . . . . . . . . . . . . . . .",
         ". . . . . . . . . . . . . . . .",
         "E4 - - - G#4 - - - B4 - - - D5 - - -"]
C1 = ["C5 - A4 - C5 - F5 - - - E5 - F5 - A5 -",
      "G5 - - - D5 - - - B4 - D5 - G5 - - -",
      "E5 - G5 - B5 - - - A5 - G5 - E5 - - -",
      "A5 - - - - - - - E5 - - - C5 - - -"]
C2 = ["A5 - - - G5 - F5 - C5 - - - F5 - A5 -",
      "B5 - - - A5 - G5 - D5 - - - G5 - B5 -",
      "G5 - - - E5 - C5 - G4 - C5 - E5 - G5 -",
      "G#5 - - - - - - - E5 - - - B4 - - -"]
OUTRO = ["A4 - - - - - - - - - - - - - - -",
         "C5 - - - - - - - - - - - - - - -",
         "B4 - - - - - - - - - - - - - - -",
         "G#4 - - - - - - - - - - - . . . ."]


def compose():
    pats = []

    def new(chords, drum_style, bass_style, arp_style, lead=None, vol=0x28, fill=False, decay=True):
        p = Pattern()
        drums(p, drum_style, fill)
        bass(p, chords, bass_style)
        if arp_style:
            arps(p, chords, 4 if arp_style == 1 else 2)
        if lead:
            melody(p, lead, vol, decay)
        pats.append(p)
        return len(pats) - 1

    intro1 = new(["Am", "F", "C", "G"], 1, 1, 0)
    intro2 = new(["Am", "F", "G", "E"], 2, 2, 1, fill=True)
    a1 = new(["Am", "F", "C", "G"], 3, 2, 2, A1)
    a2 = new(["Am", "F", "G", "E"], 3, 2, 2, A2, fill=True)
    b1 = new(["Dm", "Am", "F", "G"], 3, 2, 1, B1)
    b2 = new(["Dm", "Am", "F", "E"], 3, 2, 1, B2, fill=True)
    brk = new(["F", "G", "Am", "Am"], 1, 1, 2, BREAK, 0x24, decay=False)
    bld = new(["F", "G", "E", "E"], 2, 2, 2, BUILD, fill=True)
    c1 = new(["F", "G", "Em", "Am"], 3, 2, 2, C1)
    c2 = new(["F", "G", "C", "E"], 3, 2, 2, C2, fill=True)
    out = new(["Am", "F", "G", "E"], 2, 1, 1, OUTRO, 0x22, decay=True)
    # The outro's last notes fade to nothing so the loop starts clean.
    for row in range(52, 64):
        pats[out].fx(row, CH_LEAD, 0xA, 0x04)
    order = [intro1, intro2, a1, a2, b1, b2, brk, bld, a1, a2, c1, c2, out]
    return pats, order


def write_mod(path):
    samples = build_samples()
    pats, order = compose()
    head = bytearray(b"zorbit orbit".ljust(20, b"\0"))
    for i in range(31):
        if i < len(samples):
            name, (data, loop_start, loop_len), vol = samples[i]
            length = len(data) // 2
            if loop_len:
                rep_start, rep_len = loop_start // 2, loop_len // 2
            else:
                rep_start, rep_len = 0, 1
            head += name.encode().ljust(22, b"\0")
            head += struct.pack(">HBBHH", length, 0, vol, rep_start, rep_len)
        else:
            head += b"\0" * 22 + struct.pack(">HBBHH", 0, 0, 0, 0, 1)
    head += bytes([len(order), 0])
    head += bytes(order + [0] * (128 - len(order)))
    head += b"M.K."
    for p in pats:
        head += p.pack()
    for _, (data, _, _), _ in samples:
        head += data
    Path(path).write_bytes(bytes(head))


if __name__ == "__main__":
    write_mod(sys.argv[1] if len(sys.argv) > 1 else "assets/music/zorbit.mod")
