#!/usr/bin/env python3
"""Checks the converged support states of a batch run from its text report, apart from the program:
rests and limit stops within their limits with a force only at a closed limit pushing the pipe back,
guides within their gap with the normal force at the gap pushing inward, friction at most mu N.
The states checked: the Sustained and Operating cases, and Operating (W+P1+T1) plus each wind case
(the state the wind reaches from it); Seismic (g), which holds magnitudes, is not a state.
usage: check_support_states.py model.mbf model.txt   -> prints violations, exit 1 if any."""
import re, sys, math
mbf, txt = sys.argv[1], sys.argv[2]
TOL_D = 2e-3     # in
lines = open(mbf).read().splitlines()
i = lines.index("LAYOUT")
pos_dir = {}     # node -> unit pipe direction (of the element ending there)
items = {}       # node -> list of (kind, data) in input order: rest/stop on limit stop table, guide
def vec(axis, sign):
    return {'X': (sign, 0, 0), 'Y': (0, sign, 0), 'Z': (0, 0, sign)}[axis]
def parse_items(n, rest):
    mu = 0.0
    m = re.search(r"MU=([\d.]+)", rest)
    if m: mu = float(m.group(1))
    m = re.search(r"CLS\(([-\d.]+),(NONE|[-\d.]+)\),DV\(([-\d.]+),([-\d.]+),([-\d.]+)\)", rest)
    if m:
        lo = float(m.group(1)); hi = None if m.group(2) == 'NONE' else float(m.group(2))
        d = tuple(float(m.group(k)) for k in (3, 4, 5))
        items.setdefault(n, []).append(('stop', lo, hi, d, mu))
    m = re.search(r"CG,GGAP=([\d.]+)", rest)
    if m:
        items.setdefault(n, []).append(('guide', float(m.group(1)), mu))
for l in lines[i + 1:]:
    if l.startswith('T'):
        parts = l.split(',')
        n = parts[0][1:]
        ax = parts[1][0]; val = float(parts[1][1:])
        pos_dir[n] = vec(ax, 1 if val > 0 else -1)
        parse_items(n, ','.join(parts[2:]))
    elif l.startswith('L'):
        parts = l.split(',')
        parse_items(parts[0][1:], ','.join(parts[1:]))

rep = open(txt, errors='replace').read().splitlines()
num = r"[-+]?\d[\d.]*(?:[Ee][-+]?\d+)?"
def table(title_re, ncols):
    """case -> list of (node, values) rows in order"""
    out = {}; cur = None
    rowre = re.compile(r"^\s+(\w+)" + r"\s+(" + num + ")" * 1 + "".join(r"\s+(" + num + ")" for _ in range(ncols - 1)) + r"\s*$")
    for l in rep:
        m = re.match(r"^\s+(Loads on \w[\w ]*|Displacements in global coordinates): (.+?)\s*$", l)
        if m:
            cur = m.group(2) if re.fullmatch(title_re, m.group(1)) else None
            if cur is not None: out.setdefault(cur, [])
            continue
        if cur is not None:
            m = rowre.match(l)
            if m:
                out[cur].append((m.group(1), [float(m.group(k)) for k in range(2, 2 + ncols)]))
    return out
guides = table(r"Loads on Guides", 3)
stops = table(r"Loads on Limit stops", 2)
disp = table(r"Displacements in global coordinates", 6)
bad = 0; checked = 0
def cross(a, b): return (a[1]*b[2]-a[2]*b[1], a[2]*b[0]-a[0]*b[2], a[0]*b[1]-a[1]*b[0])
def dot(a, b): return sum(x*y for x, y in zip(a, b))
BASE = "Operating (W+P1+T1)"
def plus(a, b):
    """The rows of table a plus those of b, row by row (the same nodes in the same order)."""
    return [(n, [x + y for x, y in zip(v, w)]) for (n, v), (m, w) in zip(a, b)]
states = {}
for case in disp:
    if case.startswith("Operating") or case.startswith("Sustained"):
        states[case] = (disp[case], guides.get(case, []), stops.get(case, []))
    elif case.startswith("Wind") and BASE in disp:
        states[BASE + " + " + case] = (plus(disp[BASE], disp[case]), plus(guides.get(BASE, []), guides.get(case, [])),
                                       plus(stops.get(BASE, []), stops.get(case, [])))
for case, (d, g, s) in states.items():
    D = {n: v for n, v in d}
    G = {n: v for n, v in g}
    S = {}
    for n, v in s: S.setdefault(n, []).append(v)
    allf = [abs(x) for vs in S.values() for v in vs for x in v] + [abs(x) for v in G.values() for x in v] + [1.0]
    TOL_F = max(2.0, 1e-4 * max(allf))
    def viol(msg):
        global bad; bad += 1
        if bad <= 40: print("%s: %s" % (case, msg))
    for n, its in items.items():
        if n not in D: viol("node %s has no displacements" % n); continue
        u = D[n][:3]
        sidx = 0
        for it in its:
            checked += 1
            if it[0] == 'stop':
                _, lo, hi, d, mu = it
                rows = S.get(n, [])
                if sidx >= len(rows): viol("limit stop at %s missing from table" % n); continue
                load, fr = rows[sidx]; sidx += 1
                w = dot(u, d)
                if w < lo - TOL_D or (hi is not None and w > hi + TOL_D):
                    viol("limit stop %s: displacement %.4f outside [%s,%s]" % (n, w, lo, hi))
                if load > TOL_F and w > lo + TOL_D:
                    viol("limit stop %s: load %.0f pushing + but not at lower limit (w=%.4f)" % (n, load, w))
                if load < -TOL_F and (hi is None or w < hi - TOL_D):
                    viol("limit stop %s: load %.0f pushing - but not at upper limit (w=%.4f)" % (n, load, w))
                if abs(fr) > mu * abs(load) + TOL_F:
                    viol("limit stop %s: friction %.0f > mu N = %.0f" % (n, fr, mu * abs(load)))
            else:
                _, gap, mu = it
                if n not in G: viol("guide at %s missing from table" % n); continue
                fx, fy, fz = G[n]
                x = pos_dir[n]
                if x[1] != 0:   # riser: square gap in both horizontal directions
                    for k, name in ((0, 'DX'), (2, 'DZ')):
                        if abs(u[k]) > gap + TOL_D: viol("riser guide %s: %s %.4f beyond gap" % (n, name, u[k]))
                    f = math.sqrt(fx*fx + fy*fy + fz*fz)
                    if f > TOL_F and max(abs(u[0]), abs(u[2])) < gap - TOL_D:
                        viol("riser guide %s: load %.0f inside its gap" % (n, f))
                    continue
                z = cross(x, (0, 1, 0))
                w = dot(u, z)
                if abs(w) > gap + TOL_D: viol("guide %s: lateral %.4f beyond gap %.4f" % (n, w, gap))
                if abs(fz) > TOL_F:
                    if abs(w) < gap - TOL_D: viol("guide %s: normal %.0f inside its gap (w=%.4f)" % (n, fz, w))
                    elif fz * w > 0: viol("guide %s: normal %.0f pulls outward (w=%.4f)" % (n, fz, w))
                if math.hypot(fx, fy) > mu * abs(fz) + TOL_F:
                    viol("guide %s: friction %.0f > mu N %.0f" % (n, math.hypot(fx, fy), mu * abs(fz)))
print("checked %d items over %d states, %d violations" % (checked, len(states), bad))
sys.exit(1 if bad else 0)
