// Node renumbering for a small stiffness profile.
//
// The stiffness matrix holds six equations per node, 6n-5..6n for the node's
// new index n, and the profile store keeps each column from its first
// non-zero row down to the diagonal. A numbering in which every node's
// neighbours have nearby indices keeps those columns short; this module finds
// one from the node graph alone (elements, coupled node pairs, supports that
// tie two nodes together).
#pragma once

#include "framework/one_based.h"

#include <span>

// Two nodes that share an element, a coupling or a support (1-based node
// indices).
struct NodePair {
    int a = 0;
    int b = 0;
};

// How each connected part of the node graph is ordered. `Best` runs both
// methods and keeps, part by part, the numbering with the smaller profile;
// the others are there to measure the methods against each other.
enum class RenumberMethod {
    Best,
    // Reverse Cuthill-McKee from a pseudo-peripheral node.
    ReverseCuthillMcKee,
    // Sloan's profile and wavefront reduction, with the pseudo-peripheral
    // start and end nodes of the same search.
    Sloan,
};

// The new 1-based index of each node 1..node_count, 0 for a node whose
// in_analysis entry is 0. The indices of the nodes in the analysis are
// 1..(their count), each used once; each connected part of the graph takes a
// block of consecutive indices, the parts in the order of their lowest
// original node. Pairs with a node outside 1..node_count or outside the
// analysis, and pairs of a node with itself, carry no coupling and are
// passed over. The result depends only on the set of pairs, not on their
// order or repetition.
// in_analysis must have node_count entries.
OneBased<int> renumber_nodes(int node_count, std::span<const NodePair> pairs,
                             const OneBased<char>& in_analysis,
                             RenumberMethod method = RenumberMethod::Best);

// The profile of the node graph under a numbering: the sum over numbered
// nodes of (own index - lowest index among itself and its neighbours). The
// stored terms above the diagonal of the 6-equation-per-node stiffness matrix
// are 36 times this plus 15 per node. Pairs with an unnumbered node are
// passed over.
long long node_profile(std::span<const NodePair> pairs, const OneBased<int>& numbering);
