// The rotating-equipment report's frame: the load cases it covers, the
// equipment list, one machine's failure kept to that machine, and the
// equipment's nodes following a renumbering; the allowable loads' lookups.
#include "framework/state.h"
#include "qualification/data/equipment_fixture.h"
#include "qualification/pump_evaluation.h"
#include "qualification/rot_equip.h"
#include "supports/support_item.h"

#include <gtest/gtest.h>

#include <set>

using namespace equipment_test;

namespace {

class RotEquipTest : public EquipmentTest {
protected:
    void SetUp() override
    {
        EquipmentTest::SetUp();
        section("S4", 4.5f);
        suction = line_to_anchor(5, {-120, 0, 0}, 10, {100, 0, 0}, "S4");
        discharge = line_to_anchor(15, {0, 100, 30}, 20, {0, -70, 0}, "S4");
        make_model();
    }
    static RotEquipResults results(std::set<int> present, std::vector<int>* made = nullptr)
    {
        RotEquipResults r;
        r.present = [present](int code) { return present.count(code) != 0; };
        r.make_current = [made](int code) {
            if (made)
                made->push_back(code);
        };
        return r;
    }
    int suction = 0, discharge = 0;
};

PumpRecord pump(const std::string& name, std::array<float, 3> shaft)
{
    PumpRecord p;
    p.name = name;
    p.suction_node = 10;
    p.discharge_node = 20;
    p.shaft_axis = shaft;
    p.kind = PUMP_HORIZONTAL_API610;
    return p;
}

}  // namespace

TEST(RotEquipLoadCases, ColdSpringCasesBeforeOperatingCases)
{
    // Operating (W+P1+T1), Operating (W+P2+T2) and Cold spring (W+P2+T2):
    // only the cold-spring case.
    std::set<int> present{8, 9, 16};
    auto has = [&present](int code) { return present.count(code) != 0; };
    EXPECT_EQ(rot_report_load_cases(has), (std::vector<int>{16}));
    present = {106, 8, 100, 10, 1, 2};
    EXPECT_EQ(rot_report_load_cases(has), (std::vector<int>{8, 10, 100, 106}));
    present = {116, 15, 112};
    EXPECT_EQ(rot_report_load_cases(has), (std::vector<int>{15, 112, 116}));
    present = {1, 2, 3};
    EXPECT_TRUE(rot_report_load_cases(has).empty());
}

TEST_F(RotEquipTest, EveryMachinePreparedAndEvaluatedForEveryListedCase)
{
    pumps().push_back(pump("P-1", {1, 0, 0}));
    pumps().push_back(pump("P-2", {0, 0, 1}));
    turbines().push_back({"T-1", 10, 20, 0, 0, {1, 0, 0}});
    std::vector<int> made;
    anchor_loads(suction, {0, -500, 0, 0, 0, 0});
    build_rot_equip_report(results({8, 9, 1}, &made));
    const RotEquipReport& r = rot_equip_report();
    ASSERT_TRUE(r.ready);
    EXPECT_EQ(r.load_cases, (std::vector<int>{8, 9}));
    EXPECT_EQ(made, (std::vector<int>{8, 9}));
    ASSERT_EQ(r.equipment_count(), 3);
    EXPECT_EQ(r.equipment[0].kind, ROT_PUMP);
    EXPECT_EQ(r.equipment[1].index, 2);
    EXPECT_EQ(r.equipment[2].kind, ROT_TURBINE);
    EXPECT_EQ(rot_equip_kind_name(r.equipment[2].kind), "Turbine");
    EXPECT_EQ(rot_equip_description(r.equipment[1]), "P-2");
    EXPECT_EQ(r.current, 1);
    EXPECT_EQ(r.current_case, 1);
    // 500 lb down on the pipe is 500 lb up on the pump: FZ = +500 in both slots.
    EXPECT_NEAR(r.pumps[1].nozzle[SUCTION].loads[0][P_FZ], 500, 1e-9);
    EXPECT_NEAR(r.pumps[1].nozzle[SUCTION].loads[1][P_FZ], 500, 1e-9);
    // Nothing to report: no equipment, or no listed case.
    build_rot_equip_report(results({1, 2}));
    EXPECT_FALSE(rot_equip_report().ready);
    EXPECT_EQ(rot_equip_report().equipment_count(), 0);
}

