#include "qualification/equipment.h"

#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "loads/load_file.h"
#include "model/model_file.h"
#include "model/nodes.h"
#include "supports/support_common.h"
#include "supports/support_item.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace {

constexpr std::size_t PUMP_RECORD_BYTES = 81;
constexpr std::size_t OLD_PUMP_RECORD_BYTES = 57;
constexpr std::size_t COMPRESSOR_RECORD_BYTES = 44;
constexpr std::size_t ALLOWABLE_RECORD_BYTES = 28;

// The lengths of the ANSI/HI size lists by pump type, and of the lists of
// materials, baseplates (B73.5M) and bolt sizes (axial split case).
constexpr int32_t HI_TYPES = 6;
constexpr int32_t HI_SIZES[HI_TYPES] = {21, 13, 21, 21, 6, 15};
constexpr int32_t HI_MATERIALS = 18;
constexpr int32_t HI_B735_TYPE = 3, HI_BASEPLATES = 5;
constexpr int32_t HI_AXIAL_SPLIT_TYPE = 4, HI_BOLT_SIZES = 4;

bool location_valid(int32_t location) { return location >= LOCATION_TOP && location <= LOCATION_END; }

bool finite3(const std::array<float, 3>& v)
{
    return finite_value(v[0]) && finite_value(v[1]) && finite_value(v[2]);
}

void read_pump(PumpRecord& p, BinFile& f)
{
    p.name = f.read_name(EQUIPMENT_DESCRIPTION_LENGTH);
    p.suction_node = f.read_int();
    p.suction_location = f.read_int();
    p.discharge_node = f.read_int();
    p.discharge_location = f.read_int();
    f.read_floats(p.shaft_axis.data(), 3);
    f.read_floats(p.centre.data(), 3);
    p.vertical = f.read_byte();
    if (model_file_version() < PUMP_STANDARD_VERSION)
        return;
    p.kind = f.read_int();
    p.hi_type = f.read_int();
    p.hi_size = f.read_int();
    p.hi_material = f.read_int();   // the file holds the material before the mounting
    p.hi_mounting = f.read_int();
    p.temperature = f.read_float();
}

void write_pump(const PumpRecord& p, BinFile& f)
{
    f.write_name(p.name, EQUIPMENT_DESCRIPTION_LENGTH);
    f.write_int(p.suction_node);
    f.write_int(p.suction_location);
    f.write_int(p.discharge_node);
    f.write_int(p.discharge_location);
    f.write_floats(p.shaft_axis.data(), 3);
    f.write_floats(p.centre.data(), 3);
    f.write_byte(p.vertical);
    f.write_int(p.kind);
    f.write_int(p.hi_type);
    f.write_int(p.hi_size);
    f.write_int(p.hi_material);
    f.write_int(p.hi_mounting);
    f.write_float(p.temperature);
}

void read_compressor(CompressorRecord& c, BinFile& f)
{
    c.name = f.read_name(EQUIPMENT_DESCRIPTION_LENGTH);
    c.inlet = f.read_int();
    c.exhaust = f.read_int();
    c.extraction1 = f.read_int();
    c.extraction2 = f.read_int();
    f.read_floats(c.shaft_axis.data(), 3);
}

void write_compressor(const CompressorRecord& c, BinFile& f)
{
    f.write_name(c.name, EQUIPMENT_DESCRIPTION_LENGTH);
    f.write_int(c.inlet);
    f.write_int(c.exhaust);
    f.write_int(c.extraction1);
    f.write_int(c.extraction2);
    f.write_floats(c.shaft_axis.data(), 3);
}

void read_allowable(AllowableLoad& a, BinFile& f)
{
    a.node = f.read_int();
    f.read_floats(a.values.data(), a.values.size());
}

void write_allowable(const AllowableLoad& a, BinFile& f)
{
    f.write_int(a.node);
    f.write_floats(a.values.data(), a.values.size());
}

// One kind of record and its section.
template <typename T>
struct RecordKind {
    int section = 0;
    const char* noun = "";                               // "Pump": "Pump 3: <fault>"
    std::function<OneBased<T>&()> records;
    std::function<std::size_t(int32_t version)> bytes;   // of one record in a file of that version
    std::function<void(T&, BinFile&)> read;
    std::function<void(const T&, BinFile&)> write;
    std::function<std::string(const T&)> fault;
};

template <typename T>
void register_record_section(RecordKind<T> kind)
{
    struct Contents final : SectionContents {
        OneBased<T> read;
        RecordKind<T> kind;
        void install(Model&) override
        {
            kind.records() = std::move(read);
            notify_document_changed({DocumentChange::Cleared, kind.section});
        }
        void check_merge(ModelMerge&) const override
        {
            if (kind.records().size() + read.size() > MAX_EQUIPMENT_RECORDS)
                throw_message(c_format("The merged model would hold more than %d records of the %s section",
                                       MAX_EQUIPMENT_RECORDS, lower_case(model_section_name(kind.section)).c_str()));
        }
        void merge(ModelMerge&) override
        {
            for (T& record : read)
                kind.records().push_back(std::move(record));
            notify_document_changed();
        }
    };
    ModelSectionOwner owner;
    owner.read = [kind](BinFile& file) -> std::unique_ptr<SectionContents> {
        const int32_t count = file.read_int();
        if (file.error())
            return nullptr;
        if (count < 0 || count > MAX_EQUIPMENT_RECORDS)
            throw_message(c_format("Count %d is out of range", count));
        if (!file.fits(count, kind.bytes(model_file_version())))
            throw_message(c_format("The file ends inside its %d records", count));
        auto contents = std::make_unique<Contents>();
        contents->kind = kind;
        for (int i = 1; i <= count; ++i) {
            T record;
            kind.read(record, file);
            if (file.error())
                return nullptr;
            if (const std::string fault = kind.fault(record); !fault.empty())
                throw_message(c_format("%s %d: ", kind.noun, i) + fault);
            contents->read.push_back(std::move(record));
        }
        return contents;
    };
    owner.write = [kind](BinFile& file) {
        const OneBased<T>& records = kind.records();
        file.write_int(records.size());
        for (const T& record : records)
            kind.write(record, file);
    };
    owner.clear = [kind] {
        kind.records().clear();
        notify_document_changed({DocumentChange::Cleared, kind.section});
    };
    register_model_section(kind.section, std::move(owner));
}

