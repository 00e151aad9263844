// The staging reader of a CAESAR II neutral file: the sections in their set
// order, each line with the count of numbers its layout gives, everything
// the model uses kept in the store with its line. Nothing of the model is
// touched here.
//
// Numbers are read as Fortran writes them: white space separates them, a
// sign that follows a digit or a point starts the next one (fields of fixed
// width that touch), and "D" stands for the exponent letter "E". A line is
// read as C's scanf reads it: the values after the last one read are not
// looked at (writers add values of their own), and values missing at the
// end of a line read as 0; such short lines are kept for the closing note.
// A field that is not a number where one is read refuses its line, quoted
// as the file writes it.
//
// A file that ends before the line of its first element, or that holds no
// section head at all, holds no model: the reader says so and the import
// changes nothing.
#include "exchange/cii_staging.h"

#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "model/layout_row.h"
#include "model/nodes.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Thrown where the file ends before the line of its first element.
struct CiiNoModel {};

constexpr double LOWEST_VERSION = 4.5;
constexpr double HIGHEST_VERSION = 10.0;

bool is_white(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// The number texts of a line, as the line writes them.
std::vector<std::string> number_words(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    auto finish = [&] {
        if (!word.empty())
            words.push_back(std::move(word));
        word.clear();
    };
    for (const char c : line) {
        if (is_white(c)) {
            finish();
            continue;
        }
        if ((c == '-' || c == '+') && !word.empty() && (is_digit(word.back()) || word.back() == '.'))
            finish();
        word.push_back(c);
    }
    finish();
    return words;
}

// A number text as C reads it: Fortran's exponent letter D is E.
std::string c_number_text(const std::string& word)
{
    std::string text = upper_case(word);
    for (char& c : text)
        if (c == 'D')
            c = 'E';
    return text;
}

bool read_integer(const std::string& word, int& out)
{
    std::size_t i = word[0] == '+' || word[0] == '-' ? 1 : 0;
    if (i == word.size())
        return false;
    int64_t v = 0;
    for (; i < word.size(); ++i) {
        if (!is_digit(word[i]))
            return false;
        v = v * 10 + (word[i] - '0');
        if (v > std::numeric_limits<int32_t>::max())
            return false;
    }
    out = static_cast<int>(word[0] == '-' ? -v : v);
    return true;
}

int64_t ceil6(int64_t n)
{
    return (n + 5) / 6;
}

class CiiReader {
public:
    explicit CiiReader(const NeutralLines& lines) : lines_(lines) {}

    // The next line; the end of the file and a faulty line end the import.
    void read()
    {
        ++number_;
        if (number_ > lines_.count()) {
            if (!model_begun_)
                throw CiiNoModel{};
            // The line that should follow the last one: there is no text to show.
            raw_.clear();
            fail("End of file reached");
        }
        raw_ = lines_.text(number_);
        if (!lines_.fault(number_).empty())
            fail(lines_.fault(number_));
        upper_ = upper_case(raw_);
    }
    void skip(int64_t count)
    {
        for (int64_t i = 0; i < count; ++i)
            read();
    }
    // A section head: the line begins with its text.
    void head(const std::string& text)
    {
        read();
        if (upper_.rfind(text, 0) != 0)
            fail(text + " not found");
    }
    // The first `count` numbers of a line; those it lacks are 0.
    std::vector<double> values(std::size_t count)
    {
        read();
        const std::vector<std::string> words = leading_words(count);
        std::vector<double> v(count, 0.0);
        for (std::size_t i = 0; i < words.size(); ++i)
            if (!parse_c_double(c_number_text(words[i]), v[i]))
                fail("Invalid number :  " + shown_controls(words[i]));
        return v;
    }
    // The first `count` whole numbers of a line; those it lacks are 0.
    std::vector<int> integers(std::size_t count)
    {
        read();
        const std::vector<std::string> words = leading_words(count);
        std::vector<int> v(count, 0);
        for (std::size_t i = 0; i < words.size(); ++i)
            if (!read_integer(words[i], v[i]))
                fail("Invalid integer :  " + shown_controls(words[i]));
        return v;
    }
    // `total` numbers written six to a line (the last line holds the rest).
    std::vector<CiiValue> sixes(int total, bool whole)
    {
        std::vector<CiiValue> out;
        for (int done = 0; done < total;) {
            const std::size_t on_line = static_cast<std::size_t>(std::min(6, total - done));
            if (whole) {
                for (int v : integers(on_line))
                    out.push_back({static_cast<double>(v), number_});
            } else {
                for (double v : values(on_line))
                    out.push_back({v, number_});
            }
            done += static_cast<int>(on_line);
        }
        return out;
    }

    int line() const { return number_; }
    int lines_left() const { return lines_.count() - number_; }
    // The first line of an element has been read: from here on the file
    // holds a model, and its end is a fault of the file.
    void begin_model() { model_begun_ = true; }
    const std::string& upper() const { return upper_; }
    [[noreturn]] void fail(const std::string& message) const
    {
        throw MessageText(cii_error_text(number_, raw_, message));
    }

    // The lines that held fewer values than were read from them.
    const std::vector<int>& short_lines() const { return short_lines_; }

private:
    // The words of the first `count` values; a line with fewer is kept as short.
    std::vector<std::string> leading_words(std::size_t count)
    {
        std::vector<std::string> words = number_words(raw_);
        if (words.size() > count)
            words.resize(count);
        else if (words.size() < count)
            short_lines_.push_back(number_);
        return words;
    }

    const NeutralLines& lines_;
    int number_ = 0;
    std::string raw_;
    std::string upper_;
    std::vector<int> short_lines_;
    bool model_begun_ = false;
};

// Reads `count` records, each by `read_one`, into `into`. Room is made as
// they are read, so a count that the file does not hold allocates no more
// than its lines: the import ends at the line where a missing record
// should stand.
template <typename T, typename F>
void read_records(CiiReader& r, OneBased<T>& into, int count, F&& read_one)
{
    into = OneBased<T>();
    into.reserve(std::min(count, r.lines_left()));
    for (int i = 1; i <= count; ++i)
        read_one(into[into.push_back(T{})]);
}

bool above(const CiiStaging& s, double threshold)
{
    return s.version.value > threshold;
}

// ---- VERSION and CONTROL ----------------------------------------------------------------------

void read_version(CiiReader& r, CiiStaging& s)
{
    r.head("#$ VERSION");
    const std::vector<double> v = r.values(2);
    s.version = {v[1], r.line()};
    if (s.version.value < LOWEST_VERSION)
        r.fail("Cannot Import CAESAR II Neutral file version < 4.5");
    if (s.version.value > HIGHEST_VERSION)
        r.fail(c_format("Cannot Import CAESAR II Neutral file with version > 10.0: version %g found, versions "
                        "4.5 to 10.0 are read",
                        s.version.value));
    r.read();
    // The title stands from the 13th character on.
    std::string title = r.upper().size() > 12 ? r.upper().substr(12) : std::string();
    trim_blanks(title);
    s.title = title.substr(0, 49);
    trim_blanks(s.title);
    r.skip(59);
}

void read_control(CiiReader& r, CiiStaging& s)
{
    r.head("#$ CONTROL");
    s.control_line = r.line() + 1;
    std::vector<int> v = r.integers(above(s, 5.0) ? 6 : 5);
    std::vector<int*> counts = {&s.elements, &s.nozzles, &s.hangers, &s.node_names, &s.reducers};
    if (above(s, 5.0))
        counts.push_back(&s.flanges);
    auto take = [&](std::vector<int*> into) {
        for (std::size_t i = 0; i < into.size(); ++i) {
            if (v[i] < 0)
                r.fail(c_format("Invalid count :  %d", v[i]));
            *into[i] = v[i];
        }
    };
    take(counts);
    // Every element makes a row at the least.
    if (s.elements > MAXROWS)
        r.fail("Maximum number of elements exceeded");
    v = r.integers(6);
    take({&s.bends, &s.rigids, &s.expansion_joints, &s.restraints, &s.displacements, &s.forces});
    v = r.integers(6);
    take({&s.uniform_loads, &s.winds, &s.offsets, &s.allowables, &s.sifs});
    s.z_vertical = v[5] != 0;
    if (above(s, 5.2)) {
        v = r.integers(1);
        take({&s.equipment});
    }
}

// ---- ELEMENTS -----------------------------------------------------------------------------------

void check_node(CiiReader& r, double node, const char* which)
{
    if (node > MAX_NODE_NUMBER)
        r.fail(c_format("%s Node number cannot be > %d", which, MAX_NODE_NUMBER));
    if (node < 0.0)
        r.fail(c_format("%s Node number cannot be < 0", which));
}

void read_elements(CiiReader& r, CiiStaging& s)
{
    r.head("#$ ELEMENTS");
    read_records(r, s.element, s.elements, [&](CiiElement& e) {
        std::vector<double> v = r.values(6);
        r.begin_model();
        e.line = r.line();
        e.from = v[0];
        e.to = v[1];
        e.offset = {v[2], v[3], v[4]};
        e.od = v[5];
        check_node(r, e.from, "From");
        check_node(r, e.to, "To");
        v = r.values(6);
        e.line2 = r.line();
        e.wall = v[0];
        e.insulation = v[1];
        e.corrosion = v[2];
        e.t[0] = v[3], e.t[1] = v[4], e.t[2] = v[5];
        v = r.values(6);
        for (std::size_t k = 0; k < 6; ++k)
            e.t[3 + k] = v[k];
        v = r.values(6);
        e.pressure_line = r.line();
        for (std::size_t k = 0; k < 6; ++k)
            e.p[k] = v[k];
        v = r.values(6);
        e.line5 = r.line();
        e.p[6] = v[0], e.p[7] = v[1], e.p[8] = v[2];
        e.nu = v[4];
        e.density = v[5];
        v = r.values(6);
        e.line6 = r.line();
        e.insulation_density = v[0];
        e.fluid_density = v[1];
        e.mill = v[3];
        e.hydrotest = v[5];
        if (above(s, 5.0)) {
            r.values(6);
            r.values(s.version.value < 5.3 ? 4 : 6);
        }
        if (above(s, 5.2))
            r.values(5);
        if (above(s, 8.0))
            r.skip(1);
        const std::vector<int> indices = r.integers(6);
        e.index_line = r.line();
        e.bend = indices[0];
        e.rigid = indices[1];
        e.expansion_joint = indices[2];
        r.integers(6);
        const std::vector<int> last = r.integers(above(s, 5.2) ? 3 : above(s, 5.0) ? 2 : 1);
        e.reducer_line = r.line();
        e.reducer = last[0];
    });
}

// ---- AUX_DATA -------------------------------------------------------------------------------------

void read_aux_data(CiiReader& r, CiiStaging& s)
{
    r.head("#$ AUX_DATA");
    if (s.node_names != 0) {
        r.head("#$ NODENAME");
        r.skip(s.node_names);
        s.skipped.push_back({"node name", "node names", s.node_names});
    }

    r.head("#$ BEND");
    read_records(r, s.bend, s.bends, [&](CiiBend& b) {
        std::vector<double> v = r.values(6);
        b.line = r.line();
        b.radius = v[0];
        b.angle1 = v[2];
        b.node1 = v[3];
        b.angle2 = v[4];
        b.node2 = v[5];
        v = r.values(5);
        b.thickness_line = r.line();
        b.fitting_thickness = v[3];
        if (s.version.value >= 5.3)
            r.values(1);
    });

    r.head("#$ RIGID");
    read_records(r, s.rigid, s.rigids, [&](CiiRigid& g) {
        g.weight = r.values(1)[0];
        g.line = r.line();
    });

    r.head("#$ EXPJT");
    read_records(r, s.expansion_joint, s.expansion_joints, [&](CiiExpansionJoint& j) {
        const std::vector<double> v = r.values(5);
        j = {r.line(), v[0], v[1], v[2], v[3], v[4]};
    });

    r.head("#$ RESTRANT");
    read_records(r, s.restraint, s.restraints, [&](std::vector<CiiRestraintBlock>& record) {
        record.resize(above(s, 8.0) ? 6 : 4);
        for (CiiRestraintBlock& b : record) {
            std::vector<double> v = r.values(6);
            b.line = r.line();
            b.node = v[0], b.type = v[1], b.stiffness = v[2], b.gap = v[3], b.mu = v[4], b.connected = v[5];
            v = r.values(3);
            b.cosine_line = r.line();
            b.cosines = {v[0], v[1], v[2]};
            if (above(s, 8.0))
                r.skip(2);
        }
    });

    r.head("#$ DISPLMNT");
    read_records(r, s.displacement, s.displacements, [&](std::array<CiiDisplacementBlock, 2>& record) {
        for (CiiDisplacementBlock& b : record) {
            b.node = r.values(1)[0];
            b.line = r.line();
            for (std::size_t k = 0; k < 3; ++k) {
                const std::vector<double> v = r.values(6);
                b.vector_lines[k] = r.line();
                std::copy(v.begin(), v.end(), b.vectors[k].begin());
            }
            r.skip(6);
        }
    });

    r.head("#$ FORCMNT");
    read_records(r, s.force, s.forces, [&](std::array<CiiForceBlock, 2>& record) {
        for (CiiForceBlock& b : record) {
            b.node = r.values(1)[0];
            b.line = r.line();
            for (std::size_t k = 0; k < 9; ++k) {
                const std::vector<double> v = r.values(6);
                b.vector_lines[k] = r.line();
                std::copy(v.begin(), v.end(), b.vectors[k].begin());
            }
        }
    });

    struct Skipped {
        const char* head;
        const char* one;
        const char* many;
        int count;
        int lines_each;
    };
    const Skipped skipped[] = {
        {"#$ UNIFORM", "uniform load", "uniform loads", s.uniform_loads, 2},
        {"#$ WIND", "wind load", "wind loads", s.winds, 1},
        {"#$ OFFSETS", "offset", "offsets", s.offsets, 1},
        {"#$ ALLOWBLS", "allowable stress record", "allowable stress records", s.allowables, above(s, 5.3) ? 26 : 18}};
    for (const Skipped& k : skipped) {
        r.head(k.head);
        r.skip(int64_t{k.count} * k.lines_each);
        if (k.count != 0)
            s.skipped.push_back({k.one, k.many, k.count});
    }

    r.head("#$ SIF&TEES");
    read_records(r, s.sif, s.sifs, [&](std::array<CiiSifEntry, 2>& record) {
        for (CiiSifEntry& entry : record)
            for (std::size_t l = 0; l < 5; ++l) {
                const std::vector<double> v = r.values(6);
                if (l == 0)
                    entry.line = r.line();
                std::copy(v.begin(), v.end(), entry.values.begin() + static_cast<std::ptrdiff_t>(6 * l));
            }
    });

    r.head("#$ REDUCERS");
    read_records(r, s.reducer, s.reducers, [&](CiiReducer& d) {
        const std::vector<double> v = r.values(5);
        d = {r.line(), v[0], v[1]};
    });

    if (above(s, 5.0)) {
        r.head("#$ FLANGES");
        r.skip(int64_t{s.flanges} * 12);
        if (s.flanges != 0)
            s.skipped.push_back({"flange", "flanges", s.flanges});
    }
    if (above(s, 5.2)) {
        r.head("#$ EQUIPMN");
        r.skip(int64_t{s.equipment} * 6);
        if (s.equipment != 0)
            s.skipped.push_back({"equipment record", "equipment records", s.equipment});
    }
}

// ---- MISCEL_1, UNITS, COORDS ----------------------------------------------------------------------

void read_miscel(CiiReader& r, CiiStaging& s)
{
    r.head("#$ MISCEL_1");
    const std::vector<CiiValue> materials = r.sixes(s.elements, false);
    for (int i = 1; i <= s.elements; ++i)
        s.element[i].material = materials[static_cast<std::size_t>(i - 1)];

    read_records(r, s.nozzle, s.nozzles, [&](CiiNozzle& n) {
        std::vector<double> v = r.values(6);
        n.line = r.line();
        std::copy(v.begin(), v.end(), n.values.begin());
        v = r.values(6);
        std::copy(v.begin(), v.end(), n.values.begin() + 6);
        if (above(s, 8.0)) {
            v = r.values(6);
            std::copy(v.begin(), v.end(), n.values.begin() + 12);
            r.values(4);
        } else {
            v = r.values(4);
            std::copy(v.begin(), v.end(), n.values.begin() + 12);
        }
    });

    if (s.hangers != 0) {
        const int h = s.hangers;
        r.skip(2);
        const std::vector<CiiValue> nodes = r.sixes(h, true);
        r.skip(int64_t{h} * (above(s, 8.0) ? 4 : 2));
        r.skip(h);
        const std::vector<CiiValue> counts = r.sixes(h, true);
        const std::vector<CiiValue> tables = r.sixes(h, true);
        r.skip(2 * ceil6(h));
        s.hanger = OneBased<CiiHanger>(h);
        for (int i = 1; i <= h; ++i) {
            const auto k = static_cast<std::size_t>(i - 1);
            s.hanger[i] = {nodes[k], counts[k], tables[k]};
        }
    }

    std::vector<double> v = r.values(6);
    s.bourdon = v[2] != 0.0;
    s.liberal = v[5] != 0.0;
    v = r.values(3);
    s.pressure_correction = v[1] != 0.0;
    s.ambient = {v[2], r.line()};
    r.skip(above(s, 8.0) ? 2 : 1);
}

void read_units(CiiReader& r, CiiStaging& s)
{
    r.head("#$ UNITS");
    CiiUnits& u = s.units;
    struct Factor {
        CiiValue* into;
        std::size_t position;   // on its line, from 0
        bool positive;
    };
    const std::vector<std::vector<Factor>> lines = {
        {{&u.length, 0, true}, {&u.force, 1, true}, {&u.weight, 2, true}, {&u.moment, 3, true}, {&u.stress, 5, true}},
        {{&u.temperature, 0, true},
         {&u.temperature_offset, 1, false},
         {&u.pressure, 2, true},
         {&u.modulus, 3, true},
         {&u.pipe_density, 4, true},
         {&u.insulation_density, 5, true}},
        {{&u.fluid_density, 0, true}, {&u.stiffness, 1, true}, {&u.rot_stiffness, 2, true}},
        {{&u.diameter, 2, true}, {&u.wall, 3, true}},
    };
    for (const std::vector<Factor>& line : lines) {
        const std::vector<double> v = r.values(&line == &lines.back() ? 4 : 6);
        for (const Factor& f : line) {
            const double value = v[f.position];
            // A factor divides every value of its quantity.
            if (f.positive && !(value > 0.0))
                r.fail(c_format("Invalid conversion factor :  %g", value));
            *f.into = {value, r.line()};
        }
    }
    r.skip(24);
}

// COORDS is optional: a file may end before its head, or before or among
// its entries.
void read_coords(CiiReader& r, CiiStaging& s)
{
    if (r.lines_left() == 0)
        return;
    r.read();
    if (r.upper().rfind("#$ COORDS", 0) != 0) {
        s.skipped.push_back({"line after the UNITS section", "lines after the UNITS section", r.lines_left() + 1});
        return;
    }
    if (r.lines_left() == 0)
        return;
    const int count = r.integers(1)[0];
    if (count < 0)
        r.fail(c_format("Invalid count :  %d", count));
    for (int i = 0; i < count && r.lines_left() > 0; ++i) {
        const std::vector<double> v = r.values(4);
        const double node = v[0];
        if (node < 1.0 || node > MAX_NODE_NUMBER || node != std::floor(node))
            r.fail(c_format("Invalid node number :  %g", node));
        s.coordinates.emplace(static_cast<int>(node), CiiCoordinate{r.line(), {v[1], v[2], v[3]}});
    }
    if (r.lines_left() > 0)
        s.skipped.push_back({"line after the COORDS section", "lines after the COORDS section", r.lines_left()});
}

}  // namespace

std::string cii_error_text(int line_number, const std::string& line, const std::string& message)
{
    return c_format("line = %d\n", line_number) + shown_controls(line) + "\n" + message;
}

bool read_cii_staging(const NeutralLines& lines, CiiStaging& s)
{
    // Lines none of which is a section head (an empty file, a byte-order
    // mark or a title alone) hold no model; a line that is no text at all
    // is refused at that line.
    bool head = false, faulty = false;
    for (int n = 1; n <= lines.count() && !head; ++n) {
        head = upper_case(lines.text(n)).rfind("#$", 0) == 0;
        faulty = faulty || !lines.fault(n).empty();
    }
    if (!head && !faulty)
        return false;
    CiiReader r(lines);
    try {
        read_version(r, s);
        read_control(r, s);
        read_elements(r, s);
        read_aux_data(r, s);
        read_miscel(r, s);
        read_units(r, s);
        read_coords(r, s);
    } catch (const CiiNoModel&) {
        return false;
    }
    s.short_lines = r.short_lines();
    return s.elements > 0;
}
