// Small piping models of the layouts whose supports carry friction, as
// batch files, for the tests of nonlinear supports and the support-state
// tools: a branch off a header that grows between its anchors, rising and
// running on one-way rests to its free end; a riser with a guide at each
// floor, a stop at its base, a clamp resting on a floor and a spring at its
// top; a pump's discharge dropping through its valve to a run on one-way
// rests and stops with gaps either way; a steam line with a U-loop between
// anchors, resting on every span and guided either side of the loop. Each
// with friction mu on its rests and guides, two hot thermal sets and, with
// `contraction`, a third below the ambient 70 degF, in which the pipe
// shrinks. At most about 60 layout rows. The same options give the same
// text.
#pragma once

#include "bench_random.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace support_layouts {

enum class Layout { Branch, Riser, PumpDrop, UnderLoop };
inline constexpr Layout LAYOUTS[] = {Layout::Branch, Layout::Riser, Layout::PumpDrop, Layout::UnderLoop};

struct Options {
    Layout layout = Layout::Branch;
    unsigned long long seed = 1;
    double mu = 0.3;
    bool contraction = false;
};

// A pipe size: name, outside diameter and wall (in, ASME B36.10M standard
// weight), long-radius bend radius (in, ASME B16.9: 1.5 D nominal) and the
// weight of a class 150 gate valve with its operator (lb).
struct PipeSize {
    const char* name;
    double od, wall;
    int bend_radius;
    int valve_weight;
};
inline constexpr PipeSize PIPE_SIZES[] = {{"12", 12.75, 0.375, 18, 1100}, {"8", 8.625, 0.322, 12, 520},
                                          {"6", 6.625, 0.280, 9, 300},    {"4", 4.5, 0.237, 6, 140},
                                          {"3", 3.5, 0.216, 5, 90},       {"2", 2.375, 0.154, 3, 35}};

// A batch file's title, version, options and material up to its PIPE
// section: English units with inch lengths, two thermal sets or, with
// `contraction`, three. The material rows are those of the shipped library
// (libraries/materials.mlb, ASME B31.3-2004 Tables C-6, C-1 and A-1).
inline std::string head_rows(const std::string& title, bool contraction)
{
    return title + "\nVERSION\n10.20\nOPTIONS\nB313,IN\nOPTEMP\n70,7000," + (contraction ? "3" : "2") +
           "\nMATERIAL\n"
           "A106B,0.2836,0.3,1.0,1.0,CS,Carbon steel A106 Grade B\n"
           "A106B,70,29.5E6,6.07E-6,20000\nA106B,200,28.8E6,6.38E-6,20000\n"
           "A106B,300,28.3E6,6.60E-6,20000\nA106B,400,27.7E6,6.82E-6,20000\n"
           "A106B,500,27.3E6,7.02E-6,18900\nA106B,600,26.7E6,7.23E-6,17300\n"
           "PIPE\n";
}

inline std::string layout_name(Layout layout)
{
    switch (layout) {
    case Layout::Branch: return "branch";
    case Layout::Riser: return "riser";
    case Layout::PumpDrop: return "pump";
    case Layout::UnderLoop: return "uloop";
    }
    return "";
}

class Writer {
public:
    explicit Writer(const Options& o)
        : o_(o), random_(0xD1B54A32D192ED03ull ^ (o.seed * 0x9E3779B97F4A7C15ull + static_cast<int>(o.layout) + 1))
    {
    }

    std::string text()
    {
        switch (o_.layout) {
        case Layout::Branch: branch(); break;
        case Layout::Riser: riser(); break;
        case Layout::PumpDrop: pump_drop(); break;
        case Layout::UnderLoop: under_loop(); break;
        }
        return header() + rows_;
    }

private:
    const Options& o_;
    BenchRandom random_;
    std::string rows_;
    int node_ = 0;

