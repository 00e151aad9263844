// Named sets and the registry of the places that name their entries: look-up,
// name spaces shared by two sets, free names, the editors' name checks,
// rename and in-use through registered places, the two merge policies, and
// the model-file section a set's rules make.
#include "framework/binfile.h"
#include "model/data/model_file_fixture.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/named_set.h"

#include <gtest/gtest.h>

namespace {

// Test records: a name and one value, written as a 6-byte name and an int32.
template <int Kind>
struct Tag {
    std::string name;
    int32_t value = 0;
};
using RedTag = Tag<1>;    // "red" and "blue" share the name space "colours"
using BlueTag = Tag<2>;
using LoneTag = Tag<3>;   // alone in its name space

template <typename T>
NamedSetRules<T> tag_rules(const char* key, const char* space, const char* described_as, int section)
{
    NamedSetRules<T> r;
    r.key = key;
    r.name_space = space;
    r.noun = "Tag";
    r.described_as = described_as;
    r.name_limit = 5;
    r.section = section;
    r.limit = 5;
    r.limit_message = [] { return std::string("Too many tags"); };
    r.smallest_record = [](int32_t) { return std::size_t{10}; };
    r.count_message = [](int32_t count) { return "Tag count " + std::to_string(count) + " is out of range"; };
    r.short_file_message = "The file ends inside the tags";
    r.read_record = [](T& t, BinFile& f) {
        t.name = read_row_name(f);
        t.value = f.read_int();
    };
    r.write_record = [](const T& t, BinFile& f) {
        write_row_name(f, t.name);
        f.write_int(t.value);
    };
    return r;
}

const NamedSetRules<RedTag>& red_rules()
{
    static const NamedSetRules<RedTag> r = tag_rules<RedTag>("red", "colours", "a red tag", SECTION_VALVES);
    return r;
}
const NamedSetRules<BlueTag>& blue_rules()
{
    static const NamedSetRules<BlueTag> r = tag_rules<BlueTag>("blue", "colours", "a blue tag", SECTION_WIND);
    return r;
}
NamedSetRules<LoneTag> lone_rules()
{
    NamedSetRules<LoneTag> r = tag_rules<LoneTag>("lone", "lone", "a lone tag", SECTION_SEISMIC);
    r.avoid_merged_names = true;
    return r;
}

template <typename T>
void add(const std::string& name, int32_t value = 0)
{
    named_set<T>().push_back(T{name, value});
}

class NamedSetTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_named_set(red_rules());
        install_named_set(blue_rules());
        install_named_set(lone_rules());
        // Red tags are named by the rows' Material column of pipes, blue tags
        // by that of beams; a bend's own material may name either.
        register_row_reference("red", "pipes' Material", [](LayoutRow& r, const NameVisitor& visit) {
            if (r.etype == ET_PIPE)
                visit(r.material);
        });
        register_row_reference("blue", "beams' Material", [](LayoutRow& r, const NameVisitor& visit) {
            if (r.etype == ET_BEAM)
                visit(r.material);
        });
        register_row_reference(
            "red", "bends' own material",
            [](LayoutRow& r, const NameVisitor& visit) {
                if (r.element && r.element->bend_geometry())
                    visit(r.element->bend_geometry()->material);
            },
            true);
    }

    static int pipe_named(const std::string& name)
    {
        const int index = row(10 * (numrows() + 1), ET_PIPE, 1.0f);
        model().rows[index].material = name;
        return index;
    }
    static int beam_named(const std::string& name)
    {
        const int index = row(10 * (numrows() + 1), ET_BEAM, 1.0f);
        model().rows[index].material = name;
        return index;
    }
};

TEST_F(NamedSetTest, LookUpIsExactAndTheFirstMatchWins)
{
    add<RedTag>("A", 1);
    add<RedTag>("B", 2);
    add<RedTag>("A", 3);
    EXPECT_EQ(named_set<RedTag>().index("A"), 1);
    EXPECT_EQ(named_set<RedTag>().index("B"), 2);
    EXPECT_EQ(named_set<RedTag>().index("a"), 0);
    EXPECT_EQ(named_set<RedTag>().index(""), 0);
    EXPECT_EQ(named_set<RedTag>().index("C"), 0);
}

TEST_F(NamedSetTest, NameSpacesAndFreeNames)
{
    add<RedTag>("1");
    add<BlueTag>("2");
    add<LoneTag>("3");
    EXPECT_TRUE(entry_name_taken("red", "2"));     // a blue tag: same name space
    EXPECT_TRUE(entry_name_taken("blue", "1"));
    EXPECT_FALSE(entry_name_taken("red", "3"));    // a lone tag: another name space
    EXPECT_FALSE(entry_name_taken("red", ""));
    EXPECT_EQ(free_number_name("red"), "3");
    EXPECT_EQ(free_number_name("red", {"3", "4"}), "5");
    EXPECT_EQ(free_number_name("lone"), "1");

    for (int n = 1; n <= MAX_NUMBER_NAME; ++n)
        add<LoneTag>(std::to_string(n));
    EXPECT_EQ(free_number_name("lone"), "");
}

