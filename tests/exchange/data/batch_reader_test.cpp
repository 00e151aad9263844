// The batch file's line reader: the two tokenizers, section heads and the
// lines they pass over, line numbers, long lines and the error text.
#include "exchange/batch_reader.h"
#include "exchange/data/batch_fixture.h"

#include <sstream>
#include <vector>

using namespace batch_test;

namespace {

// Every token (or field) of a text; "<>" stands for an empty one.
std::vector<std::string> all(const std::string& text, bool fields)
{
    BatchTokenizer t;
    t.start(text);
    std::vector<std::string> out;
    while (const std::optional<std::string> s = fields ? t.next_field() : t.next_token())
        out.push_back(s->empty() ? "<>" : *s);
    return out;
}

using Strings = std::vector<std::string>;

// A line that never ends: one character for ever, counting how many the
// reader took.
class EndlessLine : public std::streambuf {
public:
    explicit EndlessLine(char c) : c_(c) {}
    std::size_t taken = 0;

protected:
    int_type underflow() override
    {
        setg(&c_, &c_, &c_ + 1);
        ++taken;
        return traits_type::to_int_type(c_);
    }

private:
    char c_;
};

// The error text of reading the stream's lines until one is refused.
std::string refusal_of_lines(std::istream& in)
{
    BatchReader r(in);
    try {
        while (r.read_line()) {
        }
    } catch (const MessageText& m) {
        return m.text;
    }
    return {};
}

// The data lines of a text with the section each belongs to.
std::vector<std::pair<int, std::string>> data_lines(const std::string& text)
{
    std::istringstream in(text);
    BatchReader r(in);
    std::vector<std::pair<int, std::string>> lines;
    while (r.read_line())
        lines.push_back({r.section(), r.line()});
    EXPECT_EQ(r.section(), BATCH_END);
    return lines;
}

}  // namespace

TEST(BatchTokenizerTest, TokensEndAtBlanksAndCommasOutsideParentheses)
{
    EXPECT_EQ(all("T10,X5 Y6", false), (Strings{"T10", "X5", "Y6"}));
    EXPECT_EQ(all("  DIS(0.1, 0, -0.2),WGT=150", false), (Strings{"DIS(0.1, 0, -0.2)", "WGT=150"}));
    // Two commas, or a blank and a comma, give an empty token; blanks alone,
    // a comma and blanks, and a comma at the end give none.
    EXPECT_EQ(all("A,,B", false), (Strings{"A", "<>", "B"}));
    EXPECT_EQ(all("A ,B", false), (Strings{"A", "<>", "B"}));
    EXPECT_EQ(all("A   B", false), (Strings{"A", "B"}));
    EXPECT_EQ(all("A,   B,", false), (Strings{"A", "B"}));
    EXPECT_EQ(all(",A", false), (Strings{"<>", "A"}));
    EXPECT_EQ(all("\t \r", false), Strings{});
    // An open parenthesis that no ")" closes runs to the end.
    EXPECT_EQ(all("LS(1, 2", false), (Strings{"LS(1, 2"}));
}

TEST(BatchTokenizerTest, FieldsEndAtCommasOnlyAndKeepTheirBlanks)
{
    EXPECT_EQ(all("P-101 FEED PUMP ,1, 10", true), (Strings{"P-101 FEED PUMP ", "1", "10"}));
    EXPECT_EQ(all("A,,B,", true), (Strings{"A", "<>", "B"}));
    EXPECT_EQ(all("X (1,2) Y,Z", true), (Strings{"X (1,2) Y", "Z"}));
}

TEST(BatchReaderTest, HeadsSwitchSectionsAndArePassedOver)
{
    const auto lines = data_lines("A title\n"
                                  "second title line\n"
                                  "MATERIALS\n"
                                  "CS,0.283\n"
                                  "PIPES,8\n"          // not a key: a line of MATERIAL
                                  "pipe\n"             // lower case is upper-cased first
                                  "P1,8.625,0.322\n"
                                  "WIND1\n"
                                  "0,0.6,1,0,0\n"
                                  "WIND\n"
                                  "50,0.6,1\n"
                                  "*keeps Case\n"
                                  "COD, and the rest\n"
                                  "LAYOUT\n"
                                  "T10\n");
    const std::vector<std::pair<int, std::string>> expected = {
        {BATCH_TITLE, "A title"},      {BATCH_TITLE, "second title line"}, {BATCH_MATERIAL, "CS,0.283"},
        {BATCH_MATERIAL, "PIPES,8"},   {BATCH_PIPE, "P1,8.625,0.322"},     {BATCH_WIND1, "0,0.6,1,0,0"},
        {BATCH_WIND, "50,0.6,1"},      {BATCH_WIND, "*keeps Case"},
    };
    EXPECT_EQ(lines, expected);
}

TEST(BatchReaderTest, OwnHeadInsideEquipmentSectionsIsADataLine)
{
    const auto lines = data_lines("PUMPS\nPUMPS A,1,10\nOPTIONS\nOPTIONS\nSI\nCOMPRESSORS\nCOMPRESSOR 1,1,0,0\n");
    const std::vector<std::pair<int, std::string>> expected = {
        {BATCH_PUMPS, "PUMPS A,1,10"}, {BATCH_OPTIONS, "SI"}, {BATCH_COMPRESSORS, "COMPRESSOR 1,1,0,0"}};
    EXPECT_EQ(lines, expected);
}

