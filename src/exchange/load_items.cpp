// The item keywords of loads at the row's node (forces and moments,
// concentrated masses, harmonic loads), of the operating condition of the
// row's pipe, of the model's reference temperature and of spectra.
#include "exchange/row_item_handlers.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/pipe_load.h"
#include "loads/response_spectrum.h"
#include "model/analysis_options.h"

namespace {

// FOR and MOM (three values from `first`), FORX .. MOMZ (one).
void read_forces(const ItemReading& r, std::size_t first, bool moments)
{
    r.tuple_only(moments ? "moment" : "force", "(100,0,-50)");
    for (std::size_t i = 0; i < 3; ++i)
        r.values().force[first + i] =
            r.number(r.it.c[i], moments ? parse_moment : parse_force, moments ? "Invalid moment" : "Invalid force");
    r.values().force_given = true;
}

void read_force(const ItemReading& r, std::size_t index, bool moment)
{
    r.scalar_only(moment ? "moment" : "force", "100");
    r.values().force[index] =
        r.number(r.it.c[0], moment ? parse_moment : parse_force, moment ? "Invalid moment" : "Invalid force");
    r.values().force_given = true;
}

}  // namespace

ItemHandlers load_item_handlers()
{
    ItemHandlers h;
    h.push_back({{"FOR"}, [](const ItemReading& r) { read_forces(r, 0, false); }});
    h.push_back({{"MOM"}, [](const ItemReading& r) { read_forces(r, 3, true); }});
    for (std::size_t i = 0; i < 3; ++i) {
        h.push_back({{std::string("FOR") + "XYZ"[i]}, [i](const ItemReading& r) { read_force(r, i, false); }});
        h.push_back({{std::string("MOM") + "XYZ"[i]}, [i](const ItemReading& r) { read_force(r, 3 + i, true); }});
    }
    h.push_back({{"CWGT"}, [](const ItemReading& r) {
                     r.values().concentrated_weight =
                         r.number(r.it.c[0], parse_weight, "Invalid concentrated weight (CWGT)", not_below(0.0f));
                 }});
    h.push_back({{"FRE"}, [](const ItemReading& r) {
                     r.values().harmonic = true;
                     r.values().frequency = r.real(r.it.c[0], "Invalid frequency", above(0.0f));
                 }});
    h.push_back({{"PH"}, [](const ItemReading& r) {
                     r.values().phase = r.number(r.it.c[0], parse_angle, "Invalid phase");
                 }});

    // ---- The operating condition, carried from row to row ----------------------------
    h.push_back({{"T", "TEMP"}, [](const ItemReading& r) {
                     r.ctx.condition.temperature = r.number(r.it.c[0], parse_temperature, "Invalid temperature",
                                                            not_below(LOWEST_LOAD_TEMPERATURE));
                     r.ctx.condition.by_name = false;
                 }});
    h.push_back({{"P", "PRES"}, [](const ItemReading& r) {
                     r.ctx.condition.pressure = r.number(r.it.c[0], parse_pressure, "Invalid pressure");
                     r.ctx.condition.by_name = false;
                 }});
    h.push_back({{"SG"}, [](const ItemReading& r) {
                     r.ctx.condition.specific_gravity = r.real(r.it.c[0], "Invalid specific gravity", not_below(0.0f));
                     r.ctx.condition.by_name = false;
                 }});
    h.push_back({{"U", "UNIF"}, [](const ItemReading& r) {
                     r.ctx.condition.uniform_load =
                         r.number(r.it.c[0], parse_weight_per_length, "Invalid uniform load", not_below(0.0f));
                     r.ctx.condition.by_name = false;
                 }});
    h.push_back({{"L"}, [](const ItemReading& r) {
                     if (load_index(r.it.c[0]) == 0)
                         r.fail("Load not defined", r.it.c[0]);
                     r.ctx.condition.load_name = r.it.c[0];
                     r.ctx.condition.by_name = true;
                 }});
    h.push_back({{"AMB"}, [](const ItemReading& r) {
                     if (r.it.c[0].empty())
                         r.fail("Reference temperature (AMB) not specified");
                     // Below absolute zero no model file would take it.
                     analysis_options().reference_temperature = r.number(
                         r.it.c[0], parse_temperature, "Invalid temperature: (AMB)", not_below(LOWEST_LOAD_TEMPERATURE));
                 }});

    // ---- Spectra: read and checked as the response-spectrum input is, kept by no object ----
    for (std::size_t i = 0; i < 3; ++i) {
        h.push_back({{std::string("SPEC") + "XYZ"[i]}, [i](const ItemReading& r) {
                         const std::string& name = r.it.c[0];
                         if (name.empty())
                             r.fail("Invalid spectrum name", name);
                         if (const std::string fault = response_spectrum_name_fault(name); !fault.empty())
                             r.fail(fault, r.it.text);
                         r.values().spectrum[i] = name;
                         r.values().spectrum_given = true;
                     }});
        h.push_back({{std::string("FAC") + "XYZ"[i]}, [i](const ItemReading& r) {
                         r.values().spectrum_factor[i] =
                             r.real(r.it.c[0], c_format("Invalid %c spectrum factor", "xyz"[i]),
                                    response_spectrum_factor_valid);
                     }});
    }
    return h;
}
