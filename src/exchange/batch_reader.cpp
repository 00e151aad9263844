#include "exchange/batch_reader.h"

#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"

#include <array>
#include <string_view>
#include <utility>

namespace {

// How much of a refused overlong line the error text quotes.
constexpr std::size_t QUOTED_LONG_LINE = 80;

struct SectionKey {
    std::string_view key;
    int section;
};

// Keys of fewer than five characters match only a token of exactly that
// text, since a longer token keeps more characters when it is cut.
constexpr std::array<SectionKey, 28> SECTION_KEYS = {{
    {"VERSI", BATCH_VERSION}, {"OPTIO", BATCH_OPTIONS},   {"OPCOD", BATCH_OPCODE},
    {"OPTEM", BATCH_OPTEMP},  {"OPPRE", BATCH_OPPRES},    {"OPMIS", BATCH_OPMISC},
    {"MATER", BATCH_MATERIAL}, {"LOADS", BATCH_LOADS},    {"BMATE", BATCH_BMATERIALS},
    {"SOILS", BATCH_SOILS},   {"PIPE", BATCH_PIPE},       {"BSECT", BATCH_BSECTIONS},
    {"BLOAD", BATCH_BLOADS},  {"JOINT", BATCH_JOINT},     {"LAYOU", BATCH_LAYOUT},
    {"SEISM", BATCH_SEISMIC}, {"ASCES", BATCH_ASCES},     {"WIND", BATCH_WIND},
    {"ASCEW", BATCH_ASCEW},   {"WIND1", BATCH_WIND1},     {"WIND2", BATCH_WIND1 + 1},
    {"WIND3", BATCH_WIND1 + 2}, {"WIND4", BATCH_WIND4},   {"PUMPS", BATCH_PUMPS},
    {"COMPR", BATCH_COMPRESSORS}, {"TURBI", BATCH_TURBINES}, {"ALLOW", BATCH_ALLOWABLES},
    {"COD", BATCH_END},
}};

bool is_white(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Sections whose own head, met while they are current, is a data line.
bool head_repeats_as_data(int section)
{
    return section == BATCH_PUMPS || section == BATCH_COMPRESSORS || section == BATCH_TURBINES ||
           section == BATCH_ALLOWABLES;
}

std::string upper_ascii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

}  // namespace

std::optional<int> batch_section_key(const std::string& first_token)
{
    const std::string_view cut = std::string_view(first_token).substr(0, 5);
    if (cut.empty())
        return std::nullopt;
    for (const SectionKey& k : SECTION_KEYS)
        if (k.key == cut)
            return k.section;
    return std::nullopt;
}

// ---- Tokenizer ----------------------------------------------------------------------

void BatchTokenizer::start(const std::string& text)
{
    text_ = text;
    pos_ = 0;
    last_start_ = 0;
}

bool BatchTokenizer::skip_white()
{
    while (pos_ < text_.size() && is_white(text_[pos_]))
        ++pos_;
    return pos_ < text_.size();
}

std::string BatchTokenizer::scan(bool comma_only)
{
    const std::size_t start = pos_;
    bool in_parentheses = false;
    for (; pos_ < text_.size(); ++pos_) {
        const char c = text_[pos_];
        if (in_parentheses) {
            in_parentheses = c != ')';
        } else if (c == '(') {
            in_parentheses = true;
        } else if (c == ',' || (!comma_only && is_white(c))) {
            std::string token = text_.substr(start, pos_ - start);
            ++pos_;   // the separator is consumed
            return token;
        }
    }
    return text_.substr(start);
}

std::optional<std::string> BatchTokenizer::next(bool comma_only)
{
    if (!skip_white())
        return std::nullopt;
    last_start_ = pos_;
    if (text_[pos_] == ',') {
        ++pos_;
        return std::string();
    }
    return scan(comma_only);
}

std::optional<std::string> BatchTokenizer::next_token()
{
    return next(false);
}

std::optional<std::string> BatchTokenizer::next_field()
{
    return next(true);
}

std::string BatchTokenizer::rest() const
{
    return pos_ < text_.size() ? text_.substr(pos_) : std::string();
}

// ---- Reader ---------------------------------------------------------------------------

std::string batch_error_text(int line_number, const std::string& line, const std::string& message,
                             const std::optional<std::string>& detail)
{
    std::string text = c_format("Line = %d :  ", line_number) + shown_controls(line) + "\n" + message;
    if (detail)
        text += " :  " + shown_controls(*detail);
    return text;
}

void BatchReader::fail(const std::string& message) const
{
    throw MessageText(batch_error_text(line_number_, line_, message));
}

void BatchReader::fail(const std::string& message, const std::string& detail) const
{
    throw MessageText(batch_error_text(line_number_, line_, message, detail));
}

bool BatchReader::next_physical_line()
{
    std::string read;
    bool any = false;
    bool too_long = false;
    // A line ends at a line feed, a carriage return or both (CR LF), so that
    // files from any system read alike. Reading stops as soon as a line
    // passes the limit: nothing behind that is read.
    for (int c; (c = in_.get()) != std::char_traits<char>::eof();) {
        any = true;
        if (c == '\n')
            break;
        if (c == '\r') {
            if (in_.peek() == '\n')
                in_.get();
            break;
        }
        if (read.size() == BATCH_LINE_LIMIT) {
            too_long = true;
            break;
        }
        read.push_back(static_cast<char>(c));
        // A UTF-8 byte-order mark before the first line is no part of it.
        if (line_number_ == 0 && read.size() == 3 && read == "\xEF\xBB\xBF")
            read.clear();
    }
    if (!any)
        return false;
    ++line_number_;
    // Texts go to the model file padded with NULs: one that held a NUL would
    // not read back as it was read. A line holding one is quoted up to it,
    // so that the error text holds no NUL either; of an overlong line the
    // beginning is quoted.
    const std::size_t nul = read.find('\0');
    if (nul != std::string::npos || too_long) {
        line_ = read.substr(0, nul);
        if (too_long && line_.size() > QUOTED_LONG_LINE)
            line_ = line_.substr(0, QUOTED_LONG_LINE) + "...";
        if (nul != std::string::npos)
            fail("The line holds a NUL character");
        fail(c_format("The line is longer than %zu characters", BATCH_LINE_LIMIT));
    }
    line_ = std::move(read);
    work_ = line_.empty() || line_[0] != '*' ? upper_ascii(line_) : line_;
    return true;
}

BatchTokenizer& BatchReader::line_tokens()
{
    tokens.start(work_);
    return tokens;
}

BatchTokenizer& BatchReader::line_fields()
{
    fields.start(work_);
    return fields;
}

bool BatchReader::read_line()
{
    for (;;) {
        if (!next_physical_line()) {
            section_ = BATCH_END;
            return false;
        }
        tokens.start(work_);
        const std::optional<int> key = batch_section_key(tokens.next_token().value_or(""));
        if (!key)
            return true;
        if (*key == BATCH_END) {
            section_ = BATCH_END;
            return false;
        }
        if (head_repeats_as_data(*key) && section_ == *key)
            return true;
        section_ = *key;
        if (*key == BATCH_OPPRES)
            heads_.oppres = true;
        if (*key == BATCH_OPMISC)
            heads_.opmisc = true;
    }
}

void BatchReader::read_continuation(const std::string& at_end, const std::string& at_head)
{
    if (!next_physical_line())
        fail(at_end);
    tokens.start(work_);
    if (batch_section_key(tokens.next_token().value_or("")))
        fail(at_head);
    tokens.start(work_);
}

BatchReader::OptionHeads BatchReader::take_option_heads()
{
    return std::exchange(heads_, OptionHeads{});
}