TEST_F(NamedSetTest, EditorsNameChecksInOrder)
{
    add<RedTag>("R1");
    add<BlueTag>("B1");
    auto refused = [](const std::string& name, int index) {
        return thrown_text([&] { check_entry_name("red", name, index); });
    };
    EXPECT_EQ(refused("", 0), "Name is required");
    EXPECT_EQ(refused("R*1", 0), "Name =  R*1  should be alpha numeric");
    EXPECT_EQ(refused("ABCDEF", 0), "Name =  ABCDEF  is too long");
    EXPECT_EQ(refused("B1", 0), "Tag =  B1  is already defined as a blue tag");
    EXPECT_EQ(refused("R1", 0), "Tag =  R1  is already defined");
    EXPECT_EQ(refused("R1", 1), "<nothing thrown>");   // its own name
    EXPECT_EQ(refused("R2", 0), "<nothing thrown>");
}

TEST_F(NamedSetTest, RenameAndInUseReachTheSetsPlacesAndThoseOfTheWholeNameSpace)
{
    add<RedTag>("A");
    add<BlueTag>("B");
    const int pipe = pipe_named("A");
    const int beam = beam_named("A");   // a beam row names a blue tag: not this one
    const int bend = row(99, ET_BEND, 1.0f);
    bend_of(bend).material = "A";
    std::string other_place = "A";
    register_name_reference({"red", "a field of another kind", false,
                             [&](const NameVisitor& visit) { visit(other_place); }, {}});
    int notified = 0;
    subscribe_document_changed("test", [&](const DocumentChange& c) { notified += c.kind == DocumentChange::Edited; });

    EXPECT_TRUE(name_in_use("red", "A"));
    EXPECT_FALSE(name_in_use("blue", "B"));
    EXPECT_FALSE(name_in_use("red", ""));
    model().rows[pipe].material.clear();
    other_place.clear();
    EXPECT_TRUE(name_in_use("red", "A"));   // the bend alone still names it
    bend_of(bend).material = "B";
    EXPECT_TRUE(name_in_use("blue", "B"));  // a bend may name a blue tag too
    bend_of(bend).material = "A";
    model().rows[pipe].material = "A";
    other_place = "A";

    model_modified() = false;
    rename_entry("red", "A", "Z");
    EXPECT_EQ(named_set<RedTag>()[1].name, "Z");
    EXPECT_EQ(model().rows[pipe].material, "Z");
    EXPECT_EQ(bend_of(bend).material, "Z");
    EXPECT_EQ(other_place, "Z");
    EXPECT_EQ(model().rows[beam].material, "A");
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(notified, 1);

    // Nothing for an empty or unchanged name.
    model_modified() = false;
    rename_entry("red", "", "Y");
    rename_entry("red", "Z", "Z");
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(notified, 1);
}

TEST_F(NamedSetTest, LibraryModeMakesNothingInUse)
{
    bool library = false;
    NamedSetRules<LoneTag> rules = lone_rules();
    rules.library_mode = [&] { return library; };
    install_named_set(rules);
    register_name_reference({"lone", "a field", false, [](const NameVisitor& visit) {
                                 std::string held = "L";
                                 visit(held);
                             }, {}});
    EXPECT_TRUE(name_in_use("lone", "L"));
    library = true;
    EXPECT_FALSE(name_in_use("lone", "L"));
}

// Without avoid_merged_names a clash takes the first number free in the
// name space; a merged record whose own name is then taken moves on. Rows
// follow each record from the name it had in the merged file, once.
TEST_F(NamedSetTest, MergeRenamesClashesFromTheOriginalNames)
{
    add<RedTag>("A");
    add<BlueTag>("3");
    OneBased<RedTag> merged;
    for (const char* name : {"A", "1", "B", "2"})
        merged.push_back(RedTag{name, 0});
    OneBased<LayoutRow> rows;
    for (const char* name : {"A", "1", "B", "2"}) {
        LayoutRow r;
        r.etype = ET_PIPE;
        r.material = name;
        rows.push_back(std::move(r));
    }
    LayoutRow beam;
    beam.etype = ET_BEAM;
    beam.material = "A";   // names a blue tag: a red merge leaves it
    rows.push_back(std::move(beam));
    ModelMerge merge;
    merge.rows = &rows;

    check_merge_named_set(red_rules(), merged);
    const auto renames = merge_named_set(red_rules(), merged, merge);
    ASSERT_EQ(named_set<RedTag>().size(), 5);
    EXPECT_EQ(named_set<RedTag>()[2].name, "1");
    EXPECT_EQ(named_set<RedTag>()[3].name, "2");
    EXPECT_EQ(named_set<RedTag>()[4].name, "B");
    EXPECT_EQ(named_set<RedTag>()[5].name, "4");   // "3" is a blue tag
    EXPECT_EQ(named_set<RedTag>().merged_from, 2);
    EXPECT_EQ(renames.size(), 3u);
    EXPECT_EQ(rows[1].material, "1");
    EXPECT_EQ(rows[2].material, "2");   // not carried on from "1" a second time
    EXPECT_EQ(rows[3].material, "B");
    EXPECT_EQ(rows[4].material, "4");
    EXPECT_EQ(rows[5].material, "A");

    OneBased<RedTag> too_many;
    too_many.push_back(RedTag{"X", 0});
    EXPECT_EQ(thrown_text([&] { check_merge_named_set(red_rules(), too_many); }), "Too many tags");
}

