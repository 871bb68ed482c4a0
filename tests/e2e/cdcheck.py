"""Checks for the CD player's end-to-end run: where the player is on the screen
and whether a track's samples reached the sound output."""
import sys

CAPTION = bytes((0x10, 0x20, 0x40))  # the left end of the player's caption strip


def player(path, width, height):
    """Prints the screen position of the player's top-left corner."""
    screen = open(path, 'rb').read()
    row = width * 3
    for y in range(height):
        line = screen[y * row:(y + 1) * row]
        at = line.find(CAPTION * 5)
        while at >= 0 and at % 3:
            at = line.find(CAPTION * 5, at + 1)
        if at >= 0:
            print(at // 3, y)
            return
    sys.exit('no player on the screen')


def played(track, output):
    """The track's bytes appear whole in what the sound output wrote."""
    t, out = open(track, 'rb').read(), open(output, 'rb').read()
    if out.find(t) < 0:
        sys.exit('the track did not reach the output (%d bytes written)' % len(out))


if __name__ == '__main__':
    if sys.argv[1] == 'player':
        player(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    elif sys.argv[1] == 'played':
        played(sys.argv[2], sys.argv[3])
