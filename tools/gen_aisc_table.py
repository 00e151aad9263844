#!/usr/bin/env python3
"""Generates src/materials/aisc_table.cpp, the built-in AISC shape table,
from the AISC shapes database CSV (v15.0, US columns).

    python3 tools/gen_aisc_table.py aisc-shapes-database-v15.0.csv > src/materials/aisc_table.cpp

The chooser offers thirteen families with a fixed list of groups each (the
nominal sizes below). Every shape of the database that falls into one of
those groups is taken, in database order; groups that the database has no
shape for are left out. Renamed families: rectangular and square HSS are
offered as TS (structural tubing), Pipe STD / XS / XXS as P / PX / PXX.
Double angles are taken with 3/8 in between the angles; unequal legs are
long legs back-to-back (LLBB, long leg first) or short legs back-to-back
(SLBB, short leg first).
"""
import csv
import sys

FAMILIES = [
    ("W", "W 44 W 40 W 36 W 33 W 30 W 27 W 24 W 21 W 18 W 16 W 14 W 12 W 10 W 8 W 6 W 5 W 4"),
    ("M", "M 14 M 12 M 10 M 8 M 6 M 5"),
    ("S", "S 24 S 20 S 18 S 15 S 12 S 10 S 8 S 7 S 6 S 5 S 4 S 3"),
    ("HP", "HP 14 HP 13 HP 12 HP 10 HP 8"),
    ("C", "C 15 C 12 C 10 C 9 C 8 C 7 C 6 C 5 C 4 C 3"),
    ("MC", "MC 18 MC 13 MC 12 MC 10 MC 9 MC 8 MC 7 MC 6"),
    ("L", "L 8X8|L 8X6|L 8X4|L 7X4|L 6X6|L 6X4|L 6X3.5|L 5X5|L 5X3.5|L 5X3|L 4X4|L 4X3.5|L 4X3|"
          "L 3.5X3.5|L 3.5X3|L 3.5X2.5|L 3X3|L 3X2.5|L 3X2|L 2.5X2.5|L 2.5X2|L 2X2|L 1.75X1.75|"
          "L 1.5X1.5|L 1.25X1.25|L 1.125X1.125|L 1X1"),
    ("2L", "2L 8X8|2L 6X6|2L 5X5|2L 4X4|2L 3.5X3.5|2L 3X3|2L 2.5X2.5|2L 2X2|2L 8X6|2L 8X4|2L 7X4|"
           "2L 6X4|2L 6X3.5|2L 5X3.5|2L 5X3|2L 4X3.5|2L 4X3|2L 3.5X3|2L 3.5X2.5|2L 3X2.5|2L 3X2|"
           "2L 2.5X2|2L 6X8|2L 4X8|2L 4X7|2L 4X6|2L 3.5X6|2L 3.5X5|2L 3X5|2L 3.5X4|2L 3X4|2L 3X3.5|"
           "2L 2.5X3.5|2L 2.5X3|2L 2X3|2L 2X2.5"),
    ("WT", "WT 18|WT 16.5|WT 15|WT 13.5|WT 12|WT 10.5|WT 9|WT 8|WT 7|WT 6|WT 5|WT 4|WT 3|WT 2.5"),
    ("MT", "MT 7|MT 6|MT 5|MT 4|MT 3|MT 2.5"),
    ("ST", "ST 12|ST 10|ST 9|ST 7.5|ST 6|ST 5|ST 4|ST 3.5|ST 3|ST 2.5|ST 2|ST 1.5"),
    ("TS", "TS 16X16|TS 14X14|TS 12X12|TS 10X10|TS 9X9|TS 8X8|TS 7X7|TS 6X6|TS 5X5|TS 4.5X4.5|"
           "TS 4X4|TS 3.5X3.5|TS 3X3|TS 2.5X2.5|TS 2X2|TS 20X12|TS 20X8|TS 20X4|TS 18X6|TS 16X12|"
           "TS 16X8|TS 16X4|TS 14X10|TS 14X6|TS 14X4|TS 12X8|TS 12X6|TS 12X4|TS 12X2|TS 10X8|"
           "TS 10X6|TS 10X5|TS 10X4|TS 10X2|TS 9X7|TS 9X6|TS 9X5|TS 9X3|TS 8X6|TS 8X4|TS 8X3|"
           "TS 8X2|TS 7X5|TS 7X4|TS 7X3|TS 7X2|TS 6X5|TS 6X4|TS 6X3|TS 6X2|TS 5X4|TS 5X3|TS 5X2|"
           "TS 4X3|TS 4X2|TS 3.5X2.5"),
    ("P", "P 1/2|P 3/4|P 1|P 1-1/4|P 1-1/2|P 2|P 2-1/2|P 3|P 3-1/2|P 4|P 5|P 6|P 8|P 10|P 12"),
]


def group_names(text):
    if "|" in text:
        return text.split("|")
    parts = text.split()
    return [parts[i] + " " + parts[i + 1] for i in range(0, len(parts), 2)]


