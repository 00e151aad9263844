#include "elements/branch_sif.h"

#include "elements/attribute_dialog_ids.h"
#include "elements/element_common.h"
#include "framework/binfile.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/piping_codes.h"
#include "platform/dialog.h"

#include <algorithm>

namespace {

struct TypeNames {
    const char* name;        // every code but the Nordic ones
    const char* swedish;
    const char* norwegian;
    const char* short_name;
};

const TypeNames NAMES[BRANCH_SIF_TYPE_COUNT + 1] = {
    {"???", "???", "???", "???"},
    {"Welding tee", "Welding tee", "Welding tee", "Welding tee"},
    {"Reinforced fabricated tee", "Reinforced branch (Item 7)", "Reinforced branch (Item 8)", "Reinf tee"},
    {"Unreinforced fabricated tee", "Unreinforced branch (Item 4)", "Unreinforced branch (Item 5)", "Unreinf tee"},
    {"Extruded welding tee", "Extruded welding tee", "Extruded welding tee", "Extruded tee"},
    {"Sweepolet (Welded-in contour insert)", "Sweepolet (Welded-in contour insert)",
     "Sweepolet (Welded-in contour insert)", "Sweepolet"},
    {"Weldolet (Branch welded-on fitting)", "Weldolet (Branch welded-on fitting)",
     "Weldolet (Branch welded-on fitting)", "Weldolet"},
    {"Radiused branch (Item 5)", "Radiused branch (Item 5)", "Radiused branch (Item 6)", "Radiusd brnch"},
    {"Branch on thickened pipe (Item 6)", "Branch on thickened pipe (Item 6)", "Branch on thickened pipe (Item 7)",
     "Br on thk pipe"},
    {"Branch connection", "Branch connection", "Branch connection", "Branch conn."},
};

bool valid_type(int type)
{
    return type >= 1 && type <= BRANCH_SIF_TYPE_COUNT;
}

bool is_norwegian(int32_t code)
{
    return code == CODE_NORWEGIAN_1983 || code == CODE_NORWEGIAN_1990;
}

bool is_b311_or_b319(int32_t code)
{
    return code == CODE_B311 || code == CODE_B319;
}

bool is_class_group(int32_t code)
{
    return code == CODE_ASME_CLASS2_1980 || code == CODE_ASME_CLASS2_1986 || code == CODE_ASME_CLASS2_1992 ||
           code == CODE_ASME_CLASS2_2015 || code == CODE_ASME_CLASS2_2017 || code == CODE_ASME_CLASS3_2017 ||
           code == CODE_RCCM;
}

// The types a code offers and allows, in the dialog's order.
std::vector<int> offered(int32_t code, bool b31j)
{
    if (b31j)
        return {1, 2, 3, 4, 5, 6};
    if (is_b311_or_b319(code))
        return {1, 2, 3, 6, 4, 5, 9};
    switch (code) {
    case CODE_B313: case CODE_B318: case CODE_CODETI: case CODE_EN13480: case CODE_B3112: case CODE_IGEM:
        return {1, 2, 3, 4, 5, 6};
    case CODE_NORWEGIAN_1983: case CODE_NORWEGIAN_1990:
        return {1, 3, 7, 8, 2};
    case CODE_SWEDISH:
        return {3, 7, 8, 2};
    default:
        return is_class_group(code) ? std::vector<int>{1, 2, 3, 9} : std::vector<int>{1, 2, 3};
    }
}

// " = <value> (unit)".
std::string value_text(float value)
{
    std::string number = format_dimension(value);
    trim_blanks(number);
    return " = " + number + " " + unit_label(DIMENSION);
}

}  // namespace

std::string branch_sif_type_name(int type, int32_t code, bool b31j)
{
    if (!valid_type(type))
        return NAMES[0].name;
    const TypeNames& n = NAMES[type];
    if (b31j)
        return type <= 6 ? n.name : NAMES[0].name;
    if (code == CODE_SWEDISH)
        return n.swedish;
    return is_norwegian(code) ? n.norwegian : n.name;
}

const char* branch_sif_short_name(int type)
{
    return NAMES[valid_type(type) ? type : 0].short_name;
}

std::vector<int> branch_sif_types_offered(int32_t code, bool b31j)
{
    return offered(code, b31j);
}

int sif_position_of_type(int type, int32_t code, bool b31j)
{
    const std::vector<int> list = offered(code, b31j);
    const auto it = std::find(list.begin(), list.end(), type);
    return it == list.end() ? 0 : static_cast<int>(it - list.begin());
}

int sif_type_at_position(int position, int32_t code, bool b31j)
{
    const std::vector<int> list = offered(code, b31j);
    return position >= 0 && position < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(position)]
                                                                      : list.front();
}

