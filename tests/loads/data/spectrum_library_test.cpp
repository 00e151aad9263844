// The spectrum library file: a round trip of every field, the version gate
// of the record names, the message of every kind of bad file (files built
// here byte by byte), the text source's checks, and the shipped library's
// ordinates against the formulas of their standards.
#include "framework/binfile.h"
#include "framework/errors.h"
#include "loads/data/loads_fixture.h"
#include "loads/spectrum_library.h"
#include "model/model_file.h"

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

using namespace loads_test;

namespace {

Spectrum spectrum(const std::string& name, uint8_t abscissa, uint8_t ordinate, int32_t unit, uint8_t interpolation,
                  std::initializer_list<std::pair<float, float>> points)
{
    Spectrum s;
    s.name = name;
    s.abscissa = abscissa;
    s.ordinate = ordinate;
    s.ordinate_unit = unit;
    s.interpolation = interpolation;
    s.curve = curve(points);
    return s;
}

class SpectrumLibraryTest : public LoadsFileTest {
protected:
    std::string read_error(const std::string& what) const
    {
        return "There was an error while reading spectrum library:\n" + path("lib.spe") + what;
    }
    std::string read_message(const Bytes& b) const
    {
        put_bytes(path("lib.spe"), b.b);
        return thrown_text([&] { read_spectrum_library_file(path("lib.spe")); });
    }

    // A library of `version` holding one spectrum record as that version
    // lays it out, with the count given.
    static Bytes one_record_file(const char* magic, std::size_t name_width, int32_t count = 1)
    {
        Bytes b;
        b.name(magic, 16);
        b.i32(count);
        b.name("EL CENTRO NS", name_width);
        b.u8(ABSCISSA_PERIOD);
        b.u8(ORDINATE_ACCELERATION);
        b.u8(INTERPOLATE_LOG);
        b.i32(0);
        b.i32(3);
        for (float v : {0.05f, 0.4f, 0.5f, 1.2f, 2.0f, 0.3f})
            b.f32(v);
        return b;
    }
};

TEST_F(SpectrumLibraryTest, RoundTripKeepsEveryFieldAndNeverTheSpareRecord)
{
    SpectrumList list;
    list.append(spectrum("ASCE7-10 D SS=1.5 S1=0.6 LONGEST", ABSCISSA_PERIOD, ORDINATE_ACCELERATION, 0,
                         INTERPOLATE_LINEAR, {{0.01f, 0.45f}, {0.12f, 1.0f}, {0.6f, 1.0f}, {4.0f, 0.15f}}));
    list.append(spectrum("VEL", ABSCISSA_FREQUENCY, ORDINATE_VELOCITY, 3, INTERPOLATE_LOG,
                         {{0.5f, 120.0f}, {33.0f, 2.5f}}));
    list.append(spectrum("DISP", ABSCISSA_FREQUENCY, ORDINATE_DISPLACEMENT, 2, INTERPOLATE_LINEAR, {}));
    // The spare input record has options of its own; it is never written.
    list.spare() = spectrum("SPARE", ABSCISSA_PERIOD, ORDINATE_VELOCITY, 1, INTERPOLATE_LOG, {{1.0f, 1.0f}});
    const std::string file = path("lib.spe");
    write_spectrum_library_file(file, list);

    const std::vector<unsigned char> bytes = bytes_of(file);
    ASSERT_GE(bytes.size(), 20u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), std::string("KORVANEWSPE6000", 16));
    EXPECT_EQ(bytes[16], 3);   // the count: three spectra, not the spare

    const SpectrumLibraryContents read = read_spectrum_library_file(file);
    EXPECT_EQ(read.version, 600);
    ASSERT_EQ(read.records.size(), 3u);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(read.records[static_cast<std::size_t>(i - 1)], list[i]) << i;
    EXPECT_EQ(folder_names(), std::vector<std::string>{"lib.spe"});

