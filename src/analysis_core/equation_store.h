// The equation store of the global stiffness matrix and its sparse LDLᵀ
// solver.
//
// Equations are numbered from 1, six to a node: 6n-5..6n are X, Y, Z, RX,
// RY, RZ of the node whose analysis index is n; 0 stands for a degree of
// freedom that is not in the analysis and is passed over wherever an
// equation list is taken.
//
// Life of a store in a run:
//   1. made once from the node graph (the node pairs that the structure pass
//      recorded): the fill-reducing order and the shape of the factor are
//      worked out here, before any value (node_elimination.h);
//   2. assembled: add / add_element put values into the upper triangle (the
//      matrix is symmetric; either order of row and column is taken);
//      clear_values empties it for the next assembly with the same pattern;
//   3. factor(): a numeric LDLᵀ in double precision into storage of its
//      own, so the assembled values stay readable (value()) and a factor can
//      be made again, with another shift, without assembling again;
//      factor_matches_values() says whether the values assembled since are
//      bit for bit those of the last factor (a nonlinear iteration whose
//      supports kept their state and secant needs no new factor);
//   4. solve(): any number of right-hand sides, one at a time or together.
//
// Pivots. Static analysis asks for a positive definite matrix: a pivot that
// is zero, negative, not finite or no more than PIVOT_TOLERANCE of its
// equation's assembled diagonal stops the factorisation (see
// equation_store.cpp for the tolerance). The failure names an equation for
// the unstable-model message, found independently of the order of
// elimination: the factor's columns up to the failed pivot give the motion
// that the stiffness does not resist (the null vector of the mechanism, for
// a zero pivot), and the named equation is the one that moves most, the
// first in the model's order among those that move within 1e-6 of as much.
// A rigid free translation or a free turn about a pipe's axis is therefore
// named at the first node of the model that takes part in it.
//
// The dynamic analyses factorise shifted matrices K - sigma M for Sturm
// checks: FactorOptions::indefinite lets negative pivots through and counts
// them (negative_pivots(), the inertia: the number of eigenvalues below
// sigma), and FactorOptions::shift with a diagonal mass subtracts sigma m
// from the assembled diagonal while factorising. A pivot whose magnitude
// falls to PIVOT_TOLERANCE of its diagonal's is still a failure then (sigma
// lies on an eigenvalue, or the matrix is singular); the caller moves the
// shift.
#pragma once

#include "analysis_core/node_elimination.h"
#include "framework/one_based.h"

#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

struct FactorOptions {
    // Negative pivots are taken and counted instead of stopping the
    // factorisation.
    bool indefinite = false;
    // Factorise K - shift * diag(m) instead of K, where m is
    // shift_diagonal (1-based by equation, equation_count() values); the
    // assembled values are not changed. Without a diagonal the shift is not
    // applied.
    double shift = 0.0;
    const OneBased<double>* shift_diagonal = nullptr;
};

struct FactorResult {
    // 0 when the factor was made; else the equation the unstable-model
    // message names (above) ...
    int unstable_equation = 0;
    // ... and the equation whose pivot failed.
    int pivot_equation = 0;
    // The count of negative pivots of the factor made (indefinite only).
    int negative_pivots = 0;

    bool ok() const { return unstable_equation == 0; }
};

class EquationStore {
public:
    // A pivot that falls to this fraction of its equation's assembled
    // diagonal, or below, marks an unstable model.
    static constexpr double PIVOT_TOLERANCE = 1.0e-12;

    EquationStore() = default;
    // The store of nodes 1..node_count (equations 1..6 node_count) whose
    // couplings are the pairs; every value is 0. Pairs with a node outside
    // 1..node_count and pairs of a node with itself add nothing.
    EquationStore(int node_count, std::span<const NodePair> pairs);

    int equation_count() const { return 6 * elimination_.nodes; }
    // Terms kept for the assembled upper triangle (node blocks of 36, the
    // diagonal blocks' 21) and for the factor's lower triangle with its
    // diagonal.
    std::size_t assembled_terms() const;
    std::size_t factor_terms() const;
    const NodeElimination& elimination() const { return elimination_; }

