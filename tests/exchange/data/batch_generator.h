// Random model batch files within what the batch import takes: every
// element and data-item kind the format carries, every named-set kind,
// options, equipment, allowables, seismic, ASCE and wind data, written in
// one of the three unit forms. A model built for the 6.xx form keeps to the
// fields that form has.
#pragma once

#include "materials/beam_section.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace batch_test {

class BatchGenerator {
public:
    BatchGenerator(unsigned seed, bool form_6xx) : rng_(seed), form_6xx_(form_6xx) {}

    std::string text()
    {
        unit_form_ = pick(3);
        lines_.clear();
        line("ROUND TRIP MODEL " + std::to_string(pick(100000)));
        line("");
        if (!form_6xx_) {
            line("VERSION");
            line("10.20");
        }
        options();
        materials();
        soils();
        sections();
        loads();
        beam_data();
        layout();
        equipment();
        seismic();
        if (!form_6xx_) {
            wind();
            allowables();
        }
        std::string all;
        for (const std::string& l : lines_)
            all += l + "\n";
        return all;
    }

private:
    std::mt19937 rng_;
    bool form_6xx_;
    int unit_form_ = 0;   // 0 feet-and-inches, 1 inch, 2 SI
    std::vector<std::string> lines_;
    int materials_ = 0, sections_ = 0, loads_ = 0, soils_ = 0, bmats_ = 0, bsecs_ = 0, bloads_ = 0;
    int numtloads_ = 1;
    bool igem_ = false, b313_ = true;

