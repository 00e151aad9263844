#include "framework/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string>

namespace {

// Switches the process to a locale with a decimal comma for the life of the
// object; `name` stays empty when the machine has none.
class CommaLocale {
public:
    CommaLocale()
    {
        const char* saved = std::setlocale(LC_ALL, nullptr);
        saved_ = saved ? saved : "C";
        for (const char* candidate : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"}) {
            if (std::setlocale(LC_ALL, candidate) != nullptr) {
                name = candidate;
                break;
            }
        }
    }
    ~CommaLocale()
    {
        std::locale::global(std::locale::classic());
        std::setlocale(LC_ALL, saved_.c_str());
    }
    std::string name;

private:
    std::string saved_;
};

std::string plain_snprintf(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

}  // namespace

TEST(TextFormat, FormatsLikePrintfWithoutLengthLimit)
{
    EXPECT_EQ(c_format("%d-%s-%.2f", 7, "ab", 2.5), "7-ab-2.50");
    EXPECT_EQ(c_format("%s", ""), "");
    std::string long_text(1000, 'x');
    EXPECT_EQ(c_format("<%s>%d", long_text.c_str(), 42), "<" + long_text + ">42");
}

TEST(TextParse, ReadsWholeDecimalTextsOnly)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1.5", true, 1.5},       {"  -2.25 ", true, -2.25}, {"+3", true, 3.0},
        {"1e3", true, 1000.0},    {"1.5E-2", true, 0.015},   {".5", true, 0.5},
        {"", false, 0},           {"   ", false, 0},         {"1,5", false, 0},
        {"1.5x", false, 0},       {"abc", false, 0},         {"+-1", false, 0},
        {"++1", false, 0},        {"inf", false, 0},         {"nan", false, 0},
        {"1e400", false, 0},      {"1 5", false, 0},
    };
    for (const Case& c : cases) {
        double out = -99.0;
        EXPECT_EQ(parse_c_double(c.text, out), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(out, c.ok ? c.value : -99.0) << c.text;
    }
}

TEST(TextLocale, CommaLocaleChangesNothing)
{
    CommaLocale locale;
    if (locale.name.empty())
        GTEST_SKIP() << "no locale with a decimal comma installed (install locales-all)";
    ASSERT_EQ(plain_snprintf(1.5), "1,5") << "locale " << locale.name << " has no decimal comma";
    EXPECT_EQ(c_format("%.2f|%g|%E", 1.25, 0.5, 1500.0), "1.25|0.5|1.500000E+03");
    double out = 0.0;
    EXPECT_TRUE(parse_c_double("2.75", out));
    EXPECT_DOUBLE_EQ(out, 2.75);
    EXPECT_FALSE(parse_c_double("2,75", out));
}

TEST(TextLocale, StartUpSetsNumericLocaleToC)
{
    CommaLocale locale;
    if (locale.name.empty())
        GTEST_SKIP() << "no locale with a decimal comma installed (install locales-all)";
    std::locale::global(std::locale(locale.name.c_str()));
    std::setlocale(LC_ALL, locale.name.c_str());
    ASSERT_EQ(plain_snprintf(1.5), "1,5");
    std::ostringstream before;
    before << 1.5;
    ASSERT_EQ(before.str(), "1,5");

    set_numeric_c_locale();
    EXPECT_EQ(plain_snprintf(1.5), "1.5");
    std::ostringstream after;
    after << 1.5;
    EXPECT_EQ(after.str(), "1.5");
}
