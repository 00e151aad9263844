// Ordering and symbolic factorisation of the node graph.
//
// 1. The graph as sorted adjacency lists without repeats or self loops.
// 2. The order: the trees of the graph from their leaves in, then the rest
//    (the loops and the paths between them) by approximate minimum degree
//    (Eigen's implementation of the published algorithm).
// 3. The elimination tree of the permuted graph (Liu's algorithm with path
//    compression) and its postorder, which becomes the order.
// 4. The structure of every factor column, found from the row subtrees: row
//    k of the factor holds the nodes on the tree paths from k's earlier
//    neighbours up to k. Rows are taken in increasing k, so each column's
//    structure comes out sorted.
// 5. Supernodes: position k joins k - 1's supernode when k is k - 1's parent
//    and k - 1's column holds exactly k and k's column.
#include "analysis_core/node_elimination.h"

#include "framework/errors.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCore>

#include <algorithm>
#include <numeric>

namespace {

// Adjacency lists: the neighbours of node i are neighbour[start[i]] ..
// neighbour[start[i + 1] - 1].
struct Adjacency {
    std::vector<int> start;
    std::vector<int> neighbour;
};

Adjacency node_adjacency(int n, std::span<const NodePair> pairs)
{
    std::vector<std::pair<int, int>> edges;
    edges.reserve(2 * pairs.size());
    for (const NodePair& p : pairs) {
        if (p.a < 1 || p.a > n || p.b < 1 || p.b > n || p.a == p.b)
            continue;
        edges.emplace_back(p.a - 1, p.b - 1);
        edges.emplace_back(p.b - 1, p.a - 1);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    Adjacency g;
    g.start.assign(static_cast<std::size_t>(n) + 1, 0);
    g.neighbour.reserve(edges.size());
    for (const auto& [i, j] : edges) {
        ++g.start[static_cast<std::size_t>(i) + 1];
        g.neighbour.push_back(j);
    }
    std::partial_sum(g.start.begin(), g.start.end(), g.start.begin());
    return g;
}

// Position -> node of the order of elimination of the nodes `nodes` of the
// graph (a subset closed under the graph's edges into it) by approximate
// minimum degree, Eigen's implementation of the published algorithm.
std::vector<int> minimum_degree_order(const Adjacency& g, const std::vector<int>& nodes)
{
    const int n = static_cast<int>(nodes.size());
    std::vector<int> local(g.start.size() - 1, -1);
    for (int i = 0; i < n; ++i)
        local[static_cast<std::size_t>(nodes[static_cast<std::size_t>(i)])] = i;
    // The pattern with its diagonal, which the implementation expects (it
    // leaves a pattern without one in its given order).
    std::vector<int> outer(static_cast<std::size_t>(n) + 1, 0), inner;
    for (int i = 0; i < n; ++i) {
        const int node = nodes[static_cast<std::size_t>(i)];
        inner.push_back(i);
        for (int e = g.start[static_cast<std::size_t>(node)]; e < g.start[static_cast<std::size_t>(node) + 1]; ++e)
            if (const int j = local[static_cast<std::size_t>(g.neighbour[static_cast<std::size_t>(e)])]; j >= 0)
                inner.push_back(j);
        std::sort(inner.begin() + outer[static_cast<std::size_t>(i)], inner.end());
        outer[static_cast<std::size_t>(i) + 1] = static_cast<int>(inner.size());
    }
    Eigen::SparseMatrix<double, Eigen::ColMajor, int> pattern(n, n);
    pattern.resizeNonZeros(static_cast<Eigen::Index>(inner.size()));
    std::copy(outer.begin(), outer.end(), pattern.outerIndexPtr());
    std::copy(inner.begin(), inner.end(), pattern.innerIndexPtr());
    std::fill(pattern.valuePtr(), pattern.valuePtr() + inner.size(), 1.0);
    Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> permutation;
    Eigen::AMDOrdering<int>()(pattern, permutation);
    KV_ASSERT(permutation.size() == n);
    // The ordering's indices give, for each new position, the node there.
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        order[static_cast<std::size_t>(k)] = nodes[static_cast<std::size_t>(permutation.indices()[k])];
    return order;
}

// Position -> node: first every node that hangs on the rest by one edge or
// none, again and again (the trees of the graph, from their leaves in, which
// eliminate without fill), then the loops and what joins them by minimum
// degree.
std::vector<int> fill_reducing_order(int n, const Adjacency& g)
{
    std::vector<int> order, degree(static_cast<std::size_t>(n));
    order.reserve(static_cast<std::size_t>(n));
    std::vector<char> taken(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        degree[static_cast<std::size_t>(i)] = g.start[static_cast<std::size_t>(i) + 1] - g.start[static_cast<std::size_t>(i)];
        if (degree[static_cast<std::size_t>(i)] <= 1) {
            order.push_back(i);
            taken[static_cast<std::size_t>(i)] = 1;
        }
    }
    for (std::size_t next = 0; next < order.size(); ++next) {
        const int i = order[next];
        for (int e = g.start[static_cast<std::size_t>(i)]; e < g.start[static_cast<std::size_t>(i) + 1]; ++e) {
            const auto j = static_cast<std::size_t>(g.neighbour[static_cast<std::size_t>(e)]);
            if (!taken[j] && --degree[j] <= 1) {
                order.push_back(static_cast<int>(j));
                taken[j] = 1;
            }
        }
    }
    std::vector<int> rest;
    for (int i = 0; i < n; ++i)
        if (!taken[static_cast<std::size_t>(i)])
            rest.push_back(i);
    if (!rest.empty()) {
        const std::vector<int> loops = minimum_degree_order(g, rest);
        order.insert(order.end(), loops.begin(), loops.end());
    }
    KV_ASSERT(static_cast<int>(order.size()) == n);
    return order;
}

// The elimination tree of the graph under `position` (node -> position):
// the parent position of each position, -1 for a root.
std::vector<int> elimination_tree(int n, const Adjacency& g, const std::vector<int>& order,
                                  const std::vector<int>& position)
{
    std::vector<int> parent(static_cast<std::size_t>(n), -1), ancestor(static_cast<std::size_t>(n), -1);
    for (int k = 0; k < n; ++k) {
        const int node = order[static_cast<std::size_t>(k)];
        for (int e = g.start[static_cast<std::size_t>(node)]; e < g.start[static_cast<std::size_t>(node) + 1]; ++e) {
            int i = position[static_cast<std::size_t>(g.neighbour[static_cast<std::size_t>(e)])];
            // Up from an earlier neighbour to the root of its subtree so
            // far, pointing every node passed straight at k.
            while (i != -1 && i < k) {
                const int next = ancestor[static_cast<std::size_t>(i)];
                ancestor[static_cast<std::size_t>(i)] = k;
                if (next == -1)
                    parent[static_cast<std::size_t>(i)] = k;
                i = next;
            }
        }
    }
    return parent;
}

// The postorder of a forest given by parent positions: post[j] is the
// position that comes j-th. Children are visited in increasing position.
std::vector<int> postorder(const std::vector<int>& parent)
{
    const int n = static_cast<int>(parent.size());
    std::vector<int> head(static_cast<std::size_t>(n), -1), next(static_cast<std::size_t>(n), -1);
    for (int k = n - 1; k >= 0; --k) {
        const int p = parent[static_cast<std::size_t>(k)];
        if (p == -1)
            continue;
        next[static_cast<std::size_t>(k)] = head[static_cast<std::size_t>(p)];
        head[static_cast<std::size_t>(p)] = k;
    }
    std::vector<int> post;
    post.reserve(static_cast<std::size_t>(n));
    std::vector<int> stack;
    for (int root = 0; root < n; ++root) {
        if (parent[static_cast<std::size_t>(root)] != -1)
            continue;
        stack.push_back(root);
        while (!stack.empty()) {
            const int top = stack.back();
            const int child = head[static_cast<std::size_t>(top)];
            if (child == -1) {
                stack.pop_back();
                post.push_back(top);
            } else {
                head[static_cast<std::size_t>(top)] = next[static_cast<std::size_t>(child)];
                stack.push_back(child);
            }
        }
    }
    KV_ASSERT(static_cast<int>(post.size()) == n);
    return post;
}

}  // namespace

std::size_t NodeElimination::factor_blocks() const
{
    std::size_t blocks = 0;
    for (int s = 0; s < supernodes(); ++s) {
        const auto w = static_cast<std::size_t>(width(s));
        blocks += w * (w + 1) / 2 + w * static_cast<std::size_t>(below_count(s));
    }
    return blocks;
}

NodeElimination eliminate_nodes(int node_count, std::span<const NodePair> pairs)
{
    KV_ASSERT(node_count >= 0);
    const int n = node_count;
    NodeElimination e;
    e.nodes = n;
    const Adjacency g = node_adjacency(n, pairs);

    // The fill-reducing order, then its elimination tree's postorder.
    std::vector<int> order = fill_reducing_order(n, g);
    std::vector<int> position(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        position[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])] = k;
    const std::vector<int> tree = elimination_tree(n, g, order, position);
    const std::vector<int> post = postorder(tree);
    std::vector<int> moved(static_cast<std::size_t>(n));  // old position -> new
    for (int j = 0; j < n; ++j)
        moved[static_cast<std::size_t>(post[static_cast<std::size_t>(j)])] = j;
    e.order.resize(static_cast<std::size_t>(n));
    e.parent.assign(static_cast<std::size_t>(n), -1);
    for (int k = 0; k < n; ++k) {
        const int j = moved[static_cast<std::size_t>(k)];
        e.order[static_cast<std::size_t>(j)] = order[static_cast<std::size_t>(k)];
        const int p = tree[static_cast<std::size_t>(k)];
        e.parent[static_cast<std::size_t>(j)] = p == -1 ? -1 : moved[static_cast<std::size_t>(p)];
    }
    e.position.resize(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        e.position[static_cast<std::size_t>(e.order[static_cast<std::size_t>(k)])] = k;

    // Column structures from the row subtrees, counted and then filled.
    std::vector<int> count(static_cast<std::size_t>(n), 0), mark(static_cast<std::size_t>(n), -1);
    auto walk_rows = [&](auto&& visit) {
        std::fill(mark.begin(), mark.end(), -1);
        for (int k = 0; k < n; ++k) {
            mark[static_cast<std::size_t>(k)] = k;
            const int node = e.order[static_cast<std::size_t>(k)];
            for (int x = g.start[static_cast<std::size_t>(node)]; x < g.start[static_cast<std::size_t>(node) + 1];
                 ++x) {
                int j = e.position[static_cast<std::size_t>(g.neighbour[static_cast<std::size_t>(x)])];
                if (j > k)
                    continue;
                while (mark[static_cast<std::size_t>(j)] != k) {
                    visit(j, k);
                    mark[static_cast<std::size_t>(j)] = k;
                    j = e.parent[static_cast<std::size_t>(j)];
                }
            }
        }
    };
    walk_rows([&](int j, int) { ++count[static_cast<std::size_t>(j)]; });
    std::vector<std::size_t> column_start(static_cast<std::size_t>(n) + 1, 0);
    for (int j = 0; j < n; ++j)
        column_start[static_cast<std::size_t>(j) + 1] =
            column_start[static_cast<std::size_t>(j)] + static_cast<std::size_t>(count[static_cast<std::size_t>(j)]);
    std::vector<int> structure(column_start.back());
    std::vector<std::size_t> fill(column_start.begin(), column_start.end() - 1);
    walk_rows([&](int j, int k) { structure[fill[static_cast<std::size_t>(j)]++] = k; });

    // Supernodes, and the rows below each (its last column's structure).
    e.supernode_of.resize(static_cast<std::size_t>(n));
    e.first.clear();
    e.below_start.clear();
    for (int k = 0; k < n; ++k) {
        const bool joins = k > 0 && e.parent[static_cast<std::size_t>(k) - 1] == k &&
                           count[static_cast<std::size_t>(k) - 1] == count[static_cast<std::size_t>(k)] + 1;
        if (!joins)
            e.first.push_back(k);
        e.supernode_of[static_cast<std::size_t>(k)] = static_cast<int>(e.first.size()) - 1;
    }
    e.first.push_back(n);
    for (int s = 0; s < e.supernodes(); ++s) {
        const int last = e.first[static_cast<std::size_t>(s) + 1] - 1;
        e.below_start.push_back(static_cast<int>(e.below.size()));
        e.below.insert(e.below.end(), structure.begin() + static_cast<std::ptrdiff_t>(column_start[static_cast<std::size_t>(last)]),
                       structure.begin() + static_cast<std::ptrdiff_t>(column_start[static_cast<std::size_t>(last) + 1]));
    }
    e.below_start.push_back(static_cast<int>(e.below.size()));
    return e;
}
