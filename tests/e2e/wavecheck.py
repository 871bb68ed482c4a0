"""Checks for the end-to-end run: wave data, the reverse rule, the waveform on screen."""
import struct
import sys

WAVE_LEFT = b'\x00\x00\x60'  # left (or mono) waveform colour
SHADOW = b'\x80\x80\x80'  # the view's sunken frame, one column left of the waveform


def data_span(raw):
    """Offset and size of the data chunk and the bits per sample of a wave file."""
    if raw[:4] != b'RIFF' or raw[8:12] != b'WAVE':
        sys.exit('not a wave file')
    pos, bits, span = 12, None, None
    while pos + 8 <= len(raw):
        tag, size = raw[pos:pos + 4], struct.unpack('<I', raw[pos + 4:pos + 8])[0]
        if tag == b'fmt ':
            bits = struct.unpack('<H', raw[pos + 22:pos + 24])[0]
        elif tag == b'data':
            span = (pos + 8, size)
        pos += 8 + size + (size & 1)
    if bits not in (8, 16) or span is None:
        sys.exit('no 8/16-bit data chunk')
    return span[0], span[1], bits


def values(raw, off, size, bits):
    data = raw[off:off + size]
    if bits == 16:
        return list(struct.unpack('<%dh' % (size // 2), data[:size // 2 * 2]))
    return list(data)


def pack(v, bits):
    return struct.pack('<%dh' % len(v), *v) if bits == 16 else bytes(v)


def reversed_range(v, a, e):
    """Values a + k and e - k exchanged for k = 1, 2, ... while a + k < e - k."""
    out = list(v)
    k = 1
    while a + k < e - k:
        out[a + k], out[e - k] = out[e - k], out[a + k]
        k += 1
    return out


def changed_range(v0, v1):
    diff = [i for i in range(min(len(v0), len(v1))) if v0[i] != v1[i]]
    return (diff[0], diff[-1]) if diff else None


def expect_reverse(before, after, a, e):
    """The saved file must equal the file before with values a .. e reversed."""
    raw0, raw1 = open(before, 'rb').read(), open(after, 'rb').read()
    off, size, bits = data_span(raw0)
    v0 = values(raw0, off, size, bits)
    if e is None:
        e = len(v0)
    expected = raw0[:off] + pack(reversed_range(v0, a, e), bits) + raw0[off + size:]
    if raw1 == expected:
        print('values %d .. %d of %d reversed, file bytes as expected' % (a, e, len(v0)))
        return
    if len(raw1) != len(raw0):
        sys.exit('saved file has %d bytes, expected %d' % (len(raw1), len(raw0)))
    if raw1[:off] != raw0[:off]:
        sys.exit('the header changed')
    got = changed_range(v0, values(raw1, off, size, bits))
    sys.exit('expected values %d .. %d reversed; values changed: %s' % (a, e, got))


def waveform_box(rgb_path, width, height):
    """Left, right, top, bottom of the waveform area of the left channel.

    Right, top and bottom are the extent of the waveform colour. At "Whole File"
    the waveform fills every column, but the first one may be covered by the
    black mark-start line, so left is found as the column after the frame's
    shadow line."""
    raw = open(rgb_path, 'rb').read()
    xs, ys = [], []
    for y in range(height):
        row = raw[y * width * 3:(y + 1) * width * 3]
        start = 0
        while True:
            i = row.find(WAVE_LEFT, start)
            if i < 0:
                break
            if i % 3 == 0:
                xs.append(i // 3)
                ys.append(y)
            start = i + 1
    if not xs:
        sys.exit('no waveform on the screen')
    left, right, top, bottom = min(xs), max(xs), min(ys), max(ys)
    mid = (top + bottom) // 2
    row = raw[mid * width * 3:(mid + 1) * width * 3]
    for x in range(left - 1, max(left - 4, -1), -1):
        if row[x * 3:x * 3 + 3] == SHADOW:
            print(x + 1, right, top, bottom)
            return
    sys.exit('no view frame left of the waveform')


if __name__ == '__main__':
    cmd = sys.argv[1]
    if cmd == 'whole':
        expect_reverse(sys.argv[2], sys.argv[3], 0, None)
    elif cmd == 'marked':
        expect_reverse(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]))
    elif cmd == 'values':
        raw = open(sys.argv[2], 'rb').read()
        off, size, bits = data_span(raw)
        print(len(values(raw, off, size, bits)))
    elif cmd == 'box':
        waveform_box(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    else:
        sys.exit('unknown check ' + cmd)