    static std::string number(double v)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", v);
        return text;
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(random_.below(10001)) / 10000.0; }
    const PipeSize& size(int index) const { return PIPE_SIZES[index]; }

    std::string header() const
    {
        std::string t = head_rows("Support layout " + layout_name(o_.layout) + " seed " + std::to_string(o_.seed) +
                                      " mu " + number(o_.mu),
                                  o_.contraction);
        for (const PipeSize& s : PIPE_SIZES)
            t += std::string("P") + s.name + "," + number(s.od) + "," + number(s.wall) + "\n";
        // Operating sets: two hot ones and, for a contraction case, a cold
        // one; the pressure of each set with the temperature.
        const std::string cold = o_.contraction ? "," + number(cold_) + ",50" : "";
        t += "LOADS\nHOT," + number(hot_) + ",150,1.0," + number(hot_ - 50) + ",120" + cold + "\n";
        t += "WARM," + number(warm_) + ",100,1.0," + number(warm_ - 40) + ",80" + cold + "\nLAYOUT\n";
        return t;
    }
    double hot_ = 0.0, warm_ = 0.0, cold_ = 0.0;
    void temperatures()
    {
        hot_ = 300 + 25 * random_.below(11);    // 300 to 550 degF
        warm_ = 200 + 25 * random_.below(7);    // 200 to 350 degF
        cold_ = 30 + random_.below(11);         // 30 to 40 degF
    }

    std::string mu() const { return o_.mu > 0.0 ? ",MU=" + number(o_.mu) : std::string(); }
    std::string rest() const { return ",CLS(0,NONE),DV(0,1,0)" + mu(); }
    std::string guide(double gap) const { return ",CG,GGAP=" + number(gap) + mu(); }
    int next() { return node_ += 10; }
    void row(const std::string& text) { rows_ += text + "\n"; }
    void run_from(int from, const PipeSize& s, const char* set, bool anchored)
    {
        row("F" + std::to_string(from) + ",MA106B,PP" + s.name + (anchored ? ",KA" : "") + ",CL=" + set);
    }
    // A straight run of `spans` spans along axis (sign), a one-way rest at
    // each span's end but the last, which ends on `last`.
    void rested_run(char axis, int sign, int spans, double span, const std::string& last)
    {
        for (int k = 0; k < spans; ++k) {
            const int length = static_cast<int>(span * uniform(0.6, 1.0));
            row("T" + std::to_string(next()) + "," + axis + std::to_string(sign * length) +
                (k + 1 < spans ? rest() : last));
        }
    }
    int gap_value() { return random_.below(5); }   // sixteenths of an inch, 0 to 1/4
    // A stop along a direction with the gap either way (none: it holds the
    // pipe where it stands).
    std::string gapped_stop(double gap, const char* direction) const
    {
        const std::string lower = gap > 0.0 ? "-" + number(gap) : std::string("0");
        return ",CLS(" + lower + "," + number(gap) + "),DV" + direction;
    }

    // A header between two anchors with a branch rising from a tee and
    // running on one-way rests, the last at its free end.
    void branch()
    {
        temperatures();
        const int h = random_.below(3), b = std::min(5, h + 1 + random_.below(3));
        const PipeSize& header = size(h);
        const PipeSize& br = size(b);
        run_from(next(), header, "HOT", true);
        const int tee_at = next();
        row("T" + std::to_string(tee_at) + ",X" + std::to_string(static_cast<int>(uniform(120, 360))) + ",KT");
        row("T" + std::to_string(next()) + ",X" + std::to_string(static_cast<int>(uniform(120, 360))) +
            (random_.chance(0.5) ? rest() : std::string()));
        row("T" + std::to_string(next()) + ",X" + std::to_string(static_cast<int>(uniform(60, 240))) + ",KA");
        run_from(tee_at, br, "WARM", false);
        const int rise = static_cast<int>(uniform(60, 180));
        row("T" + std::to_string(next()) + ",Y" + std::to_string(rise) + ",KI,B" + std::to_string(br.bend_radius));
        const int sign = random_.chance(0.5) ? 1 : -1;
        rested_run('Z', sign, 2 + random_.below(3), uniform(150, 260), rest());
    }

    // A riser from a pump's nozzle: a spool to the bottom bend, a stop
    // under the riser's foot, a guide at each floor, a clamp resting on
    // one floor, a spring at the top and a run on rests to an anchor.
    void riser()
    {
        temperatures();
        const PipeSize& s = size(1 + random_.below(3));
        run_from(next(), s, "HOT", true);
        row("T" + std::to_string(next()) + ",X" + std::to_string(static_cast<int>(uniform(36, 96))) + ",KI,B" +
            std::to_string(s.bend_radius));
        row("T" + std::to_string(next()) + ",Y24,CLS(0,NONE),DV(0,1,0)" + mu());
        const int floors = 2 + random_.below(4);
        const int clamp = random_.below(floors);
        const double gap = gap_value() / 16.0;
        for (int f = 0; f < floors; ++f) {
            const int height = static_cast<int>(uniform(120, 180));
            std::string items = guide(gap);
            row("T" + std::to_string(next()) + ",Y" + std::to_string(height) + items);
            if (f == clamp)
                row("L" + std::to_string(node_) + rest());
        }
        row("T" + std::to_string(next()) + ",Y" + std::to_string(static_cast<int>(uniform(48, 120))) + ",KI,B" +
            std::to_string(s.bend_radius));
        // The spring: a user hanger of a rate and a load near the weight of
        // the pipe it carries (steel and water, lb/in of the section).
        const double steel = 0.2836 * 3.14159265 * (s.od - s.wall) * s.wall;
        const double water = 0.0361 * 3.14159265 / 4.0 * (s.od - 2 * s.wall) * (s.od - 2 * s.wall);
        const double load = (steel + water) * uniform(150, 300);
        row("T" + std::to_string(next()) + ",Z" + std::to_string(static_cast<int>(uniform(30, 60))) + ",CUS(1," +
            number(static_cast<int>(uniform(200, 1500))) + "," + number(static_cast<int>(load)) + ")");
        rested_run('Z', 1, 2 + random_.below(3), uniform(150, 240), ",KA");
    }

    // A pump's discharge: up from the nozzle, through the valve, over and
    // down to a run on one-way rests and stops with gaps either way
    // (across and along the run), to an anchor.
    void pump_drop()
    {
        temperatures();
        const PipeSize& s = size(1 + random_.below(4));
        run_from(next(), s, "HOT", true);
        row("T" + std::to_string(next()) + ",Y" + std::to_string(static_cast<int>(2 * s.od + 6)) + ",JV,CVWGT=" +
            std::to_string(s.valve_weight));
        row("T" + std::to_string(next()) + ",Y" + std::to_string(static_cast<int>(uniform(48, 120))) + ",KI,B" +
            std::to_string(s.bend_radius));
        row("T" + std::to_string(next()) + ",X" + std::to_string(static_cast<int>(uniform(48, 120))) + ",KI,B" +
            std::to_string(s.bend_radius));
        row("T" + std::to_string(next()) + ",Y-" + std::to_string(static_cast<int>(uniform(60, 150))) + ",KI,B" +
            std::to_string(s.bend_radius));
        const int spans = 3 + random_.below(3);
        for (int k = 0; k < spans; ++k) {
            const int length = static_cast<int>(uniform(90, 200));
            std::string items = rest();
            const int n = next();
            row("T" + std::to_string(n) + ",X" + std::to_string(length) + (k + 1 < spans ? items : ",KA"));
            if (k + 1 == spans)
                break;
            const double lateral = gap_value() / 16.0, axial = gap_value() / 16.0;
            if (random_.chance(0.6))
                row("L" + std::to_string(n) + gapped_stop(lateral, "(0,0,1)"));
            if (random_.chance(0.4))
                row("L" + std::to_string(n) + gapped_stop(axial, "(1,0,0)"));
        }
    }

    // A steam line between two anchors with a U-loop at its middle, a rest
    // on every span and a guide either side of the loop.
    void under_loop()
    {
        temperatures();
        const PipeSize& s = size(random_.below(5));
        const double span = uniform(150, 260);
        run_from(next(), s, "HOT", true);
        const int before = 2 + random_.below(3), after = 2 + random_.below(3);
        const double gap = gap_value() / 16.0;
        rested_run('X', 1, before, span, rest());
        row("L" + std::to_string(node_) + guide(gap));
        // The loop: out, along, back, each leg ending on its bend.
        const std::string bend = ",KI,B" + std::to_string(s.bend_radius);
        const int depth = static_cast<int>(uniform(120, 300)), width = static_cast<int>(uniform(60, 160));
        row("T" + std::to_string(next()) + ",X" + std::to_string(s.bend_radius * 2) + bend);
        row("T" + std::to_string(next()) + ",Z" + std::to_string(depth) + bend);
        row("T" + std::to_string(next()) + ",X" + std::to_string(width) + bend);
        row("T" + std::to_string(next()) + ",Z-" + std::to_string(depth) + bend);
        row("T" + std::to_string(next()) + ",X" + std::to_string(s.bend_radius * 2 + 12) + rest());
        row("L" + std::to_string(node_) + guide(gap));
        rested_run('X', 1, after, span, ",KA");
    }
};

