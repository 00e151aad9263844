// Named sets: the property records that layout rows and other records name
// (pipe materials, pipe sections, soils, beam materials, beam sections, and
// the pipe loads, beam loads, spectra, time functions, valves, allowables...
// to come), and the one registry of the places that name their entries.
//
// A set is a NamedSet<T>: records numbered from 1 (as OneBased), looked up by
// exact name (the first match wins), kept as a part of the document. Its
// NamedSetRules say what the set needs beyond that: its key and name space,
// its file section and record layout, its limit and messages. From the rules
// install_named_set() makes the set's model-file section (read, write, clear,
// merge) and registers the set, so that the generic operations below serve
// every set alike:
//
//   entry_name_taken    is a name used in the set's name space?
//   free_number_name    the first of "1".."999" not used there
//   names_after_merge   the names a merge gives its records, clashes renamed
//   name_in_use         does any place name this entry?
//   rename_entry        the entry and every place that names it take a new name
//   merge_named_set     append a merged file's records, renaming clashes
//
// Sets whose names must differ from each other's (pipe and beam materials,
// pipe and beam sections) share a name space: the same `name_space` string.
//
// The places that name entries register a NameReference: how to visit the
// names they hold in the document, and in what a merge brings. A layout-row
// column registers through register_row_reference.
//
// To add a set (a pipe load, say):
//   1. The record type, with a `std::string name` member and read/write of
//      one file record.
//   2. Its rules, built once by a function of its module:
//        NamedSetRules<PipeLoad> rules;
//        rules.key = "pipe loads";  rules.name_space = "pipe loads";
//        rules.noun = "Load";       rules.described_as = "a pipe load";
//        rules.section = SECTION_PIPE_LOADS;  rules.limit = MAXLOADS;
//        rules.name_limit = NAME_LENGTH;
//        rules.smallest_record = [](int32_t version) { return ...; };
//        rules.read_record = ...;  rules.write_record = ...;
//   3. An accessor: NamedSet<PipeLoad>& pipe_loads() { return named_set<PipeLoad>(); }
//   4. At the layer's install: install_named_set(rules), and for each place
//      that names a load, register_row_reference(...) or
//      register_name_reference(...).
//   5. In its window layer: the table and dialog use the helpers of
//      model/ui/named_set_ui.h (name checks, rename question, insert, delete).
#pragma once

#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/one_based.h"
#include "framework/strings.h"
#include "model/model_file.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

class BinFile;
struct LayoutRow;

// The highest number a merge or a free-name search gives.
inline constexpr int MAX_NUMBER_NAME = 999;

template <typename T>
class NamedSet : public OneBased<T> {
public:
    // Index 1..size() of the first record named exactly `name`; 0 for an
    // empty name or none.
    int index(const std::string& name) const
    {
        if (name.empty())
            return 0;
        for (int i = 1; i <= this->size(); ++i)
            if ((*this)[i].name == name)
                return i;
        return 0;
    }
    // The first record appended by the merge in progress (0: none).
    int merged_from = 0;
};

// The set of record type T in the document.
template <typename T>
NamedSet<T>& named_set()
{
    return document().part<NamedSet<T>>();
}

// Visits one name a place holds; the visitor may change it.
using NameVisitor = std::function<void(std::string& name)>;

// A place that names the entries of one set.
struct NameReference {
    std::string set;     // the key of the set it names
    std::string place;   // what holds the names ("layout rows' Material"); one reference per set and place
    // Set for a place that may name an entry of any set of the name space
    // (a bend's own material): a rename or an in-use test of any of those
    // sets looks at it. A merge renames it with its own set only.
    bool whole_name_space = false;
    // Visits every such name in the document.
    std::function<void(const NameVisitor&)> in_document;
    // Visits every such name among what a merge brings (its rows before they
    // are appended, the records appended by the merge so far); may be empty.
    std::function<void(ModelMerge&, const NameVisitor&)> in_merge;
};
// Adds the reference, or replaces the one of the same set and place.
void register_name_reference(NameReference reference);
// A place in layout rows: `visit` gives the names a row holds for the set
// (a column, or a name its element object keeps); both the model's rows and a
// merge's rows are visited.
void register_row_reference(const std::string& set, const std::string& place,
                            std::function<void(LayoutRow& row, const NameVisitor& visit)> visit,
                            bool whole_name_space = false);

