#!/usr/bin/python3
"""Synthesises the three sound effects as raw 8-bit unsigned mono PCM.

Each effect is designed for the rate the game plays it at, and starts and ends
on the silent level 128 with short fades so that no click is heard.
Usage: gen_sfx.py OUTDIR
"""
import math
import random
import sys
from pathlib import Path


def to_u8(samples):
    out = bytearray()
    for s in samples:
        v = int(round(128 + 127 * max(-1.0, min(1.0, s))))
        out.append(max(1, min(255, v)))
    # The very first and last bytes sit exactly on silence.
    out[0] = 128
    out[-1] = 128
    return bytes(out)


def fade(samples, fade_in, fade_out):
    n = len(samples)
    for i in range(min(fade_in, n)):
        samples[i] *= i / fade_in
    for i in range(min(fade_out, n)):
        samples[n - 1 - i] *= i / fade_out
    return samples


def wall_knock(rate=20000, seconds=0.06):
    """A short bright knock: two inharmonic partials and a breath of noise."""
    rng = random.Random(3)
    n = int(rate * seconds)
    out = []
    noise = 0.0
    for i in range(n):
        t = i / rate
        env = math.exp(-t * 75.0)
        tone = 0.55 * math.sin(2 * math.pi * 1750 * t) + 0.3 * math.sin(2 * math.pi * 2890 * t)
        noise = 0.6 * noise + 0.4 * rng.uniform(-1, 1)
        burst = noise * math.exp(-t * 400.0)
        out.append(0.9 * env * tone + 0.5 * burst)
    return fade(out, 12, 200)


def player_thump(rate=24000, seconds=0.1):
    """A punchy thump: a sine whose pitch falls fast, with a soft click on top."""
    rng = random.Random(4)
    n = int(rate * seconds)
    out = []
    phase = 0.0
    noise = 0.0
    for i in range(n):
        t = i / rate
        freq = 70 + 260 * math.exp(-t * 45.0)
        phase += 2 * math.pi * freq / rate
        env = math.exp(-t * 28.0)
        body = math.sin(phase) + 0.25 * math.sin(2 * phase)
        noise = 0.3 * noise + 0.7 * rng.uniform(-1, 1)
        click = noise * math.exp(-t * 600.0)
        out.append(0.72 * env * body + 0.3 * click)
    return fade(out, 16, 600)


def title_gong(rate=3000, seconds=1.5):
    """A deep gong: inharmonic partials with a slow downward bend."""
    partials = [(1.0, 1.0, 2.2), (1.48, 0.6, 3.0), (2.13, 0.45, 4.0), (2.92, 0.3, 5.5), (4.1, 0.18, 7.0)]
    base = 98.0
    n = int(rate * seconds)
    out = []
    phases = [0.0] * len(partials)
    for i in range(n):
        t = i / rate
        bend = 1.0 - 0.12 * (1 - math.exp(-t * 2.0))
        s = 0.0
        for k, (ratio, amp, decay) in enumerate(partials):
            f = base * ratio * bend
            if f < rate / 2 - 50:
                phases[k] += 2 * math.pi * f / rate
                s += amp * math.exp(-t * decay) * math.sin(phases[k])
        strike = min(1.0, t / 0.01)
        out.append(0.42 * strike * s)
    return fade(out, 8, 450)


def main():
    outdir = Path(sys.argv[1] if len(sys.argv) > 1 else "assets/sfx")
    outdir.mkdir(parents=True, exist_ok=True)
    (outdir / "bounce_20000hz.raw").write_bytes(to_u8(wall_knock()))
    (outdir / "hit_24000hz.raw").write_bytes(to_u8(player_thump()))
    (outdir / "title_3000hz.raw").write_bytes(to_u8(title_gong()))


if __name__ == "__main__":
    main()
