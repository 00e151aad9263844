#!/usr/bin/env python3
"""A generator of rack piping models with nonlinear supports, written apart from the bench's generator.
usage: gen_rack_model.py ROWS SEED MU out.mbf [riser] [spacing=F] [occasional]
A 12 in header with L turns and offsets, branches 8/6/4/2 off it through tees, valves
with weight at branch starts, 1.5D bends at every turn, anchors at ends. Every span
support is a rest (one-way upward, friction MU); every 2nd carries a guide (gap 1/16,
MU), every 5th an axial stop +-1/4 in. With `riser`, vertical legs carry a square guide. With
`occasional`, seismic factors of 0.3 g across and 0.2 g vertical (SRSS) and a wind along Z of
0.1 psi at grade to 0.2 psi at 40 ft act on every pipe."""
import random, sys

rows_wanted = int(sys.argv[1]); seed = int(sys.argv[2]); mu = float(sys.argv[3]); out = sys.argv[4]
riser = 'riser' in sys.argv[5:]
occasional = 'occasional' in sys.argv[5:]
spacing = 1.0
for a in sys.argv[5:]:
    if a.startswith('spacing='): spacing = float(a.split('=')[1])
rnd = random.Random(seed * 7919 + 13)
# name, od, wall, bend radius (in), span (in, B31.1 Table 121.5 water), valve weight (lb)
SIZES = [("12", 12.75, 0.375, 18, 276, 1100), ("8", 8.625, 0.322, 12, 228, 520),
         ("6", 6.625, 0.280, 9, 204, 300), ("4", 4.5, 0.237, 6, 168, 140), ("2", 2.375, 0.154, 3, 120, 35)]
MU = (",MU=%g" % mu) if mu > 0 else ""
out_lines = []   # (text, kind) kind: 'free' for a tee candidate
extra = []
node = [1]
count = [0]
tees = []

def nrows(): return len(out_lines) + len(extra)

def support(n, axis):
    count[0] += 1
    s = ",CLS(0,NONE),DV(0,1,0)" + MU
    if count[0] % 2 == 0:
        extra.append("L%d,CG,GGAP=0.0625%s" % (n, MU))
    if count[0] % 5 == 0:
        d = "(1,0,0)" if axis == 'X' else "(0,0,1)"
        extra.append("L%d,CLS(-0.25,0.25),DV%s" % (n, d))
    return s

def run(frm, size, axis, sign, legs, header):
    s = SIZES[size]
    out_lines.append(["F%d,MA106B,PP%s%s,CL=%s" % (frm, s[0], ",KA" if header else "", "HOT" if header else "WARM"), None, size, axis])
    span = max(40, int(s[4] * spacing))
    if not header and rnd.random() < 0.85:
        node[0] += 1
        out_lines.append(["T%d,%s%d,JV,CVWGT=%d" % (node[0], axis, sign * int(2 * s[1] + 8), s[5]), None, size, axis])
    for leg in range(legs):
        if nrows() > rows_wanted - 6: break
        nsp = rnd.randint(2, 5)
        for k in range(nsp):
            if nrows() > rows_wanted - 4: break
            node[0] += 1
            L = int(span * rnd.uniform(0.55, 1.0))
            t = "T%d,%s%d" % (node[0], axis, sign * L)
            corner = (k == nsp - 1) and leg + 1 < legs
            if corner:
                out_lines.append([t + ",KI,B%d" % s[3], None, size, axis])
            elif rnd.random() < 0.3:
                out_lines.append([t, 'free', size, axis])
            else:
                out_lines.append([t + support(node[0], axis), None, size, axis])
        if leg + 1 == legs: break
        if rnd.random() < 0.35:
            rise = rnd.randint(60, 160) * (1 if rnd.random() < 0.5 else -1)
            if riser:
                node[0] += 1
                out_lines.append(["T%d,Y%d,CG,GGAP=0.0625%s" % (node[0], rise // 2, MU), None, size, 'Y'])
                rise = rise - rise // 2
            node[0] += 1
            out_lines.append(["T%d,Y%d,KI,B%d" % (node[0], rise, s[3]), None, size, 'Y'])
        else:
            axis = 'Z' if axis == 'X' else 'X'
            sign = 1 if rnd.random() < 0.5 else -1
    # end: anchor (header always, branches mostly)
    last = out_lines[-1]
    if header or rnd.random() < 0.85:
        if ",KI" in last[0]:
            node[0] += 1
            out_lines.append(["T%d,%s%d" % (node[0], axis, sign * 24), None, size, axis])
            last = out_lines[-1]
        txt = last[0]
        # drop a support on the anchor node
        if ",CLS" in txt: txt = txt[:txt.index(",CLS")]
        n = txt.split(',')[0][1:]
        extra[:] = [e for e in extra if not e.startswith("L%s," % n)]
        last[0] = txt + ",KA"; last[1] = None
    elif ",KI" in last[0]:
        node[0] += 1
        out_lines.append(["T%d,%s%d" % (node[0], axis, sign * 24), None, size, axis])

run(1, 0, 'X', 1, max(3, rows_wanted // 35), True)
guard = 0
while nrows() < rows_wanted - 10 and guard < 100000:
    guard += 1
    cands = [i for i, l in enumerate(out_lines) if l[1] == 'free' and l[2] < 4]
    if not cands: break
    i = rnd.choice(cands)
    l = out_lines[i]
    l[1] = None
    l[0] += ",KT"
    tn = int(l[0].split(',')[0][1:])
    size = min(4, l[2] + 1 + rnd.randint(0, 1))
    axis = 'Z' if l[3] == 'X' else 'X'
    if l[3] == 'Y': axis = 'X'
    run(tn, size, axis, 1 if rnd.random() < 0.5 else -1, rnd.randint(2, 5), False)

hdr = """Rack model %d %d %g
OPTIONS
B313,IN
MATERIAL
A106B,0.283,0.3
A106B,70,27.9E6,6.0E-6,20000
A106B,700,27.9E6,8.1E-6,16000
PIPE
""" % (rows_wanted, seed, mu)
for s in SIZES: hdr += "P%s,%g,%g\n" % (s[0], s[1], s[2])
if occasional:
    # Every field up to the wind option: T3, P3, the additional weight, the design
    # temperature and pressure, and T4..P10 at their defaults.
    rest = ",70,0,0,%d,%d," + "70,0," * 7 + "1\n"
    hdr += "LOADS\nHOT,450,150,1.0,550,150" + rest % (550, 150) + "WARM,300,100,1.0,350,100" + rest % (350, 100)
    hdr += "SEISMIC\n0.3,0.2,0.3,2\nWIND1\n0,0.7,0,0,1,0,0,0,0\n2\n0,0.1\n480,0.2\nLAYOUT\n"
else:
    hdr += "LOADS\nHOT,450,150,1.0,550,150\nWARM,300,100,1.0,350,100\nLAYOUT\n"
with open(out, "w") as f:
    f.write(hdr)
    for l in out_lines: f.write(l[0] + "\n")
    for e in extra: f.write(e + "\n")
