#include "graphics/color_scale.h"

#include "framework/state.h"
#include "framework/text.h"
#include "framework/unit_choices.h"
#include "framework/units.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/model.h"

#include <algorithm>
#include <cmath>

namespace {

// The property palette: 31 colours, each component one of 0, 76, 95, 102,
// 127, 153, 204 and 255.
constexpr std::array<Color, PALETTE_SIZE> PALETTE = {{
    {255, 0, 0},     {0, 255, 0},     {0, 0, 255},     {255, 255, 0},   {0, 255, 255},   {255, 0, 255},
    {255, 127, 0},   {127, 0, 255},   {0, 127, 255},   {127, 255, 0},   {255, 0, 127},   {0, 255, 127},
    {153, 76, 0},    {102, 102, 255}, {255, 102, 102}, {102, 255, 102}, {204, 204, 0},   {0, 153, 153},
    {153, 0, 153},   {255, 204, 153}, {204, 153, 255}, {153, 204, 255}, {255, 153, 204}, {204, 255, 153},
    {95, 0, 0},      {0, 95, 0},      {0, 76, 153},    {153, 153, 0},   {0, 102, 204},   {204, 0, 102},
    {102, 0, 204},
}};

std::string legend_label(double value, bool ratios)
{
    return ratios ? format_percent(100.0 * value) : format_stress(value) + " " + unit_label(STRESS);
}

Color label_colour(bool white_background)
{
    return white_background ? rgb(0, 0, 0) : rgb(255, 255, 255);
}

}  // namespace

ColorScale& color_scale()
{
    return session_part<ColorScale>();
}

ColorScale color_scale_of(float min, float max)
{
    if (max < min)
        std::swap(min, max);
    ColorScale s;
    s.min = min;
    s.max = max;
    s.range = max - min;
    s.q1 = min + s.range / 4.0f;
    s.q2 = min + s.range / 2.0f;
    s.q3 = min + 3.0f * s.range / 4.0f;
    return s;
}

void color_scale_set_range(float min, float max)
{
    color_scale() = color_scale_of(min, max);
}

float color_scale_min()
{
    return color_scale().min;
}

float color_scale_max()
{
    return color_scale().max;
}

RampColor color_for_value(const ColorScale& s, float value)
{
    RampColor c;
    if (!(s.range > DEGENERATE_RANGE)) {
        // One colour: the low end.
        c.r = 0.0f;
        c.g = 0.0f;
        c.b = 1.0f;
        return c;
    }
    float v = std::isfinite(value) ? std::clamp(value, s.min, s.max) : s.min;
    const float range = s.range;
    if (v < s.q1) {
        c.r = 0.0f;
        c.g = (v - s.min) * 4.0f / range;
        c.b = 1.0f;
    } else if (v < s.q2) {
        c.r = 0.0f;
        c.g = 1.0f;
        c.b = (range / 4.0f + s.min - v) * 4.0f / range + 1.0f;
    } else if (v < s.q3) {
        c.r = (v - s.min - range / 2.0f) * 4.0f / range;
        c.g = 1.0f;
        c.b = 0.0f;
    } else {
        c.r = 1.0f;
        c.g = (3.0f * range / 4.0f + s.min - v) * 4.0f / range + 1.0f;
        c.b = 0.0f;
    }
    c.r = std::clamp(c.r, 0.0f, 1.0f);
    c.g = std::clamp(c.g, 0.0f, 1.0f);
    c.b = std::clamp(c.b, 0.0f, 1.0f);
    return c;
}

RampColor color_for_ratio(float value)
{
    return color_for_value(color_scale(), value);
}