TEST_F(RotEquipTest, AFailingMachineKeepsItsMessageAndTheOthersAreEvaluated)
{
    pumps().push_back(pump("BAD", {0, 0, 0}));                 // no shaft axis
    pumps().push_back(pump("GOOD", {1, 0, 0}));
    compressors().push_back({"K-0", 10, 20, 0, 0, {0, 0, 0}}); // zero shaft
    turbines().push_back({"T-9", 10, 55, 0, 0, {1, 0, 0}});    // exhaust node deleted later
    anchor_loads(suction, {100, 0, 0, 0, 0, 0});
    const std::vector<PumpRecord> before(pumps().begin(), pumps().end());
    build_rot_equip_report(results({9}));
    const RotEquipReport& r = rot_equip_report();
    ASSERT_EQ(r.equipment_count(), 4);
    EXPECT_EQ(r.equipment[0].fault, std::string("Invalid shaft axis for pump: BAD. ") + SHAFT_WITHOUT_DIRECTION);
    EXPECT_EQ(r.equipment[1].fault, "");
    EXPECT_NEAR(r.pumps[2].nozzle[SUCTION].loads[0][P_FX], -100, 1e-9);
    EXPECT_EQ(r.equipment[2].fault, std::string("Invalid shaft axis for compressor: K-0. ") + SHAFT_WITHOUT_DIRECTION);
    EXPECT_EQ(r.equipment[3].fault, "Node 55 of turbine T-9 is not defined");
    // Results mode changes no record.
    EXPECT_TRUE(std::equal(before.begin(), before.end(), pumps().begin()));
}

TEST_F(RotEquipTest, RenumberingMovesEveryEquipmentNodeInEveryBand)
{
    pumps().push_back(pump("P", {1, 0, 0}));
    pumps()[1].discharge_node = 100020;   // 20A
    compressors().push_back({"K", 10, 20, 30, 0, {1, 0, 0}});
    turbines().push_back({"T", 0, 0, 0, 20, {1, 0, 0}});
    allowables().push_back({10, {1, 2, 3, 4, 5, 6}});
    allowables().push_back({20, {}});
    // 10 -> 20 and 20 -> 10 at once: no number is moved twice.
    renumber_equipment_nodes({{10, 20}, {20, 10}});
    EXPECT_EQ(pumps()[1].suction_node, 20);
    EXPECT_EQ(pumps()[1].discharge_node, 100010);
    EXPECT_EQ(compressors()[1].inlet, 20);
    EXPECT_EQ(compressors()[1].exhaust, 10);
    EXPECT_EQ(compressors()[1].extraction1, 30);
    EXPECT_EQ(turbines()[1].extraction2, 10);
    EXPECT_EQ(allowables()[1].node, 20);
    EXPECT_EQ(allowables()[2].node, 10);
}

TEST_F(RotEquipTest, AllowableLookupsTakeTheFirstRecordOfANode)
{
    allowables().push_back({30, {1, 2, 3, 4, 5, 6}});
    allowables().push_back({10, {7, 8, 9, 10, 11, 12}});
    allowables().push_back({10, {0, 0, 0, 0, 0, 0}});
    EXPECT_EQ(allowable_at_node(10), 2);
    EXPECT_EQ(allowable_at_node(40), 0);
    EXPECT_EQ(allowable_at_node(0), 0);
    // The support summaries read the first record of their node.
    std::array<float, 6> values{};
    ASSERT_TRUE(support_results_context().allowable);
    EXPECT_TRUE(support_results_context().allowable(10, values));
    EXPECT_EQ(values, (std::array<float, 6>{7, 8, 9, 10, 11, 12}));
    EXPECT_FALSE(support_results_context().allowable(40, values));
}
