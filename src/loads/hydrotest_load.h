// The hydrotest-load row (element type 20): a row at no node that gives the
// test conditions of the Hydrotest case to the rows after it, up to the next
// hydrotest-load row: the specific gravity of the test medium, the test
// pressure and the test temperature (0: the reference temperature). The
// elements of rows before the first hydrotest-load row are not tested: in
// the Hydrotest case they keep their own contents and have no pressure.
// A model with a hydrotest-load row has the Hydrotest case.
//
// Record (from LOAD_RECORDS_VERSION on): f32 specific gravity, f32 pressure,
// f32 temperature.
#pragma once

#include "model/element_data.h"

#include <cstdint>
#include <string>

struct Model;
struct AnalysisLoads;

class HydrotestLoad final : public ElementData {
public:
    float specific_gravity = 1.0f;
    float pressure = 0.0f;       // psi
    float temperature = 0.0f;    // degF; 0: the reference temperature

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // Columns 3, 4, 5: specific gravity, pressure, temperature.
    std::string cell_text(int column) const override;
    std::string description() const override;
    void register_row(int row) override;

    // A message naming the first value out of range; empty when in range.
    std::string fault() const;
};

// The hydrotest conditions of a model for the analysis: `loads.hydrotest`
// (defined when a row gives any; the values of the first such row) and
// `loads.row_hydrotest`, the conditions in force at each layout row.
void fill_hydrotest(const Model& model, AnalysisLoads& loads);

// The element factory of type 20.
void install_hydrotest_load();
