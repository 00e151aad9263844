// Node renumbering: reverse Cuthill-McKee and Sloan's algorithm on each
// connected part of the node graph, from a pseudo-peripheral pair of nodes.
//
// Piping graphs are long runs with branches and a few closed loops. Sloan's
// ordering follows the runs and finishes a branch before the front moves on,
// which gives the smaller profile on most of them; reverse Cuthill-McKee
// wins on some plain ladders and grids. Both cost a few passes over the
// graph, next to nothing against a factorisation, so the default runs both
// and keeps the better one for each part.
#include "analysis_core/renumber.h"

#include "framework/errors.h"

#include <algorithm>
#include <limits>
#include <queue>
#include <vector>

namespace {

// The graph of the nodes in the analysis with local ids 0..size-1 (in the
// order of the original indices), as sorted neighbour lists without repeats.
struct Graph {
    std::vector<int> start;       // size + 1 offsets into adjacent
    std::vector<int> adjacent;

    int size() const { return static_cast<int>(start.size()) - 1; }
    int degree(int v) const { return start[v + 1] - start[v]; }
    std::span<const int> neighbours(int v) const
    {
        return {adjacent.data() + start[v], static_cast<std::size_t>(degree(v))};
    }
};

Graph make_graph(int size, const std::vector<std::pair<int, int>>& edges)
{
    // Counting sort of both directions of every edge, then each list sorted
    // and cleared of repeats.
    Graph g;
    std::vector<int> count(static_cast<std::size_t>(size) + 1, 0);
    for (const auto& [a, b] : edges) {
        ++count[a];
        ++count[b];
    }
    std::vector<int> fill(static_cast<std::size_t>(size) + 1, 0);
    for (int v = 0; v < size; ++v) fill[v + 1] = fill[v] + count[v];
    std::vector<int> raw(static_cast<std::size_t>(fill[size]));
    std::vector<int> next(fill.begin(), fill.end() - 1);
    for (const auto& [a, b] : edges) {
        raw[next[a]++] = b;
        raw[next[b]++] = a;
    }
    g.start.assign(static_cast<std::size_t>(size) + 1, 0);
    g.adjacent.reserve(raw.size());
    for (int v = 0; v < size; ++v) {
        auto first = raw.begin() + fill[v];
        auto last = raw.begin() + fill[v + 1];
        std::sort(first, last);
        last = std::unique(first, last);
        g.adjacent.insert(g.adjacent.end(), first, last);
        g.start[v + 1] = static_cast<int>(g.adjacent.size());
    }
    return g;
}

// Breadth-first level structures rooted at one node, restricted to the
// node's connected part, with a stamp so that the marks need no clearing.
class LevelSearch {
public:
    explicit LevelSearch(const Graph& g) : g_(g), mark_(static_cast<std::size_t>(g.size()), 0) {}

    // Builds the level structure of root. Stops early, returning false, when
    // a level grows wider than width_limit.
    bool build(int root, int width_limit = std::numeric_limits<int>::max())
    {
        ++stamp_;
        order_.clear();
        level_start_.clear();
        order_.push_back(root);
        mark_[root] = stamp_;
        level_start_.push_back(0);
        width_ = 1;
        std::size_t begin = 0;
        while (true) {
            const std::size_t end = order_.size();
            for (std::size_t k = begin; k < end; ++k) {
                for (int w : g_.neighbours(order_[k])) {
                    if (mark_[w] != stamp_) {
                        mark_[w] = stamp_;
                        order_.push_back(w);
                    }
                }
            }
            if (order_.size() == end) break;
            const int width = static_cast<int>(order_.size() - end);
            width_ = std::max(width_, width);
            if (width_ > width_limit) return false;
            level_start_.push_back(static_cast<int>(end));
            begin = end;
        }
        level_start_.push_back(static_cast<int>(order_.size()));
        return true;
    }

