// The user guide the build puts beside the program: every help context of
// the code has its anchor, and every dialog and table its page, the fields
// and columns taken from the program.
#include "elements/element_dialog_ids.h"
#include "exchange_fixture.h"
#include "framework/ui/help.h"
#include "model/ui/list_window.h"

#include <filesystem>

namespace {

std::string guide_text()
{
    const std::filesystem::path guide = std::filesystem::path(KV_PROGRAM_PATH).parent_path() / "help" / "index.html";
    std::ifstream in(guide, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool has_anchor(const std::string& guide, const std::string& name)
{
    return guide.find("<a name=\"" + name + "\">") != std::string::npos;
}

using HelpWindowGuideTest = ExchangeProgramTest;

}  // namespace

TEST_F(HelpWindowGuideTest, EveryContextOfTheCodeAndEveryDialogAndTableHasItsPage)
{
    const std::string guide = guide_text();
    ASSERT_FALSE(guide.empty());
    for (const int context : {TIE_ROD_HELP_CONTEXT, BENDS_TABLE_HELP_CONTEXT, BEND_DIALOG_HELP_CONTEXT})
        EXPECT_TRUE(has_anchor(guide, help_anchor(context))) << context;
    for (const char* page : {"window-layout", "window-list", "window-main", "analysing", "batch", "VALVE_DIALOG",
                             "BEND1_DIALOG", "PIPE_LOAD_DIALOG", "SECTION_DIALOG", "graphics",
                             "VIEWPOINT_DIALOG", "HIDE_ELEMENTS_DIALOG"})
        EXPECT_TRUE(has_anchor(guide, page)) << page;
    // Every data list of the program has its page.
    for (const DataList& list : data_lists()) {
        std::string anchor;
        for (const char c : list.name)
            anchor += std::isalnum(static_cast<unsigned char>(c)) || c == '_' ? c : '-';
        EXPECT_TRUE(has_anchor(guide, anchor)) << list.name;
    }
    // The valve's page lists its length in the unit its field reads.
    const std::size_t valve = guide.find("<a name=\"VALVE_DIALOG\">");
    ASSERT_NE(valve, std::string::npos);
    const std::size_t length = guide.find("<td>Length</td>", valve);
    ASSERT_NE(length, std::string::npos);
    EXPECT_NE(guide.substr(length, 120).find("in the dimension unit"), std::string::npos);
}