    // A write that cannot be made says so and leaves no file behind.
    EXPECT_EQ(thrown_text([&] { write_spectrum_library_file(path("none/lib.spe"), list); }),
              "Unable to write Spectrum file\nNo such file or directory.");
    EXPECT_EQ(folder_names(), std::vector<std::string>{"lib.spe"});
}

TEST_F(SpectrumLibraryTest, RecordNamesFollowTheLibraryVersionWhichIsPutBackAfterwards)
{
    const int32_t before = model_file_version();
    // Version 500: 17-byte names (16 characters).
    put_bytes(path("lib.spe"), one_record_file("KORVANEWSPE5000", 17).b);
    SpectrumLibraryContents read = read_spectrum_library_file(path("lib.spe"));
    EXPECT_EQ(read.version, 500);
    ASSERT_EQ(read.records.size(), 1u);
    const Spectrum& s = read.records[0];
    EXPECT_EQ(s.name, "EL CENTRO NS");
    EXPECT_EQ(s.abscissa, ABSCISSA_PERIOD);
    EXPECT_EQ(s.interpolation, INTERPOLATE_LOG);
    EXPECT_EQ(s.curve, curve({{0.05f, 0.4f}, {0.5f, 1.2f}, {2.0f, 0.3f}}));
    EXPECT_EQ(model_file_version(), before);

    // The same record with the 33-byte names of version 600; its fourth
    // digit is no part of the version.
    put_bytes(path("lib.spe"), one_record_file("KORVANEWSPE6009", 33).b);
    read = read_spectrum_library_file(path("lib.spe"));
    EXPECT_EQ(read.version, 600);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].name, "EL CENTRO NS");

    // A failed read puts it back too.
    EXPECT_EQ(read_message(one_record_file("KORVANEWSPE5000", 17, 2)),
              read_error("\nThe number of spectra (2) is out of range"));
    EXPECT_EQ(model_file_version(), before);
}

TEST_F(SpectrumLibraryTest, BadFilesAreRefusedWithWhatIsWrong)
{
    const std::string lib = path("lib.spe");
    EXPECT_EQ(thrown_text([&] { read_spectrum_library_file(path("none.spe")); }),
              "Spectrum Library: " + path("none.spe") + "\nDoes not exist.");

    // The header: another kind, a version digit that is not one, a later
    // version (shown times 0.01), a file shorter than its header.
    const std::string unreadable = "Unable to read spectrum library:\n" + lib;
    EXPECT_EQ(read_message(one_record_file("KORVANEWVAL6000", 33)), unreadable);
    EXPECT_EQ(read_message(one_record_file("KORVANEWSPE60x0", 33)), unreadable);
    EXPECT_EQ(read_message(one_record_file("KORVANEWSPE6010", 33)), unreadable + "\nVersion = 6.01");
    Bytes short_header;
    short_header.name("KORVANEWSPE", 11);
    EXPECT_EQ(read_message(short_header), unreadable);

    // The count: missing, negative, more than the bytes hold.
    Bytes no_count;
    no_count.name("KORVANEWSPE6000", 16);
    EXPECT_EQ(read_message(no_count), read_error(""));
    EXPECT_EQ(read_message(one_record_file("KORVANEWSPE6000", 33, -1)),
              read_error("\nThe number of spectra (-1) is out of range"));
    EXPECT_EQ(read_message(one_record_file("KORVANEWSPE6000", 33, 2)),
              read_error("\nThe number of spectra (2) is out of range"));

    // A record: its options, its points (the record's other checks are its own).
    Bytes b = one_record_file("KORVANEWSPE6000", 33);
    const std::size_t options = 16 + 4 + 33;
    b.b[options + 1] = 4;
    EXPECT_EQ(read_message(b), read_error("\nSpectrum EL CENTRO NS: the ordinate kind is invalid"));
    b = one_record_file("KORVANEWSPE6000", 33);
    const std::size_t points = options + 3 + 4;
    b.b[points] = 200;
    EXPECT_EQ(read_message(b), read_error("\nSpectrum EL CENTRO NS: the file ends inside its 200 points"));
    b = one_record_file("KORVANEWSPE6000", 33);
    Bytes nan;
    nan.f32(std::numeric_limits<float>::quiet_NaN());
    std::copy(nan.b.begin(), nan.b.end(), b.b.begin() + static_cast<std::ptrdiff_t>(points + 4 + 12));
    EXPECT_EQ(read_message(b), read_error("\nSpectrum EL CENTRO NS: point 2 is not a number"));
    // Cut inside the record's name.
    b = one_record_file("KORVANEWSPE6000", 33);
    b.b.resize(options - 10);
    EXPECT_NE(read_message(b).find(read_error("")), std::string::npos);
}

