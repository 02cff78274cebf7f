"""Acquires frames of the simulated board's camera simulator, prints each one's statistics and
saves the last one as an image.

    python acquire.py [COUNT] [IMAGE.pgm]
"""
import sys

import orvanta


def save_pgm(path, image):
    """A grey image of 8 bits per pixel as binary PGM."""
    height, width = image.shape
    with open(path, "wb") as file:
        file.write(b"P5\n%d %d\n255\n" % (width, height))
        file.write(image.tobytes())


def main(count=10, path="orvanta_acquire.pgm"):
    with orvanta.open(board=0) as fg:
        fg["FG_CAMERASIMULATOR_ENABLE"] = "FG_CAMERASIMULATOR"
        fg["FG_CAMERASIMULATOR_FRAMERATE"] = 50.0
        fg["FG_FORMAT"] = "FG_GRAY"
        with fg.stream(buffers=4, count=count) as stream:
            for frame in stream:  # each frame views the board's buffer: no copy
                image = frame.array
                print(f"frame {frame.picture}: {image.shape[1]} x {image.shape[0]}, mean {image.mean():.1f}, "
                      f"min {image.min()}, max {image.max()}, at {frame.timestamp / 1e6:.1f} ms")
                last = frame.copy()  # kept after the frame goes back to the board
            print(f"{stream.delivered} delivered, {stream.lost} lost")
    save_pgm(path, last)
    print(f"saved {path}")


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 10, sys.argv[2] if len(sys.argv) > 2 else "orvanta_acquire.pgm")
