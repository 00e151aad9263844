#include "elements/flange_library.h"

#include <cmath>

namespace {

FlangeLibraryList make_list(std::vector<double> sizes, std::vector<std::string> size_names,
                            std::vector<std::string> ratings)
{
    FlangeLibraryList list;
    list.sizes = std::move(sizes);
    list.size_names = std::move(size_names);
    list.ratings = std::move(ratings);
    // No weight has a source yet (see the header).
    list.weights.assign(list.sizes.size(), std::vector<FlangeWeight>(list.ratings.size()));
    return list;
}

}  // namespace

const FlangeLibraryList& flange_library(int kind)
{
    static const FlangeLibraryList ansi =
        make_list({1.5, 2, 2.5, 3, 3.5, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 24},
                  {"1-1/2\"", "2\"", "2-1/2\"", "3\"", "3-1/2\"", "4\"", "5\"", "6\"", "8\"", "10\"", "12\"",
                   "14\"", "16\"", "18\"", "20\"", "24\""},
                  {"150", "300", "400", "600", "900", "1500", "2500"});
    static const FlangeLibraryList european =
        make_list({0.5, 0.75, 1, 1.25, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10, 12, 14, 16, 20, 24},
                  {"1/2\"", "3/4\"", "1\"", "1-1/4\"", "1-1/2\"", "2\"", "2-1/2\"", "3\"", "4\"", "5\"", "6\"",
                   "8\"", "10\"", "12\"", "14\"", "16\"", "20\"", "24\""},
                  {"PN16", "PN25", "PN40", "PN64", "PN100"});
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

