// The flange weight library: for a nominal pipe size the weight of a pair of
// flanges by pressure rating, in two lists, one by the ASME B16.5 classes
// (16 sizes, classes 150 to 2500) and one by the European PN ratings
// (18 sizes, PN16 to PN100).
//
// Every weight carries its source. The weights are those of the flange
// weight table of the flange data item (a pair of flanges, lb); they could
// not be checked against a published catalogue. A size and rating the table
// leaves empty is "not known" (0): the flange dialog then gets no weight from
// the library and says so, and the user types the weight.
#pragma once

#include <string>
#include <vector>

enum FlangeLibraryKind : int {
    FLANGE_LIBRARY_ANSI = 0,       // classes 150 to 2500
    FLANGE_LIBRARY_EUROPEAN = 1,   // PN16 to PN100
};

// A weight of a pair of flanges (lb) and where it was published; 0 with an
// empty source when it is not known.
struct FlangeWeight {
    double weight = 0.0;
    const char* source = "";
};

struct FlangeLibraryList {
    std::vector<double> sizes;               // nominal sizes, inch
    std::vector<std::string> size_names;     // "1-1/2\"" ...
    std::vector<std::string> ratings;        // "150" ... or "PN16" ...
    // weights[size][rating]
    std::vector<std::vector<FlangeWeight>> weights;
};

const FlangeLibraryList& flange_library(int kind);

// The index of a nominal size in a list: the first whose difference is
// below 0.01 inch; -1 when the list has none.
int flange_library_size_index(int kind, double nominal_size);

// The weight of the rating (0-based) for the size (0-based) of a list: the
// pair's weight, half of it for a single flange; 0 when not known or when
// size or rating is out of range.
double flange_library_weight(int kind, int size, int rating, bool single_flange);