    void line(const std::string& text) { lines_.push_back(text); }
    int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return pick(100) < percent; }
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    static std::string fixed(double v, int decimals)
    {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
        return buffer;
    }
    std::string num(double lo, double hi, int decimals = 3) { return fixed(uniform(lo, hi), decimals); }
    bool si() const { return unit_form_ == 2; }
    // A value given in inch (or mm in SI) ranges.
    std::string dim(double lo_inch, double hi_inch, int decimals = 4)
    {
        return si() ? num(lo_inch * 25.4, hi_inch * 25.4, decimals - 2 < 1 ? 1 : decimals - 2)
                    : num(lo_inch, hi_inch, decimals);
    }
    // A length: feet in the feet-and-inches form, inch, or mm.
    std::string length(double lo_inch, double hi_inch)
    {
        if (unit_form_ == 0)
            return num(lo_inch / 12.0, hi_inch / 12.0, 4);
        return dim(lo_inch, hi_inch, 3);
    }
    std::string temperature(double lo_f, double hi_f)
    {
        return si() ? num((lo_f - 32) / 1.8, (hi_f - 32) / 1.8, 2) : num(lo_f, hi_f, 1);
    }
    std::string pressure(double lo_psi, double hi_psi)
    {
        return si() ? num(lo_psi / 14.5038, hi_psi / 14.5038, 3) : num(lo_psi, hi_psi, 2);
    }
    std::string stress(double lo, double hi) { return si() ? num(lo / 145.038, hi / 145.038, 2) : num(lo, hi, 0); }
    std::string force(double lo, double hi) { return si() ? num(lo * 4.448, hi * 4.448, 2) : num(lo, hi, 2); }
    std::string stiffness(double lo, double hi) { return si() ? num(lo / 5.71, hi / 5.71, 2) : num(lo, hi, 1); }
    std::string weight(double lo, double hi) { return si() ? num(lo / 2.2046, hi / 2.2046, 3) : num(lo, hi, 2); }
    std::string name(const char* prefix, int n) { return std::string(prefix) + std::to_string(n); }
    std::string tag()
    {
        return form_6xx_ || chance(40) ? std::string() : ",TAG=T" + std::to_string(pick(10000)) + "-A/" + std::to_string(pick(9));
    }

    void options()
    {
        static const char* const codes[] = {"None",   "B311",         "B311-67",     "B313",       "B314",
                                            "B315",   "B318",         "B319",        "B3112",      "ASME",
                                            "ASME-86", "ASME-92",     "ASME-2015",   "ASME-2017",  "ASME-ND-2017",
                                            "BS806",  "IGEM",         "NORWEGIAN-83", "NORWEGIAN-90", "RCC-M",
                                            "SNCT",   "STOOMWEZEN",   "SWEDISH",     "Z183",       "Z184",
                                            "EUROPEAN", "Z662"};
        const std::string code = codes[pick(27)];
        igem_ = code == "IGEM";
        static const char* const b313[] = {"None", "B311-67", "B313", "B314", "B315", "B318", "SNCT", "EUROPEAN", "B3112"};
        b313_ = false;
        for (const char* c : b313)
            b313_ = b313_ || code == c;
        static const char* const hgr[] = {"HGRA", "HGRB", "HGRC", "HGRK"};
        std::string text = std::string(hgr[pick(4)]) + "," + code;
        if (unit_form_ == 1)
            text += ",IN";
        if (unit_form_ == 2)
            text += ",SI";
        if (chance(50))
            text += ",Z";
        line("OPTIONS");
        line(text);
        if (form_6xx_)
            return;
        static const int sets[] = {1, 2, 3, 10};
        numtloads_ = sets[pick(4)];
        line("OPCODE");
        line(std::to_string(pick(2)) + "," + std::to_string(pick(2)) + "," + std::to_string(pick(2)) + "," +
             std::to_string(pick(3)) + "," + std::to_string(pick(4)) + "," + std::to_string(pick(2)) + "," +
             std::to_string(1 + pick(4)) + "," + std::to_string(pick(2)) + "," + num(1.0, 2.0, 3));
        line("OPTEMP");
        line(temperature(40, 90) + "," + std::to_string(1 + pick(20000)) + "," + std::to_string(numtloads_) + "," +
             std::to_string(pick(2)) + "," + std::to_string(pick(2)));
        line("OPPRES");
        line(std::to_string(pick(2)) + "," + std::to_string(pick(2)) + "," + std::to_string(pick(2)) + "," +
             num(1.0, 1.5, 3));
        line("OPMISC");
        line(std::to_string(pick(100)) + "," + std::to_string(pick(60)) + "," + std::to_string(pick(2)) + "," +
             std::to_string(pick(2)) + "," + std::to_string(pick(2)));
    }

    void materials()
    {
        line("MATERIAL");
        static const char* const types[] = {"", "CS", "SS", "AL", "FR", "CI"};
        materials_ = 1 + pick(3);
        for (int m = 1; m <= materials_; ++m) {
            const std::string n = name("M", m);
            std::string text = n + "," + (si() ? num(7000, 8500, 1) : num(0.25, 0.3, 4)) + "," + num(0.25, 0.32, 3) +
                               "," + num(0.7, 1.0, 2) + "," + num(0.7, 1.0, 2);
            if (chance(70))
                text += std::string(",") + types[pick(6)] + (chance(60) ? ",CARBON STEEL " + std::to_string(m) : "");
            line(text);
            double t = 70.0;
            const int rows = 1 + pick(5);
            for (int k = 0; k < rows; ++k) {
                std::string row = n + "," + (si() ? fixed((t - 32) / 1.8, 2) : fixed(t, 1)) + "," +
                                  (si() ? num(150000, 210000, 0) : num(25e6, 30e6, 0)) + "," +
                                  (si() ? num(1.0e-5, 1.4e-5, 8) : num(5.5e-6, 7.5e-6, 9)) + "," + stress(15000, 25000);
                const int extra = pick(4);
                if (extra == 1)
                    row += "," + stress(30000, 40000);
                if (extra == 2)
                    row += "," + stress(30000, 40000) + "," + stress(50000, 70000);
                if (extra == 3)
                    row += ",," + stress(50000, 70000);
                line(row);
                t += uniform(50, 200);
            }
        }
    }

    void soils()
    {
        soils_ = pick(3);
        if (soils_ == 0)
            return;
        line("SOILS");
        for (int s = 1; s <= soils_; ++s) {
            const bool cohesive = chance(50);
            std::string text = name("S", s) + (cohesive ? ",1," : ",0,") + (si() ? num(1500, 2200, 1) : num(90, 130, 2)) +
                               "," + length(-200, 200);
            text += cohesive ? "," + stress(5, 30) : "," + num(0, 70, 2) + "," + num(0.3, 2.0, 3);
            if (!form_6xx_ && chance(50))
                text += ",1";
            line(text);
        }
    }

    void sections()
    {
        line("PIPE");
        sections_ = 2 + pick(3);
        for (int s = 1; s <= sections_; ++s) {
            const double od = uniform(2.0, 24.0);
            const double t = uniform(0.1, 0.2) * od / 2.0;
            std::string text = name("P", s) + "," + (si() ? fixed(od * 25.4, 2) : fixed(od, 4)) + "," +
                               (si() ? fixed(t * 25.4, 3) : fixed(t, 4));
            const int optional = pick(6);
            if (optional >= 1)
                text += "," + (si() ? fixed(t * 25.4 * 0.3, 3) : fixed(t * 0.3, 4));
            if (optional >= 2)
                text += "," + num(0, 12.5, 1);
            if (optional >= 3)
                text += chance(30) ? ",," : "," + (si() ? num(100, 300, 1) : num(5, 15, 2)) + "," + dim(1, 4, 3);
            if (optional >= 4)
                text += chance(30) ? ",," : "," + (si() ? num(1000, 2500, 1) : num(60, 150, 2)) + "," + dim(0.05, 0.3, 3);
            if (optional >= 5 && soils_ > 0)
                text += "," + name("S", 1 + pick(soils_));
            line(text);
        }
    }

    void loads()
    {
        line("LOADS");
        loads_ = 1 + pick(3);
        // The 6.xx form has no OPTEMP: its sets in use follow from the
        // temperatures above 70 degF, and the sets not in use hold 70 and 0.
        const int in_use = form_6xx_ ? 1 + pick(3) : numtloads_;
        for (int l = 1; l <= loads_; ++l) {
            std::string text = name("L", l) + "," + temperature(100, 600) + "," + pressure(0, 500) + "," + num(0, 1.2, 3);
            for (int k = 2; k <= 3; ++k) {
                if (form_6xx_ && k > in_use)
                    text += "," + std::string(si() ? "21.1111111" : "70") + ",0";
                else
                    text += "," + temperature(100, 600) + "," + pressure(0, 500);
            }
            text += "," + (si() ? num(0, 50, 3) : num(0, 3, 3));
            if (!form_6xx_) {
                text += "," + temperature(650, 700) + "," + pressure(600, 700);
                for (int k = 4; k <= 10; ++k)
                    text += "," + temperature(100, 600) + "," + pressure(0, 500);
                if (chance(50))
                    text += ",1";
            }
            line(text);
        }
        if (form_6xx_)
            numtloads_ = in_use;
    }

    void beam_data()
    {
        bmats_ = pick(3);
        bsecs_ = bmats_ ? 1 + pick(2) : 0;
        bloads_ = bmats_ ? 1 + pick(2) : 0;
        if (bmats_) {
            line("BMATERIALS");
            for (int i = 1; i <= bmats_; ++i)
                line(name("BM", i) + "," + (si() ? num(190000, 210000, 0) : num(28e6, 30e6, 0)) + "," + num(0.25, 0.3, 2) +
                     "," + (si() ? num(7000, 8000, 0) : num(0.27, 0.29, 3)) + "," +
                     (si() ? num(1e-5, 1.3e-5, 8) : num(6e-6, 7e-6, 9)));
            line("BSECTIONS");
            for (int i = 1; i <= bsecs_; ++i) {
                std::string text = name("BS", i);
                const int values = 3 + pick(6);
                // Areas (mm2) and moments of inertia (mm4), then a depth and
                // a width of a section (up to 1 m).
                for (int k = 0; k < values; ++k)
                    text += "," + (!si() ? num(1, 200, 3) : k < BS_DEPTH ? num(1000, 90000, 1) : num(100, 1000, 1));
                line(text);
            }
            line("BLOADS");
            for (int i = 1; i <= bloads_; ++i) {
                std::string text = name("BL", i) + "," + temperature(70, 300) + "," + temperature(70, 300) + "," +
                                   temperature(70, 300) + "," + (si() ? num(0, 30, 2) : num(0, 2, 3));
                if (!form_6xx_) {
                    for (int k = 4; k <= 10; ++k)
                        text += "," + temperature(70, 300);
                    text += chance(50) ? ",1" : ",0";
                }
                line(text);
            }
        }
    }

    // ---- Layout ---------------------------------------------------------------------

    int node_ = 10;
    int axis_ = 0;
    int sign_ = 1;
    int extra_node_ = 90000;
    bool jacketed_ = false;   // the last element row is a jacketed pipe
    // The nodes of the last two rows that end at a point of the pipe (a bend
    // row's node is the corner of its tangents, which the analysis has not).
    int point_ = 0;
    int previous_point_ = 0;

    // Now and then a connected node: a point of the pipe other than the row's own.
    std::string connected_node()
    {
        const int node = point_ != node_ ? point_ : previous_point_;
        return node != 0 && chance(30) ? ",CNOD=" + std::to_string(node) : "";
    }
    void passed_point()
    {
        previous_point_ = point_;
        point_ = node_;
    }

    std::string offset(double lo_inch, double hi_inch)
    {
        const char axes[] = "XYZ";
        const std::string v = length(lo_inch, hi_inch);
        return std::string(",") + axes[axis_] + (sign_ < 0 ? "-" : "") + v;
    }
    void turn()
    {
        axis_ = (axis_ + 1 + pick(2)) % 3;
        sign_ = chance(50) ? 1 : -1;
    }
    std::string next_node()
    {
        node_ += 10;
        return std::to_string(node_);
    }
    std::string direction()
    {
        for (;;) {
            const double x = std::round(uniform(-1, 1) * 1000) / 1000, y = std::round(uniform(-1, 1) * 1000) / 1000,
                         z = std::round(uniform(-1, 1) * 1000) / 1000;
            if (std::abs(x) + std::abs(y) + std::abs(z) > 0.1)
                return "(" + fixed(x, 3) + "," + fixed(y, 3) + "," + fixed(z, 3) + ")";
        }
    }

    std::string displacement_sets()
    {
        std::string text;
        const int last = form_6xx_ ? 3 : 12;
        for (int set = 1; set <= last; ++set) {
            if (!chance(25))
                continue;
            const std::string n = set == 1 ? "" : std::to_string(set);
            const std::string dis = set == 11 ? "SEIS" : set == 12 ? "SETT" : "DIS" + n;
            const std::string rot = set == 11 ? "SERO" : set == 12 ? "STRO" : "ROT" + n;
            text += "," + dis + "(" + dim(-1, 1, 3) + "," + dim(-1, 1, 3) + ",0)";
            if (chance(50))
                text += "," + rot + "(" + num(-1, 1, 3) + ",0," + num(-1, 1, 3) + ")";
        }
        return text;
    }

    // The data item of a row: its head code and its items.
    void data_item(std::string& head, std::string& items, bool element_has_weight)
    {
        switch (pick(22)) {
        case 0:
            head += ",KA";
            if (chance(50))
                items += ",TRAK(" + stiffness(1e4, 1e6) + ",RIGID,0)";
            if (chance(40))
                items += ",ROTK(0," + stiffness(1e6, 1e8) + ",R)";
            items += tag();
            if (!form_6xx_ && chance(30))
                items += ",LA=1";
            items += displacement_sets();
            if (!form_6xx_ && chance(30))
                items += ",LD=1";
            items += chance(20) ? ",FREE" : chance(50) ? ",FREEX,FREEZZ" : "";
            break;
        case 1: items += ",FIXD(" + std::to_string(pick(2)) + ",1," + std::to_string(pick(2)) + ")" + tag(); break;
        case 2:
            items += (chance(50) ? ",K=" + stiffness(1e3, 1e6) : ",KR=" + stiffness(1e5, 1e7)) + ",DV" + direction() +
                     connected_node() + tag();
            break;
        case 3: {
            const int kind = pick(4);
            if (kind == 0)
                items += ",VS=" + std::to_string(1 + pick(3)) + (chance(50) ? ",HTYP=" + std::to_string(1 + pick(35)) : "") +
                         (chance(50) ? ",MLV=" + std::to_string(1 + pick(99)) : "") + (chance(30) ? ",SR" : "");
            if (kind == 1)
                items += ",CS=" + std::to_string(1 + pick(3));
            if (kind == 2)
                items += ",RH";
            if (kind == 3)
                items += ",US(" + std::to_string(1 + pick(3)) + "," + stiffness(100, 5000) + "," + force(100, 5000) +
                         ")" + (chance(50) ? ",CLD=1" : "");
            items += connected_node() + tag();
            break;
        }
        case 4:
            items += ",G" + tag() + (chance(50) ? ",MU=" + num(0.1, 0.4, 2) : "") +
                     (chance(50) ? ",STIFF=" + stiffness(1e4, 1e6) : "") + (chance(50) ? ",GGAP=" + dim(0.01, 1, 3) : "");
            break;
        case 5: {
            const int kind = pick(3);
            const std::string lower = kind == 1 ? "NONE" : "-" + dim(0.01, 1, 3);
            const std::string upper = kind == 2 ? "NONE" : dim(0.01, 1, 3);
            std::string t = tag();
            items += (t.empty() ? "" : t) + ",LS(" + lower + "," + upper + ")" + ",DV" + direction() +
                     (chance(50) ? ",MU=" + num(0.1, 0.4, 2) : "") + (chance(40) ? ",STIFF=" + stiffness(1e4, 1e6) : "");
            break;
        }
        case 6: {
            const bool sphere = !form_6xx_ && chance(30);
            items += sphere ? ",NOZZLE=5500" : ",NOZZLE=297,L2=" + length(20, 100);
            items += tag() + ",NOD=" + dim(4, 8, 3) + ",NTHK=" + dim(0.2, 0.5, 3) + ",VOD=" + dim(60, 120, 3) +
                     ",VTHK=" + dim(0.5, 1.0, 3);
            if (!sphere)
                items += ",L1=" + length(50, 200) + ",DV" + direction();
            if (chance(50))
                items += ",E=" + (si() ? num(190000, 210000, 0) : num(28e6, 30e6, 0));
            if (!form_6xx_)
                items += displacement_sets();
            break;
        }
        case 7:
            items += ",SNUBBER" + tag() + (chance(50) ? ",STIFF=" + stiffness(1e4, 1e6) : "") + ",DV" + direction();
            break;
        // A jacket connection stands where a jacketed row ends, as the model check wants.
        case 8: items += jacketed_ ? ",SPIDER" : ""; break;
        case 9: items += jacketed_ ? ",JCAP" : ""; break;
        case 10: {
            static const char* const codes[] = {"WN", "DW", "SO", "FW", "SW", "LJ", "TH"};
            items += std::string(",FLANGE=") + codes[pick(7)];
            if (!element_has_weight && chance(50))
                items += ",WGT=" + weight(10, 300);
            if (chance(50))
                items += ",GDIA=" + dim(3, 10, 3);
            if (chance(50))
                items += ",AP=" + pressure(100, 900);
            break;
        }
        case 11: {
            static const char* const codes[] = {"KT", "KF", "KE", "KS", "KW", "KR", "KP", "KB"};
            const int c = pick(8);
            head += std::string(",") + codes[c];
            if (c == 1 && chance(50))
                items += ",PAD=" + dim(0.1, 0.5, 3);
            if (c == 2)
                items += ",CRTCH=" + dim(0.5, 2, 3);
            if (c == 5)
                items += ",R=" + dim(0.5, 2, 3) + ",THK=" + dim(0.2, 0.6, 3);
            if (c == 6)
                items += ",THK=" + dim(0.2, 0.6, 3) + ",LEN=" + dim(1, 5, 3);
            if (c == 7)
                items += ",R=" + dim(0.5, 2, 3);
            break;
        }
        case 12: {
            const std::string a = num(1, 3, 2), b = num(1, 3, 2);
            items += b313_ ? ",SIF(" + a + "," + b + ")" : ",SIF=" + a;
            if (!form_6xx_ && chance(50))
                items += ",SIFA=" + num(1, 2, 2) + ",SIFT=" + num(1, 2, 2);
            if (igem_ && !form_6xx_) {
                static const char* const k[] = {"IPS", "IBS", "IQS", "ITS", "ISS", "IPC", "IBC", "IQC", "ITC", "ISC"};
                for (const char* keyword : k)
                    if (chance(50))
                        items += std::string(",") + keyword + "=" + num(1, 2.5, 2);
            }
            break;
        }
        case 13: items += ",WTYPE=" + std::to_string(1 + pick(4)) + (chance(50) ? ",DELTA=" + dim(0.01, 0.1, 3) : ""); break;
        case 14: items += ",TJOINT"; break;
        case 15:
            items += ",FOR(" + force(-1000, 1000) + ",0," + force(-1000, 1000) + ")";
            if (chance(50))
                items += ",MOM(" + force(-1000, 1000) + "," + force(-1000, 1000) + ",0)";
            break;
        case 16:
            items += ",CWGT=" + weight(10, 500);
            if (chance(50))
                items += ",OFFSET(" + dim(-10, 10, 3) + ",0," + dim(-10, 10, 3) + ")";
            break;
        case 17:
            items += ",FRE=" + num(1, 50, 2) + (chance(50) ? ",PH=" + num(0, 90, 2) : "") + ",FOR(" + force(-100, 100) +
                     "," + force(-100, 100) + ",0)";
            break;
        default: break;
        }
    }

    // One element row along the current leg; a bend ends a leg.
    void element_row()
    {
        std::string head = "T" + next_node();
        std::string items;
        bool has_weight = false;
        const int kind = pick(16);
        bool turns = false;
        jacketed_ = kind == 14;
        switch (kind) {
        case 1: {
            head += ",KI";
            if (chance(50))
                head += ",B" + dim(10, 20, 3);
            if (chance(30))
                items += ",BTHK=" + dim(0.2, 0.4, 3);
            if (chance(30))
                items += ",BMAT=" + name("M", 1 + pick(materials_));
            if (chance(30))
                items += ",FF=" + num(1, 5, 2);
            if (chance(30))
                items += ",IN1(" + std::to_string(++extra_node_) + "," + num(20, 40, 1) + ")";
            if (b313_ && chance(40))
                items += ",BSIF(" + (chance(50) ? num(1.1, 3, 2) : "") + "," + num(1.1, 3, 2) + ")";
            if (!b313_ && chance(40)) {
                const std::string s = num(1.1, 3, 2);
                items += ",BSIF(" + s + "," + s + ")";
            }
            if (!form_6xx_ && chance(30))
                items += ",SIFA=" + num(1.1, 2, 2) + ",SIFT=" + num(1.1, 2, 2);
            turns = true;
            break;
        }
        case 2:
            head += ",KM,B" + dim(10, 20, 3);
            if (chance(50))
                items += ",WS";
            if (chance(30))
                items += ",FF=" + num(1, 5, 2);
            turns = true;
            break;
        case 3:
            head += ",JV";
            items += ",VWGT=" + weight(50, 500);
            if (chance(40))
                items += ",AWGT=" + weight(10, 100) + ",OFFSET(0," + dim(5, 20, 3) + ",0)";
            if (chance(40))
                items += ",THKF=" + num(1, 4, 2) + ",INSF=" + num(1, 2, 2);
            break;
        case 4:
            head += ",JD";
            items += ",OD1=" + dim(4, 6, 3) + ",THK1=" + dim(0.2, 0.3, 3) + ",OD2=" + dim(2, 3.5, 3) + ",THK2=" +
                     dim(0.1, 0.2, 3) + (chance(50) ? ",CONE=" + num(5, 30, 2) : "");
            break;
        case 5:
            head += ",JE";
            items += ",ES(" + stiffness(100, 1e4) + "," + stiffness(100, 1e4) + "," + stiffness(1e4, 1e6) + ")";
            if (chance(50))
                items += ",TA=" + (si() ? num(1000, 50000, 1) : num(2, 80, 2)), has_weight = true;
            if (chance(50))
                items += ",WGT=" + weight(10, 100), has_weight = true;
            if (chance(50))
                items += ",BK=" + stiffness(1e4, 1e6);
            if (!form_6xx_ && chance(50))
                items += ",MD=" + dim(4, 10, 3);
            break;
        case 6:
            head += ",JS";
            items += chance(50) ? ",FFOR=" + force(10, 500) + ",FTOR=" + force(10, 500) : "";
            if (chance(50))
                items += ",TA=" + (si() ? num(1000, 50000, 1) : num(2, 80, 2));
            if (chance(50))
                items += ",WGT=" + weight(10, 100), has_weight = true;
            break;
        case 7:
            head += ",JR";
            if (chance(70))
                items += ",WGT=" + weight(10, 100), has_weight = true;
            break;
        case 8: head += ",JC"; items += (chance(50) ? ",SHORT=" : ",LONG=") + dim(0.5, 3, 3); break;
        case 9:
            head += ",JL";
            items += ",TRAK(" + stiffness(1e3, 1e6) + ",0," + stiffness(1e3, 1e6) + "),ROTK(" + stiffness(1e5, 1e8) +
                     ",RIGID,0)";
            items += axis_ == 0 ? ",LXAX(1,0,0),LYAX(0,1,0)" : axis_ == 1 ? ",LXAX(0,1,0),LYAX(0,0,1)"
                                                                           : ",LXAX(0,0,1),LYAX(1,0,0)";
            break;
        case 10:
            head += ",JT";
            items += ",KTIE(" + stiffness(1e3, 1e6) + "," + (chance(50) ? stiffness(1e3, 1e6) : "0") + ")";
            if (chance(50))
                items += ",GAP(" + dim(0, 0.5, 3) + "," + dim(0, 0.5, 3) + ")";
            break;
        case 11:
            head += ",JB";
            items += ",RK(" + stiffness(1e4, 1e6) + "," + stiffness(1e4, 1e6) + ")";
            if (chance(50))
                items += ",ROTL(" + num(1, 10, 2) + ",NONE)";
            if (chance(50))
                items += ",FRCT(" + force(10, 100) + "," + force(10, 100) + ")";
            if (chance(50))
                items += ",WGT=" + weight(10, 100), has_weight = true;
            break;
        case 12:
            head += ",KH";
            items += ",HS=" + stiffness(1e3, 1e5) + ",DV" + direction();
            if (chance(50))
                items += ",WGT=" + weight(10, 100), has_weight = true;
            if (chance(50))
                items += ",FTOR=" + force(10, 100);
            if (chance(50))
                items += ",RLIM=" + num(1, 20, 2);
            break;
        case 13:
            if (bmats_) {
                head += ",JM";
                items += ",MAT=" + name("BM", 1 + pick(bmats_)) + ",SEC=" + name("BS", 1 + pick(bsecs_)) +
                         ",LOAD=" + name("BL", 1 + pick(bloads_)) + (chance(50) ? ",BETA=" + num(-90, 90, 2) : "");
            }
            break;
        case 14:
            head += ",JP";
            items += ",JMAT=" + name("M", 1 + pick(materials_)) + ",JSEC=" + name("P", sections_) + ",JLOAD=" +
                     name("L", 1 + pick(loads_));
            break;
        case 15:
            if (chance(50)) {
                head += ",JI";
                items += ",JMAT=" + name("M", 1 + pick(materials_)) + ",JSEC=" + name("P", sections_) + ",JLOAD=" +
                         name("L", 1 + pick(loads_));
                if (chance(50))
                    items += ",JR=" + dim(20, 30, 3);
                if (chance(30))
                    items += ",JTHK=" + dim(0.3, 0.5, 3) + ",BTHK=" + dim(0.2, 0.3, 3);
                turns = true;
            }
            break;
        default: break;
        }
        if (chance(20))
            head += ",M" + name("M", 1 + pick(materials_));
        if (chance(20))
            head += ",P" + name("P", 1 + pick(sections_ - 1));
        head += offset(120, 480);
        if (chance(15))
            items += ",L=" + name("L", 1 + pick(loads_));
        if (!form_6xx_ && chance(8))
            items += ",T=" + temperature(100, 500) + ",P=" + pressure(10, 300);
        // A bend's node is its corner, off the pipe: its items go on the pipe.
        if (chance(50) && !turns)
            data_item(head, items, has_weight);
        line(items.empty() ? head : head + ",C" + items.substr(1));
        if (turns)
            turn();
        else
            passed_point();
    }

    void layout()
    {
        line("LAYOUT");
        node_ = 0;
        const int runs = 1 + pick(2);
        for (int run = 0; run < runs; ++run) {
            jacketed_ = false;
            line("F" + next_node() + ",X" + length(-100, 100) + ",Y" + length(-100, 100) + ",Z" + length(-100, 100) +
                 ",M" + name("M", 1 + pick(materials_)) + ",P" + name("P", 1 + pick(sections_ - 1)) +
                 (run == 0 ? ",CL=" + name("L", 1) : ""));
            passed_point();
            turn();
            const int rows = 4 + pick(10);
            for (int i = 0; i < rows; ++i) {
                const int what = pick(20);
                if (what == 0) {
                    line("* COMMENT " + std::to_string(pick(1000)) + ", with (text) = kept");
                } else if (what == 1) {
                    line("H,CHSG=" + num(0.8, 1.5, 2) + ",HPRES=" + pressure(100, 900));
                } else if (what == 2 && node_ == point_) {
                    // Items at a point of the pipe, not at a bend's corner.
                    std::string head = "L" + std::to_string(node_), items;
                    data_item(head, items, false);
                    line(items.empty() ? head : head + ",C" + items.substr(1));
                } else {
                    element_row();
                }
            }
            // A last straight row closes the leg after a bend.
            line("T" + next_node() + offset(120, 240));
            passed_point();
        }
    }

    void equipment()
    {
        if (chance(50)) {
            line("PUMPS");
            const int n = 1 + pick(2);
            for (int i = 1; i <= n; ++i) {
                if (chance(40))
                    line("PUMP VERTICAL " + std::to_string(i) + ",1,10" + (chance(50) ? ",20" : ""));
                else
                    line("PUMP " + std::to_string(i) + ",0,1,0,0," + length(-100, 100) + "," + length(-100, 100) + "," +
                         (chance(20) ? "0" : length(-100, 100)) + "," + (chance(30) ? "" : "10") + "," +
                         std::to_string(pick(3)) + ",20," + std::to_string(pick(3)));
            }
        }
        if (chance(40)) {
            line("COMPRESSORS");
            line("K-1 COMP,0,0,1,10,,30");
        }
        if (chance(30)) {
            line("TURBINES");
            line("STEAM TURBINE,1,0,0,10,20,30,40");
        }
    }

    void seismic()
    {
        if (!form_6xx_ && chance(30)) {
            line("ASCES");
            line(std::to_string(pick(4)) + "," + std::to_string(pick(5)) + "," + num(0.1, 2.0, 3) + "," +
                 length(100, 300) + "," + length(400, 900) + "," + num(1.0, 2.5, 2) + "," + num(1.0, 12.0, 2) + "," +
                 num(1.0, 1.5, 2) + "," + num(0.5, 1.0, 2) + "," + std::to_string(1 + pick(2)));
            return;
        }
        if (chance(50)) {
            line("SEISMIC");
            line(num(0, 0.5, 3) + ",0," + num(0, 0.5, 3) + (form_6xx_ ? "" : "," + std::to_string(1 + pick(2))));
        }
    }

    void wind()
    {
        const bool asce = chance(40);
        if (asce) {
            line("ASCEW");
            line(std::to_string(pick(4)) + "," + (si() ? num(30, 60, 2) : num(80, 150, 1)) + "," + num(0.8, 1.0, 2) +
                 "," + std::to_string(pick(3)) + "," + std::to_string(pick(4)) + "," + length(500, 2000) + "," +
                 length(500, 2000) + "," + length(100, 500) + "," + length(100, 500) + "," + std::to_string(pick(3)) +
                 "," + num(0.8, 0.9, 2));
        }
        const int kind = pick(2);
        const int elevation = pick(2), pressure_unit = pick(3), velocity = pick(3);
        for (int n = 1; n <= 4; ++n) {
            if (!chance(40))
                continue;
            line("WIND" + std::to_string(n));
            const std::string common = num(0.5, 1.0, 2) + "," + direction().substr(1, 17);
            std::string dir = direction();
            dir = dir.substr(1, dir.size() - 2);
            if (asce && chance(50)) {
                line("1," + num(0.5, 1.0, 2) + "," + dir);
                continue;
            }
            line("0," + num(0.5, 1.0, 2) + "," + dir + "," + std::to_string(elevation) + "," +
                 std::to_string(pressure_unit) + "," + std::to_string(velocity) + "," + std::to_string(kind));
            const int points = 1 + pick(4);
            line(std::to_string(points));
            double z = 0;
            for (int p = 0; p < points; ++p) {
                line(fixed(z, 2) + "," + num(1, 50, 2));
                z += uniform(5, 50);
            }
            (void)common;
        }
    }

    void allowables()
    {
        if (!chance(40))
            return;
        line("ALLOWABLES");
        const int n = 1 + pick(3);
        for (int i = 1; i <= n; ++i)
            line(std::to_string(10 * i) + "," + force(100, 5000) + "," + force(100, 5000) + "," + force(100, 5000) + "," +
                 force(100, 9000) + "," + force(100, 9000) + "," + force(100, 9000));
    }
};

}  // namespace batch_test
