// Every unit parser in every unit on typed text. An accepted value is a
// finite float, and every formatter of its quantity shows it as a text that
// reads back to the precision shown; the exact length copy gives back the
// very float. The first byte picks the parser (unit_readers()), the second
// the unit (and the moment precision); the rest is the text.
#include "framework/units.h"
#include "harness/fuzz_program.h"
#include "unit_text_pairs.h"

#include <cmath>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const UnitReader& reader = unit_readers()[data[0] % unit_readers().size()];
    reset_unit_choice();
    if (reader.q != 0)
        unit_choice()[static_cast<std::size_t>(reader.q)] = data[1] % unit_count(reader.q);
    moment_precision() = (data[1] & 0x80) != 0;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

    float value = 0.0f;
    if (reader.parse(text, value) != 0)
        return 0;
    if (!std::isfinite(value))
        finding("\"" + text + "\" reads as a value that is not a finite number");
    int32_t whole = 0;
    (void)parse_int(text, whole);

    for (const UnitTextPair& p : unit_text_pairs()) {
        if (p.q != reader.q || (value < 0.0f && !p.negative) || (value == 0.0f && !p.zero))
            continue;
        if (const std::string problem = unit_read_back_problem(p, value); !problem.empty())
            finding("\"" + text + "\" read as " + std::to_string(value) + ", then " + p.name + " " + problem);
    }
    if (reader.q == LENGTH) {
        float back = 0.0f;
        const std::string exact = format_length_exact(value);
        if (parse_length(exact, back) != 0 || back != value)
            finding("\"" + text + "\": the exact length \"" + exact + "\" does not give back the float");
    }
    return 0;
}
