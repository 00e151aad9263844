#include "elements/beam_stiffness.h"

#include <algorithm>

void beam_local_stiffness(const BeamProperties& p, ElementMatrix& k)
{
    k.clear();
    const double l = p.length, e = p.modulus, g = p.shear_modulus;
    const double phi_y = p.asy > 0.0 ? 12.0 * e * p.iz / (g * p.asy * l * l) : 0.0;
    const double phi_z = p.asz > 0.0 ? 12.0 * e * p.iy / (g * p.asz * l * l) : 0.0;
    auto& K = k.k;
    K[1][1] = e * p.area / l;
    K[4][4] = g * p.torsion / l;
    K[2][2] = 12.0 * e * p.iz / (l * l * l * (1.0 + phi_y));
    K[3][3] = 12.0 * e * p.iy / (l * l * l * (1.0 + phi_z));
    K[5][5] = (4.0 + phi_z) * e * p.iy / (l * (1.0 + phi_z));
    K[6][6] = (4.0 + phi_y) * e * p.iz / (l * (1.0 + phi_y));
    K[2][6] = 6.0 * e * p.iz / (l * l * (1.0 + phi_y));
    K[3][5] = -6.0 * e * p.iy / (l * l * (1.0 + phi_z));
    for (int i = 1; i <= 6; ++i)
        K[i + 6][i + 6] = K[i][i];
    for (int i = 1; i <= 4; ++i)
        K[i][i + 6] = -K[i][i];
    K[5][11] = (2.0 - phi_z) * e * p.iy / (l * (1.0 + phi_z));
    K[6][12] = (2.0 - phi_y) * e * p.iz / (l * (1.0 + phi_y));
    K[2][12] = K[2][6];
    K[6][8] = K[8][12] = -K[2][6];
    K[3][11] = K[3][5];
    K[5][9] = K[9][11] = -K[3][5];
    for (int i = 1; i <= 12; ++i)
        for (int j = i + 1; j <= 12; ++j)
            K[j][i] = K[i][j];
}

void condense_beam_releases(const BeamReleaseSet& released, ElementMatrix& k, ElementVector* f)
{
    for (int n = 1; n <= 12; ++n) {
        if (!released[static_cast<std::size_t>(n)])
            continue;
        // The pivot row, its load and the factors, all taken before the
        // elimination changes any of them.
        double pivot_row[13];
        std::copy(std::begin(k.k[n]), std::end(k.k[n]), pivot_row);
        const double pivot = pivot_row[n];
        const double pivot_load = f ? f->f[n] : 0.0;
        double factor[13] = {};
        for (int r = 1; r <= 12; ++r)
            factor[r] = pivot != 0.0 ? k.k[r][n] / pivot : 0.0;
        for (int r = 1; r <= 12; ++r) {
            if (factor[r] == 0.0)
                continue;
            for (int c = 1; c <= 12; ++c)
                k.k[r][c] -= factor[r] * pivot_row[c];
            if (f)
                f->f[r] -= factor[r] * pivot_load;
        }
    }
}

namespace {

// A uniform load q (local components per length) as fixed-end forces.
void add_uniform(double l, const Vec3& q, ElementVector& f)
{
    f.f[1] += q.x * l / 2.0;
    f.f[7] += q.x * l / 2.0;
    f.f[2] += q.y * l / 2.0;
    f.f[8] += q.y * l / 2.0;
    f.f[3] += q.z * l / 2.0;
    f.f[9] += q.z * l / 2.0;
    f.f[5] -= q.z * l * l / 12.0;
    f.f[6] += q.y * l * l / 12.0;
    f.f[11] += q.z * l * l / 12.0;
    f.f[12] -= q.y * l * l / 12.0;
}

}  // namespace

void beam_loads(const BeamProperties& p, const BeamLoadTerms& terms, const LocalAxes& axes,
                const ElementLoadStep& step, const ElementLoadOptions& options, ElementVector& f)
{
    f.clear();
    if (step.modal)
        return;
    const double l = p.length, w = terms.weight;
    if (step.weight) {
        const Vec3 up = global_axis_in_local(axes, vertical_axis(options));
        add_uniform(l, {-w * up.x, -w * up.y, -w * up.z}, f);
    }
    if (step.temperature) {
        const double force = terms.delta_t * terms.expansion * p.area * p.modulus;
        f.f[1] -= force;
        f.f[7] += force;
    }
    if (step.seismic_g) {
        const double g[3] = {step.g.x, step.g.y, step.g.z};
        Vec3 q;
        for (int axis = 0; axis < 3; ++axis) {
            if (g[axis] == 0.0)
                continue;
            const Vec3 u = global_axis_in_local(axes, axis);
            q.x += w * g[axis] * u.x;
            q.y += w * g[axis] * u.y;
            q.z += w * g[axis] * u.z;
        }
        add_uniform(l, q, f);
    }
}

int beam_temperature_set(int code)
{
    switch (code) {
    case 2: case 8: case 15: case 21: case 23: case 32: case 38: return 1;
    case 3: case 9: case 16: case 39: return 2;
    case 4: case 10: case 17: case 40: return 3;
    case 1: case 11: case 12: case 13: case 14: case 19: case 20: case 22: case 26: case 27: case 28: case 30:
    case 31: case 33: case 34: case 35: case 36: case 37: case 107: case 108: case 109: case 124: case 125:
    case 126: case 127:
        return 0;
    default: break;
    }
    if (code >= 41 && code <= 50)
        return 0;
    // Sets 4..10 in four series.
    for (int first : {51, 100, 110, 117})
        if (code >= first && code < first + 7)
            return 4 + code - first;
    return -1;
}
