// Data-type codes, the neutral defaults of the data-item objects and their
// factory.
#include "model/data_item.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "model/model.h"

#include <array>

namespace {

const std::array<const char*, MAX_DTYPE + 1> DTYPE_NAMES = {
    "",
    "Anchor",
    "Restraint",
    "Skewed restraint",
    "Hanger",
    "Guide",
    "Limit stop",
    "Nozzle",
    "Snubber",
    "Spider",
    "Jacket end cap",
    "Flange",
    "Branch SIF",
    "User SIF",
    "Weld",
    "Threaded joint",
    "Force",
    "Concentrated mass",
    "Time-varying load",
    "Harmonic load",
    "Force spectrum load",
    "Generic support",
};

struct DataFactories {
    std::array<DataFactory, MAX_DTYPE + 1> value{};
};

std::array<DataFactory, MAX_DTYPE + 1>& factories()
{
    return session_part<DataFactories>().value;
}

}  // namespace

const char* data_type_name(int dtype)
{
    return dtype >= 0 && dtype <= MAX_DTYPE ? DTYPE_NAMES[static_cast<std::size_t>(dtype)] : "";
}

// ---- Neutral defaults ---------------------------------------------------------------

void DataItem::read(BinFile&) {}
void DataItem::write(BinFile&) const {}
void DataItem::copy_from(const DataItem&) {}
void DataItem::count() {}
std::string DataItem::cell_text(int) const { return {}; }
void DataItem::fill_dialog(Dialog&) const {}
void DataItem::register_row(int) {}

void DataItem::update_extents(int row)
{
    box_2d.reset();
    const Model& m = model();
    if (!m.rows.valid(row))
        return;
    int node = m.rows[row].node_index;
    if (!m.nodes.valid(node))
        return;
    const NodeRecord& n = m.nodes[node];
    box_2d.add(n.sx, n.sy);
    const auto& size = model_hooks().symbol_size;
    box_2d.inflate(size ? static_cast<float>(size()) : 0.0f);
    box_render = box_2d;
}

void DataItem::build_symbol(int) {}
void DataItem::draw_2d(int) {}
void DataItem::draw_3d(int) {}
void DataItem::assemble_stiffness(AnalysisRun&, int) const {}
void DataItem::add_loads(AnalysisRun&, int) const {}
void DataItem::add_g_loads(AnalysisRun&, int) const {}
void DataItem::add_mass(AnalysisRun&, int) const {}
void DataItem::add_dynamic_loads(AnalysisRun&, int) const {}
bool DataItem::is_nonlinear() const { return false; }
void DataItem::reset_nonlinear_state(AnalysisRun&, int) const {}
bool DataItem::update_nonlinear_state(AnalysisRun&, int) const { return true; }
void DataItem::write_support_loads(AnalysisRun&, int) const {}
void DataItem::read_support_loads(BinFile&) {}
void DataItem::compute_local_axes(int) {}
void DataItem::turn_loads_to_local(bool) {}
std::string DataItem::description() const { return {}; }
int DataItem::subtype() const { return 0; }
void DataItem::allocate_summary(int) {}
void DataItem::free_summary() {}
void DataItem::store_summary_column(int) {}
void DataItem::add_summary_column(int, int) {}
void DataItem::subtract_summary_column(int, int) {}
void DataItem::summary_extremes(int, int, int) {}
void DataItem::renumber_node(int, int) {}
bool DataItem::refers_to_node(int) const { return false; }
void DataItem::check(const Model&, int) const {}
void DataItem::draw_outline_2d() {}
void DataItem::draw_outline_3d() {}
void DataItem::draw_box_outline() {}
bool DataItem::pick_and_edit(int, float, float) { return false; }
void DataItem::read_design_record(BinFile&) {}

// ---- Neutral object -----------------------------------------------------------------

void NeutralDataItem::write(BinFile& file) const
{
    if (!raw.empty())
        file.write(raw.data(), raw.size());
}

void NeutralDataItem::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const NeutralDataItem*>(&other); same && same->dtype_ == dtype_)
        raw = same->raw;
}

void NeutralDataItem::count()
{
    if (int id = data_row_list(dtype_); id != NO_ROW_LIST)
        model().list(id).count_one();
}

void NeutralDataItem::register_row(int row)
{
    if (int id = data_row_list(dtype_); id != NO_ROW_LIST)
        model().list(id).add(row);
}

// ---- Factory ---------------------------------------------------------------------------

void set_data_factory(int dtype, DataFactory factory)
{
    KV_ASSERT(dtype >= 1 && dtype <= MAX_DTYPE);
    factories()[static_cast<std::size_t>(dtype)] = std::move(factory);
}

std::unique_ptr<DataItem> make_data_object(int dtype)
{
    if (dtype < 1 || dtype > MAX_DTYPE)
        return nullptr;
    if (const auto& factory = factories()[static_cast<std::size_t>(dtype)]) {
        std::unique_ptr<DataItem> made = factory();
        KV_ASSERT(made != nullptr);
        return made;
    }
    return std::make_unique<NeutralDataItem>(dtype);
}

// ---- Row lists --------------------------------------------------------------------------

int data_row_list(int dtype)
{
    switch (dtype) {
    case DT_ANCHOR: return ANCHOR_ROWS;
    case DT_RESTRAINT: return RESTRAINT_ROWS;
    case DT_SKEWED_RESTRAINT: return SKEWED_RESTRAINT_ROWS;
    case DT_HANGER: return HANGER_ROWS;
    case DT_GUIDE: return GUIDE_ROWS;
    case DT_LIMIT_STOP: return LIMIT_STOP_ROWS;
    case DT_NOZZLE: return NOZZLE_ROWS;
    case DT_SNUBBER: return SNUBBER_ROWS;
    case DT_SPIDER:
    case DT_JACKET_END_CAP: return JACKET_CONNECTION_ROWS;
    case DT_FLANGE: return FLANGE_ROWS;
    case DT_BRANCH_SIF: return BRANCH_SIF_ROWS;
    case DT_USER_SIF: return USER_SIF_ROWS;
    case DT_WELD: return WELD_ROWS;
    case DT_THREADED_JOINT: return THREADED_JOINT_ROWS;
    case DT_FORCE: return FORCE_ROWS;
    case DT_CONC_MASS: return CONC_MASS_ROWS;
    case DT_TIME_VARYING_LOAD: return TIME_VARYING_LOAD_ROWS;
    case DT_HARMONIC_LOAD: return HARMONIC_LOAD_ROWS;
    case DT_FORCE_SPECTRUM_LOAD: return FORCE_SPECTRUM_LOAD_ROWS;
    case DT_GENERIC_SUPPORT: return GENERIC_SUPPORT_ROWS;
    default: return NO_ROW_LIST;
    }
}
