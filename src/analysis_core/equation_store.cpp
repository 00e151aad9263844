// Equation store and sparse LDLᵀ solver.
//
// Assembly. The assembled upper triangle is kept by node blocks: each
// node's 6 x 6 diagonal block and one 6 x 6 block per coupled pair, found
// through the node's sorted list of later neighbours. An element whose
// twelve equations are two nodes' six adds its three blocks directly.
//
// Factorisation. Supernodal left-looking LDLᵀ over the order of
// node_elimination.h. The assembled blocks are copied into the factor's
// panels (each to a place worked out when the store was made); then, panel
// by panel in order, every earlier panel whose rows reach this one's columns
// subtracts its product L D Lᵀ from them (the earlier panels wait in lists
// by the next panel their rows reach; the order in which each panel takes
// its updates is planned once with the store), and the panel is factorised
// as a dense block: each column's pivot is tested, then the columns to its
// right are reduced by it and it is scaled to L. Everything is column-major
// and contiguous down the rows, so the inner loops run as vector operations.
// A panel depends only on the panels of its subtree in the elimination tree:
// a large factor is shared among threads by subtrees, and since every panel
// is made by the same operations in the same order on whichever thread, the
// factor is the same to the last bit as one made on one thread.
//
// Pivot tolerance. The test is d_j <= PIVOT_TOLERANCE * a_jj, with a_jj the
// assembled diagonal. Rigid supports and links put 1.0e12 on the diagonal
// next to ordinary pipe stiffnesses of 1e2..1e8, so a legitimately soft
// direction held only through a rigid term gives ratios down to about
// 1e2 / 1e12 = 1e-10; that must pass. A mechanism gives a pivot that is
// exactly 0 or round-off: the backward error of LDLᵀ bounds it by a small
// multiple of the machine epsilon (1.1e-16) times the diagonal, about 1e-15
// to 1e-14 of a_jj. 1.0e-12 lies between with a margin of 100 on each side.
// A pivot below it would also carry a relative error of eps / 1e-12 ≈ 1e-4
// or more, so the numbers in that direction would not be worth signing even
// if the direction were meant to be that soft: a stiffness under 1 lb/in
// behind a 1.0e12 rigid term. Zero, negative, NaN and infinite pivots and
// diagonals fail the same test; the indefinite factorisation tests the
// magnitudes.
#include "analysis_core/equation_store.h"

#include "framework/errors.h"
#include "platform/threads.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

constexpr int B = 6;          // equations per node
constexpr int BLOCK = B * B;  // terms per node block

// Components of a named motion that count as moving as much as the largest.
constexpr double SAME_MOTION = 1.0e-6;

// Where sharing pays, measured on piping networks of 3 000 to 96 000
// equations with the kept threads asleep, as they are between the factors
// of an analysis. A factor that makes fewer multiply-adds in the runs of
// subtrees than this is made on one thread (about 0.3 ms of work there):
// waking the threads costs about what the sharing saves.
constexpr double SHARED_FACTOR_LEAST = 1.5e6;
// A solve is shared only with a factor of this many terms or more (about
// 100 000 equations of a piping network): below it a solve's two shares
// among threads save less wall time than the waking costs processor time
// (on the nonlinear run of a network of 7 000 rows, a sixth more processor
// time for no wall time measurably saved).
constexpr double SHARED_SOLVE_LEAST = 1.0e6;
// The runs of subtrees a factor is shared into, for each thread: enough
// that threads finishing early find more to take.
constexpr int RUNS_PER_THREAD = 4;

}  // namespace

EquationStore::EquationStore(int node_count, std::span<const NodePair> pairs)
    : elimination_(eliminate_nodes(node_count, pairs))
{
    const int n = node_count;
    const NodeElimination& e = elimination_;

    // The later neighbours of each node, ascending, without repeats.
    std::vector<std::pair<int, int>> upper;
    upper.reserve(pairs.size());
    for (const NodePair& p : pairs) {
        if (p.a < 1 || p.a > n || p.b < 1 || p.b > n || p.a == p.b)
            continue;
        upper.emplace_back(std::min(p.a, p.b) - 1, std::max(p.a, p.b) - 1);
    }
    std::sort(upper.begin(), upper.end());
    upper.erase(std::unique(upper.begin(), upper.end()), upper.end());
    upper_start_.assign(static_cast<std::size_t>(n) + 1, 0);
    upper_.reserve(upper.size());
    for (const auto& [i, j] : upper) {
        ++upper_start_[static_cast<std::size_t>(i) + 1];
        upper_.push_back(j);
    }
    for (int i = 0; i < n; ++i)
        upper_start_[static_cast<std::size_t>(i) + 1] += upper_start_[static_cast<std::size_t>(i)];
    values_.assign(BLOCK * (static_cast<std::size_t>(n) + upper_.size()), 0.0);

    // The panels: rows are the supernode's own equations, then those below.
    const int supernodes = e.supernodes();
    panels_.reserve(static_cast<std::size_t>(supernodes));
    std::size_t size = 0;
    for (int s = 0; s < supernodes; ++s) {
        const Panel panel{size, B * e.first[static_cast<std::size_t>(s)], B * e.width(s),
                          B * (e.width(s) + e.below_count(s)), e.below_start[static_cast<std::size_t>(s)],
                          e.below_start[static_cast<std::size_t>(s) + 1]};
        panels_.push_back(panel);
        size += static_cast<std::size_t>(panel.height) * static_cast<std::size_t>(panel.width);
    }
    factor_.assign(size, 0.0);

    // The blocks each panel starts from: its nodes' diagonal blocks, and
    // each coupled pair's block in the column of the node that comes first,
    // at the row of the other.
    std::vector<std::vector<PanelLoad>> by_panel(static_cast<std::size_t>(supernodes));
    auto place = [&](int column, int row) {
        const int s = e.supernode_of[static_cast<std::size_t>(column)];
        const int f = e.first[static_cast<std::size_t>(s)];
        const auto height = static_cast<std::size_t>(B * (e.width(s) + e.below_count(s)));
        int local_row = row - f;
        if (row >= e.first[static_cast<std::size_t>(s) + 1]) {
            const std::span<const int> below = e.rows_below(s);
            const auto at = std::lower_bound(below.begin(), below.end(), row);
            KV_ASSERT(at != below.end() && *at == row);
            local_row = e.width(s) + static_cast<int>(at - below.begin());
        }
        return std::pair{s, static_cast<std::size_t>(B * (column - f)) * height + static_cast<std::size_t>(B * local_row)};
    };
    for (int i = 0; i < n; ++i) {
        const int pi = e.position[static_cast<std::size_t>(i)];
        const auto [s, target] = place(pi, pi);
        by_panel[static_cast<std::size_t>(s)].push_back({i, 0, target});
        for (int x = upper_start_[static_cast<std::size_t>(i)]; x < upper_start_[static_cast<std::size_t>(i) + 1]; ++x) {
            const int pj = e.position[static_cast<std::size_t>(upper_[static_cast<std::size_t>(x)])];
            const auto [t, off] = place(std::min(pi, pj), std::max(pi, pj));
            // The block holds rows of i and columns of j; the panel wants
            // the rows of the later node.
            by_panel[static_cast<std::size_t>(t)].push_back({n + x, pi < pj ? 2 : 1, off});
        }
    }
    block_panel_.assign(values_.size() / BLOCK, -1);
    for (int s = 0; s < supernodes; ++s)
        for (const PanelLoad& load : by_panel[static_cast<std::size_t>(s)])
            block_panel_[static_cast<std::size_t>(load.block)] = s;
    panel_parent_.assign(static_cast<std::size_t>(supernodes), -1);
    for (int s = 0; s < supernodes; ++s)
        if (e.below_count(s) > 0)
            panel_parent_[static_cast<std::size_t>(s)] = e.supernode_of[static_cast<std::size_t>(e.rows_below(s)[0])];
    load_start_.assign(1, 0);
    for (std::vector<PanelLoad>& list : by_panel) {
        std::sort(list.begin(), list.end(), [](const PanelLoad& a, const PanelLoad& b) { return a.target < b.target; });
        loads_.insert(loads_.end(), list.begin(), list.end());
        load_start_.push_back(static_cast<int>(loads_.size()));
    }
    for (int s = 0; s < supernodes; ++s) {
        largest_update_ = std::max(largest_update_, B * e.width(s) * B * e.below_count(s));
        widest_panel_ = std::max(widest_panel_, B * e.width(s));
    }
    plan_updates();
}

