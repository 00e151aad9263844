// Node renumbering: a valid numbering of the nodes in the analysis, the
// connected parts in blocks, and profiles at or near the optimum, the
// optimum found here by trying every numbering of small graphs or by the
// hand numbering of chains, rings and ladders.
#include "analysis_core/renumber.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace {

const RenumberMethod METHODS[] = {RenumberMethod::Best, RenumberMethod::ReverseCuthillMcKee,
                                  RenumberMethod::Sloan};

OneBased<char> all_in(int nodes)
{
    OneBased<char> in(nodes);
    for (char& c : in) c = 1;
    return in;
}

// The profile of a numbering computed from its definition: for each node,
// its index less the lowest index among itself and its neighbours.
long long profile_by_definition(int nodes, const std::vector<NodePair>& pairs, const std::vector<int>& index)
{
    long long profile = 0;
    for (int n = 1; n <= nodes; ++n) {
        int lowest = index[static_cast<std::size_t>(n)];
        for (const NodePair& p : pairs) {
            if (p.a == n) lowest = std::min(lowest, index[static_cast<std::size_t>(p.b)]);
            if (p.b == n) lowest = std::min(lowest, index[static_cast<std::size_t>(p.a)]);
        }
        profile += index[static_cast<std::size_t>(n)] - lowest;
    }
    return profile;
}

long long profile_of(int nodes, const std::vector<NodePair>& pairs, RenumberMethod method)
{
    const OneBased<int> numbering = renumber_nodes(nodes, pairs, all_in(nodes), method);
    std::vector<int> index(static_cast<std::size_t>(nodes) + 1, 0);
    for (int n = 1; n <= nodes; ++n) index[static_cast<std::size_t>(n)] = numbering[n];
    const long long profile = profile_by_definition(nodes, pairs, index);
    EXPECT_EQ(node_profile(pairs, numbering), profile);
    return profile;
}

// The smallest profile over every numbering, for graphs of up to 9 nodes.
long long brute_force_optimum(int nodes, const std::vector<NodePair>& pairs)
{
    std::vector<int> index(static_cast<std::size_t>(nodes) + 1);
    std::iota(index.begin(), index.end(), 0);
    long long best = -1;
    do {
        const long long p = profile_by_definition(nodes, pairs, index);
        if (best < 0 || p < best) best = p;
    } while (std::next_permutation(index.begin() + 1, index.end()));
    return best;
}

// The same graph with its nodes relabelled by a random permutation.
std::vector<NodePair> shuffled(int nodes, const std::vector<NodePair>& pairs, unsigned seed)
{
    std::vector<int> label(static_cast<std::size_t>(nodes) + 1);
    std::iota(label.begin(), label.end(), 0);
    std::mt19937 random(seed);
    std::shuffle(label.begin() + 1, label.end(), random);
    std::vector<NodePair> out;
    for (const NodePair& p : pairs) out.push_back({label[static_cast<std::size_t>(p.a)], label[static_cast<std::size_t>(p.b)]});
    std::shuffle(out.begin(), out.end(), random);
    return out;
}

std::vector<NodePair> chain(int first, int last)
{
    std::vector<NodePair> pairs;
    for (int n = first; n < last; ++n) pairs.push_back({n, n + 1});
    return pairs;
}

std::vector<NodePair> ring(int nodes)
{
    std::vector<NodePair> pairs = chain(1, nodes);
    pairs.push_back({nodes, 1});
    return pairs;
}

// Two parallel runs of m nodes (1..m and m+1..2m) joined at every node.
std::vector<NodePair> ladder(int m)
{
    std::vector<NodePair> pairs = chain(1, m);
    for (NodePair p : chain(m + 1, 2 * m)) pairs.push_back(p);
    for (int n = 1; n <= m; ++n) pairs.push_back({n, m + n});
    return pairs;
}

}  // namespace

TEST(Renumber, NumbersTheNodesInTheAnalysisOnceAndTheOthersZero)
{
    // A random graph over 200 nodes, 40 of them outside the analysis, with
    // pairs to those nodes, pairs out of range and pairs of a node with
    // itself, all of which couple nothing.
    const int nodes = 200;
    std::mt19937 random(5);
    std::uniform_int_distribution<int> node(1, nodes);
    OneBased<char> in = all_in(nodes);
    for (int k = 0; k < 40; ++k) in[node(random)] = 0;
    std::vector<NodePair> pairs;
    for (int k = 0; k < 400; ++k) pairs.push_back({node(random), node(random)});
    pairs.push_back({0, 5});
    pairs.push_back({7, nodes + 1});
    pairs.push_back({-3, 2});
    pairs.push_back({9, 9});

    for (RenumberMethod method : METHODS) {
        const OneBased<int> numbering = renumber_nodes(nodes, pairs, in, method);
        ASSERT_EQ(numbering.size(), nodes);
        const int analysed = static_cast<int>(std::count(in.begin(), in.end(), 1));
        std::vector<int> used(static_cast<std::size_t>(analysed) + 1, 0);
        for (int n = 1; n <= nodes; ++n) {
            if (!in[n]) {
                EXPECT_EQ(numbering[n], 0) << n;
                continue;
            }
            ASSERT_GE(numbering[n], 1);
            ASSERT_LE(numbering[n], analysed);
            ++used[static_cast<std::size_t>(numbering[n])];
        }
        EXPECT_EQ(std::count(used.begin() + 1, used.end(), 1), analysed);

        // The same set of pairs in another order and with repeats gives the
        // same numbering.
        std::vector<NodePair> again = pairs;
        std::reverse(again.begin(), again.end());
        again.insert(again.end(), pairs.begin(), pairs.begin() + 50);
        for (NodePair& p : again) std::swap(p.a, p.b);
        const OneBased<int> second = renumber_nodes(nodes, again, in, method);
        EXPECT_TRUE(std::equal(numbering.begin(), numbering.end(), second.begin()));
    }
    EXPECT_EQ(renumber_nodes(0, {}, OneBased<char>()).size(), 0);
}