Color ramp_to_rgb(const RampColor& c)
{
    auto byte = [](float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    return rgb(byte(c.r), byte(c.g), byte(c.b));
}

std::vector<TubePiece> tube_pieces(const ColorScale& scale, Vec3 a, Vec3 b, double radius_a, double radius_b,
                                   float value_a, float value_b)
{
    if (value_b < value_a) {
        std::swap(a, b);
        std::swap(radius_a, radius_b);
        std::swap(value_a, value_b);
    }
    const Vec3 d = minus(b, a);
    if (norm(d) < 0.001)
        return {};
    if (!(scale.range > DEGENERATE_RANGE) || std::fabs(value_b - value_a) < 0.001f * scale.range)
        return {TubePiece{a, b, radius_a, radius_b, value_a, value_b}};
    std::vector<TubePiece> pieces;
    Vec3 from = a;
    double from_radius = radius_a;
    float from_value = value_a;
    for (float q : {scale.q1, scale.q2, scale.q3}) {
        if (!(q >= value_a && q < value_b) || q <= from_value)
            continue;
        const double t = (double(q) - value_a) / (double(value_b) - value_a);
        const Vec3 at{a.x + t * d.x, a.y + t * d.y, a.z + t * d.z};
        const double radius = radius_a + t * (radius_b - radius_a);
        pieces.push_back(TubePiece{from, at, from_radius, radius, from_value, q});
        from = at;
        from_radius = radius;
        from_value = q;
    }
    pieces.push_back(TubePiece{from, b, from_radius, radius_b, from_value, value_b});
    return pieces;
}

Color palette_color(int entry)
{
    const int i = ((entry - 1) % PALETTE_SIZE + PALETTE_SIZE) % PALETTE_SIZE;
    return PALETTE[static_cast<std::size_t>(i)];
}

// ---- Legends ----------------------------------------------------------------------------------

LegendBar color_legend_bar(double s)
{
    return LegendBar{static_cast<int>(std::lround(20.0 * s)), static_cast<int>(std::lround(212.0 * s)),
                     static_cast<int>(std::lround(20.0 * s)), static_cast<int>(std::lround(45.0 * s))};
}

std::string color_legend_mark(bool ratios)
{
    return ratios ? "Stress ratios (out of date)" : "Stresses (out of date)";
}

void draw_color_legend(Surface& surface, double s, bool ratios, bool white_background, bool out_of_date)
{
    const ColorScale& scale = color_scale();
    const LegendBar bar = color_legend_bar(s);
    const int rows = std::max(bar.bottom - bar.top, 1);
    const double step = double(scale.range) / rows;
    for (int y = bar.top; y <= bar.bottom; ++y) {
        const auto value = static_cast<float>(scale.max - (y - bar.top) * step);
        surface.set_pen(Pen{ramp_to_rgb(color_for_value(scale, value)), 1, PenStyle::Solid});
        surface.line(bar.left, y, bar.right, y);
    }
    const TextMetrics m = surface.text_metrics();
    const int x = bar.right + m.average_char_width;
    const int half = (m.ascent - m.internal_leading) / 2;
    surface.set_text_color(label_colour(white_background));
    surface.set_background(white_background ? rgb(255, 255, 255) : rgb(0, 0, 0), false);
    const double max = scale.max, min = scale.min;
    const double values[5] = {max, (3.0 * max + min) / 4.0, (max + min) / 2.0, (max + 3.0 * min) / 4.0, min};
    for (int k = 0; k < 5; ++k) {
        const int row = bar.top + static_cast<int>(std::lround(k * (bar.bottom - bar.top) / 4.0));
        const std::string text = legend_label(values[k], ratios);
        surface.text(x, row + half - m.ascent, text);
    }
    // The mark a line below the lowest label.
    if (out_of_date)
        surface.text(bar.left, bar.bottom + half + m.height / 2, color_legend_mark(ratios));
}

double color_legend_fit(double s, int width, int height, Surface& surface, bool ratios, bool out_of_date)
{
    const TextMetrics m = surface.text_metrics();
    const ColorScale& scale = color_scale();
    int widest = 0;
    for (double v : {double(scale.max), double(scale.min), (double(scale.max) + scale.min) / 2.0})
        widest = std::max(widest, surface.text_width(legend_label(v, ratios)));
    double below = m.height / 2.0 + 2.0;
    double by_width = (width - m.average_char_width - widest - 2.0) / 45.0;
    if (out_of_date) {
        // The mark's line under the bar, from the bar's left edge.
        below += m.height * 1.5;
        by_width = std::min(by_width, (width - surface.text_width(color_legend_mark(ratios)) - 2.0) / 20.0);
    }
    const double by_height = (height - below) / 212.0;
    return std::max(0.1, std::min({s, by_height, by_width}));
}

PropertyColouring& property_colouring()
{
    return session_part<PropertyColouring>();
}

int property_color_entry(int row)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return 0;
    const LayoutRow& r = m.rows[row];
    switch (property_colouring().kind) {
    case PropertyKind::Material: return pipe_materials().index(r.material);
    case PropertyKind::Section: return pipe_sections().index(r.section);
    case PropertyKind::Load: return pipe_loads().index(r.load);
    case PropertyKind::SpecificGravity: {
        const int i = pipe_loads().index(r.load);
        if (i == 0)
            return 0;
        for (int j = 1; j < i; ++j)
            if (pipe_loads()[j].specific_gravity == pipe_loads()[i].specific_gravity)
                return j;
        return i;
    }
    }
    return 0;
}