// The updates each panel takes, worked out once from the shape of the
// factor: the finished panels wait in lists by the next panel their rows
// reach, each panel takes those of its list, and a panel taken goes on to
// the list of the next panel its rows reach. The numeric factor applies
// them in this order whichever thread makes the panel.
//
// Then the sharing among threads: a panel's cost is the multiply-adds of its
// own factorisation and of the updates it takes. A subtree of the
// elimination tree (a range of panels, the order being postordered) whose
// cost is at most a share of the whole is made by one thread; neighbouring
// such subtrees are joined up to a share; the panels above them come after.
void EquationStore::plan_updates()
{
    const NodeElimination& e = elimination_;
    const int supernodes = e.supernodes();
    const auto count = static_cast<std::size_t>(supernodes);
    std::vector<int> head(count, -1), next(count, -1), cursor(count, 0);
    std::vector<double> cost(count, 0.0);
    update_start_.assign(1, 0);
    updates_.clear();
    for (int s = 0; s < supernodes; ++s) {
        const auto su = static_cast<std::size_t>(s);
        const int end = e.first[su + 1];
        for (int d = head[su]; d != -1;) {
            const auto du = static_cast<std::size_t>(d);
            const int after = next[du];
            const std::span<const int> rows = e.rows_below(d);
            const int rows_count = static_cast<int>(rows.size());
            const int p = cursor[du];
            int q = p;
            while (q < rows_count && rows[static_cast<std::size_t>(q)] < end)
                ++q;
            updates_.push_back({d, p, q});
            cost[su] += static_cast<double>(q - p) * (rows_count - p) * BLOCK * B * e.width(d);
            if (q < rows_count) {
                const auto t = static_cast<std::size_t>(e.supernode_of[static_cast<std::size_t>(rows[static_cast<std::size_t>(q)])]);
                cursor[du] = q;
                next[du] = head[t];
                head[t] = d;
            }
            d = after;
        }
        update_start_.push_back(static_cast<int>(updates_.size()));
        const double width = B * e.width(s);
        cost[su] += B * (e.width(s) + e.below_count(s)) * width * width / 2.0;
        if (const int parent = panel_parent_[su]; parent >= 0) {
            const auto t = static_cast<std::size_t>(parent);
            cursor[su] = 0;
            next[su] = head[t];
            head[t] = s;
        }
    }

    subtree_runs_.clear();
    top_panels_.clear();
    panel_cost_ = cost;
    const int threads = job_threads();
    double total = 0.0;
    for (double c : cost)
        total += c;
    if (threads < 2)
        return;
    // Each panel's subtree: its cost, its size and its first panel.
    std::vector<double> subtree(cost);
    std::vector<int> size(count, 1), low(count);
    for (int s = 0; s < supernodes; ++s)
        low[static_cast<std::size_t>(s)] = s;
    for (std::size_t s = 0; s < count; ++s)
        if (const int p = panel_parent_[s]; p >= 0) {
            const auto pu = static_cast<std::size_t>(p);
            subtree[pu] += subtree[s];
            size[pu] += size[s];
            low[pu] = std::min(low[pu], low[s]);
        }
    for (std::size_t s = 0; s < count; ++s)
        if (size[s] != static_cast<int>(s) - low[s] + 1)
            return;   // not a range of panels: one thread
    const double share = total / (RUNS_PER_THREAD * threads);
    std::vector<std::pair<std::pair<int, int>, double>> runs;
    for (std::size_t s = 0; s < count; ++s) {
        const int p = panel_parent_[s];
        if (subtree[s] > share) {
            top_panels_.push_back(static_cast<int>(s));
        } else if (p < 0 || subtree[static_cast<std::size_t>(p)] > share) {
            if (!runs.empty() && runs.back().first.second == low[s] && runs.back().second + subtree[s] <= share) {
                runs.back().first.second = static_cast<int>(s) + 1;
                runs.back().second += subtree[s];
            } else {
                runs.push_back({{low[s], static_cast<int>(s) + 1}, subtree[s]});
            }
        }
    }
    // The costliest runs first, so that the last ones taken are short.
    std::stable_sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    for (const auto& run : runs)
        subtree_runs_.push_back(run.first);
    if (subtree_runs_.size() < 2) {
        subtree_runs_.clear();
        top_panels_.clear();
    }
    large_solves_ = static_cast<double>(factor_terms()) >= SHARED_SOLVE_LEAST;
}

// Whether a factor (make: the panels a factor in part makes; null: all) or
// a solve is shared among threads.
bool EquationStore::shares_factor(const char* make) const
{
    if (subtree_runs_.empty() || sharing_ == Sharing::Never)
        return false;
    if (sharing_ == Sharing::Always)
        return true;
    double cost = 0.0;   // of the panels made in the runs
    for (const auto& [begin, end] : subtree_runs_)
        for (int s = begin; s < end; ++s)
            if (make == nullptr || make[s] != 0)
                cost += panel_cost_[static_cast<std::size_t>(s)];
    return cost >= SHARED_FACTOR_LEAST;
}

bool EquationStore::shares_solve() const
{
    if (subtree_runs_.empty() || sharing_ == Sharing::Never)
        return false;
    return sharing_ == Sharing::Always || large_solves_;
}

std::size_t EquationStore::assembled_terms() const
{
    return 21 * static_cast<std::size_t>(elimination_.nodes) + BLOCK * upper_.size();
}

std::size_t EquationStore::factor_terms() const
{
    std::size_t terms = 0;
    for (int s = 0; s < elimination_.supernodes(); ++s) {
        const auto width = static_cast<std::size_t>(B * elimination_.width(s));
        const auto below = static_cast<std::size_t>(B * elimination_.below_count(s));
        terms += width * (width + 1) / 2 + width * below;
    }
    return terms;
}

std::size_t EquationStore::block_of(int lower_node, int upper_node) const
{
    const auto begin = upper_.begin() + upper_start_[static_cast<std::size_t>(lower_node)];
    const auto end = upper_.begin() + upper_start_[static_cast<std::size_t>(lower_node) + 1];
    const auto at = std::lower_bound(begin, end, upper_node);
    KV_ASSERT(at != end && *at == upper_node);
    return BLOCK * (static_cast<std::size_t>(elimination_.nodes) + static_cast<std::size_t>(at - upper_.begin()));
}

// Before the first change to the values a factor was made of, they are
// kept for factor_matches_values.
void EquationStore::keep_factored_values()
{
    factored_values_ = values_;
    values_are_factors_ = false;
}

void EquationStore::add_element(const int (&equations)[13], const double (&k)[13][13])
{
    // Two nodes' six equations each, in order: three blocks.
    const int first = equations[1], second = equations[7];
    bool blocks = first >= 1 && second >= 1 && (first - 1) % B == 0 && (second - 1) % B == 0 && first != second;
    for (int d = 1; blocks && d < B; ++d)
        blocks = equations[1 + d] == first + d && equations[7 + d] == second + d;
    if (blocks) {
        const int i = (first - 1) / B, j = (second - 1) / B;
        KV_ASSERT(std::max(i, j) < elimination_.nodes);
        const std::size_t pair = block_of(std::min(i, j), std::max(i, j));
        for (std::size_t block : {BLOCK * static_cast<std::size_t>(i), BLOCK * static_cast<std::size_t>(j), pair})
            changing(block);
        double* a = &values_[BLOCK * static_cast<std::size_t>(i)];
        double* b = &values_[BLOCK * static_cast<std::size_t>(j)];
        for (int r = 0; r < B; ++r)
            for (int c = r; c < B; ++c) {
                a[B * r + c] += k[1 + r][1 + c];
                b[B * r + c] += k[7 + r][7 + c];
            }
        double* off = &values_[pair];
        // Rows of the lower node: slots 1..6 when it is the first node.
        for (int r = 0; r < B; ++r)
            for (int c = 0; c < B; ++c)
                off[B * r + c] += i < j ? k[1 + r][7 + c] : k[1 + c][7 + r];
        return;
    }
    // Every pair (a, b) whose global row is not below its global column
    // lands in the upper triangle; when two slots share an equation both
    // orders count.
    for (int a = 1; a <= 12; ++a) {
        const int row = equations[a];
        if (row == 0)
            continue;
        for (int b = 1; b <= 12; ++b) {
            const int column = equations[b];
            if (column == 0 || row > column)
                continue;
            add(row, column, a <= b ? k[a][b] : k[b][a]);
        }
    }
}