TEST(Renumber, ConnectedPartsTakeConsecutiveBlocksInTheOrderOfTheirLowestNode)
{
    // Parts: {1, 4, 6} a chain 6-1-4; {2} alone; {3, 5, 7, 8} a chain
    // 8-3-7-5; node 9 outside the analysis, linked to 2.
    const std::vector<NodePair> pairs = {{6, 1}, {1, 4}, {8, 3}, {3, 7}, {7, 5}, {9, 2}};
    OneBased<char> in = all_in(9);
    in[9] = 0;
    for (RenumberMethod method : METHODS) {
        const OneBased<int> n = renumber_nodes(9, pairs, in, method);
        EXPECT_EQ(std::min({n[1], n[4], n[6]}), 1);
        EXPECT_EQ(std::max({n[1], n[4], n[6]}), 3);
        EXPECT_EQ(n[2], 4);
        EXPECT_EQ(std::min({n[3], n[5], n[7], n[8]}), 5);
        EXPECT_EQ(n[9], 0);
        // Each chain numbered along itself: profile (3-1) + (4-1).
        EXPECT_EQ(node_profile(pairs, n), 5);
    }
}

TEST(Renumber, ChainsRingsAndLaddersReachTheirHandNumberedProfiles)
{
    // A chain of n nodes numbered along itself has profile n - 1 and no
    // numbering does better (every node but the first has an earlier
    // neighbour). A ring numbered zig-zag from one node (1, then 2 and 3 on
    // either side, ...) has each node two after its earlier neighbour:
    // 1 + 2 (n - 2) = 2n - 3. A ladder numbered rung by rung: 1 + 2 (2m - 2)
    // = 4m - 3.
    for (unsigned seed : {1u, 2u, 3u}) {
        const std::vector<NodePair> c = shuffled(500, chain(1, 500), seed);
        for (RenumberMethod method : METHODS) EXPECT_EQ(profile_of(500, c, method), 499);

        const std::vector<NodePair> r = shuffled(300, ring(300), seed);
        EXPECT_LE(profile_of(300, r, RenumberMethod::Best), 2 * 300 - 3);

        const std::vector<NodePair> l = shuffled(2 * 150, ladder(150), seed);
        EXPECT_LE(profile_of(300, l, RenumberMethod::Best), 4 * 150 - 3);
    }
}

TEST(Renumber, SmallPipingGraphsComeNearTheirBestProfile)
{
    // Every numbering tried: a ring of 8, a ladder of 2 x 4, a run with two
    // branches, a loop closing back onto a run with a branch off the loop,
    // and two loops sharing a run.
    struct Case {
        int nodes;
        std::vector<NodePair> pairs;
    };
    const Case cases[] = {
        {8, ring(8)},
        {8, ladder(4)},
        {9, {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {2, 6}, {6, 7}, {4, 8}, {8, 9}}},
        {9, {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {2, 6}, {6, 7}, {7, 4}, {6, 8}, {8, 9}}},
        {9, {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {2, 7}, {7, 4}, {4, 8}, {8, 9}, {9, 6}}},
    };
    for (const Case& c : cases) {
        const long long optimum = brute_force_optimum(c.nodes, c.pairs);
        const std::vector<NodePair> pairs = shuffled(c.nodes, c.pairs, 9);
        EXPECT_LE(profile_of(c.nodes, pairs, RenumberMethod::Best), optimum + 1) << c.nodes;
    }
}

TEST(Renumber, BranchedRunsWithLoopsGetAProfileNoWorseThanFollowingTheRuns)
{
    // A header with branches off branches and bypass loops that rejoin their
    // run a few nodes further on, built run after run; numbering the nodes
    // in that order already follows the runs. Relabelled at random, the
    // renumbering must find a profile at least as small.
    std::mt19937 random(77);
    std::vector<NodePair> pairs = chain(1, 60);
    std::vector<std::pair<int, int>> runs = {{1, 60}};
    int nodes = 60;
    while (nodes < 1500) {
        const auto [first, last] = runs[std::uniform_int_distribution<std::size_t>(0, runs.size() - 1)(random)];
        const int from = std::uniform_int_distribution<int>(first, last)(random);
        const int length = std::uniform_int_distribution<int>(3, 40)(random);
        pairs.push_back({from, nodes + 1});
        for (NodePair p : chain(nodes + 1, nodes + length)) pairs.push_back(p);
        runs.push_back({nodes + 1, nodes + length});
        nodes += length;
        const int rejoin = from + std::uniform_int_distribution<int>(3, 12)(random);
        if (random() % 5 == 0 && rejoin <= last) pairs.push_back({nodes, rejoin});
    }
    OneBased<int> as_built(nodes);
    for (int n = 1; n <= nodes; ++n) as_built[n] = n;
    const long long built = node_profile(pairs, as_built);

    const std::vector<NodePair> relabelled = shuffled(nodes, pairs, 4);
    EXPECT_LE(profile_of(nodes, relabelled, RenumberMethod::Best), built);
    EXPECT_LE(profile_of(nodes, relabelled, RenumberMethod::Best),
              profile_of(nodes, relabelled, RenumberMethod::ReverseCuthillMcKee));
}
