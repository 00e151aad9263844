// A drawing device that writes down what reaches it, one text per call with
// its view coordinates to three decimals ("pen 5", "line x1 y1 x2 y2",
// "text x y \"25\"", "dot x y", "arrow x y dx dy 0|1", "rect x1 y1 x2 y2",
// "circle x y r", "bezier x0 y0 ... x3 y3"). Texts measure 0.6 of the text
// height a character, the height 10 pixels at the drawing scale. The tests
// read a drawing through it.
#pragma once

#include "graphics/draw2d.h"

#include <string>
#include <vector>

class RecordingDevice final : public Draw2DDevice {
public:
    std::vector<std::string> calls;
    ViewPen pen = PEN_ELEMENT;

    void select_pen(ViewPen p) override;
    void line(Point2 a, Point2 b) override;
    void rect(Point2 lo, Point2 hi) override;
    void circle(Point2 centre, float radius) override;
    void bezier(const Point2 (&points)[4]) override;
    void text(Point2 at, const std::string& text) override;
    void dot(Point2 at) override;
    void arrow_head(Point2 tip, Point2 direction, bool double_head) override;
    void text_extent(const std::string& text, float& width, float& height) override;

    // The calls that begin with the word.
    std::vector<std::string> of(const std::string& word) const;

private:
    void add(const char* word, std::initializer_list<double> values, const std::string& tail = {});
};