    int depth() const { return static_cast<int>(level_start_.size()) - 1; }
    int width() const { return width_; }
    // The nodes of the whole part, level by level.
    const std::vector<int>& order() const { return order_; }
    std::span<const int> last_level() const
    {
        const int first = level_start_[level_start_.size() - 2];
        return {order_.data() + first, order_.size() - static_cast<std::size_t>(first)};
    }
    // The level of every node of the part in the last build, by node.
    void levels(std::vector<int>& level_of) const
    {
        for (int l = 0; l < depth(); ++l)
            for (int k = level_start_[l]; k < level_start_[l + 1]; ++k) level_of[order_[k]] = l;
    }

private:
    const Graph& g_;
    std::vector<int> mark_;
    int stamp_ = 0;
    std::vector<int> order_;
    std::vector<int> level_start_;
    int width_ = 0;
};

// A pseudo-peripheral pair: start far from end, found by climbing to nodes
// of larger eccentricity (George and Liu) and taking as end the node of the
// last level whose own level structure is narrowest (Sloan). The last level
// is shrunk to its lower-degree half, one node per degree, which keeps the
// search cheap on wide parts.
std::pair<int, int> peripheral_pair(const Graph& g, LevelSearch& search, std::span<const int> part)
{
    int start = part[0];
    for (int v : part)
        if (g.degree(v) < g.degree(start)) start = v;
    while (true) {
        search.build(start);
        const int depth = search.depth();
        std::vector<int> candidates(search.last_level().begin(), search.last_level().end());
        std::sort(candidates.begin(), candidates.end(), [&](int x, int y) {
            return g.degree(x) != g.degree(y) ? g.degree(x) < g.degree(y) : x < y;
        });
        candidates.erase(std::unique(candidates.begin(), candidates.end(),
                                     [&](int x, int y) { return g.degree(x) == g.degree(y); }),
                         candidates.end());
        candidates.resize((candidates.size() + 2) / 2);
        int end = candidates.front();
        int best_width = std::numeric_limits<int>::max();
        bool deeper = false;
        for (int q : candidates) {
            if (!search.build(q, best_width)) continue;
            if (search.depth() > depth) {
                start = q;
                deeper = true;
                break;
            }
            if (search.width() < best_width) {
                best_width = search.width();
                end = q;
            }
        }
        if (!deeper) return {start, end};
    }
}

// Cuthill-McKee from start, neighbours taken by increasing degree, reversed.
std::vector<int> reverse_cuthill_mckee(const Graph& g, std::span<const int> part, int start,
                                       std::vector<char>& visited)
{
    std::vector<int> order;
    order.reserve(part.size());
    order.push_back(start);
    visited[start] = 1;
    std::vector<int> fresh;
    for (std::size_t k = 0; k < order.size(); ++k) {
        fresh.clear();
        for (int w : g.neighbours(order[k]))
            if (!visited[w]) {
                visited[w] = 1;
                fresh.push_back(w);
            }
        std::sort(fresh.begin(), fresh.end(), [&](int x, int y) {
            return g.degree(x) != g.degree(y) ? g.degree(x) < g.degree(y) : x < y;
        });
        order.insert(order.end(), fresh.begin(), fresh.end());
    }
    for (int v : part) visited[v] = 0;
    std::reverse(order.begin(), order.end());
    return order;
}

// Sloan's ordering. A node's priority is W1 times its distance from the end
// node less W2 times the growth of the front if it were numbered next (its
// neighbours not yet in the front, plus itself); each step numbers the
// candidate of highest priority, earliest candidate first among equals.
// The per-node arrays have the size of the whole graph and are touched only
// for the nodes of the part.
class SloanOrdering {
public:
    explicit SloanOrdering(const Graph& g)
        : g_(g), distance_(static_cast<std::size_t>(g.size()), 0),
          priority_(static_cast<std::size_t>(g.size()), 0),
          status_(static_cast<std::size_t>(g.size()), Inactive),
          arrival_(static_cast<std::size_t>(g.size()), 0)
    {
    }

    std::vector<int> order(std::span<const int> part, int start, int end, LevelSearch& search)
    {
        search.build(end);
        search.levels(distance_);
        for (int v : part) {
            priority_[v] = W1 * distance_[v] - W2 * (g_.degree(v) + 1);
            status_[v] = Inactive;
        }
        arrivals_ = 0;
        std::vector<int> order;
        order.reserve(part.size());
        enter(start);
        while (!queue_.empty()) {
            const Entry top = queue_.top();
            queue_.pop();
            const int i = top.node;
            if (status_[i] == Postactive || top.priority != priority_[i]) continue;
            if (status_[i] == Preactive) {
                for (int j : g_.neighbours(i)) {
                    raise(j);
                    if (status_[j] == Inactive) enter(j);
                }
            }
            order.push_back(i);
            status_[i] = Postactive;
            for (int j : g_.neighbours(i)) {
                if (status_[j] != Preactive) continue;
                status_[j] = Active;
                raise(j);
                for (int k : g_.neighbours(j)) {
                    if (status_[k] == Postactive) continue;
                    raise(k);
                    if (status_[k] == Inactive) enter(k);
                }
            }
        }
        KV_ASSERT(order.size() == part.size());
        return order;
    }

private:
    static constexpr long long W1 = 1;
    static constexpr long long W2 = 2;
    enum Status : unsigned char { Inactive, Preactive, Active, Postactive };