// What the generic operations know of a set.
struct NamedSetInfo {
    std::string key;                 // "pipe materials"
    std::string name_space;          // sets with the same one share their names
    std::string noun;                // "Material": messages about an entry
    std::string described_as;        // "a pipe material": a clash with another set
    std::size_t name_limit = 0;      // characters a name may have
    std::function<int(const std::string& name)> index;
    // Every name of the set's entries.
    std::function<std::vector<std::string>()> names;
    std::function<void(int index, const std::string& name)> set_name;
    std::function<void()> begin_merge;
    // While true nothing is in use (a library edited in the set's place).
    std::function<bool()> library_mode;
};
// The set registered under the key; an internal error when none is.
const NamedSetInfo& named_set_info(const std::string& key);
bool named_set_registered(const std::string& key);

// True when a set of the key's name space has an entry of that name.
bool entry_name_taken(const std::string& key, const std::string& name);
// The first of "1".."999" that no set of the name space uses and that is not
// in `also_taken`; empty when all are used.
std::string free_number_name(const std::string& key, const std::set<std::string>& also_taken = {});
// Every name that a set of the key's name space uses.
std::unordered_set<std::string> name_space_names(const std::string& key);

// The names that records named `names` take when a merge appends them, in
// order, to a name space whose entries are named `taken`: a name already
// taken (by the name space, or by a record appended before it) becomes the
// first of "1".."999" that is not taken and, with `avoid_names`, that none
// of `names` is; an empty name stays. `refused` is the first name (from 1)
// that clashes and finds no free number (0: none); it and the names after
// it keep their own. A number passed over stays taken, so the search goes
// on from where it stopped: a merge of thousands of names takes one pass.
struct MergedNames {
    std::vector<std::string> names;
    std::size_t refused = 0;
};
MergedNames names_after_merge(std::unordered_set<std::string> taken, const std::vector<std::string>& names,
                              bool avoid_names);
// The refusal of a merge whose `name` of the kind (MergeRename::kind) finds no
// free name: "Materials of the merged file: no free name for M1000 (1 to 999
// are all taken)."
std::string no_free_name_text(const std::string& kind, const std::string& name);

// The name checks of an entry's editors for the entry at `index` of the set
// (0: not stored yet), in order: "Name is required", "Name = X is too long"
// (its characters counted, name_fault), "Name = X should be alpha
// numeric", "<Noun> = X is already defined as <another set>", "<Noun> = X
// is already defined". Throws the first failure;
// item_text() holds the name for the messages.
void check_entry_name(const std::string& key, const std::string& name, int index);
// True when a place of the set (or one that may name any set of its name
// space) names the entry. False for an empty name and in library mode.
bool name_in_use(const std::string& key, const std::string& name);
// Every place of the set (or one that may name any set of its name space)
// that names `old_name` takes `new_name`, then the set's entry of that name;
// marks the model modified and notifies the change. Nothing for an empty or
// unchanged name.
void rename_entry(const std::string& key, const std::string& old_name, const std::string& new_name);
// The places that name the set's entries among what the merge brings take
// the new names, each looked up once by its original name.
void rename_merged_references(const std::string& key, ModelMerge& merge,
                              const std::map<std::string, std::string>& renames);
// Called by the merge before any set appends: no set has merged records yet.
void begin_named_set_merges();

// What names a record of a file in a message about it: "Material 2 (CS1): "
// (the noun, the record's number in its section and, when it has one, its
// name), so that a bad field can be found in the file and in the editor.
std::string named_set_record_label(const std::string& noun, int index, const std::string& name);