    // Adds value to the term (row, column) and, the matrix being symmetric,
    // to (column, row): once, whichever order they come in. Nothing when
    // either equation is 0. The two equations' nodes must be the same node
    // or a pair the store was made with.
    void add(int row, int column, double value)
    {
        if (row == 0 || column == 0)
            return;
        if (row > column)
            std::swap(row, column);
        KV_ASSERT(row >= 1 && column <= equation_count());
        const std::size_t block = block_at((row - 1) / 6, (column - 1) / 6);
        changing(block);
        values_[block + static_cast<std::size_t>(6 * ((row - 1) % 6) + (column - 1) % 6)] += value;
    }
    // Adds an element matrix k (slots 1..12 of a 13 x 13 array, index 0
    // unused) whose rows and columns are the given equations (slots 1..12, 0
    // skipped). Only the upper triangle of k (a <= b) is read: k is taken as
    // symmetric. Slots that share an equation add both orders, as the
    // congruence with the slot-to-equation map says.
    void add_element(const int (&equations)[13], const double (&k)[13][13]);
    // Sets every assembled term to 0 for a new assembly. The factor stays.
    void clear_values();
    // Keeps the values assembled so far as a base (what the items that do
    // not change within a load case give), and puts them back in place of
    // the values for the next assembly on top of them. Only the blocks
    // changed since are put back, and factor_matches_values compares only
    // those and the ones the factor's assembly had changed; until
    // clear_values the store stays on the base.
    void keep_as_base();
    void restore_base();
    // The assembled term (row, column) in either order; 0 where no element
    // couples the two.
    double value(int row, int column) const;
    // y = K x over the assembled values (x and y 1-based by equation,
    // equation_count() values each).
    void multiply(const OneBased<double>& x, OneBased<double>& y) const;
    // The quadratic form x'Kx split by regions of the nodes: out[i R + j]
    // is the sum of x_r K_rc x_c over the equations r of the nodes of
    // region i and c of region j (region by node, 0-based; R regions).
    void region_products(const OneBased<double>& x, std::span<const int> region, int regions,
                         std::vector<double>& out) const;

    // LDLᵀ factorisation of the assembled values (see the top of the file).
    // After a failure the store holds no factor. On a base whose last
    // factor, made without options, is still held, a factor without options
    // makes again only the panels whose assembled blocks differ from that
    // factor's and the panels those reach in the elimination tree (their
    // ancestors); the others are kept as they are. The factor is the same
    // to the last bit as one made in full.
    FactorResult factor(const FactorOptions& options = {});
    // The panels (supernodes) of the factor, and how many of them the last
    // factor made (all of them unless it kept some).
    int panel_count() const { return static_cast<int>(panels_.size()); }
    int panels_made() const { return panels_made_; }
    // The runs of subtrees a factor and its solves are shared into among
    // threads (0: they run on the calling thread), and when they are: where
    // it pays (a large factor, a larger one's solves), never, or always
    // (the numbers are the same to the last bit either way).
    int thread_runs() const { return static_cast<int>(subtree_runs_.size()); }
    enum class Sharing { WherePays, Never, Always };
    void share(Sharing sharing) { sharing_ = sharing; }
    bool factored() const { return factored_; }
    // True when a factor is held and the assembled values equal, term by
    // term, those it was made of (the options are the caller's to compare).
    bool factor_matches_values() const;
    int negative_pivots() const { return negative_pivots_; }

    // Overwrites the right-hand side x (1-based by equation) with the
    // solution of K x = b. Needs a factor.
    void solve(OneBased<double>& x) const;
    // The same for `count` right-hand sides stored one after the other, each
    // of equation_count() values (equation e of right-hand side r at
    // columns[r * equation_count() + e - 1]).
    void solve(std::span<double> columns, int count) const;

private:
    // An assembled block and where it goes in a panel (kind 0: a diagonal
    // block, its upper triangle into the panel's lower; 1: an off-diagonal
    // block as it is; 2: transposed).
    struct PanelLoad {
        int block;
        int kind;
        std::size_t target;
    };

    std::size_t block_of(int lower_node, int upper_node) const;
    // Where the block of nodes i <= j begins in values_.
    std::size_t block_at(int i, int j) const { return i == j ? 36 * static_cast<std::size_t>(i) : block_of(i, j); }
    // Before a block's values change: the factor's values are kept if they
    // are about to go, and on a base the block is marked.
    void changing(std::size_t block)
    {
        if (values_are_factors_)
            keep_factored_values();
        if (on_base_ && !changed_[block / 36])
            mark_changed(block);
    }
    void mark_changed(std::size_t block);
    void keep_factored_values();
    bool base_matches_factor() const;
    // On the base the factor was made on: the values a block had then.
    const double* factor_values_of(std::size_t block) const;
    // Marks the panels a factor on the base must make again (see factor);
    // false when the factor held cannot be kept in part.
    bool panels_to_make(std::vector<char>& make) const;
    int named_equation(int supernode, int column) const;