TEST(BatchReaderTest, LinesAreCountedAndCutAtTheirEnd)
{
    // A line ends at LF, CR LF or CR alone.
    std::istringstream in("a\r\nPIPE\r\nP1,8.625,0.322\rnext\n\nlast");
    BatchReader r(in);
    ASSERT_TRUE(r.read_line());
    EXPECT_EQ(r.line(), "a");
    ASSERT_TRUE(r.read_line());
    EXPECT_EQ(r.line_number(), 3);
    EXPECT_EQ(r.line(), "P1,8.625,0.322");
    EXPECT_EQ(r.work(), "P1,8.625,0.322");
    // The tokenizer stands behind the line's first token.
    EXPECT_EQ(r.tokens.next_token(), std::optional<std::string>("8.625"));
    ASSERT_TRUE(r.read_line());
    EXPECT_EQ(r.line(), "next");
    ASSERT_TRUE(r.read_line());
    EXPECT_EQ(r.line(), "");
    ASSERT_TRUE(r.read_line());
    EXPECT_EQ(r.line_number(), 6);
    EXPECT_EQ(r.line(), "last");
    EXPECT_FALSE(r.read_line());
}

TEST(BatchReaderTest, LineLongerThanTheLimitOrHoldingANulIsRefusedWithItsNumber)
{
    // A NUL would cut a description written to the model file: the line is
    // quoted up to it.
    std::istringstream nul("MATERIAL\nCS,0.283,0.3,1,1,CS,Carbon" + std::string(1, '\0') + "steel\n");
    BatchReader with_nul(nul);
    try {
        with_nul.read_line();
        FAIL() << "a line with a NUL was taken";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, line_error(2, "CS,0.283,0.3,1,1,CS,Carbon", "The line holds a NUL character"));
    }

    std::istringstream in("title\n" + std::string(BATCH_LINE_LIMIT, 'A') + "\n" + std::string(BATCH_LINE_LIMIT + 1, 'B'));
    BatchReader r(in);
    ASSERT_TRUE(r.read_line());
    ASSERT_TRUE(r.read_line());
    EXPECT_EQ(r.line().size(), BATCH_LINE_LIMIT);
    try {
        r.read_line();
        FAIL() << "a line of " << BATCH_LINE_LIMIT + 1 << " characters was taken";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, line_error(3, std::string(80, 'B') + "...", "The line is longer than 2000 characters"));
    }
}

// A line without an end (a file of gigabytes without a line break) is
// refused as soon as it passes the limit: the reader takes one character
// past it and no more. A file of binary data, NULs from its first byte on,
// is refused for its NUL, and the error text holds none (a text cut at a NUL
// would show the line number alone).
TEST(BatchReaderTest, AnEndlessLineIsRefusedOnceItPassesTheLimitAndANulLineIsNamed)
{
    EndlessLine endless('B');
    std::istream long_line(&endless);
    EXPECT_EQ(refusal_of_lines(long_line),
              line_error(1, std::string(80, 'B') + "...", "The line is longer than 2000 characters"));
    EXPECT_LE(endless.taken, BATCH_LINE_LIMIT + 1);

    EndlessLine nuls('\0');
    std::istream binary(&nuls);
    const std::string text = refusal_of_lines(binary);
    EXPECT_EQ(text, line_error(1, "", "The line holds a NUL character"));
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_LE(nuls.taken, BATCH_LINE_LIMIT + 1);

    // NULs before the text of a long line, the line's end far behind the limit.
    std::istringstream nul_first("VERSION\n" + std::string(3, '\0') + std::string(5000, 'C') + "\nOPTIONS\n");
    EXPECT_EQ(refusal_of_lines(nul_first), line_error(2, "", "The line holds a NUL character"));
    // A NUL behind text: the text before it is quoted.
    std::istringstream nul_behind("PIPE\nP6,6.625" + std::string(1, '\0') + std::string(3000, 'D') + "\n");
    EXPECT_EQ(refusal_of_lines(nul_behind), line_error(2, "P6,6.625", "The line holds a NUL character"));
    // A line of exactly the limit, its byte-order mark not counted, is taken.
    std::istringstream at_limit("\xEF\xBB\xBF" + std::string(BATCH_LINE_LIMIT, 'E') + "\r\nCOD\n");
    BatchReader r(at_limit);
    ASSERT_TRUE(r.read_line());
    EXPECT_EQ(r.line(), std::string(BATCH_LINE_LIMIT, 'E'));
    EXPECT_FALSE(r.read_line());
}

TEST(BatchReaderTest, ContinuationStopsAtTheEndOfTheFileAndAtAHead)
{
    std::istringstream in("LAYOUT\nT10,CWGT=1,\nTAG=A\nPUMPS\n");
    BatchReader r(in);
    ASSERT_TRUE(r.read_line());
    r.read_continuation("end", "head");
    EXPECT_EQ(r.line(), "TAG=A");
    EXPECT_EQ(r.tokens.next_token(), std::optional<std::string>("TAG=A"));
    try {
        r.read_continuation("end", "head");
        FAIL();
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, line_error(4, "PUMPS", "head"));
    }
    try {
        r.read_continuation("end", "head");
        FAIL();
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, line_error(4, "PUMPS", "end"));
    }
}

TEST(BatchReaderTest, ErrorTextNamesLineMessageAndDetail)
{
    EXPECT_EQ(batch_error_text(7, "T10,X1", "Invalid X", "1A"), "Line = 7 :  T10,X1\nInvalid X :  1A");
    EXPECT_EQ(batch_error_text(1, "", "Version number is required"), "Line = 1 :  \nVersion number is required");
}