void EquationStore::clear_values()
{
    // The factor's values move aside rather than being copied.
    if (values_are_factors_) {
        std::swap(values_, factored_values_);
        values_are_factors_ = false;
        values_.resize(factored_values_.size());
    }
    std::fill(values_.begin(), values_.end(), 0.0);
    for (std::size_t block : changed_blocks_)
        changed_[block / BLOCK] = 0;
    changed_blocks_.clear();
    on_base_ = false;
}

void EquationStore::keep_as_base()
{
    KV_ASSERT(!values_are_factors_);
    base_slot_.assign(values_.size() / BLOCK, -1);
    base_values_.clear();
    changed_.assign(values_.size() / BLOCK, 0);
    changed_blocks_.clear();
    on_base_ = true;
    factor_on_base_ = false;
}

// A block changed for the first time since the base was taken or put back;
// its base values are kept the first time of all.
void EquationStore::mark_changed(std::size_t block)
{
    changed_[block / BLOCK] = 1;
    changed_blocks_.push_back(block);
    int& slot = base_slot_[block / BLOCK];
    if (slot < 0) {
        slot = static_cast<int>(base_values_.size() / BLOCK);
        base_values_.insert(base_values_.end(), &values_[block], &values_[block] + BLOCK);
    }
}

void EquationStore::restore_base()
{
    KV_ASSERT(on_base_ && !values_are_factors_);
    for (std::size_t block : changed_blocks_) {
        std::copy_n(&base_values_[BLOCK * static_cast<std::size_t>(base_slot_[block / BLOCK])], BLOCK, &values_[block]);
        changed_[block / BLOCK] = 0;
    }
    changed_blocks_.clear();
}

double EquationStore::value(int row, int column) const
{
    if (row > column)
        std::swap(row, column);
    KV_ASSERT(row >= 1 && column <= equation_count());
    const int i = (row - 1) / B, j = (column - 1) / B;
    const int r = (row - 1) % B, c = (column - 1) % B;
    if (i == j)
        return values_[BLOCK * static_cast<std::size_t>(i) + static_cast<std::size_t>(B * r + c)];
    const auto begin = upper_.begin() + upper_start_[static_cast<std::size_t>(i)];
    const auto end = upper_.begin() + upper_start_[static_cast<std::size_t>(i) + 1];
    const auto at = std::lower_bound(begin, end, j);
    if (at == end || *at != j)
        return 0.0;
    return values_[block_of(i, j) + static_cast<std::size_t>(B * r + c)];
}

void EquationStore::region_products(const OneBased<double>& x, std::span<const int> region, int regions,
                                    std::vector<double>& out) const
{
    const int nodes = elimination_.nodes;
    KV_ASSERT(x.size() == equation_count() && static_cast<int>(region.size()) == nodes);
    const auto r_count = static_cast<std::size_t>(regions);
    out.assign(r_count * r_count, 0.0);
    const double* in = x.data() + 1;
    for (int i = 0; i < nodes; ++i) {
        const double* block = &values_[BLOCK * static_cast<std::size_t>(i)];
        const double* xi = in + B * static_cast<std::ptrdiff_t>(i);
        const auto ri = static_cast<std::size_t>(region[static_cast<std::size_t>(i)]);
        double own = 0.0;
        for (int r = 0; r < B; ++r) {
            own += block[B * r + r] * xi[r] * xi[r];
            for (int c = r + 1; c < B; ++c)
                own += 2.0 * block[B * r + c] * xi[r] * xi[c];
        }
        out[ri * r_count + ri] += own;
        for (int p = upper_start_[static_cast<std::size_t>(i)]; p < upper_start_[static_cast<std::size_t>(i) + 1]; ++p) {
            const int j = upper_[static_cast<std::size_t>(p)];
            const double* off = &values_[BLOCK * (static_cast<std::size_t>(nodes) + static_cast<std::size_t>(p))];
            const double* xj = in + B * static_cast<std::ptrdiff_t>(j);
            double pair = 0.0;
            for (int r = 0; r < B; ++r)
                for (int c = 0; c < B; ++c)
                    pair += off[B * r + c] * xi[r] * xj[c];
            const auto rj = static_cast<std::size_t>(region[static_cast<std::size_t>(j)]);
            out[ri * r_count + rj] += pair;
            out[rj * r_count + ri] += pair;
        }
    }
}

bool EquationStore::factor_matches_values() const
{
    if (!factored_)
        return false;
    if (factor_on_base_)
        return on_base_ && base_matches_factor();
    if (values_are_factors_)
        return true;
    return factored_values_.size() == values_.size() &&
           std::memcmp(factored_values_.data(), values_.data(), values_.size() * sizeof(double)) == 0;
}

// On the base the factor was made on, the values differ from the factor's
// only in the blocks changed since the base was put back and in those the
// factor's assembly had changed; each of those, the base where one side
// left it alone (a block changed once has its base kept; one not changed
// now holds it).
bool EquationStore::base_matches_factor() const
{
    auto differs = [&](std::size_t block) {
        return std::memcmp(&values_[block], factor_values_of(block), BLOCK * sizeof(double)) != 0;
    };
    for (std::size_t block : changed_blocks_)
        if (differs(block))
            return false;
    for (std::size_t block : factor_blocks_)
        if (!changed_[block / BLOCK] && differs(block))
            return false;
    return true;
}

const double* EquationStore::factor_values_of(std::size_t block) const
{
    const int slot = factor_slot_[block / BLOCK];
    if (slot >= 0)
        return &factor_block_values_[BLOCK * static_cast<std::size_t>(slot)];
    return &base_values_[BLOCK * static_cast<std::size_t>(base_slot_[block / BLOCK])];
}

// A panel's factor depends on its assembled blocks and on the panels that
// update it, all of them in its subtree of the elimination tree: a panel
// none of whose own blocks changed, nor any in its subtree, comes out as it
// was. The panels of the blocks that differ from the factor's are marked,
// then their ancestors (a parent comes after its children).
bool EquationStore::panels_to_make(std::vector<char>& make) const
{
    if (!factored_ || !factor_plain_ || !factor_on_base_ || !on_base_)
        return false;
    make.assign(panels_.size(), 0);
    auto mark_if_changed = [&](std::size_t block) {
        if (std::memcmp(&values_[block], factor_values_of(block), BLOCK * sizeof(double)) != 0)
            make[static_cast<std::size_t>(block_panel_[block / BLOCK])] = 1;
    };
    for (std::size_t block : changed_blocks_)
        mark_if_changed(block);
    for (std::size_t block : factor_blocks_)
        if (!changed_[block / BLOCK])
            mark_if_changed(block);
    for (std::size_t s = 0; s < make.size(); ++s)
        if (make[s] && panel_parent_[s] >= 0)
            make[static_cast<std::size_t>(panel_parent_[s])] = 1;
    return true;
}

