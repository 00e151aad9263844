// The loads that a layout row puts at its node (its data item):
//
//   Force (16)              FX, FY, FZ (lb), MX, MY, MZ (in-lb) and the load
//                           case it acts in: W+P (with the weight, in every
//                           case that has weight) or a thermal set Tk (in
//                           every case of temperature set k: Expansion (Tk),
//                           Operating and Cold spring of set k);
//   Concentrated mass (17)  a weight (lb) at offsets DX, DY, DZ (inch, model
//                           axes) from the node: its weight in the weight
//                           cases, g times it in Seismic (g), each with the
//                           moment of the offset; in the modal step the mass
//                           of a rigid body at the offset (add_offset_mass);
//   Time-varying load (18)  a time function (by its number) and the forces
//                           and moments it scales;
//   Harmonic load (19)      frequency (Hz), phase (radian), FX, FY, FZ;
//   Force spectrum load (20) a force spectrum (by name) and FX, FY, FZ.
//
// The last three are the input of the dynamic analyses: their vector goes
// into the run in the steps of those analyses (add_dynamic_loads).
//
// Records (after the row's framing, from LOAD_RECORDS_VERSION on):
//   Force                6 x f32 FX..MZ, i32 load case (0 W+P, k = Tk)
//   Concentrated mass    4 x f32 weight, DX, DY, DZ
//   Time-varying load    i32 time function, 6 x f32 FX..MZ
//   Harmonic load        5 x f32 frequency, phase, FX, FY, FZ
//   Force spectrum load  name[33] (the force spectrum), 3 x f32 FX, FY, FZ
#pragma once

#include "model/data_item.h"

#include <array>
#include <cstdint>
#include <string>

// The load case of a force: 0 W+P, 1..10 the thermal set Tk.
inline constexpr int32_t FORCE_WITH_WEIGHT = 0;
// "W+P", "T1".."T10"; empty for another value.
std::string force_case_text(int32_t load_case);

class ForceLoad final : public DataItem {
public:
    std::array<float, 6> values{};   // FX, FY, FZ, MX, MY, MZ
    int32_t load_case = FORCE_WITH_WEIGHT;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    std::string cell_text(int column) const override;
    void register_row(int row) override;
    void add_loads(AnalysisRun& run, int row) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

private:
    // The item's own values; throws a text that does not name the row.
    void check_values_of_row() const;
};

class ConcentratedMass final : public DataItem {
public:
    float weight = 0.0f;
    std::array<float, 3> offset{};   // DX, DY, DZ

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    std::string cell_text(int column) const override;
    void register_row(int row) override;
    void add_loads(AnalysisRun& run, int row) const override;
    void add_g_loads(AnalysisRun& run, int row) const override;
    void add_mass(AnalysisRun& run, int row) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

private:
    // The item's own values; throws a text that does not name the row.
    void check_values_of_row() const;
};

class TimeVaryingLoad final : public DataItem {
public:
    int32_t function = 0;            // time function 1..n; 0 none
    std::array<float, 6> values{};   // FX..MZ

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    std::string cell_text(int column) const override;
    void register_row(int row) override;
    void add_dynamic_loads(AnalysisRun& run, int row) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

private:
    // The item's own values; throws a text that does not name the row.
    void check_values_of_row() const;
};

class HarmonicLoad final : public DataItem {
public:
    float frequency = 0.0f;          // Hz
    float phase = 0.0f;              // radian
    std::array<float, 3> values{};   // FX, FY, FZ

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    std::string cell_text(int column) const override;
    void register_row(int row) override;
    void add_dynamic_loads(AnalysisRun& run, int row) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

private:
    // The item's own values; throws a text that does not name the row.
    void check_values_of_row() const;
};

class ForceSpectrumLoad final : public DataItem {
public:
    std::string spectrum;            // force spectrum name
    std::array<float, 3> values{};   // FX, FY, FZ

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    std::string cell_text(int column) const override;
    void register_row(int row) override;
    void add_dynamic_loads(AnalysisRun& run, int row) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

private:
    // The item's own values; throws a text that does not name the row.
    void check_values_of_row() const;
};

// The data factories of the five kinds.
void install_nodal_loads();