bool sif_type_invalid(int type, int32_t code, bool b31j)
{
    if (b31j)
        return type < 1 || type > 6;
    switch (code) {
    case CODE_NONE: case CODE_IGEM:
        return !valid_type(type);
    case CODE_B311: case CODE_B319:
        return !((type >= 1 && type <= 6) || type == 9);
    case CODE_B313: case CODE_B3112: case CODE_B318: case CODE_CODETI: case CODE_EN13480:
        return type < 1 || type > 6;
    case CODE_SWEDISH:
        return !(type == 2 || type == 3 || type == 7 || type == 8);
    case CODE_NORWEGIAN_1983: case CODE_NORWEGIAN_1990:
        return !(type == 1 || type == 2 || type == 3 || type == 7 || type == 8);
    default:
        if (is_class_group(code))
            return !(type == 1 || type == 2 || type == 3 || type == 9);
        return type < 1 || type > 3;
    }
}

int branch_sif_value_count(int type, int32_t code)
{
    switch (type) {
    case BRANCH_REINFORCED_TEE: case BRANCH_CONNECTION: return 1;
    case BRANCH_EXTRUDED_TEE: return is_b311_or_b319(code) ? 0 : 1;
    case BRANCH_RADIUSED: case BRANCH_THICKENED_PIPE: return 2;
    default: return 0;
    }
}

int branch_sif_default_type(int32_t code)
{
    return code == CODE_SWEDISH ? BRANCH_UNREINFORCED_TEE : BRANCH_WELDING_TEE;
}

std::string branch_sif_text(const BranchSif& sif, int32_t code, bool b31j)
{
    std::string text = branch_sif_type_name(sif.sif_type, code, b31j);
    const bool norwegian = is_norwegian(code);
    switch (sif.sif_type) {
    case BRANCH_REINFORCED_TEE:
        text += (code == CODE_SWEDISH ? ", Sp" : norwegian ? ", Tp" : ", pad thickness") + value_text(sif.value1);
        break;
    case BRANCH_EXTRUDED_TEE:
        if (!is_b311_or_b319(code))
            text += ", crotch radius" + value_text(sif.value1);
        break;
    case BRANCH_RADIUSED:
        text += ", r" + value_text(sif.value1) + (norwegian ? ", Te" : ", Se") + value_text(sif.value2);
        break;
    case BRANCH_THICKENED_PIPE:
        text += (norwegian ? ", Tf" : ", Sf") + value_text(sif.value1) + ", L" + value_text(sif.value2);
        break;
    case BRANCH_CONNECTION:
        if (sif.value1 != 0.0f)
            text += ", Branch radius (rp)" + value_text(sif.value1);
        break;
    default:
        break;
    }
    if (b31j)
        text += c_format(" ,No. of flanges = %d", sif.num_flanges);
    return text;
}

std::string branch_sif_text(const BranchSif& sif)
{
    return branch_sif_text(sif, piping_code(), analysis_options().use_b31j);
}

// ---- The data item -----------------------------------------------------------------------------

BranchSif::BranchSif() : sif_type(branch_sif_default_type(piping_code())) {}

void BranchSif::read(BinFile& file)
{
    sif_type = file.read_int();
    value1 = file.read_float();
    value2 = file.read_float();
    num_flanges = model_file_version() >= BRANCH_SIF_FLANGES_VERSION ? file.read_int() : 0;
    if (file.error())
        return;
    check_record(valid_type(sif_type), "Branch SIF", "the type is invalid");
    check_record(finite_value(value1, true) && finite_value(value2, true), "Branch SIF",
                 "a dimension is not a number or below 0");
    check_record(num_flanges >= 0 && num_flanges <= MAX_BRANCH_SIF_FLANGES, "Branch SIF",
                 "the number of flanges is invalid");
}

void BranchSif::write(BinFile& file) const
{
    file.write_int(sif_type);
    file.write_float(value1);
    file.write_float(value2);
    file.write_int(num_flanges);
}

void BranchSif::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const BranchSif*>(&other)) {
        sif_type = same->sif_type;
        value1 = same->value1;
        value2 = same->value2;
        num_flanges = same->num_flanges;
    }
}

bool BranchSif::same_values(const BranchSif& other) const
{
    return sif_type == other.sif_type && value1 == other.value1 && value2 == other.value2 &&
           num_flanges == other.num_flanges;
}

void BranchSif::count()
{
    model().list(BRANCH_SIF_ROWS).count_one();
}

void BranchSif::register_row(int row)
{
    model().list(BRANCH_SIF_ROWS).add(row);
}

std::string BranchSif::cell_text(int column) const
{
    return column == 2 ? branch_sif_text(*this) : std::string();
}

std::string BranchSif::description() const
{
    return branch_sif_type_name(sif_type, piping_code(), analysis_options().use_b31j);
}

void BranchSif::fill_dialog(Dialog& d) const
{
    const int32_t code = piping_code();
    d.list_select(BRANCH_SIF_TYPE, sif_position_of_type(sif_type, code, analysis_options().use_b31j));
    const int values = branch_sif_value_count(sif_type, code);
    if (values >= 1)
        d.set_text(BRANCH_SIF_VALUE1, format_dimension(value1));
    if (values >= 2)
        d.set_text(BRANCH_SIF_VALUE2, format_dimension(value2));
    if (num_flanges != 0)
        d.set_text(BRANCH_SIF_FLANGES, c_format("%d", num_flanges));
}