// ---- Numeric factorisation and solution -------------------------------------------------
//
// The loops below are written for the node block: six rows at a time as
// one vector of four and one of two, with fixed bounds, so that the
// compiler unrolls them and keeps a block in registers. They are compiled
// twice, for any x86-64 and for processors with AVX2, and chosen at run
// time; both do the same operations in the same order (no contraction into
// fused multiply-adds), so their results are the same to the last bit.
//
// A panel's diagonal block ends up holding the inverse of its unit lower
// triangle: the solves then multiply by it, six independent products,
// instead of running down a chain of six dependent steps.

namespace {

using V4 = double __attribute__((vector_size(32)));
using V2 = double __attribute__((vector_size(16)));

// Six rows: a vector of four and one of two, loaded and stored unaligned.
struct Six {
    V4 a;
    V2 b;
};

inline __attribute__((always_inline)) void load6(Six& v, const double* p)
{
    __builtin_memcpy(&v.a, p, sizeof(V4));
    __builtin_memcpy(&v.b, p + 4, sizeof(V2));
}
inline __attribute__((always_inline)) void store6(double* p, const Six& v)
{
    __builtin_memcpy(p, &v.a, sizeof(V4));
    __builtin_memcpy(p + 4, &v.b, sizeof(V2));
}
inline __attribute__((always_inline)) void zero6(Six& v)
{
    v.a = V4{};
    v.b = V2{};
}
inline __attribute__((always_inline)) double element(const Six& v, int i)
{
    return i < 4 ? v.a[i] : v.b[i - 4];
}
inline __attribute__((always_inline)) void set_element(Six& v, int i, double x)
{
    if (i < 4)
        v.a[i] = x;
    else
        v.b[i - 4] = x;
}
inline __attribute__((always_inline)) double sum6(const Six& v)
{
    return (v.a[0] + v.a[1]) + (v.a[2] + v.a[3]) + (v.b[0] + v.b[1]);
}

// y = K x over the assembled blocks, node by node. Each term of y takes
// its products in the order of a plain loop over the upper triangle's
// blocks (node by node, a node's diagonal block and then its pairs in
// ascending order, each block row by row): a node's own six terms are held
// in registers while its row of blocks goes by, and the six terms of a
// later node take a block's row at a time as one vector.
inline __attribute__((always_inline)) void multiply_blocks(int nodes, const int* upper_start, const int* upper,
                                                           const double* values, const double* in, double* out)
{
    for (int i = 0; i < nodes; ++i) {
        const double* block = values + BLOCK * static_cast<std::size_t>(i);
        const double* xi = in + B * static_cast<std::ptrdiff_t>(i);
        double yi[B];
        for (int r = 0; r < B; ++r)
            yi[r] = out[B * static_cast<std::ptrdiff_t>(i) + r];
        // The diagonal block's upper triangle stands for both halves: term
        // c takes K_cr x_r for r ascending.
#pragma GCC unroll 6
        for (int r = 0; r < B; ++r)
#pragma GCC unroll 6
            for (int c = 0; c < B; ++c)
                yi[c] += block[c < r ? B * c + r : B * r + c] * xi[r];
        for (int p = upper_start[i]; p < upper_start[i + 1]; ++p) {
            const double* off = values + BLOCK * (static_cast<std::size_t>(nodes) + static_cast<std::size_t>(p));
            const std::ptrdiff_t j = B * static_cast<std::ptrdiff_t>(upper[p]);
            const double* xj = in + j;
            Six yj;
            load6(yj, out + j);
#pragma GCC unroll 6
            for (int r = 0; r < B; ++r) {
                Six row;
                load6(row, off + B * r);
                yj.a += row.a * xi[r];
                yj.b += row.b * xi[r];
#pragma GCC unroll 6
                for (int c = 0; c < B; ++c)
                    yi[r] += off[B * r + c] * xj[c];
            }
            store6(out + j, yj);
        }
        for (int r = 0; r < B; ++r)
            out[B * static_cast<std::ptrdiff_t>(i) + r] = yi[r];
    }
}

}  // namespace

void EquationStore::multiply(const OneBased<double>& x, OneBased<double>& y) const
{
    KV_ASSERT(x.size() == equation_count());
    y.resize(equation_count());
    // 0-based views: equation 6 i + r + 1 of node i at [B i + r].
    double* out = y.data() + 1;
    std::fill(out, out + equation_count(), 0.0);
    multiply_blocks(elimination_.nodes, upper_start_.data(), upper_.data(), values_.data(), x.data() + 1, out);
}

