// An x-y curve: (x, y) float pairs in ascending x with linear interpolation,
// used by spectra, time functions and wind profiles.
//
// push_back appends in call order and does not sort: the builders of curves
// (dialogs, tables, file readers, imports) give the pairs in ascending x, and
// keeping their order keeps a curve that is written and read back identical.
// is_sorted() tells whether a curve is in order; sort_by_x() puts it in order.
// Equal x values are allowed and make a step (see value_at).
#pragma once

#include <cstddef>
#include <vector>

struct XYPair {
    float x = 0.0f;
    float y = 0.0f;
    bool operator==(const XYPair&) const = default;
};

class XYCurve {
public:
    XYCurve() = default;

    void push_back(float x, float y) { pairs_.push_back({x, y}); }
    void reserve(std::size_t n) { pairs_.reserve(n); }
    void assign(const XYCurve& other) { pairs_ = other.pairs_; }
    // Removes the pairs and frees their memory.
    void release() { std::vector<XYPair>().swap(pairs_); }
    void clear() { pairs_.clear(); }

    std::size_t size() const { return pairs_.size(); }
    bool empty() const { return pairs_.empty(); }
    XYPair& operator[](std::size_t i) { return pairs_[i]; }
    const XYPair& operator[](std::size_t i) const { return pairs_[i]; }
    const std::vector<XYPair>& pairs() const { return pairs_; }
    std::vector<XYPair>::const_iterator begin() const { return pairs_.begin(); }
    std::vector<XYPair>::const_iterator end() const { return pairs_.end(); }

    // True when x never decreases from one pair to the next (and no x is NaN).
    bool is_sorted() const;
    // Stable sort by x: pairs of equal x keep their order; NaN x go last.
    void sort_by_x();

    // The curve's value at x: linear interpolation between the neighbouring
    // pairs; below the first x the first y and above the last x the last y
    // (the curve is held constant beyond its ends, never extrapolated); 0 for
    // an empty curve. At an x shared by several pairs (a step) the value is
    // the y of the last of them. On a curve that is not sorted the result is
    // some y of the curve or a value between two of them, never a fault.
    double value_at(double x) const;

    bool operator==(const XYCurve&) const = default;

private:
    std::vector<XYPair> pairs_;
};
