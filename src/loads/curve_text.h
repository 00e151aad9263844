// Curves as text files: the spectrum text import (command 250) and the CSV
// export of spectra, force spectra and time functions.
//
// A curve text file holds one point a line: two numbers (abscissa, ordinate)
// separated by blanks, tabs, a comma or a semicolon. Lines before the first
// point that are not points (a heading such as the CSV export writes), empty
// lines and lines starting with '*', '#', '!' or ';' are passed over. Every
// value must be a number and the abscissae strictly increasing.
#pragma once

#include "framework/xycurve.h"

#include <cstdint>
#include <string>

// Reads the points of a curve text file. Throws "<path>\nLine %d: <what is
// wrong>" for a line that is not a point after the first point, a value
// that is not a number, an abscissa not above the one before it, or more
// than `max_points` points; "Unable to open file:\n<path>" when the file
// cannot be read; "<path>\nThe file holds no points" for none.
XYCurve read_curve_text(const std::string& path, int32_t max_points);

// The CSV text of a curve: the heading line (the two column titles), then
// one "x,y" line a point, every number with enough digits to read back the
// same float.
std::string curve_csv_text(const std::string& x_title, const std::string& y_title, const XYCurve& curve);
// Writes that text beside the target and renames it into place; throws
// "Unable to open csv file:\n<path>" on a failure.
void write_curve_csv(const std::string& path, const std::string& x_title, const std::string& y_title,
                     const XYCurve& curve);

// The name a curve read from a file takes: its file name without the
// extension, upper-cased and cut to `limit` characters.
std::string curve_name_from_path(const std::string& path, std::size_t limit);