// The registry entry behind install_named_set.
void register_named_set(NamedSetInfo info);
// The count of a section, and the checks of the file it is read from (kept
// out of line so that this header needs no BinFile).
int32_t read_named_set_count(BinFile& file);
void write_named_set_count(BinFile& file, int32_t count);
bool named_set_file_error(BinFile& file);
bool named_set_file_fits(BinFile& file, int32_t count, std::size_t record_bytes);

// ---- The rules of a set and what is made from them ---------------------------------

template <typename T>
struct NamedSetRules {
    std::string key;
    std::string name_space;
    std::string noun;
    std::string described_as;
    // What the note of a merge calls an entry that it renamed ("material",
    // "beam section"); the noun in lower case when empty.
    std::string merged_kind;
    std::size_t name_limit = 5;
    int section = -1;                // the model-file section
    int32_t limit = 0;               // records a file or a merge may bring
    // The message of a merge that would pass the limit.
    std::function<std::string()> limit_message;
    // A new name from a merge is never a name the merged file brings along.
    bool avoid_merged_names = false;
    // The bytes of the smallest record at a file version, to check a count
    // against the bytes left.
    std::function<std::size_t(int32_t version)> smallest_record;
    // A count out of range, and (when not empty) a count the file's bytes
    // cannot hold.
    std::function<std::string(int32_t count)> count_message;
    std::string short_file_message;
    std::function<void(T& record, BinFile& file)> read_record;
    std::function<void(const T& record, BinFile& file)> write_record;
    // Checks of a merge beyond the limit (throws a message); may be empty.
    std::function<void(const OneBased<T>& merged)> check_merged;
    std::function<bool()> library_mode;
};

template <typename T>
std::string merged_kind_of(const NamedSetRules<T>& rules)
{
    return rules.merged_kind.empty() ? lower_case(rules.noun) : rules.merged_kind;
}

// The names the merged records take, in order (names_after_merge), when the
// name space holds its entries and `appended`, the names appended before them.
template <typename T>
MergedNames merged_record_names(const NamedSetRules<T>& rules, const OneBased<T>& merged,
                                const std::vector<std::string>& appended = {})
{
    std::unordered_set<std::string> taken = name_space_names(rules.key);
    taken.insert(appended.begin(), appended.end());
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(merged.size()));
    for (const T& r : merged)
        names.push_back(r.name);
    return names_after_merge(std::move(taken), names, rules.avoid_merged_names);
}

// Throws the limit message when the set and `merged` together pass the limit,
// then runs the set's own check, then refuses a clashing name that would
// find no free name (seeing the names that the sets of its name space
// checked before it in `merge` will append, and noting its own there).
template <typename T>
void check_merge_named_set(const NamedSetRules<T>& rules, const OneBased<T>& merged, ModelMerge& merge)
{
    if (static_cast<long>(named_set<T>().size()) + merged.size() > rules.limit)
        throw_message(rules.limit_message());
    if (rules.check_merged)
        rules.check_merged(merged);
    std::vector<std::string>& appended = merge.checked_names[rules.name_space];
    const MergedNames given = merged_record_names(rules, merged, appended);
    if (given.refused != 0)
        throw_message(no_free_name_text(merged_kind_of(rules), given.names[given.refused - 1]));
    appended.insert(appended.end(), given.names.begin(), given.names.end());
}
template <typename T>
void check_merge_named_set(const NamedSetRules<T>& rules, const OneBased<T>& merged)
{
    ModelMerge merge;
    check_merge_named_set(rules, merged, merge);
}