namespace {

bool pivot_fails(double pivot, double diagonal, bool indefinite)
{
    if (!std::isfinite(pivot) || !std::isfinite(diagonal))
        return true;
    if (indefinite)
        return !(std::fabs(pivot) > EquationStore::PIVOT_TOLERANCE * std::fabs(diagonal));
    return !(diagonal > 0.0) || !(pivot > EquationStore::PIVOT_TOLERANCE * diagonal);
}

// What the factorisation works with; Panel and Load are the store's.
template <typename Panel, typename Load, typename Update>
struct FactorWork {
    const Panel* panels;
    const int* below;
    double* factor;
    const double* values;
    const int* load_start;
    const Load* loads;
    const OneBased<double>* mass;
    double shift;
    bool indefinite;
    double* diagonal;
    double* pivot;
    double* inverse_pivot;
    // The updates each panel takes (the store's, in its order).
    const int* update_start;
    const Update* updates;
    int* local;   // by position: the row block in the panel being made
    double* scaled;
    // The panels to make (by supernode); the others hold their factor
    // already. Null for all.
    const char* make;
    int negative = 0;
    int failed_supernode = -1;
    int failed_column = -1;
    double failed_pivot = 0.0;
};

// target (a 6 x 6 block, columns `ts` apart) -= sum over k of the six rows
// l[k * ls ..] times the six numbers w[6 k ..]. KD > 0 fixes kd.
template <int KD>
inline __attribute__((always_inline)) void block_update(double* target, std::size_t ts, const double* l,
                                                         std::size_t ls, const double* w, int kd)
{
    if constexpr (KD > 0)
        kd = KD;
    Six sum[B];
    for (int c = 0; c < B; ++c)
        zero6(sum[c]);
    for (int k = 0; k < kd; ++k) {
        Six lk;
        load6(lk, l + static_cast<std::size_t>(k) * ls);
        const double* wk = w + B * k;
#pragma GCC unroll 6
        for (int c = 0; c < B; ++c) {
            sum[c].a += lk.a * wk[c];
            sum[c].b += lk.b * wk[c];
        }
    }
    for (int c = 0; c < B; ++c) {
        double* t = target + static_cast<std::size_t>(c) * ts;
        Six v;
        load6(v, t);
        v.a -= sum[c].a;
        v.b -= sum[c].b;
        store6(t, v);
    }
}

// Copies the panel's assembled blocks in (the shift on the diagonal).
template <typename W>
inline __attribute__((always_inline)) void load_panel(W& w, int s)
{
    const auto& panel = w.panels[s];
    const auto h = static_cast<std::size_t>(panel.height);
    double* a = w.factor + panel.start;
    std::fill(a, a + h * static_cast<std::size_t>(panel.width), 0.0);
    for (int x = w.load_start[s]; x < w.load_start[s + 1]; ++x) {
        const auto& load = w.loads[x];
        const double* block = w.values + BLOCK * static_cast<std::size_t>(load.block);
        double* target = a + load.target;
        if (load.kind == 0) {
            for (int c = 0; c < B; ++c)
                for (int r = c; r < B; ++r)
                    target[static_cast<std::size_t>(c) * h + static_cast<std::size_t>(r)] = block[B * c + r];
            const std::size_t at = static_cast<std::size_t>(panel.first) + load.target / h;
            for (int d = 0; d < B; ++d) {
                double& term = target[static_cast<std::size_t>(d) * h + static_cast<std::size_t>(d)];
                if (w.mass)
                    term -= w.shift * (*w.mass)[B * load.block + d + 1];
                w.diagonal[at + static_cast<std::size_t>(d)] = term;
            }
        } else if (load.kind == 1) {
            for (int c = 0; c < B; ++c)
                for (int r = 0; r < B; ++r)
                    target[static_cast<std::size_t>(c) * h + static_cast<std::size_t>(r)] = block[B * r + c];
        } else {
            for (int c = 0; c < B; ++c)
                for (int r = 0; r < B; ++r)
                    target[static_cast<std::size_t>(c) * h + static_cast<std::size_t>(r)] = block[B * c + r];
        }
    }
}

// Asks for the assembled blocks of panel s ahead of its load: they lie all
// over the values, in the model's order of the nodes rather than the
// order of elimination.
template <typename W>
inline __attribute__((always_inline)) void prefetch_panel(const W& w, int s)
{
    for (int x = w.load_start[s]; x < w.load_start[s + 1]; ++x) {
        const char* block = reinterpret_cast<const char*>(w.values + BLOCK * static_cast<std::size_t>(w.loads[x].block));
        for (std::size_t line = 0; line < BLOCK * sizeof(double); line += 64)
            __builtin_prefetch(block + line);
        __builtin_prefetch(block + BLOCK * sizeof(double) - 1);
    }
}

// Tests the pivot of column j of panel s. A pivot that passes is kept (D,
// 1 / D in `inverse`, the count of negative ones); one that fails is
// recorded with its place, and false returned.
template <typename W>
inline __attribute__((always_inline)) bool take_pivot(W& w, int s, int j, double pivot, double& inverse)
{
    const auto at = static_cast<std::size_t>(w.panels[s].first + j);
    if (pivot_fails(pivot, w.diagonal[at], w.indefinite)) {
        w.failed_supernode = s;
        w.failed_column = j;
        w.failed_pivot = pivot;
        return false;
    }
    if (pivot < 0.0)
        ++w.negative;
    inverse = 1.0 / pivot;
    w.pivot[at] = pivot;
    w.inverse_pivot[at] = inverse;
    return true;
}

// Subtracts from panel s what the finished panel d gives it: for d's rows
// p..q-1 below (those in s's columns, J) and every later one (R), L(R, :)
// D L(J, :)ᵀ, block by block on or below J's diagonal.
template <typename W>
inline __attribute__((always_inline)) void apply_update(W& w, int d, int p, int q, int s)
{
    const auto& pd = w.panels[d];
    const auto& ps = w.panels[s];
    const int kd = pd.width;
    const auto hd = static_cast<std::size_t>(pd.height);
    const double* ld = w.factor + pd.start;
    const int* below = w.below + pd.below_begin;
    const int count = pd.below_end - pd.below_begin;
    const double* pivot = w.pivot + pd.first;
    // The rows J scaled by D: scaled[(jb * kd + k) * 6 + c].
    double* scaled = w.scaled;
    for (int jb = 0; jb < q - p; ++jb)
        for (int k = 0; k < kd; ++k) {
            const double* l = ld + static_cast<std::size_t>(k) * hd + static_cast<std::size_t>(kd + B * (p + jb));
            for (int c = 0; c < B; ++c)
                scaled[(jb * kd + k) * B + c] = l[c] * pivot[k];
        }
    const auto hs = static_cast<std::size_t>(ps.height);
    double* as = w.factor + ps.start;
    const int first_s = ps.first / B;
    for (int jb = p; jb < q; ++jb) {
        double* column = as + static_cast<std::size_t>(B * (below[jb] - first_s)) * hs;
        for (int ib = jb; ib < count; ++ib) {
            double* target = column + static_cast<std::size_t>(B * w.local[below[ib]]);
            const double* l = ld + static_cast<std::size_t>(kd + B * ib);
            if (kd == B)
                block_update<B>(target, hs, l, hd, scaled + (jb - p) * kd * B, kd);
            else
                block_update<0>(target, hs, l, hd, scaled + (jb - p) * kd * B, kd);
        }
    }
}

// The panel of one node (six columns): its diagonal block factorised in
// registers, right-looking, each pivot tested; each block of six rows below
// solved against it; then the block replaced by the inverse of its unit
// lower triangle. False, with the failed column set, when a pivot fails
// (the block's columns before it then hold L).
template <typename W>
inline __attribute__((always_inline)) bool factor_node_panel(W& w, int s)
{
    const auto& panel = w.panels[s];
    const auto h = static_cast<std::size_t>(panel.height);
    double* a = w.factor + panel.start;
    Six m[B];   // m[c]: column c of the block (its rows above c unused)
#pragma GCC unroll 6
    for (int c = 0; c < B; ++c)
        load6(m[c], a + static_cast<std::size_t>(c) * h);
    double ld[B][B];   // ld[j][i] = L_ji D_i, i < j
    double inverse[B];
#pragma GCC unroll 6
    for (int j = 0; j < B; ++j) {
        if (!take_pivot(w, s, j, element(m[j], j), inverse[j])) {
            for (int c = 0; c < j; ++c)
                store6(a + static_cast<std::size_t>(c) * h, m[c]);
            return false;
        }
#pragma GCC unroll 6
        for (int c = j + 1; c < B; ++c) {
            const double u = element(m[j], c);
            ld[c][j] = u;
            const double l = u * inverse[j];
            m[c].a -= m[j].a * l;
            m[c].b -= m[j].b * l;
        }
        m[j].a *= inverse[j];
        m[j].b *= inverse[j];
    }
    for (std::size_t row = B; row < h; row += B) {
        Six b[B];
#pragma GCC unroll 6
        for (int c = 0; c < B; ++c)
            load6(b[c], a + static_cast<std::size_t>(c) * h + row);
#pragma GCC unroll 6
        for (int j = 0; j < B; ++j) {
#pragma GCC unroll 6
            for (int i = 0; i < j; ++i) {
                b[j].a -= b[i].a * ld[j][i];
                b[j].b -= b[i].b * ld[j][i];
            }
            b[j].a *= inverse[j];
            b[j].b *= inverse[j];
        }
#pragma GCC unroll 6
        for (int c = 0; c < B; ++c)
            store6(a + static_cast<std::size_t>(c) * h + row, b[c]);
    }
    // L strictly below the diagonal, then its inverse column by column:
    // column c of L⁻¹ is e_c less the columns k >= c of L times its k-th row.
#pragma GCC unroll 6
    for (int c = 0; c < B; ++c)
#pragma GCC unroll 6
        for (int r = 0; r <= c; ++r)
            set_element(m[c], r, 0.0);
#pragma GCC unroll 6
    for (int c = 0; c < B; ++c) {
        Six v;
        zero6(v);
        set_element(v, c, 1.0);
#pragma GCC unroll 6
        for (int k = c; k < B - 1; ++k) {
            const double vk = element(v, k);
            v.a -= m[k].a * vk;
            v.b -= m[k].b * vk;
        }
        set_element(v, c, 0.0);
        store6(a + static_cast<std::size_t>(c) * h, v);
    }
    return true;
}

// A panel of several nodes: right-looking over its columns, each pivot
// tested, the columns to its right reduced, the column scaled to L; then
// its diagonal block replaced by the inverse of its unit lower triangle.
template <typename W>
inline __attribute__((always_inline)) bool factor_wide_panel(W& w, int s, std::vector<double>& inverse)
{
    const auto& panel = w.panels[s];
    const int height = panel.height, width = panel.width;
    const auto h = static_cast<std::size_t>(height);
    double* a = w.factor + panel.start;
    for (int j = 0; j < width; ++j) {
        double* lj = a + static_cast<std::size_t>(j) * h;
        double inv = 0.0;
        if (!take_pivot(w, s, j, lj[j], inv))
            return false;
        for (int c = j + 1; c < width; ++c) {
            const double l = lj[c] * inv;
            double* lc = a + static_cast<std::size_t>(c) * h;
            for (int r = c; r < height; ++r)
                lc[r] -= lj[r] * l;
        }
        for (int r = j + 1; r < height; ++r)
            lj[r] *= inv;
    }
    const auto n = static_cast<std::size_t>(width);
    inverse.assign(n * n, 0.0);
    for (std::size_t c = 0; c < n; ++c) {
        double* v = &inverse[c * n];
        v[c] = 1.0;
        for (std::size_t k = c; k + 1 < n; ++k)
            for (std::size_t r = k + 1; r < n; ++r)
                v[r] -= a[k * h + r] * v[k];
        v[c] = 0.0;
    }
    for (std::size_t c = 0; c < n; ++c)
        std::copy_n(&inverse[c * n], n, a + c * h);
    return true;
}

// Panels begin .. end - 1 of a list (null: the panels of those numbers),
// each loaded from its assembled blocks, reduced by the finished panels
// whose rows reach it, in the order the store planned, and factorised. The
// panels a partial factor keeps are passed over. Any order in which a
// panel comes after those that update it gives the same numbers.
template <typename W>
inline __attribute__((always_inline)) bool factor_panels(W& w, const int* list, int begin, int end)
{
    std::vector<double> inverse;
    for (int i = begin; i < end; ++i) {
        const int s = list ? list[i] : i;
        if (i + 4 < end) {
            const int ahead = list ? list[i + 4] : i + 4;
            if (w.make == nullptr || w.make[ahead] != 0)
                prefetch_panel(w, ahead);
        }
        if (w.make != nullptr && w.make[s] == 0)
            continue;
        const auto& panel = w.panels[s];
        const int first = panel.first / B, width = panel.width / B;
        const int* below = w.below + panel.below_begin;
        const int count = panel.below_end - panel.below_begin;
        load_panel(w, s);
        for (int k = 0; k < width; ++k)
            w.local[first + k] = k;
        for (int r = 0; r < count; ++r)
            w.local[below[r]] = width + r;
        for (int u = w.update_start[s]; u < w.update_start[s + 1]; ++u)
            apply_update(w, w.updates[u].from, w.updates[u].first, w.updates[u].end, s);
        if (!(panel.width == B ? factor_node_panel(w, s) : factor_wide_panel(w, s, inverse)))
            return false;
    }
    return true;
}

template <typename W>
bool factor_default(W& w, const int* list, int begin, int end)
{
    return factor_panels(w, list, begin, end);
}

#if defined(__x86_64__)
template <typename W>
__attribute__((target("avx2"))) bool factor_avx2(W& w, const int* list, int begin, int end)
{
    return factor_panels(w, list, begin, end);
}
#endif

template <typename W>
bool factor_range(W& w, const int* list, int begin, int end)
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx2"))
        return factor_avx2(w, list, begin, end);
#endif
    return factor_default(w, list, begin, end);
}