    // Max-heap entry; one that no longer matches its node's priority is
    // stale and skipped (priorities only grow).
    struct Entry {
        long long priority;
        long long arrival;
        int node;
        bool operator<(const Entry& o) const
        {
            return priority != o.priority ? priority < o.priority : arrival > o.arrival;
        }
    };

    void enter(int v)
    {
        status_[v] = Preactive;
        arrival_[v] = arrivals_++;
        queue_.push({priority_[v], arrival_[v], v});
    }
    void raise(int v)
    {
        priority_[v] += W2;
        if (status_[v] != Inactive) queue_.push({priority_[v], arrival_[v], v});
    }

    const Graph& g_;
    std::vector<int> distance_;
    std::vector<long long> priority_;
    std::vector<unsigned char> status_;
    std::vector<long long> arrival_;
    long long arrivals_ = 0;
    std::priority_queue<Entry> queue_;
};

// The profile of one part numbered in the given order: the sum over nodes of
// (position - lowest position among the node and its neighbours).
long long part_profile(const Graph& g, const std::vector<int>& order, std::vector<int>& position)
{
    for (std::size_t k = 0; k < order.size(); ++k) position[order[k]] = static_cast<int>(k);
    long long profile = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        int lowest = static_cast<int>(k);
        for (int w : g.neighbours(order[k])) lowest = std::min(lowest, position[w]);
        profile += static_cast<long long>(k) - lowest;
    }
    return profile;
}

}  // namespace

OneBased<int> renumber_nodes(int node_count, std::span<const NodePair> pairs,
                             const OneBased<char>& in_analysis, RenumberMethod method)
{
    KV_ASSERT(in_analysis.size() == node_count);
    OneBased<int> numbering(node_count);

    // Local ids for the nodes in the analysis, and the couplings among them.
    std::vector<int> node_of;
    OneBased<int> local_of(node_count);
    for (int n = 1; n <= node_count; ++n) {
        local_of[n] = -1;
        if (in_analysis[n]) {
            local_of[n] = static_cast<int>(node_of.size());
            node_of.push_back(n);
        }
    }
    std::vector<std::pair<int, int>> edges;
    edges.reserve(pairs.size());
    for (const NodePair& p : pairs) {
        if (p.a < 1 || p.a > node_count || p.b < 1 || p.b > node_count || p.a == p.b) continue;
        const int a = local_of[p.a];
        const int b = local_of[p.b];
        if (a >= 0 && b >= 0) edges.emplace_back(a, b);
    }
    const Graph g = make_graph(static_cast<int>(node_of.size()), edges);

    LevelSearch search(g);
    SloanOrdering sloan(g);
    std::vector<char> placed(static_cast<std::size_t>(g.size()), 0);
    std::vector<char> visited(static_cast<std::size_t>(g.size()), 0);
    std::vector<int> position(static_cast<std::size_t>(g.size()), 0);
    int next_index = 1;
    for (int first = 0; first < g.size(); ++first) {
        if (placed[first]) continue;
        search.build(first);
        const std::vector<int> part = search.order();
        for (int v : part) placed[v] = 1;

        std::vector<int> order;
        if (part.size() <= 2) {
            order = part;
        } else {
            const auto [start, end] = peripheral_pair(g, search, part);
            if (method != RenumberMethod::Sloan)
                order = reverse_cuthill_mckee(g, part, start, visited);
            if (method != RenumberMethod::ReverseCuthillMcKee) {
                std::vector<int> other = sloan.order(part, start, end, search);
                if (order.empty() || part_profile(g, other, position) < part_profile(g, order, position))
                    order = std::move(other);
            }
        }
        for (int v : order) numbering[node_of[v]] = next_index++;
    }
    return numbering;
}

long long node_profile(std::span<const NodePair> pairs, const OneBased<int>& numbering)
{
    OneBased<int> lowest(numbering.size());
    for (int n = 1; n <= numbering.size(); ++n) lowest[n] = numbering[n];
    for (const NodePair& p : pairs) {
        if (!numbering.valid(p.a) || !numbering.valid(p.b)) continue;
        const int a = numbering[p.a];
        const int b = numbering[p.b];
        if (a == 0 || b == 0) continue;
        lowest[p.a] = std::min(lowest[p.a], b);
        lowest[p.b] = std::min(lowest[p.b], a);
    }
    long long profile = 0;
    for (int n = 1; n <= numbering.size(); ++n)
        if (numbering[n] != 0) profile += numbering[n] - lowest[n];
    return profile;
}
