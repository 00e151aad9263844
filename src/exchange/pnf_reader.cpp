#include "exchange/pnf_reader.h"

#include "exchange/batch_reader.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/nodes.h"

#include <array>
#include <string_view>

namespace {

bool is_white(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

struct LineKey {
    std::string_view word;
    PnfLine kind;
};
constexpr std::array<LineKey, 7> LINE_KEYS = {{
    {"TITLE", PnfLine::Title},
    {"UNIT", PnfLine::Unit},
    {"GLOBAL", PnfLine::Global},
    {"MATERIAL", PnfLine::Material},
    {"ALLOWABLE", PnfLine::Allowable},
    {"LOAD", PnfLine::Load},
    {"PIPE", PnfLine::Pipe},
}};

// The file gives lengths and dimensions in cm and areas in cm2 where the
// program's METRIC units are mm and mm2.
constexpr double METRIC_LENGTH_SCALE = 10.0;
constexpr double METRIC_AREA_SCALE = 100.0;

}  // namespace

// ---- Lines --------------------------------------------------------------------------------

void PnfImport::restart_file()
{
    next_index_ = 1;
    line_number_ = 0;
    second_pass_ = true;
}

bool PnfImport::read_line()
{
    while (next_index_ <= lines_.count()) {
        line_number_ = next_index_++;
        line_ = lines_.text(line_number_);
        if (!lines_.fault(line_number_).empty())
            fail(lines_.fault(line_number_));
        work_ = !line_.empty() && line_[0] == '*' ? line_ : upper_case(line_);
        pos_ = 0;
        const std::optional<std::string> first = next();
        if (!first)
            continue;
        if (*first == "COD") {
            if (next_index_ <= lines_.count() && !second_pass_)
                note(PNF_IGNORED_LINES, c_format("lines %d to %d, after COD", next_index_, lines_.count()));
            next_index_ = lines_.count() + 1;
            return false;
        }
        keyword_ = *first;
        after_keyword_ = pos_;
        kind_ = PnfLine::Row;
        for (const LineKey& k : LINE_KEYS)
            if (k.word == keyword_)
                kind_ = k.kind;
        return true;
    }
    return false;
}

// ---- Words ----------------------------------------------------------------------------------

std::optional<std::string> PnfImport::next()
{
    while (pos_ < work_.size() && is_white(work_[pos_]))
        ++pos_;
    if (pos_ >= work_.size())
        return std::nullopt;
    std::string word;
    bool bracketed = false;
    for (; pos_ < work_.size(); ++pos_) {
        const char c = work_[pos_];
        if (bracketed) {
            bracketed = c != ')';
        } else if (c == '(') {
            bracketed = true;
        } else if (is_white(c)) {
            ++pos_;   // the separator is consumed
            break;
        }
        word.push_back(c);
    }
    return word;
}

void PnfImport::restart_words()
{
    pos_ = after_keyword_;
}

void PnfImport::end_of_line()
{
    if (const std::optional<std::string> extra = next())
        note(PNF_EXTRA_WORDS, here(*extra));
}

void PnfImport::fail(const std::string& message) const
{
    throw MessageText(batch_error_text(line_number_, line_, message));
}

void PnfImport::fail(const std::string& message, const std::string& word) const
{
    throw MessageText(batch_error_text(line_number_, line_, message, word));
}

std::string PnfImport::here(const std::string& word) const
{
    std::string text = c_format("line %d", line_number_);
    if (!word.empty())
        text += " (" + word + ")";
    return text;
}

int PnfImport::append_row()
{
    if (numrows() >= MAXROWS)
        fail("Maximum number of rows exceeded");
    const int row = append_layout_row();
    row_lines.resize(static_cast<std::size_t>(row) + 1);
    row_lines[static_cast<std::size_t>(row)] = line_number_;
    return row;
}

// ---- Node names -------------------------------------------------------------------------------

int PnfImport::node_number(const std::string& name)
{
    if (name.empty())
        return 0;
    if (const auto found = names_.find(name); found != names_.end())
        return found->second;
    int number = next_node_number(last_number_);
    while (number != 0 && number_taken(number))
        number = next_node_number(number);
    if (number == 0)
        fail(c_format("No node number below %d is left for the node", MAX_NODE_NUMBER + 1), name);
    names_[name] = number;
    taken_.insert(number);
    last_number_ = number;
    return number;
}

// ---- Values -------------------------------------------------------------------------------------

double PnfImport::plain(const std::string& word, const std::string& message, NeutralQuantity q) const
{
    double v = 0.0;
    if (parse_real(word, v) != 0 || !neutral_value_in_range(q, v))
        fail(message, word);
    return v;
}

float PnfImport::parsed(const std::string& word, int (*parser)(const std::string&, float&),
                        const std::string& message, NeutralQuantity q) const
{
    float v = 0.0f;
    if (parser(word, v) != 0 || !neutral_value_in_range(q, v))
        fail(message, word);
    return v;
}

float PnfImport::rescaled(const std::string& word, const std::string& message, NeutralQuantity q, int quantity,
                          double metric_scale, int (*parser)(const std::string&, float&)) const
{
    if (units != PnfUnits::Metric)
        return parsed(word, parser, message, q);
    double v = 0.0;
    if (parse_real(word, v) != 0)
        fail(message, word);
    v = unit_to_internal(quantity, current_unit(quantity), v * metric_scale);
    if (!neutral_value_in_range(q, v))
        fail(message, word);
    return static_cast<float>(v);
}

float PnfImport::length(const std::string& word, const std::string& message) const
{
    return rescaled(word, message, NeutralQuantity::Coordinate, LENGTH, METRIC_LENGTH_SCALE, parse_length);
}

float PnfImport::signed_dimension(const std::string& word, const std::string& message) const
{
    double v = 0.0;
    if (parse_real(word, v) != 0)
        fail(message, word);
    if (units == PnfUnits::Metric)
        v *= METRIC_LENGTH_SCALE;
    v = unit_to_internal(DIMENSION, current_unit(DIMENSION), v);
    if (!neutral_value_in_range(NeutralQuantity::SignedDimension, v))
        fail(message, word);
    return static_cast<float>(v);
}

float PnfImport::dimension(const std::string& word, const std::string& message) const
{
    const float v = signed_dimension(word, message);
    if (!neutral_value_in_range(NeutralQuantity::Dimension, v))
        fail(message, word);
    return v;
}

float PnfImport::area(const std::string& word, const std::string& message) const
{
    return rescaled(word, message, NeutralQuantity::Area, AREA, METRIC_AREA_SCALE, parse_area);
}

float PnfImport::stiffness(const std::string& word, const std::string& message) const
{
    return parsed(word, parse_stiffness, message, NeutralQuantity::Stiffness);
}

float PnfImport::rot_stiffness(const std::string& word, const std::string& message) const
{
    return parsed(word, parse_rot_stiffness, message, NeutralQuantity::Stiffness);
}

float PnfImport::one_rot_unit()
{
    return static_cast<float>(to_internal(ROT_STIFFNESS, 1.0));
}