// The work buffers of a thread that makes panels: the row blocks by
// position and the scaled rows of an update.
struct PanelBuffers {
    std::vector<int> local;
    std::vector<double> scaled;
};
thread_local PanelBuffers panel_buffers;

}  // namespace

FactorResult EquationStore::factor(const FactorOptions& options)
{
    const bool plain = !options.indefinite && (options.shift_diagonal == nullptr || options.shift == 0.0);
    std::vector<char> make;
    const bool in_part = plain && panels_to_make(make);
    factored_ = false;
    negative_pivots_ = 0;
    const NodeElimination& e = elimination_;
    const auto equations = static_cast<std::size_t>(equation_count());
    diagonal_.resize(equations);
    pivot_.resize(equations);
    inverse_pivot_.resize(equations);
    const bool shifted = options.shift_diagonal != nullptr && options.shift != 0.0;
    if (shifted)
        KV_ASSERT(options.shift_diagonal->size() == equation_count());
    PanelBuffers& own = panel_buffers;
    own.local.resize(static_cast<std::size_t>(e.nodes));
    own.scaled.resize(static_cast<std::size_t>(largest_update_));
    using Work = FactorWork<Panel, PanelLoad, PanelUpdate>;
    Work w{panels_.data(),
           e.below.data(),
           factor_.data(),
           values_.data(),
           load_start_.data(),
           loads_.data(),
           shifted ? options.shift_diagonal : nullptr,
           options.shift,
           options.indefinite,
           diagonal_.data(),
           pivot_.data(),
           inverse_pivot_.data(),
           update_start_.data(),
           updates_.data(),
           own.local.data(),
           own.scaled.data(),
           in_part ? make.data() : nullptr};
    // On several threads: each run of subtrees on one, then the panels above
    // them here. A pivot that fails there leads to the factor in order on
    // this thread, which stops at the first failing pivot and names its
    // equation from the panels before it.
    bool made = false;
    if (shares_factor(in_part ? make.data() : nullptr)) {
        const auto runs = subtree_runs_.size();
        std::vector<int> negative(runs, 0);
        std::vector<char> run_made(runs, 0);
        run_jobs(static_cast<int>(runs), [&](int job) {
            const auto k = static_cast<std::size_t>(job);
            try {
                // On the calling thread these are `own`, already of these
                // sizes: the resizing leaves them where w points.
                PanelBuffers& buffers = panel_buffers;
                buffers.local.resize(static_cast<std::size_t>(e.nodes));
                buffers.scaled.resize(static_cast<std::size_t>(largest_update_));
                Work lane = w;
                lane.local = buffers.local.data();
                lane.scaled = buffers.scaled.data();
                run_made[k] = factor_range(lane, nullptr, subtree_runs_[k].first, subtree_runs_[k].second) ? 1 : 0;
                negative[k] = lane.negative;
            } catch (...) {   // no memory for the buffers: made again below, in order
                run_made[k] = 0;
            }
        });
        made = std::all_of(run_made.begin(), run_made.end(), [](char m) { return m != 0; }) &&
               factor_range(w, top_panels_.data(), 0, static_cast<int>(top_panels_.size()));
        for (int n : negative)
            w.negative += n;
    }
    if (!made) {
        w.negative = 0;
        made = factor_range(w, nullptr, 0, e.supernodes());
    }
    FactorResult result;
    if (!made) {
        const Panel& panel = panels_[static_cast<std::size_t>(w.failed_supernode)];
        const int j = w.failed_column;
        const auto at = static_cast<std::size_t>(panel.first + j);
        const double pivot = w.failed_pivot;
        result.pivot_equation = B * e.order[at / B] + static_cast<int>(at % B) + 1;
        result.unstable_equation = std::isfinite(pivot) && std::isfinite(diagonal_[at])
                                       ? named_equation(w.failed_supernode, j)
                                       : result.pivot_equation;
        return result;
    }
    factored_ = true;
    factor_plain_ = plain;
    panels_made_ = in_part ? static_cast<int>(std::count(make.begin(), make.end(), 1)) : e.supernodes();
    for (std::size_t block : factor_blocks_)
        factor_slot_[block / BLOCK] = -1;
    factor_blocks_.clear();
    factor_block_values_.clear();
    factor_on_base_ = on_base_;
    values_are_factors_ = !on_base_;
    if (on_base_) {
        factor_slot_.resize(values_.size() / BLOCK, -1);
        factor_blocks_ = changed_blocks_;
        for (std::size_t k = 0; k < factor_blocks_.size(); ++k) {
            factor_slot_[factor_blocks_[k] / BLOCK] = static_cast<int>(k);
            factor_block_values_.insert(factor_block_values_.end(), &values_[factor_blocks_[k]],
                                        &values_[factor_blocks_[k]] + BLOCK);
        }
    }
    negative_pivots_ = w.negative;
    result.negative_pivots = negative_pivots_;
    return result;
}

