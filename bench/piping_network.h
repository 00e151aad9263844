// A generated plant piping network as a batch file, for the nonlinear
// benchmark and the tests of converged support states: a 12 in header on a
// rack with L turns and vertical offsets, branches of 8, 6, 4 and 2 in off
// it and off each other through welding tees, a valve with its weight at
// most branch starts, long-radius bends (1.5 D) at every change of
// direction, anchors at the header's ends and at most branch ends, and two
// thermal sets (the header at 450 / 550 degF, the branches at 300 / 350
// degF). Along the horizontal runs, spaced by pipe size: one-way rests
// (a limit stop upward from 0 with no upper limit and friction), guides
// with a gap and friction, and axial limit stops with gaps; the vertical
// runs may carry guides and, now and then, a rod hanger at their top.
// With `stacked` every span support is a rest, and the guides and the axial
// stops sit on rests (items of their own at the rest's node, L rows); with
// `light_rests` a rest sits on a short spool right after every bend and
// before every run's end, where it carries little of the pipe's weight and
// the thermal motion may lift it.
//
// The same seed and options give the same text. With `rigid` the rests,
// guides and stops are two-way rigid restraints in their directions (the
// linear model of the same geometry).
#pragma once

#include "bench_random.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace piping_network {

struct Options {
    int rows = 1000;               // layout rows, at most 7,000 (one batch import)
    unsigned long long seed = 1;
    bool friction = true;          // mu on the rests and guides
    double mu = 0.3;
    double guide_gap = 0.0625;     // in
    double stop_lower = -0.25;     // in, the axial stops' limits
    double stop_upper = 0.25;
    double spacing = 1.0;          // a factor on the support spacing
    bool riser_guides = false;     // guides on the vertical runs
    bool rod_hangers = true;       // a rod hanger at the top of some risers
    bool rigid = false;            // rigid restraints in place of the supports
    bool stacked = false;          // a rest at every span support, guides and stops on rests
    int guide_every = 3;           // stacked: a guide on every n-th rest (1: on every span)
    int stop_every = 9;            // stacked: an axial stop on every n-th rest (0: none)
    bool light_rests = false;      // rests on short spools next to bends and run ends
};

struct Size {
    const char* name;
    double od, wall;
    int bend_radius;   // long radius, 1.5 D nominal
    int span;          // suggested support spacing, in (ASME B31.1 Table 121.5, water service)
    int valve_weight;  // lb, a class 150 gate valve with its operator
};
inline constexpr std::array<Size, 5> SIZES = {{{"12", 12.75, 0.375, 18, 276, 1100},
                                               {"8", 8.625, 0.322, 12, 228, 520},
                                               {"6", 6.625, 0.280, 9, 204, 300},
                                               {"4", 4.5, 0.237, 6, 168, 140},
                                               {"2", 2.375, 0.154, 3, 120, 35}}};

inline std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

