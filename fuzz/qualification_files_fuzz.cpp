// libFuzzer target of the flange (".flg"), lug (".lug") and nozzle (".noz")
// qualification file readers. The input is read as each of the three; a
// damaged file must give a message text. A file that is taken is evaluated
// as the modes would evaluate it: no evaluation may give a NaN or an
// infinity where it gives no message.
#include "library_files_fuzz.h"
#include "qualification/en13445_nozzle.h"
#include "qualification/flange.h"
#include "qualification/flange_evaluation.h"
#include "qualification/lug.h"
#include "qualification/lug_evaluation.h"
#include "qualification/nozzle.h"
#include "qualification/wrc537.h"

#include <cmath>
#include <cstdlib>

namespace {

void require(bool finite)
{
    if (!finite)
        std::abort();
}

void check_flange(const FlangeInput& in)
{
    const FlangeResults r = analyze_flange(in);
    if (r.loads_valid)
        require(std::isfinite(r.equivalent_pressure) && std::isfinite(r.Mo) && std::isfinite(r.Mg));
    if (r.problem.empty())
        for (double v : {r.operating.SH, r.operating.SR, r.operating.ST, r.operating.bolt, r.seating.SH,
                         r.seating.SR, r.seating.ST, r.seating.bolt, r.J_operating, r.J_seating})
            require(std::isfinite(v));
}

void check_lug(const LugInput& in)
{
    const LugEvaluation ev = evaluate_lug(in);
    for (const LugCheck& c : ev.checks)
        require(std::isfinite(c.calculated) && std::isfinite(c.allowed));
    for (const LugCheck& c : ev.weld_checks)
        require(std::isfinite(c.calculated) && std::isfinite(c.allowed));
}

void check_nozzle(const NozzleEvaluation& n)
{
    for (const En13445Result& r : {en13445_sphere(n), en13445_cylinder(n)})
        if (r.problem.empty() && r.ratio_passed)
            require(std::isfinite(r.Fz_max) && std::isfinite(r.Mb_max) && std::isfinite(r.Mx_max) &&
                    std::isfinite(r.My_max));
    // Every curve a constant: every record a case needs is there.
    static const Wrc537CurveStore curves = [] {
        Wrc537CurveStore s;
        Wrc537Curve c;
        c.coefficients[0] = 0.5f;
        c.source = "fuzz";
        for (int f = 0; f < WRC_SPHERE_FAMILIES; ++f)
            for (int k = 1; k <= 10; ++k)
                s.add(wrc537_sphere_family_key(f), k, c);
        for (const Wrc537Figure& f : wrc537_cylinder_figures())
            for (double g : *f.gammas)
                s.add(wrc537_cylinder_key(f), g, c);
        return s;
    }();
    for (const Wrc537Result& r : {wrc537_sphere(n, curves), wrc537_cylinder(n, curves)}) {
        if (!r.problem.empty() || !r.figure_error.empty())
            continue;
        for (const WrcStressRow& row : r.rows)
            for (double v : row.s)
                require(std::isfinite(v));
        require(std::isfinite(r.calculated));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_library_reader(data, size, "flg", [](const std::string& path) { check_flange(read_flange_file(path).input); });
    fuzz_library_reader(data, size, "lug", [](const std::string& path) { check_lug(read_lug_file(path).input); });
    fuzz_library_reader(data, size, "noz", [](const std::string& path) { check_nozzle(read_nozzle_file(path).data); });
    return 0;
}