TEST_F(SpectrumLibraryTest, TextSourceChecksEveryLine)
{
    const SpectrumList list = spectrum_library_from_source("# comment\n"
                                                           "SPECTRUM, A, Frequency, Velocity, m/s, Logarithmic\r\n"
                                                           "  1, 0.2\n"
                                                           "33, 0.01\n"
                                                           "\n"
                                                           "spectrum, B, period, displacement, mm, linear\n"
                                                           "0.1, 5\n");
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list[1], spectrum("A", ABSCISSA_FREQUENCY, ORDINATE_VELOCITY, 2, INTERPOLATE_LOG,
                                {{1.0f, 0.2f}, {33.0f, 0.01f}}));
    EXPECT_EQ(list[2], spectrum("B", ABSCISSA_PERIOD, ORDINATE_DISPLACEMENT, 3, INTERPOLATE_LINEAR, {{0.1f, 5.0f}}));

    const auto fault = [](const std::string& text) {
        return thrown_text([&] { spectrum_library_from_source(text); });
    };
    const std::string head = "SPECTRUM, A, Period, Acceleration, g, Linear\n";
    EXPECT_EQ(fault("1, 2\n"), "Line 1: 1, 2\nA point before the first SPECTRUM line");
    EXPECT_EQ(fault("SPECTRUM, A, Period, Acceleration, g\n"),
              "Line 1: SPECTRUM, A, Period, Acceleration, g\n"
              "A spectrum needs its name, abscissa, ordinate, unit and interpolation");
    EXPECT_EQ(fault("SPECTRUM, , Period, Acceleration, g, Linear\n1, 1\n"),
              "Line 1: SPECTRUM, , Period, Acceleration, g, Linear\nSpectrum name is required");
    EXPECT_NE(fault("SPECTRUM, A, Period, Acceleration, m/s, Linear\n").find("Unknown unit"), std::string::npos);
    // A library holds response spectra, not load factors.
    EXPECT_NE(fault("SPECTRUM, A, Period, Load factor, , Linear\n").find("Acceleration, Velocity or Displacement"),
              std::string::npos);
    EXPECT_EQ(fault(head + "1, x\n"),
              "Line 2: 1, x\nA point is its abscissa and its ordinate, two numbers");
    EXPECT_EQ(fault(head), "Line 1: " + head.substr(0, head.size() - 1) + "\nThe spectrum has no points");
    EXPECT_EQ(fault(head + "2, 1\n1, 1\n"), "Line 1: " + head.substr(0, head.size() - 1) +
                                                "\npoint 2: the abscissa is not above the one before it");
    EXPECT_EQ(fault(head + "1, 1\n" + head + "1, 1\n"),
              "Line 3: " + head.substr(0, head.size() - 1) + "\nSpectrum A is already defined");
}

// ---- The shipped library -------------------------------------------------------------

