#include "analysis_core/element_forces.h"

#include "framework/errors.h"
#include "framework/text.h"

#include <cmath>
#include <cstddef>

void element_end_forces(const ElementMatrix& k, const ElementVector& loads, const LocalAxes& axes,
                        const int (&dofs)[13], std::span<const double> displacements, ElementVector& forces,
                        ElementMatrix* displacement_matrix)
{
    forces = loads;
    for (int i = 7; i <= 12; ++i)
        forces.f[i] = -forces.f[i];

    // Rows of the direction cosines: local axis m in global components.
    const Vec3* rows[3] = {&axes.x, &axes.y, &axes.z};
    ElementMatrix turned;
    for (int i = 1; i <= 12; ++i) {
        const double sign = i <= 6 ? -1.0 : 1.0;
        for (int block = 0; block < 4; ++block) {
            const int base = 1 + 3 * block;
            for (int c = 0; c < 3; ++c) {
                double sum = 0.0;
                for (int m = 0; m < 3; ++m) {
                    const Vec3& r = *rows[m];
                    sum += k.k[i][base + m] * (c == 0 ? r.x : c == 1 ? r.y : r.z);
                }
                turned.k[i][base + c] = sign * sum;
            }
        }
    }
    for (int j = 1; j <= 12; ++j) {
        const int equation = dofs[j];
        if (equation == 0)
            continue;
        KV_ASSERT(equation > 0 && static_cast<std::size_t>(equation) < displacements.size());
        const double u = displacements[static_cast<std::size_t>(equation)];
        for (int i = 1; i <= 12; ++i)
            forces.f[i] += turned.k[i][j] * u;
    }
    if (displacement_matrix)
        *displacement_matrix = turned;
}

void envelope_end_forces(const ElementVector& forces, ElementVector& record)
{
    for (int i = 1; i <= 12; ++i)
        if (std::fabs(forces.f[i]) > std::fabs(record.f[i]))
            record.f[i] = forces.f[i];
}

void square_sum_end_forces(const ElementVector& forces, ElementVector& record)
{
    for (int i = 1; i <= 12; ++i)
        record.f[i] += forces.f[i] * forces.f[i];
}

EndResultants element_end_resultants(const LocalAxes& axes1, const LocalAxes& axes2, const Vec3& displacement1,
                                     const Vec3& displacement2, const ElementVector& forces)
{
    const double t1 = std::hypot(dot(displacement1, axes1.y), dot(displacement1, axes1.z));
    const double t2 = std::hypot(dot(displacement2, axes2.y), dot(displacement2, axes2.z));
    const double a1 = std::fabs(dot(displacement1, axes1.x));
    const double a2 = std::fabs(dot(displacement2, axes2.x));
    const double m1 = std::hypot(forces.f[5], forces.f[6]);
    const double m2 = std::hypot(forces.f[11], forces.f[12]);
    const double n1 = std::fabs(forces.f[1]);
    const double n2 = std::fabs(forces.f[7]);

    EndResultants out;
    out.transverse1 = t1 < 1e-6 * a1 || t1 < 1e-6 * t2 ? 0.0 : t1;
    out.transverse2 = t2 < 1e-6 * a2 || t2 < 1e-6 * t1 ? 0.0 : t2;
    out.moment1 = m1 < 1e-5 * n1 || m1 < 1e-6 * m2 ? 0.0 : m1;
    out.moment2 = m2 < 1e-5 * n2 || m2 < 1e-6 * m1 ? 0.0 : m2;
    return out;
}

float end_force_value(double value)
{
    return std::fabs(value) < 1e-30 ? 0.0f : static_cast<float>(value);
}

std::string element_stiffness_text(const std::string& node1, const std::string& node2, const std::string& type_name,
                                   const ElementMatrix& matrix)
{
    std::string text = c_format("Element: %s - ", node1.c_str());
    text += c_format("%s,", node2.c_str());
    text += c_format("Type :%s\n", type_name.c_str());
    for (int i = 1; i <= 12; ++i) {
        std::string line;
        for (int j = 1; j <= 12; ++j) {
            if (j > 1)
                line += ',';
            line += c_format("%lf", matrix.k[i][j]);
        }
        text += c_format("%s,\n", line.c_str());
    }
    return text;
}
