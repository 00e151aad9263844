// Numbers of an exported file that a reader of the program reads back as the
// very float that the model holds: each in the current unit of its quantity,
// with as few digits as that takes.
#pragma once

#include "framework/unit_choices.h"

#include <string>

// The text of an internal value in the current unit of the quantity, which
// that quantity's parser reads back as the same float. For the quantities
// whose parsers mark an entered zero (density, weight density, temperature,
// expansion, pressure) 0 gives an empty text and the marker "0"; elsewhere 0
// gives "0". A rigid stiffness gives "Rigid". Lengths in the feet-and-inches
// unit are feet-and-inch texts.
std::string exact_quantity(int quantity, double value);
// A signed dimension (offsets), read by parse_signed_dimension.
std::string exact_signed_dimension(double value);
// The same where the field must hold a number: an entered zero's "0" also for 0.
std::string exact_quantity_required(int quantity, double value);
// A plain number read by parse_real as the same float.
std::string exact_real(double value);
