// The symbolic side of the sparse LDLᵀ factorisation of the stiffness
// matrix: the order in which the nodes are eliminated and the shape of the
// factor that order gives, worked out once per run from the node graph
// alone (which nodes share an element, a coupling or a support).
//
// Everything is in nodes, not equations: a node's six equations always
// couple to each other and to the same neighbours, so the factor is made of
// dense 6 x 6 blocks, and the graph the ordering works on is six times
// smaller in size and 36 times in terms than the equations'.
//
// A piping graph is a tree with few loops. The order takes the trees of the
// graph first, from their leaves inwards (a node that hangs on the rest by
// one edge eliminates without fill), then what is left, the loops and the
// paths between them, by approximate minimum degree (Amestoy, Davis and
// Duff); a loop then fills only along itself. The order is postordered
// along its elimination tree so that every subtree is a run of consecutive
// positions.
//
// Consecutive positions whose factor columns share one structure (a node
// whose only later neighbour is the next, and which brings nothing the next
// lacks) form a supernode: their columns are stored as one dense panel and
// factorised together.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

// Two nodes that share an element, a coupling or a support (1-based node
// indices).
struct NodePair {
    int a = 0;
    int b = 0;
};

struct NodeElimination {
    int nodes = 0;
    // Position k (0-based) in the order of elimination -> node (0-based),
    // and back.
    std::vector<int> order;
    std::vector<int> position;
    // The parent of each position in the elimination tree; -1 for a root.
    std::vector<int> parent;

    // Supernode s holds the positions first[s] .. first[s + 1] - 1; its
    // panel's rows are those positions and then below[below_start[s]] ..
    // below[below_start[s + 1] - 1], the later positions its columns couple
    // to, ascending.
    std::vector<int> first;        // supernode count + 1
    std::vector<int> supernode_of;  // by position
    std::vector<int> below_start;  // supernode count + 1
    std::vector<int> below;

    int supernodes() const { return static_cast<int>(first.size()) - 1; }
    int width(int s) const { return first[static_cast<std::size_t>(s) + 1] - first[static_cast<std::size_t>(s)]; }
    int below_count(int s) const
    {
        return below_start[static_cast<std::size_t>(s) + 1] - below_start[static_cast<std::size_t>(s)];
    }
    std::span<const int> rows_below(int s) const
    {
        return {below.data() + below_start[static_cast<std::size_t>(s)], static_cast<std::size_t>(below_count(s))};
    }
    // Node blocks (6 x 6) of the factor's lower triangle, the diagonal
    // blocks included.
    std::size_t factor_blocks() const;
};

// The elimination of nodes 1..node_count coupled by the pairs (pairs with a
// node outside 1..node_count, or of a node with itself, are passed over; the
// order and repetition of pairs does not matter). The result depends on the
// set of pairs only.
NodeElimination eliminate_nodes(int node_count, std::span<const NodePair> pairs);
