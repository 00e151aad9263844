// The stress colour map: a value range mapped onto a blue - cyan - green -
// yellow - red ramp, the pieces a colour-coded tube is cut into so that each
// lies within one quarter of the ramp, the colour bar and the property
// legend drawn in a corner of the view, the 31 colours with which the render
// view colours rows by property, and the values the views are coloured by
// (stresses or stress ratios at both ends of each analysis element).
#pragma once

#include "framework/geometry.h"
#include "framework/one_based.h"
#include "platform/surface.h"

#include <array>
#include <string>
#include <vector>

struct ColorScale {
    float min = 0.0f;
    float max = 0.0f;
    float range = 0.0f;
    float q1 = 0.0f, q2 = 0.0f, q3 = 0.0f;   // the quarter points
};
ColorScale& color_scale();
// A range (given either way round) with its quarter points.
ColorScale color_scale_of(float min, float max);
// Stores the range and its quarter points.
void color_scale_set_range(float min, float max);
float color_scale_min();
float color_scale_max();

// A colour of the ramp, components 0 to 1.
struct RampColor {
    float r = 1.0f, g = 1.0f, b = 1.0f;
};
// A range at or below this is one colour (the low end).
inline constexpr double DEGENERATE_RANGE = 1e-12;
// The value clamped to the range and mapped: below q1 blue to cyan, below
// q2 cyan to green, below q3 green to yellow, else yellow to red. A
// degenerate range gives the blue end.
RampColor color_for_ratio(float value);
RampColor color_for_value(const ColorScale& scale, float value);
Color ramp_to_rgb(const RampColor& c);

// One piece of a colour-coded tube, from a to b with its radii and values.
struct TubePiece {
    Vec3 a, b;
    double radius_a = 0.0, radius_b = 0.0;
    float value_a = 0.0f, value_b = 0.0f;
};
// A straight element as colour-coded pieces: the ends swapped so that the
// values rise from a to b; nothing for an element shorter than 0.001; one
// piece when the values differ by less than 0.001 of the range (or the range
// is degenerate); else cut at every quarter point in [value a, value b),
// points, radii and values interpolated linearly.
std::vector<TubePiece> tube_pieces(const ColorScale& scale, Vec3 a, Vec3 b, double radius_a, double radius_b,
                                   float value_a, float value_b);

// ---- Palette ----------------------------------------------------------------------------

inline constexpr int PALETTE_SIZE = 31;
// Colour `entry` (from 1) of the property palette, its components taken from
// 0, 76, 95, 102, 127, 153, 204 and 255; the palette repeats past 31.
Color palette_color(int entry);

// ---- Legends -----------------------------------------------------------------------------

// The colour bar of the stress scale: s scales the positions (the target's
// vertical resolution over the screen's: 1 on screen). Rows from 20 s to
// 212 s between 20 s and 45 s, max at the top; five labels right of it.
// `ratios`: the labels are per cent of the ratio range, else stresses.
// Colours of results older than their model carry the mark under the bar:
// "Stresses (out of date)" or "Stress ratios (out of date)".
void draw_color_legend(Surface& surface, double s, bool ratios, bool white_background, bool out_of_date = false);
// The mark's text.
std::string color_legend_mark(bool ratios);
// The bar's geometry for a scale, in device pixels (rounded).
struct LegendBar {
    int top = 0, bottom = 0, left = 0, right = 0;
};
LegendBar color_legend_bar(double s);

// The scale of the colour bar made smaller (never larger) so that the bar
// and its labels fit in a client of that size.
double color_legend_fit(double s, int width, int height, Surface& surface, bool ratios = false,
                        bool out_of_date = false);

struct PropertyLegendEntry {
    std::string text;
    int color = 1;   // palette entry
};
// The entries of the property colouring: "Material = " and each material's
// name, "Section = " and each section's name, or "Load = " and each load's
// name (or "Sp. Gr = %.2f", loads of one specific gravity sharing a colour).
enum class PropertyKind { Material, Section, Load, SpecificGravity };
// The render view colouring rows by a property, and the property.
struct PropertyColouring {
    bool on = false;
    PropertyKind kind = PropertyKind::Material;
};
PropertyColouring& property_colouring();
// The palette entry of a row's property (0: none).
int property_color_entry(int row);
std::vector<PropertyLegendEntry> property_legend_entries(PropertyKind kind);
// The list: a 4-pixel line of the entry's colour from 20 s to 45 s and the
// text right of it, rows from 20 s at every 10 s... (one text line apart at
// least).
void draw_properties_legend(Surface& surface, double s, const std::vector<PropertyLegendEntry>& entries,
                            bool white_background);

// ---- The values the views are coloured by --------------------------------------------------

struct StressColouring {
    bool stresses = false;       // stresses shown in colour
    bool ratios = false;         // stress ratios shown in colour (1 = the allowable)
    bool jackets = false;        // jacket elements coloured too
    // Per analysis element the values at its two ends, and whether it has them.
    OneBased<std::array<float, 2>> values;
    OneBased<char> has_values;
};
StressColouring& stress_colouring();
// Sizes the arrays for the model's elements, every element without a value.
void clear_colouring_values();
void set_colouring_value(int element, int end, float value);
// The range of the colouring: the given stress range (its smallest and
// largest value, either way round), or 0 to 1 for ratios.
void set_colouring_range(double smallest, double largest);
