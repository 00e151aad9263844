"""Reads a DXF drawing of the plot writer with ezdxf (Debian's python3-ezdxf)
and checks it: an R12 drawing, no audit errors, every entity on a layer of
the table, the layers FORCES, OTHER, LENGTHS and ROW_NUMBERS off and the rest
on, and every LINE on the sheet (the drawing area with its half-inch margin).

Usage: check_dxf.py FILE WIDTH HEIGHT (the drawing area in inches).
Prints "ok" and exits with 0, or prints what is wrong and exits with 1."""

import sys

import ezdxf


def main():
    path, width, height = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
    problems = []
    doc = ezdxf.readfile(path)
    if doc.dxfversion != "AC1009":
        problems.append("version %s, not R12" % doc.dxfversion)
    auditor = doc.audit()
    for error in auditor.errors:
        problems.append("audit: %s" % error.message)
    layers = {layer.dxf.name: layer for layer in doc.layers}
    off = {"FORCES", "OTHER", "LENGTHS", "ROW_NUMBERS"}
    for name in off:
        if name not in layers or not layers[name].is_off():
            problems.append("layer %s is not off" % name)
    for name, layer in layers.items():
        if name not in off and name.upper() != "DEFPOINTS" and layer.is_off():
            problems.append("layer %s is off" % name)
    lines = 0
    for entity in doc.modelspace():
        if entity.dxf.layer not in layers:
            problems.append("%s on layer %s, which the table lacks" % (entity.dxftype(), entity.dxf.layer))
        if entity.dxftype() == "LINE":
            lines += 1
            for point in (entity.dxf.start, entity.dxf.end):
                if not (0.5 - 1e-5 <= point.x <= width + 0.5 + 1e-5 and 0.5 - 1e-5 <= point.y <= height + 0.5 + 1e-5):
                    problems.append("LINE off the sheet at %.6f, %.6f" % (point.x, point.y))
    if lines == 0:
        problems.append("no LINE entities")
    if problems:
        print("\n".join(problems[:20]))
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
