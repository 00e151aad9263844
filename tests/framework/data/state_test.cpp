// The program's state in one place: parts made at first use, deep copies of
// the document, the document-changed notification, and reset_all putting
// back the start-up state.
#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Counted {
    static inline int alive = 0;
    int value = 0;
    Counted() { ++alive; }
    Counted(const Counted& other) : value(other.value) { ++alive; }
    ~Counted() { --alive; }
};

struct Names {
    std::vector<std::string> list;
};

struct Unique {
    std::unique_ptr<int> owned;
};

TEST(PartSetTest, OnePartPerTypeMadeAtFirstUse)
{
    PartSet set;
    EXPECT_EQ(set.find<Counted>(), nullptr);
    Counted& a = set.get<Counted>();
    a.value = 7;
    EXPECT_EQ(&set.get<Counted>(), &a);
    EXPECT_EQ(set.find<Counted>(), &a);
    set.get<Names>().list.push_back("x");
    EXPECT_EQ(set.size(), 2u);
    EXPECT_EQ(set.get<Counted>().value, 7);
    const int before = Counted::alive;
    set.clear();
    EXPECT_EQ(Counted::alive, before - 1);
    EXPECT_EQ(set.get<Counted>().value, 0);   // a fresh one
}

TEST(PartSetTest, ACopyIsDeepAndIndependent)
{
    PartSet set;
    set.get<Names>().list = {"a", "b"};
    set.get<Counted>().value = 3;
    PartSet copy = set;
    copy.get<Names>().list.push_back("c");
    copy.get<Counted>().value = 4;
    EXPECT_EQ(set.get<Names>().list, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(set.get<Counted>().value, 3);
    EXPECT_EQ(copy.get<Names>().list.size(), 3u);
    EXPECT_NE(&copy.get<Counted>(), &set.get<Counted>());
}

// A part that cannot be copied is an internal error when its set is copied.
TEST(PartSetTest, CopyingAnUncopyablePartIsAnInternalError)
{
    struct Exit {
        int code;
    };
    set_assert_exit_handler([](int code) { throw Exit{code}; });
    PartSet set;
    set.get<Unique>().owned = std::make_unique<int>(1);
    EXPECT_THROW(PartSet copy = set, Exit);
}

TEST(DocumentTest, FlagsUnitsQaAndPartsTravelTogether)
{
    model_modified() = true;
    model_file_path() = "/models/a.mod";
    document().units[3] = 1;
    document().qa.client = "Client";
    document().part<Names>().list = {"row"};

    Document copy = document();
    model_modified() = false;
    document().part<Names>().list.clear();
    EXPECT_TRUE(copy.modified);
    EXPECT_EQ(copy.path, "/models/a.mod");
    EXPECT_EQ(copy.units[3], 1);
    EXPECT_EQ(copy.qa.client, "Client");
    EXPECT_EQ(copy.part<Names>().list, (std::vector<std::string>{"row"}));

    reset_document();
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(model_file_path(), "");
    EXPECT_EQ(document().units[3], 0);
    EXPECT_EQ(document().qa.client, "");
    EXPECT_TRUE(document().part<Names>().list.empty());
}

TEST(DocumentEventsTest, SubscribersRunInOrderAndALateOneWaitsForTheNextChange)
{
    std::vector<std::string> calls;
    subscribe_document_changed("first", [&](const DocumentChange& c) {
        calls.push_back(c.kind == DocumentChange::Edited ? "edited" : "cleared " + std::to_string(c.part));
        if (calls.size() == 1)
            subscribe_document_changed("late", [&](const DocumentChange&) { calls.push_back("late"); });
    });
    subscribe_document_changed("second", [&](const DocumentChange&) { calls.push_back("second"); });
    notify_document_changed();
    EXPECT_EQ(calls, (std::vector<std::string>{"edited", "second"}));
    notify_document_changed({DocumentChange::Cleared, 7});
    EXPECT_EQ(calls, (std::vector<std::string>{"edited", "second", "cleared 7", "second", "late"}));

    // Subscribing again under a name replaces the subscriber.
    calls.clear();
    subscribe_document_changed("second", [&](const DocumentChange&) { calls.push_back("second again"); });
    notify_document_changed();
    EXPECT_EQ(calls, (std::vector<std::string>{"edited", "second again", "late"}));
}

TEST(ResetAllTest, PutsBackTheStartUpState)
{
    model_modified() = true;
    input_locked() = true;
    batch_mode() = true;
    session_part<Names>().list = {"window memory"};
    document().part<Names>().list = {"document"};
    item_text() = "typed";
    int notified = 0;
    subscribe_document_changed("test", [&](const DocumentChange&) { ++notified; });
    set_analysis_running(true);
    set_debug_output(true);
    bool displayed = false;
    set_assert_display([&](const std::string&) { displayed = true; });
    const int alive = Counted::alive;
    session_part<Counted>();

    reset_all();
    EXPECT_FALSE(model_modified());
    EXPECT_FALSE(input_locked());
    EXPECT_FALSE(batch_mode());
    EXPECT_TRUE(session_part<Names>().list.empty());
    EXPECT_TRUE(document().part<Names>().list.empty());
    EXPECT_EQ(item_text(), "");
    EXPECT_EQ(Counted::alive, alive);   // the session's parts were destroyed
    notify_document_changed();
    EXPECT_EQ(notified, 0);
    EXPECT_FALSE(analysis_running());
    EXPECT_FALSE(debug_output_on());
    // The assertion handler shows nothing now; it still ends the run.
    struct Exit {
        int code;
    };
    set_assert_exit_handler([](int code) { throw Exit{code}; });
    EXPECT_THROW(assert_failed("x", "f.cpp", 1), Exit);
    EXPECT_FALSE(displayed);
}

}  // namespace
