#!/usr/bin/env python3
"""Writes data/fast.apt, the default aperture list: 491 records D10-D500.

D10-D118   round: a metric ladder and the usual mil-based sizes
D119-D147  square pads 0.2-3.0 mm
D148-D183  rectangular pads, both orientations
D184-D191  thermals with spokes on the axes (pad s: s+0.9 / s+1.2 / 0.5)
D192-D199  the same thermals with spokes on the diagonals
D200-D500  round 0.10-3.10 mm in 0.01 mm steps, for matching CAD sizes
"""
import pathlib
import sys


def text(v):
    s = "%.6f" % v
    return s.rstrip("0").rstrip(".")


def steps(start, stop, step):
    n = int(round((stop - start) / step))
    return [start + i * step for i in range(n + 1)]


def main():
    records = []  # (sizeX, sizeY, cw, shape)
    rounds = steps(0.05, 1.0, 0.05)
    rounds += [mil * 0.0254 for mil in range(5, 41)]
    rounds += steps(1.1, 3.0, 0.1) + steps(3.2, 6.0, 0.2) + steps(6.5, 10.0, 0.5)
    rounds += steps(11, 20, 1)
    records += [(d, d, 0, "○") for d in rounds]
    records += [(s, s, 0, "□") for s in steps(0.2, 3.0, 0.1)]
    pairs = [(0.3, 0.6), (0.3, 0.8), (0.35, 0.9), (0.4, 1.0), (0.4, 1.2), (0.5, 1.0),
             (0.5, 1.5), (0.6, 1.2), (0.6, 1.5), (0.6, 2.0), (0.8, 1.6), (0.8, 2.0),
             (1.0, 1.5), (1.0, 2.0), (1.2, 2.4), (1.5, 2.5), (1.5, 3.0), (2.0, 3.0)]
    records += [(w, h, 0, "□") for w, h in pairs] + [(h, w, 0, "□") for w, h in pairs]
    pads = steps(0.6, 2.0, 0.2)
    records += [(s + 0.9, s + 1.2, 0.5, "＋") for s in pads]
    records += [(s + 0.9, s + 1.2, 0.5, "×") for s in pads]
    assert len(records) == 190, len(records)
    records += [(d, d, 0, "○") for d in steps(0.10, 3.10, 0.01)]
    assert len(records) == 491, len(records)

    lines = []
    for i, (x, y, cw, shape) in enumerate(records):
        fields = ["D%d" % (i + 10), text(x), text(y), text(cw), shape]
        lines.append(",".join('"%s"' % f for f in fields) + "\r\n")
    out = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                       pathlib.Path(__file__).resolve().parent.parent / "data" / "fast.apt")
    out.write_bytes("".join(lines).encode("cp932"))


if __name__ == "__main__":
    main()
