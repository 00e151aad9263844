// Data-type codes and the base of the data-item objects that layout rows own
// (supports, row attributes, loads at a node). The rest of the program works
// on them through the 39 virtual operations below, in this fixed slot order;
// every base operation does nothing, returns the empty text, 0 or false.
//
// Slots 1-15 and the later drawing and picking slots are the operations that
// the element and support subsystems name; the others are named by what they
// serve (dynamic loads, nonlinear supports, the results file, local axes, the
// support load summaries, node renumbering, the pre-analysis check and the
// hanger design record).
//
// Until a kind's own class is installed (set_data_factory), its rows keep a
// NeutralDataItem that knows its type, counts itself in its kind's row list
// and keeps the bytes of a model-file record it cannot interpret, writing
// them back unchanged.
#pragma once

#include "model/box2d.h"
#include "model/row_kinds.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class AnalysisRun;
class BinFile;
class Dialog;
struct Model;


class DataItem {
public:
    // Both extent boxes start empty.
    DataItem() = default;
    virtual ~DataItem() = default;
    DataItem(const DataItem&) = delete;
    DataItem& operator=(const DataItem&) = delete;

    Box2D box_2d;        // extent in the 2D view (also the highlight box)
    Box2D box_render;    // extent in the render view

    // ---- The 39 slots, in their fixed order ------------------------------
    // 1. Reads the kind's fields from the model file.
    virtual void read(BinFile& file);
    // 2. Writes the kind's fields.
    virtual void write(BinFile& file) const;
    // 3. Copies the input values of another object of the same class.
    virtual void copy_from(const DataItem& other);
    // 4. First pass of the recount: adds 1 to the kind's counter.
    virtual void count();
    // 5. The cell of a column of the kind's input table (column 1 is the node).
    virtual std::string cell_text(int column) const;
    // 6. Puts the object's values into the open dialog of its kind.
    virtual void fill_dialog(Dialog& dialog) const;
    // 7. Second pass of the recount: adds 1 to the counter and stores the row.
    virtual void register_row(int row);
    // 8. Sets both boxes. Default: a box around the projected point of the
    //    row's node, inflated by the symbol size.
    virtual void update_extents(int row);
    // 9. Builds the render-view symbol.
    virtual void build_symbol(int row);
    // 10. Draws the symbol in the 2D view.
    virtual void draw_2d(int row);
    // 11. Draws the symbol in the render view.
    virtual void draw_3d(int row);
    // 12-20: the analysis. They are called on the analysis model's copies of
    // the rows' objects (never on the document's), on the run's thread, and
    // keep whatever changes during a run in the run (see analysis_core:
    // analysis_run.h for the run, element_assembly.h for the equations of a
    // node and the adding of stiffness and loads, results_sink.h for the
    // support loads). In the run's structure pass (before any value is
    // assembled) assemble_stiffness must touch every pair of equations the
    // item may ever couple, whatever its state (an open gap too), so that
    // the store has room for them. The stiffness of an item that is not
    // nonlinear may depend on the step only through its temperature and
    // pressure sets and whether the step is occasional (step_is_occasional):
    // a linear model reuses the factorised stiffness of a step for the next
    // steps that agree in these.
    // 12. Adds the item's stiffness to the global matrix.
    virtual void assemble_stiffness(AnalysisRun& run, int row) const;
    // 13. Adds the item's static loads to the load vector.
    virtual void add_loads(AnalysisRun& run, int row) const;
    // 14. Adds the item's loads of a seismic g step.
    virtual void add_g_loads(AnalysisRun& run, int row) const;
    // 15. Adds the item's lumped mass.
    virtual void add_mass(AnalysisRun& run, int row) const;
    // 16. Adds the item's dynamic load vector (time-varying, harmonic and
    //     force-spectrum loads).
    virtual void add_dynamic_loads(AnalysisRun& run, int row) const;
    // 17. True when the item makes the analysis nonlinear (gaps, friction).
    virtual bool is_nonlinear() const;
    // 18. Resets the item's state in the run: once before anything is
    //     assembled, and before each load case.
    virtual void reset_nonlinear_state(AnalysisRun& run, int row) const;
    // 19. Updates the item's nonlinear state in the run after a solution;
    //     true when it has converged (the run counts each false answer as one
    //     nonlinearity not converged).
    virtual bool update_nonlinear_state(AnalysisRun& run, int row) const;
    // 20. Gives the item's support loads of the current load case to the run
    //     (record_support_loads), as many values as support_word_count of its
    //     kind; the run writes them to the results file.
    virtual void write_support_loads(AnalysisRun& run, int row) const;
    // 21. Reads the item's support loads of the current results load case.
    virtual void read_support_loads(BinFile& file);
    // 22. Computes the item's local axes at a node (guides, limit stops, nozzles).
    virtual void compute_local_axes(int node);
    // 23. Turns the three global support-load values into the item's axes;
    //     a dynamic load case makes them absolute.
    virtual void turn_loads_to_local(bool dynamic_case);
    // 24. The row's one-line data-item description.
    virtual std::string description() const;
    // 25. The kind's subtype (such as the hanger type); 0 when none.
    virtual int subtype() const;
    // 26-31. Support load summary columns: allocate, free, store column c
    //     (current loads and node translations), add and subtract columns,
    //     and the Maximum, Minimum and Allowables rows.
    virtual void allocate_summary(int columns);
    virtual void free_summary();
    virtual void store_summary_column(int column);
    virtual void add_summary_column(int source, int destination);
    virtual void subtract_summary_column(int source, int destination);
    virtual void summary_extremes(int maximum, int minimum, int allowables);
    // 32. Renumbers a node number the item refers to (a connected node).
    virtual void renumber_node(int old_number, int new_number);
    // 33. True when the item refers to the node number (it must then stay).
    virtual bool refers_to_node(int number) const;
    // 34. Checks the item of a row of the model about to be analysed (the
    //     analysis model's copy); throws a message text that names the row.
    virtual void check(const Model& model, int row) const;
    // 35. Draws the 2D outline (highlight).
    virtual void draw_outline_2d();
    // 36. Draws the projected outline of the 3D symbol (highlight).
    virtual void draw_outline_3d();
    // 37. Draws the box outline of a solid symbol (the anchor, Space key).
    virtual void draw_box_outline();
    // 38. True when the view point hits the item; then selects and edits it.
    virtual bool pick_and_edit(int row, float x, float y);
    // 39. Reads the item's design record from the results file (hangers).
    virtual void read_design_record(BinFile& file);
};

// The object of a row whose data kind has no class of its own yet.
class NeutralDataItem final : public DataItem {
public:
    explicit NeutralDataItem(int dtype) : dtype_(dtype) {}
    int dtype() const { return dtype_; }

    // The bytes of a model-file record that no class could interpret; a
    // reader that knows the record's size stores them here, and write() puts
    // them back unchanged.
    std::vector<uint8_t> raw;

    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    void register_row(int row) override;

private:
    int dtype_;
};

// The factory of the data-item objects. A kind's class is installed by its
// subsystem at start-up; an empty function puts back the neutral object.
using DataFactory = std::function<std::unique_ptr<DataItem>()>;
void set_data_factory(int dtype, DataFactory factory);
// A new object for dtype 1..21 (the installed class or a NeutralDataItem);
// null for anything else. The callers check the code first.
std::unique_ptr<DataItem> make_data_object(int dtype);
