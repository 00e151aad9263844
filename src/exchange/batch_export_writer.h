// The state of one batch export that its section writers share.
#pragma once

#include "exchange/batch_export.h"
#include "exchange/exact_numbers.h"

#include <string>
#include <vector>

struct BatchWriter {
    int version = BATCH_EXPORT_CURRENT;
    // Row 1 is the title row that the reader makes of the title line.
    bool first_row_is_title = false;
    BatchExportReport report;
    std::vector<std::string> lines;

    bool current() const { return version >= 1000; }
    void line(const std::string& text) { lines.push_back(text); }
};

// A record line: the fields joined by commas, trailing empty fields left off.
std::string join_fields(std::vector<std::string> fields);
// True when the text has a lower-case letter (the reader takes it upper-cased).
bool has_lower_case(const std::string& text);

// The LAYOUT section (batch_export_layout.cpp).
void batch_write_layout(BatchWriter& w);
// Refuses, with a message naming the row, layout text that the file cannot hold.
void check_layout_text();
