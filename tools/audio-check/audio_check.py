#!/usr/bin/python3
"""Measures a capture of the game's sound: DC offset, clipping, levels and the step at the end.

A capture is the raw stream the game hands its device: signed 16-bit little-endian stereo at
44100 Hz (make one with capture.sh in this folder, or SDL_AUDIODRIVER=disk). Given --music, a
capture of the music alone (the title screen left alone), the script lines the two up and takes
the difference as the effects, so their level can be set against the music's.

Usage: audio_check.py CAPTURE.raw [--music MUSIC_ONLY.raw]
"""
import argparse
import array
import math
import sys

RATE = 44100
FULL_SCALE = 32768
WINDOW = RATE // 100  # 10 ms
# Below this (about -50 dBFS) a difference is rounding, not an effect.
EFFECT_FLOOR = 100


def read_capture(path):
    samples = array.array("h")
    with open(path, "rb") as f:
        data = f.read()
    samples.frombytes(data[: len(data) // 4 * 4])
    if sys.byteorder == "big":
        samples.byteswap()
    return samples[0::2], samples[1::2]


def sound_span(left, right):
    """First frame and one past the last frame where either channel is not silent."""
    n = len(left)
    start = next((i for i in range(n) if left[i] or right[i]), n)
    end = next((i + 1 for i in range(n - 1, start - 1, -1) if left[i] or right[i]), start)
    return start, end


def rms(values):
    return math.sqrt(sum(v * v for v in values) / len(values)) if values else 0.0


def db(ratio):
    return 20 * math.log10(ratio) if ratio > 0 else float("-inf")


def clip_runs(channel):
    """Clipped samples, the runs they form and the longest run."""
    count = runs = longest = current = 0
    for v in channel:
        if v == 32767 or v == -32768:
            count += 1
            current += 1
            if current == 1:
                runs += 1
            longest = max(longest, current)
        else:
            current = 0
    return count, runs, longest


def largest_jumps(channel, start, end):
    """The largest sample-to-sample step of each 10 ms window in [start, end)."""
    out = []
    for w in range(start + 1, end - WINDOW, WINDOW):
        part = channel[w - 1 : w + WINDOW]
        out.append(max(abs(b - a) for a, b in zip(part, part[1:])))
    return out


def final_step(channel, end):
    """The last sound sample's distance from 0 and the largest step in the last 10 ms,
    the step down to the silence after the sound included."""
    tail = list(channel[max(0, end - WINDOW) : end]) + [0]
    return abs(tail[-2]) if len(tail) > 1 else 0, max(abs(b - a) for a, b in zip(tail, tail[1:]))


def row(name, values, fmt="%12s"):
    print(("%-30s" % name) + "".join(fmt % v for v in values))


def report_capture(left, right):
    start, end = sound_span(left, right)
    print("%d frames (%.2f s); sound from %.3f s to %.3f s" % (len(left), len(left) / RATE, start / RATE, end / RATE))
    if end <= start:
        print("silent")
        return
    row("", ["left", "right"])
    chans = [left[start:end], right[start:end]]
    means = [sum(c) / len(c) for c in chans]
    row("DC offset (units)", ["%.1f" % m for m in means])
    row("DC offset (% of full scale)", ["%.3f%%" % (100 * m / FULL_SCALE) for m in means])
    row("peak", [max(max(c), -min(c)) for c in chans])
    row("RMS", ["%.0f" % rms(c) for c in chans])
    row("RMS without DC", ["%.0f" % math.sqrt(max(0.0, rms(c) ** 2 - m * m)) for c, m in zip(chans, means)])
    clips = [clip_runs(c) for c in (left, right)]
    row("clipped samples", [c[0] for c in clips])
    row("clipped runs (longest)", ["%d (%d)" % (c[1], c[2]) for c in clips])
    typical, last, jump = [], [], []
    for c in (left, right):
        jumps = sorted(largest_jumps(c, start, end - WINDOW))
        typical.append(jumps[len(jumps) // 2] if jumps else 0)
        s, j = final_step(c, end)
        last.append(s)
        jump.append(j)
    row("final step: last sample", last)
    row("largest step in last 10 ms", jump)
    row("typical largest step / 10 ms", typical)
    row("end step / typical", ["%.2f" % (j / t) if t else "-" for j, t in zip(jump, typical)])


def event_peaks(fx):
    """The peak of each effect that starts after 10 ms of quiet, over its first 60 ms: one lone
    voice mostly, so these hold still from one play to the next while the overlaps do not."""
    peaks, quiet, i = [], 0, 0
    while i < len(fx):
        if abs(fx[i]) <= EFFECT_FLOOR:
            quiet += 1
            i += 1
            continue
        if quiet >= WINDOW:
            peaks.append(max(abs(v) for v in fx[i : i + 6 * WINDOW]))
        quiet = 0
        i += 1
    return sorted(peaks)


def align(capture, music):
    """Offset of the music capture against the other: both begin with the music's first note."""
    cs, _ = sound_span(*capture)
    ms, _ = sound_span(*music)
    probe = min(RATE // 10, len(capture[0]) - cs, len(music[0]) - ms - 64)

    def mismatch(k):
        if ms + k < 0:
            return float("inf")
        return sum(abs(a - b) for c, m in zip(capture, music) for a, b in zip(c[cs : cs + probe], m[ms + k : ms + k + probe]))

    best = min(range(-64, 65), key=mismatch)
    return ms + best - cs


def report_effects(capture, music):
    offset = align(capture, music)
    start, end = sound_span(*music)
    start, end = max(start - offset, 0), min(end - offset, len(capture[0]))
    print("\nmusic alone from --music, lined up at %+d frames over %.2f s" % (offset, (end - start) / RATE))
    row("", ["left", "right"])
    music_rms, effect_rms, peaks, share, same, events = [], [], [], [], [], []
    for c, m in zip(capture, music):
        ref = m[start + offset : end + offset]
        fx = [a - b for a, b in zip(c[start:end], ref)]
        active = [v for v in fx if abs(v) > EFFECT_FLOOR]
        # Without its DC: the level one hears.
        music_rms.append(math.sqrt(max(0.0, rms(ref) ** 2 - (sum(ref) / max(1, len(ref))) ** 2)))
        effect_rms.append(rms(active))
        peaks.append((max(max(ref), -min(ref)), max((abs(v) for v in fx), default=0)))
        share.append(100 * len(active) / max(1, len(fx)))
        same.append(100 * fx.count(0) / max(1, len(fx)))
        events.append(event_peaks(fx))
    row("music peak", [p[0] for p in peaks])
    row("music RMS without DC", ["%.0f" % v for v in music_rms])
    row("effects peak", [p[1] for p in peaks])
    row("effects RMS while sounding", ["%.0f" % v for v in effect_rms])
    row("effects sounding (% of time)", ["%.1f%%" % v for v in share])
    row("identical to the music (%)", ["%.1f%%" % v for v in same])
    row("balance effects/music (dB)", ["%+.2f" % db(e / m) if m else "-" for e, m in zip(effect_rms, music_rms)])
    medians = [e[len(e) // 2] if e else 0 for e in events]
    row("effects starting alone", [len(e) for e in events])
    row("  their median peak", medians)
    row("  median peak/music RMS (dB)", ["%+.2f" % db(p / m) if m else "-" for p, m in zip(medians, music_rms)])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("capture")
    parser.add_argument("--music", help="a capture of the music alone, to tell the effects apart")
    args = parser.parse_args()
    capture = read_capture(args.capture)
    report_capture(*capture)
    if args.music:
        report_effects(capture, read_capture(args.music))


if __name__ == "__main__":
    main()
