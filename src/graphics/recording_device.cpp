#include "graphics/recording_device.h"

#include <cstdio>

void RecordingDevice::add(const char* word, std::initializer_list<double> values, const std::string& tail)
{
    std::string text = word;
    char number[48];
    for (double v : values) {
        std::snprintf(number, sizeof number, " %.3f", v);
        text += std::string(number) == " -0.000" ? " 0.000" : number;
    }
    calls.push_back(text + tail);
}

void RecordingDevice::select_pen(ViewPen p)
{
    pen = p;
    calls.push_back("pen " + std::to_string(static_cast<int>(p)));
}

void RecordingDevice::line(Point2 a, Point2 b) { add("line", {a.x, a.y, b.x, b.y}); }

void RecordingDevice::rect(Point2 lo, Point2 hi) { add("rect", {lo.x, lo.y, hi.x, hi.y}); }

void RecordingDevice::circle(Point2 c, float r) { add("circle", {c.x, c.y, r}); }

void RecordingDevice::bezier(const Point2 (&p)[4])
{
    add("bezier", {p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y});
}

void RecordingDevice::text(Point2 at, const std::string& text) { add("text", {at.x, at.y}, " \"" + text + "\""); }

void RecordingDevice::dot(Point2 at) { add("dot", {at.x, at.y}); }

void RecordingDevice::arrow_head(Point2 tip, Point2 d, bool double_head)
{
    add("arrow", {tip.x, tip.y, d.x, d.y, double_head ? 1.0 : 0.0});
}

void RecordingDevice::text_extent(const std::string& text, float& width, float& height)
{
    const double scale = view_state().scale;
    height = static_cast<float>(10.0 / scale);
    width = static_cast<float>(6.0 * static_cast<double>(text.size()) / scale);
}

std::vector<std::string> RecordingDevice::of(const std::string& word) const
{
    std::vector<std::string> found;
    for (const std::string& c : calls)
        if (c.compare(0, word.size() + 1, word + " ") == 0)
            found.push_back(c);
    return found;
}
