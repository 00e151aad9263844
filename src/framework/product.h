// The program's name and version, as its windows, settings and file
// messages name them.
#pragma once

inline constexpr const char* PRODUCT_NAME = "Korvane";
inline constexpr const char* PRODUCT_VERSION = "10.20";
