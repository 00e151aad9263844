// The line reader of the model batch file (".mbf"): a line-oriented keyword
// text of sections. A line whose first token, cut to five characters, is a
// section key opens that section; every other line is a data line of the
// section current when it is read (title lines before the first key).
//
// Each line is kept as read (the raw line, which error texts quote) and as a
// work copy, upper-cased unless the line begins with "*", which the section
// readers take apart with the two tokenizers:
//
//   next_token   ends a token at white space or a comma outside parentheses
//                ("(" opens a stretch that the next ")" closes); a comma
//                right after the separator of the previous token gives an
//                empty token ("A,,B", "A ,B"); blanks alone and a comma at
//                the end of the line give none.
//   next_field   ends a field only at a comma outside parentheses; blanks
//                inside it stay.
// Both return nothing once the line is used up.
//
// Every failure of a line is the import error text
//   "Line = <n> :  <line as read>\n<message>"   (then " :  <detail>")
// thrown as a MessageText.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

// Section codes of the batch file.
enum BatchSection : int {
    BATCH_VERSION = -2,
    BATCH_END = -1,
    BATCH_TITLE = 0,
    BATCH_OPTIONS = 1,
    BATCH_MATERIAL = 2,
    BATCH_PIPE = 3,
    BATCH_JOINT = 4,
    BATCH_LAYOUT = 5,
    BATCH_SEISMIC = 6,
    BATCH_WIND = 7,
    BATCH_BMATERIALS = 8,
    BATCH_BSECTIONS = 9,
    BATCH_BLOADS = 10,
    BATCH_LOADS = 11,
    BATCH_PUMPS = 12,
    BATCH_COMPRESSORS = 13,
    BATCH_TURBINES = 14,
    BATCH_SOILS = 18,
    BATCH_ALLOWABLES = 19,
    BATCH_OPCODE = 20,
    BATCH_OPTEMP = 21,
    BATCH_OPPRES = 22,
    BATCH_OPMISC = 23,
    BATCH_ASCES = 24,
    BATCH_ASCEW = 25,
    BATCH_WIND1 = 26,   // BATCH_WIND1 + n - 1: wind load n
    BATCH_WIND4 = 29,
};

// The longest line the reader takes. Lines the batch export writes for an
// anchor or nozzle with many displacement sets run to several hundred
// characters; longer ones are refused with a message.
inline constexpr std::size_t BATCH_LINE_LIMIT = 2000;

// The smallest bend radius a row's B token gives, inch.
inline constexpr float BATCH_LEAST_BEND_RADIUS = 0.01f;

// The section code of a line's first token (cut to five characters), or
// BATCH_END for "COD"; nothing when the token is no key.
std::optional<int> batch_section_key(const std::string& first_token);

class BatchTokenizer {
public:
    // Starts on a copy of the text.
    void start(const std::string& text);
    std::optional<std::string> next_token();
    std::optional<std::string> next_field();
    // What is left of the text behind the read position.
    std::string rest() const;
    // Where the last token or field began in the text.
    std::size_t last_start() const { return last_start_; }

private:
    // Skips white space; false at the end of the text.
    bool skip_white();
    std::optional<std::string> next(bool comma_only);
    std::string scan(bool comma_only);

    std::string text_;
    std::size_t pos_ = 0;
    std::size_t last_start_ = 0;
};

class BatchReader {
public:
    explicit BatchReader(std::istream& in) : in_(in) {}

    // Reads on to the next data line, passing over section heads: true with
    // the line in line() and work() and the section in section(); false at
    // the end of the file or at a "COD" line (section() is then BATCH_END).
    // `tokens` stands behind the first token of the returned line. The heads
    // of OPPRES and OPMISC passed on the way are reported by
    // take_option_heads(), so that their defaults are applied before the
    // line is read.
    bool read_line();
    // The next physical line, which continues the record of the line before
    // (a continued item list, a wind profile line). A file that ends there
    // ends the import with `at_end` at the last line read; a line that is a
    // section head or "COD" with `at_head` at that line.
    void read_continuation(const std::string& at_end, const std::string& at_head);

    int section() const { return section_; }
    void set_section(int section) { section_ = section; }
    int line_number() const { return line_number_; }
    const std::string& line() const { return line_; }
    const std::string& work() const { return work_; }

    // OPPRES and OPMISC heads passed since the last call, as flags.
    struct OptionHeads {
        bool oppres = false;
        bool opmisc = false;
    };
    OptionHeads take_option_heads();

    // The import error text of the current line.
    [[noreturn]] void fail(const std::string& message) const;
    [[noreturn]] void fail(const std::string& message, const std::string& detail) const;

    BatchTokenizer tokens;
    BatchTokenizer fields;
    // The two tokenizers started on the current line's work copy.
    BatchTokenizer& line_tokens();
    BatchTokenizer& line_fields();

private:
    // Reads a physical line into line_ and work_; false at the end of the file.
    bool next_physical_line();

    std::istream& in_;
    std::string line_;
    std::string work_;
    int line_number_ = 0;
    int section_ = BATCH_TITLE;
    OptionHeads heads_;
};

// The import error text: "Line = %d :  %s\n%s", then " :  " and the detail.
std::string batch_error_text(int line_number, const std::string& line, const std::string& message,
                             const std::optional<std::string>& detail = std::nullopt);