std::vector<PropertyLegendEntry> property_legend_entries(PropertyKind kind)
{
    std::vector<PropertyLegendEntry> out;
    switch (kind) {
    case PropertyKind::Material:
        out.push_back({"Material = ", 0});
        for (int i = 1; i <= pipe_materials().size(); ++i)
            out.push_back({pipe_materials()[i].name, i});
        break;
    case PropertyKind::Section:
        out.push_back({"Section = ", 0});
        for (int i = 1; i <= pipe_sections().size(); ++i)
            out.push_back({pipe_sections()[i].name, i});
        break;
    case PropertyKind::Load:
        out.push_back({"Load = ", 0});
        for (int i = 1; i <= pipe_loads().size(); ++i)
            out.push_back({pipe_loads()[i].name, i});
        break;
    case PropertyKind::SpecificGravity:
        for (int i = 1; i <= pipe_loads().size(); ++i) {
            const float g = pipe_loads()[i].specific_gravity;
            int colour = i;
            for (int j = 1; j < i; ++j)
                if (pipe_loads()[j].specific_gravity == g) {
                    colour = j;
                    break;
                }
            out.push_back({c_format("Sp. Gr = %.2f", double(g)), colour});
        }
        break;
    }
    return out;
}

void draw_properties_legend(Surface& surface, double s, const std::vector<PropertyLegendEntry>& entries,
                            bool white_background)
{
    const TextMetrics m = surface.text_metrics();
    // Rows 10 s apart, but never closer than a line of text.
    const double row_step = std::max(10.0 * s, double(m.height));
    const int left = static_cast<int>(std::lround(20.0 * s)), right = static_cast<int>(std::lround(45.0 * s));
    surface.set_text_color(label_colour(white_background));
    surface.set_background(white_background ? rgb(255, 255, 255) : rgb(0, 0, 0), false);
    double y = 20.0 * s;
    for (const PropertyLegendEntry& e : entries) {
        const int row = static_cast<int>(std::lround(y));
        if (e.color > 0) {
            surface.set_pen(Pen{palette_color(e.color), 4, PenStyle::Solid});
            surface.line(left, row, right, row);
        }
        const int baseline = static_cast<int>(std::lround(y + row_step / 2.0));
        surface.text(right + m.average_char_width, baseline - m.ascent, e.text);
        y += row_step;
    }
}

// ---- Values -------------------------------------------------------------------------------------

StressColouring& stress_colouring()
{
    return session_part<StressColouring>();
}

void clear_colouring_values()
{
    StressColouring& c = stress_colouring();
    const int n = model().numelems();
    c.values = OneBased<std::array<float, 2>>(n);
    c.has_values = OneBased<char>(n);
}

void set_colouring_value(int element, int end, float value)
{
    StressColouring& c = stress_colouring();
    if (!c.values.valid(element) || end < 0 || end > 1 || !std::isfinite(value))
        return;
    c.values[element][static_cast<std::size_t>(end)] = value;
    c.has_values[element] = 1;
}

void set_colouring_range(double smallest, double largest)
{
    if (stress_colouring().ratios && !stress_colouring().stresses)
        color_scale_set_range(0.0f, 1.0f);
    else
        color_scale_set_range(static_cast<float>(smallest), static_cast<float>(largest));
}