// Appends the merged records in order under the names merged_record_names
// gives them (a clash that finds no free name, which the check refuses,
// keeps its own); the places that name the set's entries among what the
// merge brings then follow, looked up by their original names. Returns the
// renames (original -> new); merge.renames gets each as well, in order.
template <typename T>
std::map<std::string, std::string> merge_named_set(const NamedSetRules<T>& rules, OneBased<T>& merged,
                                                   ModelMerge& merge)
{
    const MergedNames given = merged_record_names(rules, merged);
    std::map<std::string, std::string> renames;
    NamedSet<T>& set = named_set<T>();
    set.merged_from = merged.size() > 0 ? set.size() + 1 : 0;
    std::size_t i = 0;
    for (T& record : merged) {
        const std::string& name = given.names[i++];
        if (name != record.name) {
            renames.emplace(record.name, name);
            merge.renames.push_back({merged_kind_of(rules), record.name, name});
            record.name = name;
        }
        set.push_back(std::move(record));
    }
    merged.clear();
    if (!renames.empty())
        rename_merged_references(rules.key, merge, renames);
    return renames;
}

// Registers the set and makes its model-file section: the payload is the
// record count, then the records. A read checks the count against the limit
// and the bytes left before it allocates, and puts the record's label
// (named_set_record_label) before the message of a record it refuses;
// reading or clearing the section notifies DocumentChange::Cleared for it
// (what a table holds half typed for the set goes with the model).
template <typename T>
void install_named_set(const NamedSetRules<T>& rules)
{
    NamedSetInfo info;
    info.key = rules.key;
    info.name_space = rules.name_space;
    info.noun = rules.noun;
    info.described_as = rules.described_as;
    info.name_limit = rules.name_limit;
    info.index = [](const std::string& name) { return named_set<T>().index(name); };
    info.names = [] {
        std::vector<std::string> names;
        for (const T& r : named_set<T>())
            names.push_back(r.name);
        return names;
    };
    info.set_name = [](int index, const std::string& name) {
        if (named_set<T>().valid(index))
            named_set<T>()[index].name = name;
    };
    info.begin_merge = [] { named_set<T>().merged_from = 0; };
    info.library_mode = rules.library_mode;
    register_named_set(std::move(info));

    class Contents final : public SectionContents {
    public:
        explicit Contents(const NamedSetRules<T>& r) : rules_(r) {}
        OneBased<T> records;
        void install(Model&) override
        {
            static_cast<OneBased<T>&>(named_set<T>()) = std::move(records);
            named_set<T>().merged_from = 0;
            notify_document_changed({DocumentChange::Cleared, rules_.section});
        }
        void check_merge(ModelMerge& merge) const override { check_merge_named_set(rules_, records, merge); }
        void merge(ModelMerge& merge) override { merge_named_set(rules_, records, merge); }

    private:
        NamedSetRules<T> rules_;
    };

    ModelSectionOwner owner;
    owner.read = [rules](BinFile& file) -> std::unique_ptr<SectionContents> {
        const int32_t count = read_named_set_count(file);
        if (named_set_file_error(file))
            return nullptr;
        if (count < 0 || count > rules.limit)
            throw_message(rules.count_message(count));
        if (!named_set_file_fits(file, count, rules.smallest_record(model_file_version())))
            throw_message(rules.short_file_message.empty() ? rules.count_message(count) : rules.short_file_message);
        auto contents = std::make_unique<Contents>(rules);
        contents->records.resize(count);
        for (int i = 1; i <= count; ++i) {
            T& record = contents->records[i];
            try {
                rules.read_record(record, file);
            } catch (const MessageText& m) {
                throw_message(named_set_record_label(rules.noun, i, record.name) + m.text);
            }
        }
        return contents;
    };
    owner.write = [rules](BinFile& file) {
        const NamedSet<T>& set = named_set<T>();
        write_named_set_count(file, set.size());
        for (const T& record : set)
            rules.write_record(record, file);
    };
    owner.clear = [section = rules.section] {
        named_set<T>().clear();
        named_set<T>().merged_from = 0;
        notify_document_changed({DocumentChange::Cleared, section});
    };
    register_model_section(rules.section, std::move(owner));
}