// The equation to name for the failed pivot of column j of supernode s: x
// with Lᵀ x = e (the failed column) over the columns finished so far, so
// that K x = d e with d the failed pivot: the motion the stiffness does not
// resist. The equation of its largest component, the first in the model's
// order among those within SAME_MOTION of it.
int EquationStore::named_equation(int s, int j) const
{
    const NodeElimination& e = elimination_;
    std::vector<double> x(static_cast<std::size_t>(B) * static_cast<std::size_t>(e.nodes), 0.0);
    std::vector<double> rhs;
    // The failed panel still holds L in its diagonal block: its columns
    // before j, on the rows up to j.
    {
        const Panel& panel = panels_[static_cast<std::size_t>(s)];
        const auto h = static_cast<std::size_t>(panel.height);
        const double* a = &factor_[panel.start];
        double* xs = &x[static_cast<std::size_t>(panel.first)];
        xs[j] = 1.0;
        for (int c = j - 1; c >= 0; --c) {
            double sum = 0.0;
            for (int r = c + 1; r <= j; ++r)
                sum += a[static_cast<std::size_t>(c) * h + static_cast<std::size_t>(r)] * xs[r];
            xs[c] = -sum;
        }
    }
    // The finished panels before it: their rows below, then the inverse of
    // their diagonal blocks, transposed.
    for (int t = s - 1; t >= 0; --t) {
        const Panel& panel = panels_[static_cast<std::size_t>(t)];
        const auto h = static_cast<std::size_t>(panel.height);
        const double* a = &factor_[panel.start];
        const int width = panel.width;
        rhs.assign(static_cast<std::size_t>(width), 0.0);
        for (int i = panel.below_begin; i < panel.below_end; ++i) {
            const double* xb = &x[static_cast<std::size_t>(B * e.below[static_cast<std::size_t>(i)])];
            const auto row = static_cast<std::size_t>(width + B * (i - panel.below_begin));
            for (int c = 0; c < width; ++c)
                for (int r = 0; r < B; ++r)
                    rhs[static_cast<std::size_t>(c)] -= a[static_cast<std::size_t>(c) * h + row + static_cast<std::size_t>(r)] * xb[r];
        }
        double* xt = &x[static_cast<std::size_t>(panel.first)];
        for (int c = 0; c < width; ++c) {
            double sum = rhs[static_cast<std::size_t>(c)];
            for (int r = c + 1; r < width; ++r)
                sum += a[static_cast<std::size_t>(c) * h + static_cast<std::size_t>(r)] * rhs[static_cast<std::size_t>(r)];
            xt[c] = sum;
        }
    }
    double largest = 0.0;
    for (double v : x)
        largest = std::max(largest, std::fabs(v));
    const int at = panels_[static_cast<std::size_t>(s)].first + j;
    const int failed = B * e.order[static_cast<std::size_t>(at / B)] + at % B + 1;
    if (!std::isfinite(largest))
        return failed;
    int named = 0;
    for (int position = 0; position < e.nodes; ++position)
        for (int d = 0; d < B; ++d)
            if (std::fabs(x[static_cast<std::size_t>(B * position + d)]) >= (1.0 - SAME_MOTION) * largest) {
                const int equation = B * e.order[static_cast<std::size_t>(position)] + d + 1;
                if (named == 0 || equation < named)
                    named = equation;
            }
    return named;
}

namespace {

// One right-hand side y (by position in the order) through the factor:
// L z = y panel by panel, D, then Lᵀ x = w in reverse; each panel's own
// rows through the inverse of its diagonal block. Node panels run on
// six-row vectors with fixed bounds, wider ones by their sizes.
//
// Shared among threads, the runs of subtrees go forward each on its own
// thread: what a run's panels take from rows outside it (positions from
// `bound` on) is written down in order instead, and taken from those rows
// later, run by run in the order of the panels, between the panels above
// the runs; so every row is reduced by the same numbers in the same order
// as on one thread. Backward, the panels above the runs come first and the
// runs then each on its own thread.
struct RowTake {
    std::size_t row;
    double value;
};

template <typename Panel>
inline __attribute__((always_inline)) void forward_panels(const Panel* panels, const int* list, int begin, int end,
                                                          const int* below, const double* factor, double* y,
                                                          double* wide, int bound, std::vector<RowTake>* outside)
{
    for (int k = begin; k < end; ++k) {
        const int s = list ? list[k] : k;
        const Panel& panel = panels[s];
        const auto h = static_cast<std::size_t>(panel.height);
        const double* a = factor + panel.start;
        double* x = y + panel.first;
        if (panel.width == B) {
            // Products summed as a tree: the solve runs down chains of
            // nodes, each waiting for the one before.
            Six v;
            load6(v, x);
            Six p[B];
#pragma GCC unroll 6
            for (int c = 0; c < B - 1; ++c) {
                Six l;
                load6(l, a + static_cast<std::size_t>(c) * h);
                p[c].a = l.a * element(v, c);
                p[c].b = l.b * element(v, c);
            }
            Six z;
            z.a = v.a + (((p[0].a + p[1].a) + (p[2].a + p[3].a)) + p[4].a);
            z.b = v.b + (((p[0].b + p[1].b) + (p[2].b + p[3].b)) + p[4].b);
            store6(x, z);
            for (int i = panel.below_begin; i < panel.below_end; ++i) {
                const double* block = a + B * (1 + i - panel.below_begin);
#pragma GCC unroll 6
                for (int c = 0; c < B; ++c) {
                    Six l;
                    load6(l, block + static_cast<std::size_t>(c) * h);
                    p[c].a = l.a * element(z, c);
                    p[c].b = l.b * element(z, c);
                }
                Six sum;
                sum.a = ((p[0].a + p[1].a) + (p[2].a + p[3].a)) + (p[4].a + p[5].a);
                sum.b = ((p[0].b + p[1].b) + (p[2].b + p[3].b)) + (p[4].b + p[5].b);
                const auto row = static_cast<std::size_t>(B * below[i]);
                if (outside && below[i] >= bound) {
                    for (int c = 0; c < B; ++c)
                        outside->push_back({row + static_cast<std::size_t>(c), element(sum, c)});
                    continue;
                }
                Six u;
                load6(u, y + row);
                u.a -= sum.a;
                u.b -= sum.b;
                store6(y + row, u);
            }
            continue;
        }
        const int width = panel.width;
        std::copy_n(x, width, wide);
        for (int c = 0; c < width; ++c)
            for (int r = c + 1; r < width; ++r)
                x[r] += a[static_cast<std::size_t>(c) * h + static_cast<std::size_t>(r)] * wide[static_cast<std::size_t>(c)];
        for (int i = panel.below_begin; i < panel.below_end; ++i) {
            const auto row = static_cast<std::size_t>(B * below[i]);
            const double* block = a + width + B * (i - panel.below_begin);
            const bool out = outside && below[i] >= bound;
            for (int c = 0; c < width; ++c)
                for (int r = 0; r < B; ++r) {
                    const double value = block[static_cast<std::size_t>(c) * h + static_cast<std::size_t>(r)] * x[c];
                    if (out)
                        outside->push_back({row + static_cast<std::size_t>(r), value});
                    else
                        y[row + static_cast<std::size_t>(r)] -= value;
                }
        }
    }
}

template <typename Panel>
inline __attribute__((always_inline)) void backward_panels(const Panel* panels, const int* list, int begin, int end,
                                                           const int* below, const double* factor, double* y,
                                                           double* wide)
{
    for (int k = end - 1; k >= begin; --k) {
        const int s = list ? list[k] : k;
        const Panel& panel = panels[s];
        const auto h = static_cast<std::size_t>(panel.height);
        const double* a = factor + panel.start;
        double* x = y + panel.first;
        if (panel.width == B) {
            // The products with the rows below summed as vectors over the
            // blocks, then across each vector.
            Six sum[B];
            for (int c = 0; c < B; ++c)
                zero6(sum[c]);
            for (int i = panel.below_begin; i < panel.below_end; ++i) {
                Six t;
                load6(t, y + B * below[i]);
                const double* block = a + B * (1 + i - panel.below_begin);
#pragma GCC unroll 6
                for (int c = 0; c < B; ++c) {
                    Six l;
                    load6(l, block + static_cast<std::size_t>(c) * h);
                    sum[c].a += l.a * t.a;
                    sum[c].b += l.b * t.b;
                }
            }
            // Stored as one vector, as the panels before it load it.
            Six rhs;
            load6(rhs, x);
#pragma GCC unroll 6
            for (int c = 0; c < B; ++c)
                set_element(rhs, c, element(rhs, c) - sum6(sum[c]));
            Six out;
#pragma GCC unroll 6
            for (int c = 0; c < B; ++c) {
                Six l;
                load6(l, a + static_cast<std::size_t>(c) * h);
                Six p;
                p.a = l.a * rhs.a;
                p.b = l.b * rhs.b;
                set_element(out, c, element(rhs, c) + sum6(p));
            }
            store6(x, out);
            continue;
        }
        const int width = panel.width;
        std::copy_n(x, width, wide);
        for (int i = panel.below_begin; i < panel.below_end; ++i) {
            const double* t = y + B * below[i];
            const double* block = a + width + B * (i - panel.below_begin);
            for (int c = 0; c < width; ++c) {
                double sum = 0.0;
                for (int r = 0; r < B; ++r)
                    sum += block[static_cast<std::size_t>(c) * h + static_cast<std::size_t>(r)] * t[r];
                wide[static_cast<std::size_t>(c)] -= sum;
            }
        }
        for (int c = 0; c < width; ++c) {
            double sum = wide[static_cast<std::size_t>(c)];
            for (int r = c + 1; r < width; ++r)
                sum += a[static_cast<std::size_t>(c) * h + static_cast<std::size_t>(r)] * wide[static_cast<std::size_t>(r)];
            x[c] = sum;
        }
    }
}

template <typename Panel>
void forward_default(const Panel* panels, const int* list, int begin, int end, const int* below,
                     const double* factor, double* y, double* wide, int bound, std::vector<RowTake>* outside)
{
    forward_panels(panels, list, begin, end, below, factor, y, wide, bound, outside);
}

template <typename Panel>
void backward_default(const Panel* panels, const int* list, int begin, int end, const int* below,
                      const double* factor, double* y, double* wide)
{
    backward_panels(panels, list, begin, end, below, factor, y, wide);
}

#if defined(__x86_64__)
template <typename Panel>
__attribute__((target("avx2"))) void forward_avx2(const Panel* panels, const int* list, int begin, int end,
                                                  const int* below, const double* factor, double* y, double* wide,
                                                  int bound, std::vector<RowTake>* outside)
{
    forward_panels(panels, list, begin, end, below, factor, y, wide, bound, outside);
}

template <typename Panel>
__attribute__((target("avx2"))) void backward_avx2(const Panel* panels, const int* list, int begin, int end,
                                                   const int* below, const double* factor, double* y, double* wide)
{
    backward_panels(panels, list, begin, end, below, factor, y, wide);
}
#endif

// The solve's two passes over panels begin .. end - 1 of a list (null: the
// panels of those numbers), for the processor at hand; `wide` holds as many
// numbers as the widest panel has columns.
template <typename Panel>
void forward_range(const Panel* panels, const int* list, int begin, int end, const int* below, const double* factor,
                   double* y, double* wide, int bound = 0, std::vector<RowTake>* outside = nullptr)
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx2"))
        return forward_avx2(panels, list, begin, end, below, factor, y, wide, bound, outside);
#endif
    forward_default(panels, list, begin, end, below, factor, y, wide, bound, outside);
}

