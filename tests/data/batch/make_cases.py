#!/usr/bin/env python3
"""Writes the batch comparison cases: counter.csv and cross.csv beside this script.

Each file starts from its arrangement's design inputs and varies them: every column through
special texts (empty, zero, negative, blanks, exponents, huge and tiny values, values just inside and beyond the field limits), chosen refusals (zero flows, water
temperature equal to the wet bulb, wet bulb above dry bulb, outlet above inlet), then random
spreads near the design point and across the whole field range. Seeded: the same files every
time. The expected outputs (counter.out.csv, cross.out.csv) are the tool's own:

    build/bin/ctaudit-batch --jobs 1 --arrangement counter counter.csv > counter.out.csv

and, with the U columns, of every fourth case (lines 2, 6, 10, ...):

    awk 'NR == 1 || (NR - 2) % 4 == 0' counter.csv |
        build/bin/ctaudit-batch --jobs 1 --arrangement counter --uncertainty - \
        > counter.uncertainty.out.csv
"""
import os
import random

COLUMNS = ["p1.L", "p1.G", "p1.Tin", "p1.Tout", "p1.p", "p1.tdb", "p1.rh",
           "p2.Ld", "p2.Gd", "p2.Tin", "p2.Tout", "p2.twb", "p2.tdb", "p3.L",
           "p3.G", "p4.Q", "p4.Tin", "p4.tdb", "p4.twb"]
DESIGN = {
    "counter": ["100", "90", "38", "33", "1", "25", "55", "90", "80", "34", "31", "21", "27",
                "105", "110", "2200", "36", "30", "22"],
    "cross": ["90", "70", "37", "34", "1", "28", "55", "90", "80", "34", "31", "21", "25",
              "35", "25", "500", "35", "28", "22"],
}
# The largest value each column's field takes (None: no upper limit of its own).
LIMIT = [200, 200, 90, 80, 1.15, None, None, 200, 200, 90, 80, None, None, 200, 200, None, 90,
         None, None]
# A text that is no number (junk, a comma decimal) stops the tool with the file's line: the
# bad-file tests hold those.
SPECIAL = ["", "0", "-1", "1e300", "-1e-300", "1E+308", "99999999999999999999", " 12 ",
           "+7", "5.", ".5", "1e1"]


def number(x, digits):
    return f"{x:.{digits}f}".rstrip("0").rstrip(".") if digits else str(round(x))


def cases(arrangement, rng):
    design = DESIGN[arrangement]
    out = [list(design)]

    def vary(**changes):
        row = list(design)
        for name, value in changes.items():
            row[COLUMNS.index(name.replace("_", "."))] = value
        out.append(row)

    for c, name in enumerate(COLUMNS):
        d = float(design[c])
        texts = list(SPECIAL)
        texts.append(number(d * 1.5, 3))
        texts.append(number(d * 0.5, 3))
        if LIMIT[c] is not None:
            texts += [number(LIMIT[c] * 0.999, 3), number(LIMIT[c] * 1.01, 3)]
        for t in texts:
            row = list(design)
            row[c] = t
            out.append(row)

    # Chosen refusals and edges.
    vary(p1_L="0"), vary(p1_G="0"), vary(p3_L="0"), vary(p3_G="0"), vary(p2_Ld="0")
    vary(p4_Q="0"), vary(p1_Tout=design[2]), vary(p1_Tout="45")
    vary(p2_Tin=design[11]), vary(p2_twb="30"), vary(p2_Tout="20")
    vary(p4_Tin=design[18]), vary(p4_twb="35"), vary(p4_twb="29")
    vary(p1_rh="0"), vary(p1_rh="100"), vary(p1_rh="101"), vary(p1_tdb="0")
    vary(p1_p="0.9"), vary(p1_p="0.85"), vary(p1_p="1.15"), vary(p1_p="1.2")
    vary(p4_Q="999999"), vary(p2_tdb="0"), vary(p4_tdb="0"), vary(p1_Tin="89.9")

    # Near the design point: every input within +/- 15 %.
    for _ in range(60):
        row = [number(float(v) * rng.uniform(0.85, 1.15), rng.choice([1, 2, 3]))
               for v in design]
        out.append(row)
    # Across the fields' ranges.
    for _ in range(40):
        row = []
        for c, v in enumerate(design):
            top = LIMIT[c] if LIMIT[c] is not None else float(v) * 3
            low = 0.85 if COLUMNS[c].endswith(".p") else 0
            row.append(number(rng.uniform(low, top * 1.05), rng.choice([0, 1, 2])))
        out.append(row)
    return out


def write(path, rows):
    with open(path, "w", newline="") as f:
        f.write(",".join(COLUMNS) + "\n")
        for row in rows:
            f.write(",".join('"%s"' % t if "," in t else t for t in row) + "\n")


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    for arrangement in ("counter", "cross"):
        write(os.path.join(here, arrangement + ".csv"), cases(arrangement, random.Random(12)))