// With avoid_merged_names no new name is one the merged file brings along.
TEST_F(NamedSetTest, MergeCanAvoidTheMergedFilesOwnNames)
{
    add<LoneTag>("A");
    OneBased<LoneTag> merged;
    for (const char* name : {"A", "1", "A"})
        merged.push_back(LoneTag{name, 0});
    ModelMerge merge;
    const auto renames = merge_named_set(lone_rules(), merged, merge);
    ASSERT_EQ(named_set<LoneTag>().size(), 4);
    EXPECT_EQ(named_set<LoneTag>()[2].name, "2");
    EXPECT_EQ(named_set<LoneTag>()[3].name, "1");
    // A second record of a clashing name gets a name of its own: the set
    // never holds one name twice.
    EXPECT_EQ(named_set<LoneTag>()[4].name, "3");
    EXPECT_EQ(renames.at("A"), "2");
}

TEST_F(NamedSetTest, FileSectionRoundTripsAndRefusesBadCounts)
{
    add<RedTag>("A", 7);
    add<RedTag>("B", -3);
    add<BlueTag>("C", 9);
    write_model_file(path("tags.mod"));
    named_set<RedTag>().clear();
    named_set<BlueTag>().clear();
    int cleared = 0;
    subscribe_document_changed("test", [&](const DocumentChange& c) {
        cleared += c.kind == DocumentChange::Cleared && c.part == SECTION_VALVES;
    });
    read_model(path("tags.mod"));
    ASSERT_EQ(named_set<RedTag>().size(), 2);
    EXPECT_EQ(named_set<RedTag>()[1].name, "A");
    EXPECT_EQ(named_set<RedTag>()[1].value, 7);
    EXPECT_EQ(named_set<RedTag>()[2].value, -3);
    ASSERT_EQ(named_set<BlueTag>().size(), 1);
    EXPECT_EQ(named_set<BlueTag>()[1].value, 9);
    EXPECT_EQ(cleared, 1);   // what a table held half typed goes with the model

    // A count above the limit is refused before anything is read, and the
    // document stays as it was.
    std::vector<unsigned char> bytes = bytes_of(path("tags.mod"));
    const std::vector<unsigned char> two = {2, 0, 0, 0, 'A', 0, 0, 0, 0, 0, 7, 0, 0, 0};
    auto at = std::search(bytes.begin(), bytes.end(), two.begin(), two.end());
    ASSERT_NE(at, bytes.end());
    *at = 9;
    put_bytes(path("bad.mod"), bytes);
    const std::string text = thrown_text([&] { read_model(path("bad.mod")); });
    EXPECT_NE(text.find("Tag count 9 is out of range"), std::string::npos) << text;
    EXPECT_EQ(named_set<RedTag>().size(), 2);
    EXPECT_EQ(named_set<BlueTag>().size(), 1);
}

// A row copied for an analysis shares nothing with the original: its element
// and data objects are made anew and take the original's values.
struct CopiedBend : ElementData {
    BendGeometry bend;
    BendGeometry* bend_geometry() override { return &bend; }
    void copy_from(const ElementData& other) override
    {
        if (const auto* same = dynamic_cast<const CopiedBend*>(&other))
            bend = same->bend;
    }
};

TEST_F(NamedSetTest, DocumentCopiesAreDeep)
{
    set_element_factory(ET_BEND, [] { return std::make_unique<CopiedBend>(); });
    add<RedTag>("A", 1);
    from(10);
    const int b = row(20, ET_BEND, 12.0f);
    bend_of(b).radius = 15.0f;
    bend_of(b).material = "A";
    const int v = row(30, ET_VALVE, 12.0f, 0.0f, 0.0f, DT_ANCHOR);
    static_cast<NeutralElement&>(*model().rows[v].element).raw = {1, 2, 3};
    static_cast<NeutralDataItem&>(*model().rows[v].data).raw = {4, 5};
    model_modified() = true;

    Document copy = document();
    bend_of(b).radius = 30.0f;
    static_cast<NeutralElement&>(*model().rows[v].element).raw.push_back(9);
    named_set<RedTag>()[1].value = 2;
    model_modified() = false;

    const Model& m = copy.part<Model>();
    ASSERT_EQ(m.numrows(), 3);
    EXPECT_NE(m.rows[b].element.get(), model().rows[b].element.get());
    EXPECT_FLOAT_EQ(m.rows[b].element->bend_geometry()->radius, 15.0f);
    EXPECT_EQ(m.rows[b].element->bend_geometry()->material, "A");
    EXPECT_EQ(static_cast<const NeutralElement&>(*m.rows[v].element).raw, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(static_cast<const NeutralDataItem&>(*m.rows[v].data).raw, (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(copy.part<NamedSet<RedTag>>()[1].value, 1);
    EXPECT_TRUE(copy.modified);
}

}  // namespace
