#include "elements/flange_library.h"

#include <cmath>

namespace {

// Where the weights come from (see the header).
constexpr const char* WEIGHT_SOURCE = "flange weight table of the flange data item, pairs of flanges (lb)";

FlangeLibraryList make_list(std::vector<double> sizes, std::vector<std::string> size_names,
                            std::vector<std::string> ratings, const std::vector<std::vector<double>>& weights)
{
    FlangeLibraryList list;
    list.sizes = std::move(sizes);
    list.size_names = std::move(size_names);
    list.ratings = std::move(ratings);
    list.weights.assign(list.sizes.size(), std::vector<FlangeWeight>(list.ratings.size()));
    for (std::size_t i = 0; i < weights.size() && i < list.weights.size(); ++i)
        for (std::size_t j = 0; j < weights[i].size() && j < list.ratings.size(); ++j)
            if (weights[i][j] != 0.0)
                list.weights[i][j] = FlangeWeight{weights[i][j], WEIGHT_SOURCE};
    return list;
}

}  // namespace

const FlangeLibraryList& flange_library(int kind)
{
    static const FlangeLibraryList ansi =
        make_list({1.5, 2, 2.5, 3, 3.5, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 24},
                  {"1-1/2\"", "2\"", "2-1/2\"", "3\"", "3-1/2\"", "4\"", "5\"", "6\"", "8\"", "10\"", "12\"",
                   "14\"", "16\"", "18\"", "20\"", "24\""},
                  {"150", "300", "400", "600", "900", "1500", "2500"},
                  {{8, 14, 16, 16, 34, 0, 0},
                   {12, 20, 26, 26, 62, 62, 96},
                   {18, 24, 30, 30, 82, 0, 0},
                   {22, 38, 54, 54, 76, 122, 226},
                   {26, 40, 58, 58, 96, 0, 0},
                   {34, 58, 82, 96, 128, 180, 354},
                   {42, 68, 92, 146, 190, 0, 0},
                   {54, 96, 134, 192, 260, 404, 902},
                   {84, 152, 208, 274, 444, 668, 1384},
                   {120, 220, 304, 450, 632, 1092, 2582},
                   {176, 326, 424, 544, 868, 1686, 3838},
                   {226, 434, 554, 812, 1284, 2482, 0},
                   {294, 576, 702, 1154, 1570, 3194, 0},
                   {330, 710, 860, 1304, 2148, 4138, 0},
                   {392, 862, 1070, 1622, 2688, 5228, 0},
                   {590, 1264, 1554, 2314, 4900, 8306, 0}});
    static const FlangeLibraryList european =
        make_list({0.5, 0.75, 1, 1.25, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10, 12, 14, 16, 20, 24},
                  {"1/2\"", "3/4\"", "1\"", "1-1/4\"", "1-1/2\"", "2\"", "2-1/2\"", "3\"", "4\"", "5\"", "6\"",
                   "8\"", "10\"", "12\"", "14\"", "16\"", "20\"", "24\""},
                  {"PN16", "PN25", "PN40", "PN64", "PN100"},
                  {{2.86, 3.30, 3.30, 5.30, 5.30},
                   {4.18, 4.68, 4.68, 0, 0},
                   {5.08, 5.68, 5.68, 11.72, 11.72},
                   {7.50, 8.28, 8.28, 14.10, 14.10},
                   {8.16, 10.28, 10.28, 18.08, 18.08},
                   {11.24, 12.44, 12.44, 20.06, 26.46},
                   {13.44, 16.50, 16.50, 25.26, 34.84},
                   {16.32, 20.94, 20.94, 29.50, 39.46},
                   {20.38, 28.74, 28.74, 42.60, 60.40},
                   {27.78, 40.00, 40.00, 66.58, 100.08},
                   {34.18, 52.02, 52.02, 96.56, 133.16},
                   {48.50, 74.96, 94.80, 153.88, 232.80},
                   {68.78, 107.58, 153.88, 218.70, 358.92},
                   {97.00, 137.56, 219.14, 302.92, 537.92},
                   {126.54, 198.42, 300.26, 417.12, 727.52},
                   {160.06, 258.82, 425.50, 546.74, 0},
                   {261.46, 379.64, 515.88, 0, 0},
                   {323.64, 445.34, 0, 0, 0}});
    return kind == FLANGE_LIBRARY_EUROPEAN ? european : ansi;
}

int flange_library_size_index(int kind, double nominal_size)
{
    const std::vector<double>& sizes = flange_library(kind).sizes;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        if (std::fabs(sizes[i] - nominal_size) < 0.01)
            return static_cast<int>(i);
    return -1;
}

double flange_library_weight(int kind, int size, int rating, bool single_flange)
{
    const FlangeLibraryList& list = flange_library(kind);
    if (size < 0 || size >= static_cast<int>(list.weights.size()) || rating < 0 ||
        rating >= static_cast<int>(list.ratings.size()))
        return 0.0;
    const double pair = list.weights[static_cast<std::size_t>(size)][static_cast<std::size_t>(rating)].weight;
    return single_flange ? pair / 2.0 : pair;
}

