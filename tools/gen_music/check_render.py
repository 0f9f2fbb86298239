#!/usr/bin/python3
"""Looks at a float WAV rendered by openmpt123: levels per section and the loop seam.

Usage: check_render.py FILE.wav LOOP_SECONDS
"""
import array
import struct
import sys


def read_float_wav(path):
    data = open(path, "rb").read()
    pos = 12
    channels = rate = None
    while pos < len(data):
        cid, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt, channels, rate = struct.unpack("<HHI", body[:8])
        elif cid == b"data":
            samples = array.array("f")
            samples.frombytes(body[: len(body) // 4 * 4])
            return channels, rate, samples
        pos += 8 + size + (size & 1)
    raise SystemExit("no data chunk")


def main():
    ch, rate, s = read_float_wav(sys.argv[1])
    loop = float(sys.argv[2])
    frames = len(s) // ch
    mono = [0.5 * (s[2 * i] + s[2 * i + 1]) for i in range(frames)] if ch == 2 else list(s)
    peak = max(abs(v) for v in s)
    print("frames %d, %.2f s, peak %.3f" % (frames, frames / rate, peak))
    sec = rate * 4
    for start in range(0, frames, sec):
        seg = mono[start:start + sec]
        rms = (sum(v * v for v in seg) / max(1, len(seg))) ** 0.5
        print("%6.1f s  rms %.3f  %s" % (start / rate, rms, "#" * int(rms * 200)))
    # The seam: the largest sample step near the loop against the song's typical largest step.
    def max_step(a, b):
        return max(abs(mono[i] - mono[i - 1]) for i in range(max(1, a), min(frames, b)))
    at = int(loop * rate)
    seam = max_step(at - 200, at + 200)
    typical = sorted(max_step(i, i + 400) for i in range(rate, at - rate, rate))
    print("loop seam max step %.4f; per-second max steps median %.4f, max %.4f" % (seam, typical[len(typical) // 2], typical[-1]))


if __name__ == "__main__":
    main()