template <typename Panel>
void backward_range(const Panel* panels, const int* list, int begin, int end, const int* below, const double* factor,
                    double* y, double* wide)
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx2"))
        return backward_avx2(panels, list, begin, end, below, factor, y, wide);
#endif
    backward_default(panels, list, begin, end, below, factor, y, wide);
}

}  // namespace

void EquationStore::solve(OneBased<double>& x) const
{
    KV_ASSERT(x.size() == equation_count());
    solve(std::span<double>(x.data() + 1, static_cast<std::size_t>(equation_count())), 1);
}

void EquationStore::solve(std::span<double> columns, int count) const
{
    KV_ASSERT(factored_);
    const NodeElimination& e = elimination_;
    const auto n = static_cast<std::size_t>(equation_count());
    KV_ASSERT(count >= 0 && columns.size() == n * static_cast<std::size_t>(count));
    std::vector<double> y(n);
    const Panel* panels = panels_.data();
    const int* below = e.below.data();
    const double* factor = factor_.data();
    const int top = static_cast<int>(top_panels_.size());
    // Shared among threads: the runs by their first panel, and what each
    // takes from the rows outside it.
    const std::size_t runs = shares_solve() ? subtree_runs_.size() : 0;
    std::vector<std::size_t> by_start(runs);
    for (std::size_t k = 0; k < runs; ++k)
        by_start[k] = k;
    std::sort(by_start.begin(), by_start.end(),
              [&](std::size_t a, std::size_t b) { return subtree_runs_[a].first < subtree_runs_[b].first; });
    std::vector<std::vector<RowTake>> outside(runs);
    // Room for a wide panel's columns, one for each run and one for here.
    std::vector<double> wide((runs + 1) * static_cast<std::size_t>(widest_panel_));
    double* own = wide.data() + runs * static_cast<std::size_t>(widest_panel_);
    auto room = [&](std::size_t run) { return wide.data() + run * static_cast<std::size_t>(widest_panel_); };
    for (int r = 0; r < count; ++r) {
        double* column = columns.data() + static_cast<std::size_t>(r) * n;
        for (int k = 0; k < e.nodes; ++k)
            std::copy_n(column + B * static_cast<std::size_t>(e.order[static_cast<std::size_t>(k)]), B,
                        &y[B * static_cast<std::size_t>(k)]);
        bool shared = runs > 0;
        if (shared) {
            std::vector<char> done(runs, 0);
            run_jobs(static_cast<int>(runs), [&](int job) {
                const auto k = static_cast<std::size_t>(job);
                const auto [begin, end] = subtree_runs_[k];
                try {
                    outside[k].clear();
                    forward_range(panels, nullptr, begin, end, below, factor, y.data(), room(k),
                                  e.first[static_cast<std::size_t>(end)], &outside[k]);
                    done[k] = 1;
                } catch (...) {   // no memory for what it takes: solved again below, in order
                }
            });
            shared = std::all_of(done.begin(), done.end(), [](char d) { return d != 0; });
            if (!shared)
                for (int k = 0; k < e.nodes; ++k)
                    std::copy_n(column + B * static_cast<std::size_t>(e.order[static_cast<std::size_t>(k)]), B,
                                &y[B * static_cast<std::size_t>(k)]);
        }
        if (shared) {
            // The runs' takings and the panels above them, in the order of
            // the panels.
            int t = 0;
            for (std::size_t k : by_start) {
                const int begin = subtree_runs_[k].first;
                const int from = t;
                while (t < top && top_panels_[static_cast<std::size_t>(t)] < begin)
                    ++t;
                forward_range(panels, top_panels_.data(), from, t, below, factor, y.data(), own);
                for (const RowTake& take : outside[k])
                    y[take.row] -= take.value;
            }
            forward_range(panels, top_panels_.data(), t, top, below, factor, y.data(), own);
        } else {
            forward_range(panels, nullptr, 0, e.supernodes(), below, factor, y.data(), own);
        }
        for (std::size_t i = 0; i < n; ++i)
            y[i] *= inverse_pivot_[i];
        if (shared) {
            backward_range(panels, top_panels_.data(), 0, top, below, factor, y.data(), own);
            run_jobs(static_cast<int>(runs), [&](int job) {
                const auto k = static_cast<std::size_t>(job);
                backward_range(panels, nullptr, subtree_runs_[k].first, subtree_runs_[k].second, below, factor,
                               y.data(), room(k));
            });
        } else {
            backward_range(panels, nullptr, 0, e.supernodes(), below, factor, y.data(), own);
        }
        for (int k = 0; k < e.nodes; ++k)
            std::copy_n(&y[B * static_cast<std::size_t>(k)], B,
                        column + B * static_cast<std::size_t>(e.order[static_cast<std::size_t>(k)]));
    }
}

std::string unstable_model_message(int equation, const std::string& node_text)
{
    static const char* const directions[6] = {"X", "Y", "Z", "RX", "RY", "RZ"};
    KV_ASSERT(equation >= 1);
    return "Model is unstable at node " + node_text + " in the " + directions[equation_direction(equation)] +
           " direction";
}
