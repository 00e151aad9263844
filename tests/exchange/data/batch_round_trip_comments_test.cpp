// Comment rows through the batch export and import: every comment row of the
// layout survives, whether or not the file has a title line, and an export
// of the model read back gives the same file.
#include "batch_fixture.h"
#include "exchange/batch_export.h"
#include "model/layout_row.h"
#include "model/model_file.h"

namespace batch_test {
namespace {

class RoundTripComments : public BatchTest {
protected:
    static void fresh_import(const std::string& text)
    {
        reset_model();
        clear_model_sections();
        import_ok(text);
    }
    static std::vector<std::string> comments()
    {
        std::vector<std::string> texts;
        for (int row = 1; row <= numrows(); ++row)
            if (model().rows[row].etype == ET_COMMENT)
                texts.push_back(model().rows[row].comment_text());
        return texts;
    }
    // Export, import, export: the two files and the comment rows must match.
    static void expect_round_trip(const std::string& text, const std::vector<std::string>& expected)
    {
        ASSERT_NO_FATAL_FAILURE(fresh_import(text));
        EXPECT_EQ(comments(), expected);
        const std::string first = batch_export_text();
        ASSERT_NO_FATAL_FAILURE(fresh_import(first));
        EXPECT_EQ(comments(), expected) << first;
        EXPECT_EQ(batch_export_text(), first);
        // A third time round changes nothing either.
        ASSERT_NO_FATAL_FAILURE(fresh_import(first));
        EXPECT_EQ(comments(), expected);
    }
};

TEST_F(RoundTripComments, ALayoutThatBeginsWithCommentsAndNoTitleKeepsEveryComment)
{
    expect_round_trip("LAYOUT\n* hello world comment\n* second\n", {" hello world comment", " second"});
    expect_round_trip("LAYOUT\n*first\n*second\n*third\nF10\nT20,X10\n* after the pipe\n",
                      {"first", "second", "third", " after the pipe"});
}

TEST_F(RoundTripComments, ATitleLineAndCommentRowsBothSurvive)
{
    expect_round_trip("Plant 7 line 12\n\nLAYOUT\n* first\n* second\nF10\nT20,X10\n",
                      {"Title = Plant 7 line 12", " first", " second"});
    EXPECT_EQ(model_title(), "Plant 7 line 12");
    // A first row whose text is that of a title row of a blank title is a comment.
    expect_round_trip("LAYOUT\n*Title = \nF10\nT20,X10\n", {"Title = "});
    // A title longer than a title line holds goes whole as the first comment row.
    const std::string long_title(MAX_TITLE_LENGTH, 'T');
    expect_round_trip("LAYOUT\n*Title = " + long_title + "\n* second\n", {"Title = " + long_title, " second"});
    EXPECT_EQ(model_title(), long_title);
    BatchExportReport report;
    batch_export_text({}, &report);
    EXPECT_TRUE(report.empty()) << report.message();
}

}  // namespace
}  // namespace batch_test
