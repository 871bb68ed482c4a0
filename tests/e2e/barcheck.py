"""Finds the position bar on a screenshot by the red lamps of its buttons."""
import sys

LAMP = (b'\xe0\x00\x00', b'\x80\x00\x00')  # the lamp's face and rim


def first_lamp(rgb_path, width, height):
    """Left and top of the leftmost lamp's picture (10 x 10)."""
    raw = open(rgb_path, 'rb').read()
    hits = []
    for y in range(height):
        row = raw[y * width * 3:(y + 1) * width * 3]
        for colour in LAMP:
            start = 0
            while True:
                i = row.find(colour, start)
                if i < 0:
                    break
                if i % 3 == 0:
                    hits.append((i // 3, y))
                start = i + 1
    if not hits:
        sys.exit('no lamp on the screen')
    left = min(x for x, _ in hits)
    # Only the first lamp: the pixels within its 10 columns.
    ys = [y for x, y in hits if x < left + 10]
    print(left, min(ys))


if __name__ == '__main__':
    first_lamp(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]))
