// The model file: header, section registry, and the reader, writer and merge
// that walk the sections in their fixed order.
#include "model/model_file.h"

#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "model/bend_geometry.h"
#include "model/element_data.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/nodes.h"
#include "platform/file_replace.h"

#include <array>
#include <cctype>
#include <cstring>
#include <limits>
#include <set>

namespace {

struct SectionInfo {
    const char* name;
    int32_t first_version;
};

// By ModelSectionId.
const std::array<SectionInfo, NUM_MODEL_SECTIONS> SECTION_INFO = {{
    {"Title", OLDEST_MODEL_FILE_VERSION},
    {"QA block", OLDEST_MODEL_FILE_VERSION},
    {"Analysis options", OLDEST_MODEL_FILE_VERSION},
    {"Units", OLDEST_MODEL_FILE_VERSION},
    {"Load cases", OLDEST_MODEL_FILE_VERSION},
    {"View settings", OLDEST_MODEL_FILE_VERSION},
    {"Pipe materials", OLDEST_MODEL_FILE_VERSION},
    {"Pipe sections", OLDEST_MODEL_FILE_VERSION},
    {"Pipe loads", OLDEST_MODEL_FILE_VERSION},
    {"Beam materials", OLDEST_MODEL_FILE_VERSION},
    {"Beam sections", OLDEST_MODEL_FILE_VERSION},
    {"Beam loads", OLDEST_MODEL_FILE_VERSION},
    {"Valves", OLDEST_MODEL_FILE_VERSION},
    {"Wind", OLDEST_MODEL_FILE_VERSION},
    {"Seismic", OLDEST_MODEL_FILE_VERSION},
    {"Hydrotest", OLDEST_MODEL_FILE_VERSION},
    {"Pumps", OLDEST_MODEL_FILE_VERSION},
    {"Compressors", OLDEST_MODEL_FILE_VERSION},
    {"Turbines", OLDEST_MODEL_FILE_VERSION},
    {"Spectra", OLDEST_MODEL_FILE_VERSION},
    {"Force spectra", OLDEST_MODEL_FILE_VERSION},
    {"Time functions", OLDEST_MODEL_FILE_VERSION},
    {"Response spectrum", 1023},
    {"Soils", 502},
    {"Allowables", 691},
    {"Layout rows", OLDEST_MODEL_FILE_VERSION},
    {"Nodes", OLDEST_MODEL_FILE_VERSION},
    {"Revision record", OLDEST_MODEL_FILE_VERSION},
}};

// The version of the file being read.
struct ModelFileReading {
    int32_t version = MODEL_FILE_VERSION;
};
ModelFileReading& model_file_reading() { return session_part<ModelFileReading>(); }

struct SectionOwners {
    std::array<ModelSectionOwner, NUM_MODEL_SECTIONS> value{};
};

// Owners installed by the subsystems, by section id.
std::array<ModelSectionOwner, NUM_MODEL_SECTIONS>& registered_owners()
{
    return session_part<SectionOwners>().value;
}

const std::array<ModelSectionOwner, NUM_MODEL_SECTIONS>& builtin_owners()
{
    static const std::array<ModelSectionOwner, NUM_MODEL_SECTIONS> owners = [] {
        std::array<ModelSectionOwner, NUM_MODEL_SECTIONS> made;
        for (int id = 0; id < NUM_MODEL_SECTIONS; ++id)
            made[static_cast<std::size_t>(id)] = builtin_model_section_owner(id);
        return made;
    }();
    return owners;
}

const ModelSectionOwner* owner_of(int id)
{
    const auto index = static_cast<std::size_t>(id);
    if (registered_owners()[index].read)
        return &registered_owners()[index];
    if (builtin_owners()[index].read)
        return &builtin_owners()[index];
    return nullptr;
}

std::string lower_first(const char* name)
{
    std::string text = name;
    // "QA block" keeps its capitals; other names read as ordinary words.
    if (text.size() > 1 && text[1] >= 'a' && text[1] <= 'z' && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

// A failure to read a file: what was being done, the file, and what is wrong.
class FileFailure {
public:
    FileFailure(const char* action, const std::string& path) : action_(action), path_(path) {}
    [[noreturn]] void operator()(const std::string& what) const
    {
        throw MessageText(std::string(action_) + ":\n" + (path_.empty() ? "" : path_ + "\n") + what);
    }

private:
    const char* action_;
    const std::string& path_;
};

// Checks the 16-byte header and returns the file's version.
int32_t read_header(BinFile& file, const FileFailure& fail)
{
    const int64_t size = file.size();
    if (size < static_cast<int64_t>(MODEL_FILE_MAGIC_LENGTH))
        fail("It is not a model file.");
    char header[MODEL_FILE_HEADER_SIZE] = {};
    file.read(header, size < static_cast<int64_t>(MODEL_FILE_HEADER_SIZE) ? static_cast<std::size_t>(size)
                                                                            : MODEL_FILE_HEADER_SIZE);
    const std::string magic(header, MODEL_FILE_MAGIC_LENGTH);
    if (magic == OLD_MODEL_FILE_MAGIC_1 || magic == OLD_MODEL_FILE_MAGIC_2)
        fail("It is in an old model file format that this version of the program cannot read.");
    if (magic != MODEL_FILE_MAGIC)
        fail("It is not a model file.");
    if (size < static_cast<int64_t>(MODEL_FILE_HEADER_SIZE) || file.error())
        fail("Its header is damaged.");
    int32_t version = 0;
    for (std::size_t i = MODEL_FILE_MAGIC_LENGTH; i < MODEL_FILE_MAGIC_LENGTH + 4; ++i) {
        if (header[i] < '0' || header[i] > '9')
            fail("Its header is damaged.");
        version = version * 10 + (header[i] - '0');
    }
    if (version > MODEL_FILE_VERSION)
        fail(c_format("Model file version = %.2f\nProgram version = %.2f\nIt was written by a newer version of the "
                      "program.",
                      version / 100.0, MODEL_FILE_VERSION / 100.0));
    if (version < OLDEST_MODEL_FILE_VERSION)
        fail(c_format("Model file version = %.2f\nThis version of the program reads versions from %.2f on.",
                      version / 100.0, OLDEST_MODEL_FILE_VERSION / 100.0));
    return version;
}

using AllContents = std::array<std::unique_ptr<SectionContents>, NUM_MODEL_SECTIONS>;

// Reads every section of the file's version (set as model_file_version())
// into contents objects, checking each section's end and the file's end.
// Every section in file order, each framed by its length.
void write_sections(BinFile& file)
{
    for (int id = 0; id < NUM_MODEL_SECTIONS; ++id) {
        const int64_t start = begin_framed_record(file);
        if (const ModelSectionOwner* owner = owner_of(id))
            owner->write(file);
        else
            file.write_int(0);
        end_framed_record(file, start);
    }
}

AllContents read_sections(BinFile& file, const FileFailure& fail, bool for_merge)
{
    AllContents contents;
    const bool framed = model_file_framed();
    for (int id = 0; id < NUM_MODEL_SECTIONS; ++id) {
        if (model_file_version() < model_section_first_version(id))
            continue;
        const std::string name = lower_first(model_section_name(id));
        auto damaged = [&] {
            if (file.remaining() == 0)
                fail("The file ends inside the " + name + " section.");
            fail("The " + name + " section is damaged.");
        };

        int64_t end = 0;
        if (framed) {
            const int32_t length = file.read_int();
            if (file.error())
                fail("The file ends before the " + name + " section.");
            if (length < 0)
                fail("The " + name + " section is damaged.");
            if (length > file.remaining())
                fail("The file ends inside the " + name + " section.");
            end = file.tell() + length;
        }
        const ModelSectionOwner* owner = owner_of(id);
        if (!owner) {
            const int32_t count = file.read_int();
            if (!file.error() && count != 0)
                fail("It holds " + name + ", which this version of the program cannot read.");
        } else {
            try {
                const auto& reader = for_merge && owner->read_merge ? owner->read_merge : owner->read;
                contents[static_cast<std::size_t>(id)] = reader(file);
            } catch (const MessageText& m) {
                fail(std::string(model_section_name(id)) + ": " + m.text);
            }
        }
        if (file.error() || (framed && file.tell() != end))
            damaged();
    }
    if (file.remaining() != 0)
        fail("It holds unexpected data after its last section.");
    return contents;
}

}  // namespace

// ---- Version ------------------------------------------------------------------------

int32_t model_file_version()
{
    return model_file_reading().version;
}

void set_model_file_version(int32_t version)
{
    model_file_reading().version = version;
}

ModelFileVersionScope::ModelFileVersionScope(int32_t version) : saved_(model_file_reading().version)
{
    model_file_reading().version = version;
}

ModelFileVersionScope::~ModelFileVersionScope()
{
    model_file_reading().version = saved_;
}

std::size_t model_file_name_width()
{
    return model_file_version() < SIX_BYTE_NAMES_VERSION ? 4 : NAME_FIELD_WIDTH;
}

bool model_file_framed()
{
    return model_file_version() >= FRAMED_MODEL_FILE_VERSION;
}

// ---- Registry ---------------------------------------------------------------------------

const char* model_section_name(int id)
{
    KV_ASSERT(id >= 0 && id < NUM_MODEL_SECTIONS);
    return SECTION_INFO[static_cast<std::size_t>(id)].name;
}

int32_t model_section_first_version(int id)
{
    KV_ASSERT(id >= 0 && id < NUM_MODEL_SECTIONS);
    return SECTION_INFO[static_cast<std::size_t>(id)].first_version;
}

void register_model_section(int id, ModelSectionOwner owner)
{
    KV_ASSERT(id >= 0 && id < NUM_MODEL_SECTIONS);
    KV_ASSERT(owner.read && owner.write);
    registered_owners()[static_cast<std::size_t>(id)] = std::move(owner);
}

void unregister_model_section(int id)
{
    KV_ASSERT(id >= 0 && id < NUM_MODEL_SECTIONS);
    registered_owners()[static_cast<std::size_t>(id)] = ModelSectionOwner{};
}

bool model_section_owned(int id)
{
    KV_ASSERT(id >= 0 && id < NUM_MODEL_SECTIONS);
    return owner_of(id) != nullptr;
}

void clear_model_sections()
{
    for (int id = 0; id < NUM_MODEL_SECTIONS; ++id) {
        if (const ModelSectionOwner* owner = owner_of(id); owner && owner->clear)
            owner->clear();
    }
}

// ---- Framing ----------------------------------------------------------------------------

int64_t begin_framed_record(BinFile& file)
{
    const int64_t start = file.tell();
    file.begin_record();
    return start;
}

void end_framed_record(BinFile& file, [[maybe_unused]] int64_t start)
{
    file.end_record();
}

// ---- Read, write, merge -------------------------------------------------------------------

void read_model(const std::string& path, const std::function<void()>& before_install)
{
    const FileFailure fail("Unable to read model file", path);
    BinFile file;
    if (!file.open_read(path))
        throw MessageText(with_reason("Unable to open model file:\n" + path, file.failure()));
    ModelFileVersionScope version(read_header(file, fail));
    AllContents contents = read_sections(file, fail, false);
    const FileStamp stamp = file.stamp();
    file.close();
    if (before_install)
        before_install();

    // From here on nothing fails: the model is replaced as a whole.
    Model fresh;
    for (int id = 0; id < NUM_MODEL_SECTIONS; ++id) {
        if (auto& c = contents[static_cast<std::size_t>(id)])
            c->install(fresh);
        else if (const ModelSectionOwner* owner = owner_of(id); owner && owner->clear)
            owner->clear();
    }
    fresh.current_row = fresh.numrows() > 0 ? 1 : 0;
    model() = std::move(fresh);
    make_model();
    remember_model_file(path, stamp);
}

void write_model_file(const std::string& path)
{
    make_model();
    recount_flanged_bend_ends();

    BinFile file;
    if (file.open_write(path)) {
        char header[MODEL_FILE_HEADER_SIZE] = {};
        std::memcpy(header, MODEL_FILE_MAGIC, MODEL_FILE_MAGIC_LENGTH);
        const std::string digits = c_format("%04d", static_cast<int>(MODEL_FILE_VERSION));
        std::memcpy(header + MODEL_FILE_MAGIC_LENGTH, digits.data(), 4);
        file.write(header, sizeof header);
        write_sections(file);
        if (file.close()) {
            remember_model_file(path, file.stamp());
            return;
        }
    }
    // The system's reason, or that the file is read-only, after the path.
    throw MessageText(with_reason("Unable to write model file:\n" + path, file.failure()));
}

std::string model_read_refusal()
{
    BinFile file;
    if (!file.open_scratch())
        return {};
    write_sections(file);
    if (!file.reread())
        return {};
    const ModelFileVersionScope version(MODEL_FILE_VERSION);
    try {
        read_sections(file, FileFailure("Saved and opened again, the model would be refused", ""), false);
    } catch (const MessageText& refusal) {
        return refusal.text;
    }
    return {};
}

namespace {

// The node numbers, ascending, at which the rows from `first` on meet the
// rows before them: a node that an earlier row made and that such a row ends
// at, starts its element from or puts on its bend's arc.
std::vector<int32_t> nodes_met_from(int first)
{
    const Model& m = model();
    std::set<int32_t> met;
    const auto note = [&](int index) {
        if (m.nodes.valid(index) && m.nodes[index].row < first)
            met.insert(m.nodes[index].number);
    };
    for (int row = first; row <= m.numrows(); ++row) {
        const LayoutRow& r = m.rows[row];
        note(r.node_index);
        if (etype_is_element(r.etype))
            note(r.from_node);
        if (const BendGeometry* bend = r.element ? r.element->bend_geometry() : nullptr)
            for (const int32_t number : {bend->node1, bend->node2})
                if (number != 0)
                    note(node_index(number));
    }
    return {met.begin(), met.end()};
}

}  // namespace

std::string merged_entries_of_kind(const std::string& kind)
{
    std::string text = kind;
    // "spectrum" -> "spectra", "material" -> "materials".
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "um") == 0)
        text.replace(text.size() - 2, 2, "a");
    else
        text += "s";
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text + " of the merged file";
}

MergeOutcome merge_model(const std::string& path)
{
    const FileFailure fail("Unable to merge model file", path);
    BinFile file;
    if (!file.open_read(path))
        throw MessageText(with_reason("Unable to open model file:\n" + path, file.failure()));
    ModelFileVersionScope version(read_header(file, fail));
    AllContents contents = read_sections(file, fail, true);
    file.close();

    ModelMerge merge;
    merge.version = model_file_version();
    merge.rows = merged_layout_rows(contents[SECTION_LAYOUT_ROWS].get());
    try {
        for (const auto& c : contents) {
            if (c)
                c->check_merge(merge);
        }
    } catch (const MessageText& m) {
        fail(m.text);
    }
    const int first_merged_row = numrows() + 1;
    for (const auto& c : contents) {
        if (c)
            c->merge(merge);
    }
    model_changed();
    return {std::move(merge.renames), nodes_met_from(first_merged_row)};
}
