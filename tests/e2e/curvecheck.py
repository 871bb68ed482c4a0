"""Checks for the CurveSound end-to-end run: the drawing area on screen, and a
saved file against the drawn volume or channel path applied to the whole file.

  curvecheck.py area <screen.rgb> <width> <height>
  curvecheck.py volume <before.wav> <after.wav> x,y x,y ...
  curvecheck.py channels <before.wav> <after.wav> x,y x,y ...
"""
import struct
import sys
from fractions import Fraction

from wavecheck import data_span, pack, values


def f32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


PIXEL_SHARE = Fraction(f32(0.0033333334))  # 1/300 in single precision
PERCENT = f32(0.01)


def share(dx, length):
    return int(dx * PIXEL_SHARE * length) if dx > 0 else 0


def scale(v, gain, lo, hi):
    """trunc(v * gain) clamped from its full value, as the sample routines do."""
    x = v * gain
    if x >= hi:
        return hi
    if x >= lo:
        return int(x)
    return lo


def sample(v, bits, gain):
    if bits == 8:
        return scale(v - 128, gain, -128, 127) + 128
    return scale(v, gain, -32768, 32767)


def factor(y):
    return f32(f32(200 - y) * PERCENT)


def volume_path(v, bits, pins):
    """Segment by segment: value k of v values gets t + k (e - t) / v in single
    precision, the last exactly e."""
    out = list(v)
    d, n = 0, len(v)
    for (x0, y0), (x1, y1) in zip(pins, pins[1:]):
        count = share(x1 - x0, n)
        t, e = factor(y0), factor(y1)
        for k in range(1, count + 1):
            j = d + k - 1
            if j >= n:
                break
            gain = e if k == count else f32(t + k * ((e - t) / count))
            out[j] = sample(out[j], bits, gain)
        d += count
    return out


def channel_fade(v, bits, start, length, left_to_right):
    """One full channel fade over bytes start .. start + length of stereo data."""
    if length == 0:
        return
    if bits == 8:
        first = start + (1 if start % 2 else 0)
        frames = [first + 2 * f for f in range((length - 1) // 2 + 1)]
        step = f32(1.0 / f32(length // 2))
    else:
        aligned = start + start % 4
        frames = list(range(aligned // 2, (aligned + length) // 2, 2))
        step = f32(1.0 / f32(length // 4))
    g = 1.0
    for left in frames:
        if left + 2 > len(v):  # frames that would reach past the data stay
            break
        gl, gr = (g, 1.0 - g) if left_to_right else (1.0 - g, g)
        v[left] = sample(v[left], bits, gl)
        v[left + 1] = sample(v[left + 1], bits, gr)
        g -= step


def channel_path(v, bits, pins):
    out = list(v)
    size = len(v) * (bits // 8)
    for (x0, y0), (x1, y1) in zip(pins, pins[1:]):
        start, length = share(x0, size), share(x1 - x0, size)
        if y1 <= y0 - 2:
            channel_fade(out, bits, start, length, True)
        elif y1 >= y0:
            channel_fade(out, bits, start, length, False)
    return out


def drawing_area(rgb_path, width, height):
    """The top left of the drawing area: a black border 300 pixels wide whose
    next row is white inside."""
    raw = open(rgb_path, 'rb').read()

    def px(x, y):
        i = 3 * (y * width + x)
        return raw[i:i + 3]

    black, white = b'\x00\x00\x00', b'\xff\xff\xff'
    for y in range(height - 2):
        row = raw[3 * y * width:3 * (y + 1) * width]
        x = row.find(black * 300)
        while x >= 0 and x % 3:
            x = row.find(black * 300, x + 1)
        if x < 0:
            continue
        x //= 3
        if px(x - 1, y) != black and all(px(x + i, y + 1) == white for i in range(1, 299)):
            return x, y
    sys.exit('no drawing area on the screen')


def check(kind, before, after, pins):
    raw0, raw1 = open(before, 'rb').read(), open(after, 'rb').read()
    off, size, bits = data_span(raw0)
    v0 = values(raw0, off, size, bits)
    path = volume_path if kind == 'volume' else channel_path
    expected = raw0[:off] + pack(path(v0, bits, pins), bits) + raw0[off + size:]
    if raw1 == expected:
        print('%s path over %d values applied, file bytes as expected' % (kind, len(v0)))
        return
    if len(raw1) != len(raw0):
        sys.exit('saved file has %d bytes, expected %d' % (len(raw1), len(raw0)))
    got = values(raw1, off, size, bits)
    want = values(expected, off, size, bits)
    diff = [i for i in range(len(got)) if got[i] != want[i]]
    sys.exit('%d values differ from the %s path, the first at %d: %d, expected %d' %
             (len(diff), kind, diff[0], got[diff[0]], want[diff[0]]))


def main():
    cmd = sys.argv[1]
    if cmd == 'area':
        print('%d %d' % drawing_area(sys.argv[2], int(sys.argv[3]), int(sys.argv[4])))
    elif cmd in ('volume', 'channels'):
        pins = [tuple(int(c) for c in p.split(',')) for p in sys.argv[4:]]
        check(cmd, sys.argv[2], sys.argv[3], pins)
    else:
        sys.exit('unknown command ' + cmd)


if __name__ == '__main__':
    main()