    NodeElimination elimination_;
    // Assembled values: the upper triangle of each node's diagonal block
    // (row-major 6 x 6, lower half unused) and, for each coupled pair of
    // nodes i < j, the block of rows i and columns j (row-major). The pairs
    // of node i are upper_[upper_start_[i]] .. , ascending, their blocks at
    // pair index + node count.
    std::vector<int> upper_start_;
    std::vector<int> upper_;
    std::vector<double> values_;
    // The assembled blocks each panel starts from.
    std::vector<int> load_start_;
    std::vector<PanelLoad> loads_;
    // The panel each assembled block is loaded into, and each panel's
    // parent in the elimination tree (the panel its first row below is in;
    // -1 for a root).
    std::vector<int> block_panel_;
    std::vector<int> panel_parent_;
    // The updates each panel takes, in the order it takes them: from the
    // finished panel `from`, its rows below `first` .. `end` - 1 (those in
    // this panel's columns) and every row after them.
    struct PanelUpdate {
        int from;
        int first;
        int end;
    };
    std::vector<int> update_start_;
    std::vector<PanelUpdate> updates_;
    // A factor on several threads: runs of whole subtrees of the
    // elimination tree (ranges of panels, begin and end), each made on one
    // thread, then the panels above them, in order. No runs: one thread.
    std::vector<std::pair<int, int>> subtree_runs_;
    std::vector<int> top_panels_;
    std::vector<double> panel_cost_;   // multiply-adds of each panel's factor and its updates
    bool large_solves_ = false;        // solves large enough to share
    void plan_updates();
    bool shares_factor(const char* make) const;
    bool shares_solve() const;

    // The factor: one column-major panel per supernode, its rows the
    // supernode's own equations and then those of its rows below. The
    // panel's diagonal block holds the inverse of its unit lower triangle
    // (0 on and above the diagonal), the rows below hold L; D and 1 / D are
    // kept by position in the order, with the assembled diagonal (shifted)
    // against which each pivot was judged.
    struct Panel {
        std::size_t start;
        int first;        // equation (by position) of the panel's first column
        int width;        // columns
        int height;       // rows
        int below_begin;  // its rows below in elimination_.below
        int below_end;
    };
    std::vector<Panel> panels_;
    std::vector<double> factor_;
    std::vector<double> diagonal_;
    std::vector<double> pivot_;
    std::vector<double> inverse_pivot_;
    int largest_update_ = 0;
    int widest_panel_ = 0;   // columns
    Sharing sharing_ = Sharing::WherePays;
    // The values the factor was made of: values_ itself while nothing was
    // added since (values_are_factors_), else this copy.
    std::vector<double> factored_values_;
    bool values_are_factors_ = false;
    // On a base: the base values of the blocks changed since it was taken
    // (kept when first changed; each block's place among them, -1 for
    // none), the blocks changed since it was taken or put back (marked, and
    // listed by where they begin); for a factor made on it, the blocks its
    // assembly had changed, their values, and each block's place among
    // them.
    std::vector<double> base_values_;
    std::vector<int> base_slot_;
    bool on_base_ = false;
    std::vector<char> changed_;
    std::vector<std::size_t> changed_blocks_;
    bool factor_on_base_ = false;
    std::vector<std::size_t> factor_blocks_;
    std::vector<double> factor_block_values_;
    std::vector<int> factor_slot_;
    bool factored_ = false;
    // The factor held was made without a shift and not indefinite.
    bool factor_plain_ = false;
    int panels_made_ = 0;
    int negative_pivots_ = 0;
};

// The node of an equation (its analysis index) and its direction 0..5 (X,
// Y, Z, RX, RY, RZ).
inline int equation_node(int equation) { return (equation + 5) / 6; }
inline int equation_direction(int equation) { return (equation - 1) % 6; }

// "Model is unstable at node <node_text> in the <X|Y|Z|RX|RY|RZ> direction"
// for the equation a failed factorisation names; node_text is the node's
// printed number.
std::string unstable_model_message(int equation, const std::string& node_text);
