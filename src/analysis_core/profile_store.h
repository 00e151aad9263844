// The profile (skyline) store of the global stiffness matrix and its LDLᵀ
// solver.
//
// The matrix is symmetric; only its upper triangle is kept, column by
// column, from the first row that any element couples to the column down to
// the diagonal. Equations are numbered from 1; 0 stands for a degree of
// freedom that is not in the analysis and is passed over wherever an
// equation list is taken. The factorisation works in place in double
// precision and serves any number of right-hand sides.
#pragma once

#include "framework/one_based.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// The column heights of a store, gathered from the equation lists of the
// elements, supports and couplings before any value is added.
class ProfileLayout {
public:
    explicit ProfileLayout(int equation_count);

    int equation_count() const { return static_cast<int>(first_row_.size()) - 1; }
    // Makes room for every pair of the listed equations (0 entries skipped).
    void include(std::span<const int> equations);
    // The same for an element's equation numbers in slots 1..12 (slot 0
    // unused), the form element code holds them in.
    void include_element(const int (&equations)[13]);
    // The first stored row of a column (1..column).
    int first_row(int column) const { return first_row_[static_cast<std::size_t>(column)]; }

private:
    std::vector<int> first_row_;  // by column, slot 0 unused
};

class ProfileStore {
public:
    // A pivot that falls to this fraction of its equation's assembled
    // diagonal, or below, marks an unstable model. See profile_store.cpp.
    static constexpr double PIVOT_TOLERANCE = 1.0e-12;

    ProfileStore() = default;
    // Allocates the layout's terms, all 0.
    explicit ProfileStore(const ProfileLayout& layout);

    int equation_count() const { return static_cast<int>(first_row_.size()) - 1; }
    // The number of stored terms, diagonals included.
    std::size_t stored_terms() const { return values_.size(); }
    int first_row(int column) const { return first_row_[static_cast<std::size_t>(column)]; }

    // Adds value to the term (row, column) of the upper triangle, row <= column;
    // nothing when either equation is 0. The term must lie in the layout.
    void add(int row, int column, double value);
    // Adds an element matrix k (slots 1..12 of a 13 x 13 array, index 0
    // unused) whose rows and columns are the given equations (slots 1..12, 0
    // skipped). Only the upper triangle of k (a <= b) is read: k is taken as
    // symmetric.
    void add_element(const int (&equations)[13], const double (&k)[13][13]);
    // Sets every term to 0 for a new assembly with the same layout.
    void clear_values();

    // The assembled term (row, column) in either order, 0 outside the
    // profile. Not after factor().
    double value(int row, int column) const;

    // LDLᵀ factorisation in place. Returns 0, or the equation whose pivot is
    // not positive or has fallen to PIVOT_TOLERANCE of its assembled
    // diagonal (also for NaN or infinite terms); the store is then unusable
    // until it is cleared and assembled again.
    int factor();
    bool factored() const { return factored_; }
    // Overwrites the right-hand side x (1-based by equation) with the
    // solution of K x = b. Needs a successful factor().
    void solve(OneBased<double>& x) const;

private:
    std::size_t position(int row, int column) const
    {
        return column_start_[static_cast<std::size_t>(column)] +
               static_cast<std::size_t>(row - first_row_[static_cast<std::size_t>(column)]);
    }
    std::size_t diagonal(int column) const
    {
        return column_start_[static_cast<std::size_t>(column) + 1] - 1;
    }

    std::vector<int> first_row_{0};              // by column, slot 0 unused
    std::vector<std::size_t> column_start_{0, 0};  // by column, plus the end in slot n + 1
    std::vector<double> values_;             // each column from its first row to the diagonal
    bool factored_ = false;
};

// The node of an equation (its renumbered index) and its direction 0..5 (X,
// Y, Z, RX, RY, RZ).
inline int equation_node(int equation) { return (equation + 5) / 6; }
inline int equation_direction(int equation) { return (equation - 1) % 6; }

// "Model is unstable at node <node_text> in the <X|Y|Z|RX|RY|RZ> direction"
// for the equation that stopped the factorisation; node_text is the node's
// printed number.
std::string unstable_model_message(int equation, const std::string& node_text);
