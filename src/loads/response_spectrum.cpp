#include "loads/response_spectrum.h"

#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "loads/load_file.h"
#include "loads/spectrum.h"
#include "model/model_file.h"

#include <cmath>
#include <utility>

namespace {

void read_input(ResponseSpectrumInput& r, BinFile& f)
{
    for (std::string& name : r.spectrum)
        name = f.read_name(SPECTRUM_NAME_LENGTH + 1).substr(0, SPECTRUM_NAME_LENGTH);
    for (float& factor : r.factor)
        factor = f.read_float();
    r.modal_combination = f.read_int();
    r.direction_combination = f.read_int();
    r.missing_mass_combination = f.read_int();
    r.damping = f.read_float();
    r.closely_spaced = f.read_float();
    if (f.error())
        return;
    if (const std::string fault = response_spectrum_fault(r); !fault.empty())
        throw_message(fault);
}

void write_input(const ResponseSpectrumInput& r, BinFile& f)
{
    for (const std::string& name : r.spectrum)
        f.write_name(name, SPECTRUM_NAME_LENGTH + 1);
    for (float factor : r.factor)
        f.write_float(factor);
    f.write_int(r.modal_combination);
    f.write_int(r.direction_combination);
    f.write_int(r.missing_mass_combination);
    f.write_float(r.damping);
    f.write_float(r.closely_spaced);
}

}  // namespace

ResponseSpectrumInput& response_spectrum_input()
{
    return document().part<ResponseSpectrumInput>();
}

const char* modal_combination_name(int combination)
{
    switch (combination) {
    case 2: return "CQC";
    case 3: return "Ten percent";
    case 4: return "Absolute sum";
    default: return "SRSS";
    }
}

const char* sum_combination_name(int combination)
{
    return combination == 2 ? "Absolute sum" : "SRSS";
}

std::string response_spectrum_name_fault(const std::string& name)
{
    return name.empty() ? std::string() : spectrum_name_fault(name);
}

bool response_spectrum_factor_valid(float factor)
{
    return std::isfinite(factor) && factor >= 0.0f;
}

ResponseSpectrumFault response_spectrum_field_fault(const ResponseSpectrumInput& r)
{
    const char axes[] = {'X', 'Y', 'Z'};
    for (std::size_t d = 0; d < 3; ++d) {
        const int axis = static_cast<int>(d);
        if (std::string fault = response_spectrum_name_fault(r.spectrum[d]); !fault.empty())
            return {RS_FIELD_SPECTRUM + axis, std::move(fault)};
        if (!response_spectrum_factor_valid(r.factor[d]))
            return {RS_FIELD_FACTOR + axis, c_format("The %c spectrum factor should be a number >= 0", axes[d])};
    }
    if (r.modal_combination < 1 || r.modal_combination > MODAL_COMBINATIONS)
        return {RS_FIELD_MODAL_COMBINATION, "The combination of the modes is invalid"};
    if (r.direction_combination < 1 || r.direction_combination > SUM_COMBINATIONS)
        return {RS_FIELD_DIRECTION_COMBINATION, "The combination of the directions is invalid"};
    if (r.missing_mass_combination < 1 || r.missing_mass_combination > SUM_COMBINATIONS)
        return {RS_FIELD_MISSING_MASS_COMBINATION, "The combination of the missing mass is invalid"};
    if (!(r.damping >= 0.0f && r.damping < 1.0f))
        return {RS_FIELD_DAMPING, "The damping ratio should be 0 or more and below 1"};
    if (!(r.closely_spaced >= 0.0f && r.closely_spaced <= 1.0f))
        return {RS_FIELD_CLOSELY_SPACED, "The closely spaced fraction should be 0 to 1"};
    return {};
}

std::string response_spectrum_fault(const ResponseSpectrumInput& r)
{
    return response_spectrum_field_fault(r).text;
}

bool response_spectrum_uses(const std::string& name)
{
    if (name.empty())
        return false;
    for (const std::string& s : response_spectrum_input().spectrum)
        if (s == name)
            return true;
    return false;
}

void rename_response_spectrum_references(const std::string& old_name, const std::string& new_name)
{
    if (old_name.empty() || old_name == new_name)
        return;
    for (std::string& s : response_spectrum_input().spectrum)
        if (s == old_name)
            s = new_name;
}

void install_response_spectrum()
{
    register_block_section<ResponseSpectrumInput>(SECTION_RESPONSE_SPECTRUM, "the response spectrum",
                                                  response_spectrum_input, read_input, write_input);
}
