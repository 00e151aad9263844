#include "model/named_set.h"

#include "framework/binfile.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "model/model.h"

#include <vector>

namespace {

struct NamedSetRegistry {
    std::map<std::string, NamedSetInfo> sets;
    std::vector<NameReference> references;
};

NamedSetRegistry& registry() { return session_part<NamedSetRegistry>(); }

// The places that name the key's entries: those of the set, and those that
// may name any set of its name space.
template <typename F>
void for_each_reference_to(const std::string& key, F&& f)
{
    const std::string& space = named_set_info(key).name_space;
    for (const NameReference& r : registry().references) {
        if (!r.in_document)
            continue;
        auto it = registry().sets.find(r.set);
        const bool same_space = it != registry().sets.end() && it->second.name_space == space;
        if (r.set == key || (r.whole_name_space && same_space))
            f(r);
    }
}

}  // namespace

void register_named_set(NamedSetInfo info)
{
    KV_ASSERT(!info.key.empty() && !info.name_space.empty());
    const std::string key = info.key;
    registry().sets[key] = std::move(info);
}

void register_name_reference(NameReference reference)
{
    for (NameReference& r : registry().references) {
        if (r.set == reference.set && r.place == reference.place) {
            r = std::move(reference);
            return;
        }
    }
    registry().references.push_back(std::move(reference));
}

void register_row_reference(const std::string& set, const std::string& place,
                            std::function<void(LayoutRow&, const NameVisitor&)> visit, bool whole_name_space)
{
    NameReference r;
    r.set = set;
    r.place = place;
    r.whole_name_space = whole_name_space;
    r.in_document = [visit](const NameVisitor& v) {
        for (LayoutRow& row : model().rows)
            visit(row, v);
    };
    r.in_merge = [visit](ModelMerge& merge, const NameVisitor& v) {
        if (merge.rows)
            for (LayoutRow& row : *merge.rows)
                visit(row, v);
    };
    register_name_reference(std::move(r));
}

const NamedSetInfo& named_set_info(const std::string& key)
{
    auto it = registry().sets.find(key);
    KV_ASSERT(it != registry().sets.end());
    return it->second;
}

bool named_set_registered(const std::string& key) { return registry().sets.count(key) != 0; }

bool entry_name_taken(const std::string& key, const std::string& name)
{
    if (name.empty())
        return false;
    const std::string& space = named_set_info(key).name_space;
    for (const auto& [k, info] : registry().sets)
        if (info.name_space == space && info.index(name) != 0)
            return true;
    return false;
}

std::string free_number_name(const std::string& key, const std::set<std::string>& also_taken)
{
    for (int n = 1; n <= MAX_NUMBER_NAME; ++n) {
        std::string name = std::to_string(n);
        if (!also_taken.count(name) && !entry_name_taken(key, name))
            return name;
    }
    return {};
}

std::unordered_set<std::string> name_space_names(const std::string& key)
{
    std::unordered_set<std::string> names;
    const std::string& space = named_set_info(key).name_space;
    for (const auto& [k, info] : registry().sets)
        if (info.name_space == space && info.names)
            for (std::string& name : info.names())
                names.insert(std::move(name));
    return names;
}

MergedNames names_after_merge(std::unordered_set<std::string> taken, const std::vector<std::string>& names,
                              bool avoid_names)
{
    std::unordered_set<std::string> avoided;
    if (avoid_names)
        avoided.insert(names.begin(), names.end());
    MergedNames out;
    out.names.reserve(names.size());
    int next = 1;
    std::string number = "1";
    const auto free = [&] { return !taken.count(number) && !avoided.count(number); };
    for (const std::string& name : names) {
        std::string given = name;
        if (!name.empty() && taken.count(name)) {
            while (next <= MAX_NUMBER_NAME && !free())
                number = std::to_string(++next);
            if (next <= MAX_NUMBER_NAME)
                given = number;
            else if (out.refused == 0)
                out.refused = out.names.size() + 1;
        }
        if (!given.empty())
            taken.insert(given);
        out.names.push_back(std::move(given));
    }
    return out;
}

std::string no_free_name_text(const std::string& kind, const std::string& name)
{
    return merged_entries_of_kind(kind) + ": no free name for " + name + " (1 to " +
           std::to_string(MAX_NUMBER_NAME) + " are all taken).";
}

void check_entry_name(const std::string& key, const std::string& name, int index)
{
    const NamedSetInfo& info = named_set_info(key);
    item_text() = name;
    if (name.empty())
        throw_required("Name");
    switch (name_fault(name, info.name_limit)) {
    case NameFault::NONE: break;
    case NameFault::NOT_ALPHANUMERIC: throw_invalid_text("Name", "should be alpha numeric");
    default: throw_invalid_text("Name", "is too long");
    }
    for (const auto& [k, other] : registry().sets)
        if (k != key && other.name_space == info.name_space && other.index(name) != 0)
            throw_invalid_text(info.noun, "is already defined as " + other.described_as);
    const int found = info.index(name);
    if (found != 0 && found != index)
        throw_invalid_text(info.noun, "is already defined");
}

bool name_in_use(const std::string& key, const std::string& name)
{
    const NamedSetInfo& info = named_set_info(key);
    if (name.empty() || (info.library_mode && info.library_mode()))
        return false;
    bool used = false;
    for_each_reference_to(key, [&](const NameReference& r) {
        if (!used)
            r.in_document([&](std::string& held) { used = used || held == name; });
    });
    return used;
}

void rename_entry(const std::string& key, const std::string& old_name, const std::string& new_name)
{
    if (old_name.empty() || old_name == new_name)
        return;
    for_each_reference_to(key, [&](const NameReference& r) {
        r.in_document([&](std::string& held) {
            if (held == old_name)
                held = new_name;
        });
    });
    const NamedSetInfo& info = named_set_info(key);
    if (const int i = info.index(old_name))
        info.set_name(i, new_name);
    model_modified() = true;
    notify_document_changed();
}

void rename_merged_references(const std::string& key, ModelMerge& merge,
                              const std::map<std::string, std::string>& renames)
{
    for (const NameReference& r : registry().references) {
        if (r.set != key || !r.in_merge)
            continue;
        r.in_merge(merge, [&](std::string& held) {
            auto it = renames.find(held);
            if (it != renames.end())
                held = it->second;
        });
    }
}

void begin_named_set_merges()
{
    for (auto& [k, info] : registry().sets)
        if (info.begin_merge)
            info.begin_merge();
}

std::string named_set_record_label(const std::string& noun, int index, const std::string& name)
{
    std::string label = noun + " " + std::to_string(index);
    if (!name.empty())
        label += " (" + name + ")";
    return label + ": ";
}

int32_t read_named_set_count(BinFile& file) { return file.read_int(); }
void write_named_set_count(BinFile& file, int32_t count) { file.write_int(count); }
bool named_set_file_error(BinFile& file) { return file.error(); }
bool named_set_file_fits(BinFile& file, int32_t count, std::size_t record_bytes)
{
    return file.fits(count, record_bytes);
}