// The batch file's text.
inline std::string batch_text(const Options& o)
{
    BenchRandom random(0x9E3779B97F4A7C15ull ^ (o.seed * 0x2545F4914F6CDD1Dull + 7));
    const int rows = std::clamp(o.rows, 40, 7000);
    std::string text = "Generated piping network\n"
                       "OPTIONS\n"
                       "B313,IN\n"
                       "MATERIAL\n"
                       "A106B,0.283,0.3\n"
                       "A106B,70,27.9E6,6.0E-6,20000\n"
                       "A106B,700,27.9E6,8.1E-6,16000\n"
                       "PIPE\n";
    for (const Size& s : SIZES)
        text += std::string("P") + s.name + "," + number(s.od) + "," + number(s.wall) + "\n";
    text += "LOADS\n"
            "HOT,450,150,1.0,550,150\n"
            "WARM,300,100,1.0,350,100\n"
            "LAYOUT\n";

    struct Line {
        std::string text;
        bool free = false;   // a plain node: a tee may go there
        std::string item;    // its support
        std::string extra;   // the items stacked on it (L rows)
        int size = 0;
        char axis = 'X';     // the run's direction there
    };
    std::vector<Line> lines;
    int stacked_rows = 0;   // the L rows of the stacked items
    auto used = [&] { return static_cast<int>(lines.size()) + stacked_rows; };
    int node = 0;
    const std::string mu = o.friction && o.mu > 0.0 ? ",MU=" + number(o.mu) : std::string();
    const std::string gap = ",GGAP=" + number(o.guide_gap);
    auto horizontal_support = [&](int count, char axis) -> std::string {
        const std::string along = axis == 'X' ? "(1,0,0)" : "(0,0,1)";
        const char across = axis == 'X' ? 'Z' : 'X';
        if (count % 9 == 8)
            return o.rigid ? std::string(",CF") + axis
                           : ",CLS(" + number(o.stop_lower) + "," + number(o.stop_upper) + "),DV" + along;
        if (count % 3 == 2)
            return o.rigid ? std::string(",CF") + across : ",CG" + gap + mu;
        return o.rigid ? std::string(",CFY") : ",CLS(0,NONE),DV(0,1,0)" + mu;
    };
    // Stacked: the rest, and the rows that put a guide or a stop on it.
    auto stacked_support = [&](int count, char axis, int at, std::string& extra) -> std::string {
        const std::string along = axis == 'X' ? "(1,0,0)" : "(0,0,1)";
        const char across = axis == 'X' ? 'Z' : 'X';
        const std::string l = "L" + std::to_string(at);
        if (o.guide_every > 0 && count % o.guide_every == o.guide_every - 1) {
            extra += l + (o.rigid ? std::string(",CF") + across : ",CG" + gap + mu) + "\n";
            ++stacked_rows;
        }
        if (o.stop_every > 0 && count % o.stop_every == o.stop_every - 1) {
            extra += l + (o.rigid ? std::string(",CF") + axis
                                  : ",CLS(" + number(o.stop_lower) + "," + number(o.stop_upper) + "),DV" + along) +
                     "\n";
            ++stacked_rows;
        }
        return o.rigid ? std::string(",CFY") : ",CLS(0,NONE),DV(0,1,0)" + mu;
    };
    auto support = [&](int count, char axis, int at, std::string& extra) {
        return o.stacked ? stacked_support(count, axis, at, extra) : horizontal_support(count, axis);
    };

    // One run from node `from` in size `size`, starting along `axis` with
    // `sign`, of about `legs` straight legs.
    auto run = [&](int from, int size, char axis, int sign, int legs, bool header) {
        const Size& s = SIZES[static_cast<std::size_t>(size)];
        const std::string set = header ? "HOT" : "WARM";
        lines.push_back({"F" + std::to_string(from) + ",MA106B,PP" + s.name + (header ? ",KA" : "") + ",CL=" + set,
                         false, "", "", size, axis});
        const int span = std::max(36, static_cast<int>(s.span * o.spacing));
        int supports = random.below(3);
        bool hanger_next = false;
        if (!header && random.chance(0.8)) {
            // The valve at the branch's start, with its weight.
            const int length = static_cast<int>(2.0 * s.od + 6.0);
            lines.push_back({"T" + std::to_string(++node) + "," + axis + std::to_string(sign * length) +
                                 ",JV,CVWGT=" + std::to_string(s.valve_weight),
                             false, "", "", size, axis});
        }
        for (int leg = 0; leg < legs && used() < rows - 2; ++leg) {
            const int spools = random.between(2, 6);
            for (int k = 0; k < spools && used() < rows - 2; ++k) {
                // A light rest: a short spool after the bend, just longer
                // than the bend takes.
                const bool light = o.light_rests && leg > 0 && k == 0 && !hanger_next;
                const int length = light ? s.bend_radius + random.between(6, 18) : span * random.between(60, 100) / 100;
                std::string line = "T" + std::to_string(++node) + "," + axis + std::to_string(sign * length);
                // A bend needs a run after it.
                const bool corner = !light && k + 1 == spools && leg + 1 < legs && used() + 4 < rows;
                bool free = false;
                std::string item, extra;
                if (corner)
                    line += ",KI,B" + std::to_string(s.bend_radius);
                else if (light)
                    item = o.rigid ? std::string(",CFY") : ",CLS(0,NONE),DV(0,1,0)" + mu;
                else if (random.chance(0.25))
                    free = true;   // no support: a tee may go here
                else if (hanger_next)
                    item = ",CRH";
                else
                    item = support(supports++, axis, node, extra);
                if (!corner)
                    hanger_next = false;
                lines.push_back({line, free, item, extra, size, axis});
            }
            if (leg + 1 == legs)
                break;
            if (random.chance(0.3) && used() + 6 < rows) {
                // A vertical offset: up or down and on along the same axis.
                // A support at a bend's corner would not be on the pipe: the
                // riser's guide is at its middle, the rod hanger on the
                // first spool after it.
                const int rise = random.between(72, 144) * (random.below(2) ? 1 : -1);
                if (o.riser_guides && !o.rigid) {
                    lines.push_back({"T" + std::to_string(++node) + ",Y" + std::to_string(rise / 2), false,
                                     ",CG" + gap + mu, "", size, 'Y'});
                }
                const int rest = o.riser_guides && !o.rigid ? rise - rise / 2 : rise;
                lines.push_back({"T" + std::to_string(++node) + ",Y" + std::to_string(rest) + ",KI,B" +
                                     std::to_string(s.bend_radius),
                                 false, "", "", size, 'Y'});
                hanger_next = o.rod_hangers && !o.rigid && rise > 0 && random.chance(0.5);
            } else {
                axis = axis == 'X' ? 'Z' : 'X';
                sign = random.below(2) ? 1 : -1;
            }
        }
        // The run's end: an anchor at the header's end and at most branch ends.
        if (header || random.chance(0.8)) {
            if (o.light_rests && used() < rows && lines.back().text[0] == 'T' && lines.back().item.empty() &&
                lines.back().text.find(",KI") == std::string::npos) {
                // A light rest a short spool before the anchor.
                lines.back().item = o.rigid ? std::string(",CFY") : ",CLS(0,NONE),DV(0,1,0)" + mu;
                lines.back().free = false;
                lines.push_back({"T" + std::to_string(++node) + "," + axis + std::to_string(sign * (12 + random.below(12))),
                                 false, "", "", size, axis});
            }
            lines.back().item = ",KA";
            stacked_rows -= static_cast<int>(std::count(lines.back().extra.begin(), lines.back().extra.end(), '\n'));
            lines.back().extra.clear();
            lines.back().free = false;
        }
    };

    node = 1;
    run(1, 0, 'X', 1, std::max(3, rows / 40), true);
    // Branches off the header and off each other through welding tees.
    int guard = 0;
    while (used() < rows - 8 && ++guard < 100000) {
        std::vector<std::size_t> candidates;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].free && lines[i].size < static_cast<int>(SIZES.size()) - 1)
                candidates.push_back(i);
        if (candidates.empty())
            break;
        Line& tee = lines[candidates[static_cast<std::size_t>(random.below(static_cast<int>(candidates.size())))]];
        tee.free = false;
        tee.item = ",KT";
        const int tee_node = std::stoi(tee.text.substr(1, tee.text.find(',') - 1));
        const int size = std::min(static_cast<int>(SIZES.size()) - 1, tee.size + 1 + random.below(2));
        const char axis = tee.axis == 'X' ? 'Z' : 'X';
        run(tee_node, size, axis, random.below(2) ? 1 : -1, random.between(2, 6), false);
    }
    for (const Line& l : lines)
        text += l.text + l.item + "\n" + l.extra;
    return text;
}

}  // namespace piping_network