def decimal(size):
    """'3-1/2' -> '3.5', '1-1/8' -> '1.125', '8' -> '8'."""
    if "-" in size:
        whole, frac = size.split("-")
        num, den = frac.split("/")
        return ("%.4f" % (int(whole) + int(num) / int(den))).rstrip("0").rstrip(".")
    return size


def number(text):
    text = text.strip()
    if not text or text in ("–", "-", "—"):
        return 0.0
    return float(text)


def shape_of(row, col):
    """(family, group, designation, values) or None."""
    kind, label = row[0], row[2]
    v = lambda name: number(row[col[name]])
    zero = 0.0
    if kind in ("W", "M", "S", "HP", "C", "MC", "WT", "MT", "ST"):
        depth = label[len(kind):].split("X")[0]
        values = [v("A"), v("Ix"), v("Iy"), v("J"), zero, zero, v("d"), v("bf")]
        return kind, kind + " " + depth, kind + " " + label[len(kind):], values
    if kind == "L":
        legs = label[1:].split("X")
        if len(legs) != 3:
            return None
        a, b = decimal(legs[0]), decimal(legs[1])
        # The database gives the long leg as b, the short one as d.
        values = [v("A"), v("Ix"), v("Iy"), v("J"), zero, zero, v("b"), v("d")]
        return "L", "L %sX%s" % (a, b), "L %sX%sX%s" % (a, b, legs[2]), values
    if kind == "2L":
        body = label[2:]
        back = ""
        for suffix in ("LLBB", "SLBB"):
            if body.endswith(suffix):
                back, body = suffix, body[: -len(suffix)]
        parts = body.split("X")
        if len(parts) != 4 or parts[3] != "3/8":
            return None
        a, b = decimal(parts[0]), decimal(parts[1])
        if back == "SLBB":
            a, b = b, a
        values = [v("A"), v("Ix"), v("Iy"), zero, zero, zero, zero, zero]
        return "2L", "2L %sX%s" % (a, b), "2L %sX%sX%s" % (a, b, parts[2]), values
    if kind == "HSS":
        parts = label[3:].split("X")
        if len(parts) != 3:
            return None   # round HSS
        a, b = decimal(parts[0]), decimal(parts[1])
        values = [v("A"), v("Ix"), v("Iy"), v("J"), zero, zero, v("Ht"), v("B")]
        return "TS", "TS %sX%s" % (a, b), "TS %sX%sX%s" % (a, b, parts[2]), values
    if kind == "PIPE":
        body = label[4:]
        for suffix, prefix in (("XXS", "PXX"), ("XS", "PX"), ("STD", "P")):
            if body.endswith(suffix):
                size = body[: -len(suffix)]
                values = [v("A"), v("Ix"), v("Iy"), v("J"), zero, zero, v("OD"), v("OD")]
                return "P", "P " + size, prefix + " " + size, values
        return None
    return None


def fmt(x):
    text = "%.6g" % x
    return text + "f" if ("." in text or "e" in text) else text + ".0f"


def main():
    with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    header = rows[0]
    col = {}
    for name in ("A", "d", "Ht", "B", "b", "bf", "OD", "Ix", "Iy", "J"):
        col[name] = header.index(name)   # the first (US) occurrence
    groups = {}
    for row in rows[1:]:
        if not row or not row[0]:
            continue
        s = shape_of(row, col)
        if s:
            groups.setdefault((s[0], s[1]), []).append((s[2], s[3]))
    out = sys.stdout
    out.write("// Generated by tools/gen_aisc_table.py from the AISC shapes database v15.0;\n")
    out.write("// do not edit by hand.\n")
    out.write('#include "materials/aisc_shapes.h"\n\n')
    out.write("namespace {\n\nconst AiscShape SHAPES[] = {\n")
    group_lines = []
    family_lines = []
    index = 0
    group_index = 0
    for code, (family, names) in enumerate(FAMILIES, start=1):
        first_group = group_index
        for g in group_names(names):
            shapes = groups.get((family, g), [])
            if not shapes:
                continue
            group_lines.append('    {"%s", %d, %d},\n' % (g, index, len(shapes)))
            for designation, values in shapes:
                out.write('    {"%s", {%s}},\n' % (designation, ", ".join(fmt(x) for x in values)))
                index += 1
            group_index += 1
        family_lines.append('    {"%s", %d, %d},\n' % (family, first_group, group_index - first_group))
    out.write("};\n\nconst AiscGroupData GROUPS[] = {\n")
    out.writelines(group_lines)
    out.write("};\n\nconst AiscFamilyData FAMILY_DATA[] = {\n")
    out.writelines(family_lines)
    out.write("};\n\n}  // namespace\n\n")
    out.write("const AiscTable& aisc_table() {\n")
    out.write("    static const AiscTable table{SHAPES, %d, GROUPS, %d, FAMILY_DATA, %d};\n"
              % (index, group_index, len(FAMILIES)))
    out.write("    return table;\n}\n")


if __name__ == "__main__":
    main()