std::size_t pump_bytes(int32_t version)
{
    return version < PUMP_STANDARD_VERSION ? OLD_PUMP_RECORD_BYTES : PUMP_RECORD_BYTES;
}

}  // namespace

EquipmentData& equipment()
{
    return document().part<EquipmentData>();
}

std::string pump_fault(const PumpRecord& p)
{
    if (!connected_node_number_valid(p.suction_node))
        return c_format("the suction node %d is invalid", p.suction_node);
    if (!connected_node_number_valid(p.discharge_node))
        return c_format("the discharge node %d is invalid", p.discharge_node);
    if (!location_valid(p.suction_location) || !location_valid(p.discharge_location))
        return "a nozzle location is out of range";
    if (!finite3(p.shaft_axis) || !finite3(p.centre) || !finite_value(p.temperature))
        return "a value is not a number";
    if (p.vertical > 1)
        return "the vertical-inline flag is invalid";
    if (p.kind < PUMP_KIND_UNSET || p.kind > PUMP_ANSI_HI)
        return c_format("the pump standard %d is invalid", p.kind);
    if (p.hi_type < 0 || p.hi_type >= HI_TYPES || p.hi_size < 0 || p.hi_size >= HI_SIZES[p.hi_type] ||
        p.hi_material < 0 || p.hi_material >= HI_MATERIALS || p.hi_mounting < 0 ||
        (p.hi_type == HI_B735_TYPE && p.hi_mounting >= HI_BASEPLATES) ||
        (p.hi_type == HI_AXIAL_SPLIT_TYPE && p.hi_mounting >= HI_BOLT_SIZES))
        return "an ANSI/HI choice is out of range";
    return {};
}

std::string compressor_fault(const CompressorRecord& c)
{
    for (int32_t node : {c.inlet, c.exhaust, c.extraction1, c.extraction2})
        if (!connected_node_number_valid(node))
            return c_format("the node %d is invalid", node);
    if (!finite3(c.shaft_axis))
        return "a shaft axis component is not a number";
    return {};
}

std::string allowable_fault(const AllowableLoad& a)
{
    if (!connected_node_number_valid(a.node))
        return c_format("the node %d is invalid", a.node);
    for (float v : a.values)
        if (!finite_value(v))
            return "a value is not a number";
    return {};
}

int allowable_at_node(int node)
{
    if (node == 0)
        return 0;
    const OneBased<AllowableLoad>& list = allowables();
    for (int i = 1; i <= list.size(); ++i)
        if (list[i].node == node)
            return i;
    return 0;
}

bool allowable_values_at_node(int node, std::array<float, ALLOWABLE_VALUES>& values)
{
    const int i = allowable_at_node(node);
    if (i == 0)
        return false;
    values = allowables()[i].values;
    return true;
}

void renumber_equipment_nodes(const std::vector<std::pair<int, int>>& pairs)
{
    std::map<int, int> mapping(pairs.begin(), pairs.end());
    auto mapped = [&mapping](int32_t& number) {
        if (number == 0)
            return;
        const auto found = mapping.find(number % NODE_BAND);
        if (found != mapping.end())
            number = number / NODE_BAND * NODE_BAND + found->second;
    };
    for (AllowableLoad& a : allowables())
        mapped(a.node);
    for (PumpRecord& p : pumps()) {
        mapped(p.suction_node);
        mapped(p.discharge_node);
    }
    for (OneBased<CompressorRecord>* list : {&compressors(), &turbines()})
        for (CompressorRecord& c : *list)
            for (int32_t* node : {&c.inlet, &c.exhaust, &c.extraction1, &c.extraction2})
                mapped(*node);
    notify_document_changed();
}

void install_equipment()
{
    support_results_context().allowable = [](int node, std::array<float, 6>& values) {
        return allowable_values_at_node(node, values);
    };
    register_record_section<PumpRecord>({SECTION_PUMPS, "Pump", pumps, pump_bytes, read_pump, write_pump, pump_fault});
    auto fixed = [](std::size_t bytes) { return [bytes](int32_t) { return bytes; }; };
    register_record_section<CompressorRecord>({SECTION_COMPRESSORS, "Compressor", compressors,
                                               fixed(COMPRESSOR_RECORD_BYTES), read_compressor, write_compressor,
                                               compressor_fault});
    register_record_section<CompressorRecord>({SECTION_TURBINES, "Turbine", turbines, fixed(COMPRESSOR_RECORD_BYTES),
                                               read_compressor, write_compressor, compressor_fault});
    register_record_section<AllowableLoad>({SECTION_ALLOWABLES, "Allowable", allowables,
                                            fixed(ALLOWABLE_RECORD_BYTES), read_allowable, write_allowable,
                                            allowable_fault});
}