std::string shipped_source()
{
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/libraries/spectra.txt", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// ASCE/SEI 7-10, 11.4.5: the design response spectrum below TL.
double asce_design_sa(double sds, double sd1, double t)
{
    const double t0 = 0.2 * sd1 / sds;
    const double ts = sd1 / sds;
    if (t < t0)
        return sds * (0.4 + 0.6 * t / t0);
    if (t <= ts)
        return sds;
    return sd1 / t;
}

// EN 1998-1:2004, 3.2.2.2, Eqs. 3.2 to 3.5 with eta = 1 (5 % damping).
double ec8_elastic_se(double ag, double s, double tb, double tc, double td, double t)
{
    if (t <= tb)
        return ag * s * (1.0 + t / tb * (2.5 - 1.0));
    if (t <= tc)
        return ag * s * 2.5;
    if (t <= td)
        return ag * s * 2.5 * tc / t;
    return ag * s * 2.5 * tc * td / (t * t);
}

TEST(ShippedSpectrumLibraryTest, OrdinatesAreTheirStandardsFormulasAndInterpolateConservatively)
{
    const SpectrumList list = spectrum_library_from_source(shipped_source());
    struct Expected {
        std::string name;
        std::function<double(double)> sa;
    };
    std::vector<Expected> expected;
    // SS = 1.5 g and S1 = 0.6 g: Fa = 1.0 for site classes B, C and D
    // (Table 11.4-1, SS >= 1.25); Fv = 1.0, 1.3, 1.5 (Table 11.4-2, S1 >= 0.5).
    // SDS = 2/3 Fa SS, SD1 = 2/3 Fv S1.
    for (const auto& [site, fv] : std::vector<std::pair<std::string, double>>{{"B", 1.0}, {"C", 1.3}, {"D", 1.5}}) {
        const double sds = 2.0 / 3.0 * 1.0 * 1.5;
        const double sd1 = 2.0 / 3.0 * fv * 0.6;
        expected.push_back({"ASCE7-10 " + site + " SS=1.5 S1=0.6", [=](double t) { return asce_design_sa(sds, sd1, t); }});
    }
    // EN 1998-1 Table 3.2, Type 1: S, TB, TC, TD by ground type; ag = 1 g.
    struct Ground {
        const char* type;
        double s, tb, tc, td;
    };
    for (const Ground& g : {Ground{"A", 1.0, 0.15, 0.4, 2.0}, Ground{"B", 1.2, 0.15, 0.5, 2.0},
                            Ground{"C", 1.15, 0.2, 0.6, 2.0}, Ground{"D", 1.35, 0.2, 0.8, 2.0},
                            Ground{"E", 1.4, 0.15, 0.5, 2.0}})
        expected.push_back({std::string("EN1998-1 TYPE1 GROUND ") + g.type + " AG=1G",
                            [=](double t) { return ec8_elastic_se(1.0, g.s, g.tb, g.tc, g.td, t); }});

    ASSERT_EQ(list.count(), static_cast<int>(expected.size()));
    for (int i = 1; i <= list.count(); ++i) {
        const Spectrum& s = list[i];
        const Expected& e = expected[static_cast<std::size_t>(i - 1)];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(s.name, e.name);
        EXPECT_EQ(s.abscissa, ABSCISSA_PERIOD);
        EXPECT_EQ(s.ordinate, ORDINATE_ACCELERATION);
        EXPECT_EQ(spectrum_unit_name(s.ordinate, s.ordinate_unit), "g");
        EXPECT_EQ(s.interpolation, INTERPOLATE_LINEAR);
        ASSERT_GE(s.curve.size(), 2u);
        EXPECT_FLOAT_EQ(s.curve[0].x, 0.01f);
        EXPECT_FLOAT_EQ(s.curve[s.curve.size() - 1].x, 4.0f);
        // Every ordinate is the formula's to its six digits.
        for (const XYPair& p : s.curve)
            EXPECT_NEAR(p.y, e.sa(p.x), 1e-5 * e.sa(p.x)) << "T = " << p.x;
        // Between the points the curve lies on or above the formula, at most
        // 0.5 % above it: the corner periods are points.
        for (std::size_t k = 0; k + 1 < s.curve.size(); ++k)
            for (int j = 1; j < 20; ++j) {
                const double t = s.curve[k].x + (s.curve[k + 1].x - s.curve[k].x) * j / 20.0;
                const double ratio = s.curve.value_at(t) / e.sa(t);
                EXPECT_GE(ratio, 1.0 - 1e-5) << "T = " << t;
                EXPECT_LE(ratio, 1.005) << "T = " << t;
            }
    }
}

}  // namespace