// The batch file's text.
inline std::string batch_text(const Options& o)
{
    return Writer(o).text();
}

// A plant header tree of about `rows` layout rows: a 16, 20 or 24 in header
// on a rack between anchors, turning now and then, on a one-way rest at
// every span with a guide on every third, and many 2 to 4 in branches off
// it through tees, each rising or running level over a few spans on
// one-way rests to its free end, which rests too.
inline std::string tree_text(unsigned long long seed, double mu, int rows, bool contraction)
{
    BenchRandom random(0xA0761D6478BD642Full ^ (seed * 0xE7037ED1A0B428DBull + 11));
    auto number = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", v);
        return std::string(text);
    };
    // ASME B36.10M standard weight: outside diameter and wall (in); long
    // radius bends 1.5 D nominal (ASME B16.9).
    struct Header {
        const char* name;
        double od, wall;
        int bend;
    };
    static constexpr Header HEADERS[] = {{"16", 16.0, 0.375, 24}, {"20", 20.0, 0.375, 30}, {"24", 24.0, 0.375, 36}};
    const Header& h = HEADERS[random.below(3)];
    const std::string m = mu > 0.0 ? ",MU=" + number(mu) : std::string();
    const std::string rest = ",CLS(0,NONE),DV(0,1,0)" + m;
    const int hot = 300 + 25 * random.below(9), warm = 200 + 25 * random.below(5), cold = 30 + random.below(11);
    std::string t = head_rows("Header tree seed " + std::to_string(seed) + " mu " + number(mu), contraction) +
                    std::string("PH,") + number(h.od) + "," + number(h.wall) + "\nP4,4.5,0.237\nP3,3.5,0.216\nP2,2.375,0.154\n";
    const std::string cold_set = contraction ? "," + std::to_string(cold) + ",50" : "";
    t += "LOADS\nHOT," + std::to_string(hot) + ",150,1.0," + std::to_string(hot - 50) + ",120" + cold_set + "\n";
    t += "WARM," + std::to_string(warm) + ",100,1.0," + std::to_string(warm - 40) + ",80" + cold_set + "\nLAYOUT\n";

    std::string header_rows, branch_rows;
    int node = 0, used = 1, spans = 0;
    std::vector<int> tees;
    header_rows = "F" + std::to_string(node += 10) + ",MA106B,PPH,KA,CL=HOT\n";
    char axis = 'X';
    int sign = 1;
    const int header_share = std::max(20, rows / 3);
    while (used < header_share) {
        const int length = 240 + random.below(121);
        std::string line = "T" + std::to_string(node += 10) + "," + axis + std::to_string(sign * length);
        if (random.chance(0.08) && used + 2 < header_share) {
            line += ",KI,B" + std::to_string(h.bend);
            axis = axis == 'X' ? 'Z' : 'X';
            sign = random.chance(0.5) ? 1 : -1;
        } else if (spans % 3 != 2 && random.chance(0.35)) {
            // A branch's tee, between the header's supports.
            line += ",KT";
            tees.push_back(node);
        } else {
            line += rest;
            if (++spans % 3 == 0) {
                header_rows += line + "\n";
                line = "L" + std::to_string(node) + ",CG,GGAP=0.0625" + m;
                ++used;
            }
        }
        header_rows += line + "\n";
        ++used;
    }
    header_rows += "T" + std::to_string(node += 10) + "," + axis + std::to_string(sign * 240) + ",KA\n";
    for (int tee : tees) {
        if (used >= rows - 4)
            break;
        const char* size = random.chance(0.4) ? "PP4" : random.chance(0.5) ? "PP3" : "PP2";
        branch_rows += "F" + std::to_string(tee) + ",MA106B," + size + ",CL=WARM\n";
        ++used;
        const char level = axis == 'X' ? 'Z' : 'X';
        if (random.chance(0.5)) {
            branch_rows += "T" + std::to_string(node += 10) + ",Y" + std::to_string(36 + random.below(85)) + ",KI,B6\n";
            ++used;
        }
        const int n = 1 + random.below(4);
        const int direction = random.chance(0.5) ? 1 : -1;
        for (int k = 0; k < n; ++k, ++used)
            branch_rows += "T" + std::to_string(node += 10) + "," + level +
                           std::to_string(direction * (100 + random.below(81))) + rest + "\n";
    }
    return t + header_rows + branch_rows;
}

}  // namespace support_layouts
