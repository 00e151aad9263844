// Validation texts, the assertion handler, diagnostic output and the entry
// routine's fault guards.
#include "framework/data/thrown_text.h"
#include "framework/errors.h"
#include "framework/fault_guard.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <csignal>
#include <new>
#include <string>
#include <thread>

namespace {

// Ends an assertion's "process exit" by throwing, so a test can go on.
struct ExitRequested {
    int code;
};

struct AnalysisRun {
    AnalysisRun() { set_analysis_running(true); }
    ~AnalysisRun() { set_analysis_running(false); }
};

class AssertHandler : public ::testing::Test {
protected:
    void SetUp() override
    {
        install_headless_backend();
        install_assert_display();
        set_assert_exit_handler([](int code) { throw ExitRequested{code}; });
    }
    void TearDown() override
    {
        set_assert_exit_handler({});
        set_analysis_running(false);
    }
};

}  // namespace

TEST(Errors, ValidationTexts)
{
    item_text() = "12X";
    EXPECT_EQ(thrown_text([] { throw_required("Density"); }), "Density is required");
    EXPECT_EQ(thrown_text([] { throw_invalid("Density"); }), "Density =  12X  is invalid");
    EXPECT_EQ(thrown_text([] { throw_invalid_text("Angle", "is too small"); }),
              "Angle =  12X  is too small");
    // The name brings its own blank; none is added.
    EXPECT_EQ(thrown_text([] { throw_not_defined("Material A1 "); }), "Material A1 is not defined");
    EXPECT_EQ(thrown_text([] { throw_message("Plain text"); }), "Plain text");

    // The typed text is read at the moment of the throw.
    item_text().clear();
    EXPECT_EQ(thrown_text([] { throw_invalid("Name"); }), "Name =    is invalid");
}

TEST(Errors, NodeErrorTexts)
{
    EXPECT_STREQ(node_error_text(1), "is invalid");
    EXPECT_STREQ(node_error_text(2), "Invalid node");
    EXPECT_STREQ(node_error_text(3), "Node number should be > 0");
    EXPECT_STREQ(node_error_text(4), "Node number should be < 100000");
    EXPECT_STREQ(node_error_text(5), "Node number should be input");
    EXPECT_STREQ(node_error_text(6), "Node should not have a suffix");
    EXPECT_STREQ(node_error_text(7), "This node is already defined");
    // A code out of range must not become an empty text (which would cancel silently).
    EXPECT_STREQ(node_error_text(0), "is invalid");
    EXPECT_STREQ(node_error_text(99), "is invalid");

    item_text() = "10A";
    EXPECT_EQ(thrown_text([] { throw_name_node_error("Suction Node", 6); }),
              "Suction Node =  10A  Node should not have a suffix");
    EXPECT_EQ(thrown_text([] { throw_node_error("10", 7); }), "10  This node is already defined");
}

TEST(Errors, CellExceptionsCarryTheirColumnAndCommand)
{
    try {
        throw_cell_required("Name", 2);
    } catch (const CI& e) {
        EXPECT_EQ(e.message, "Name is required");
        EXPECT_EQ(e.column, 2);
    }
    message_text() = "Row 3 has no section";
    try {
        throw_command_error(113);
    } catch (const MsgCmd& e) {
        EXPECT_EQ(e.message, "Row 3 has no section");
        EXPECT_EQ(e.command, 113);
        return;
    }
    ADD_FAILURE() << "no MsgCmd thrown";
}

TEST_F(AssertHandler, ShowsTextThenEndsProcessOutsideAnalysis)
{
    EXPECT_EQ(assert_message_text("k <= n", "src/model/x.cpp", 42),
              "Assertion failed...\nk <= n\nfile src/model/x.cpp, line 42");
    int exit_code = 0;
    try {
        assert_failed("k <= n", "src/model/x.cpp", 42);
    } catch (const ExitRequested& e) {
        exit_code = e.code;
    }
    EXPECT_EQ(exit_code, ASSERT_EXIT_CODE);
    EXPECT_EQ(script().last_message(), "Assertion failed...\nk <= n\nfile src/model/x.cpp, line 42");
}

TEST_F(AssertHandler, EndsTheAnalysisRunWithAMessageText)
{
    AnalysisRun run;
    const int value = 2;
    EXPECT_EQ(thrown_text([&] { KV_ASSERT(value == 3); }), "Analysis aborted.");
    EXPECT_NE(script().last_message().find("value == 3"), std::string::npos);
    // A passing check does nothing.
    EXPECT_EQ(thrown_text([&] { KV_ASSERT(value == 2); }), "<nothing thrown>");
}

TEST_F(AssertHandler, WorkerThreadPostsTheMessageToTheMainThread)
{
    std::string worker_saw;
    // The run's own thread marks itself; the main thread stays unmarked.
    std::thread worker([&] {
        set_analysis_running(true);
        worker_saw = thrown_text([] { assert_failed("a > 0", "f.cpp", 7); });
        set_analysis_running(false);
    });
    worker.join();
    EXPECT_FALSE(analysis_running());
    EXPECT_EQ(worker_saw, "Analysis aborted.");
    backend().process_events();
    EXPECT_EQ(script().last_message(), "Assertion failed...\na > 0\nfile f.cpp, line 7");
}

TEST(ErrorsDeathTest, AssertionEndsProcessWithItsCode)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            install_headless_backend();
            install_assert_display();
            assert_failed("p != nullptr", "g.cpp", 9);
        },
        ::testing::ExitedWithCode(ASSERT_EXIT_CODE), "Assertion failed...\np != nullptr\nfile g.cpp, line 9");
}

TEST(Errors, DebugPrintOnlyWhileOnAndCutToOneLine)
{
    set_debug_output(false);
    ::testing::internal::CaptureStderr();
    debug_print("hidden %d", 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    set_debug_output(true);
    ::testing::internal::CaptureStderr();
    debug_print("x = %.2f, n = %d", 1.5, 3);
    debug_print("%s", std::string(5000, 'a').c_str());
    const std::string out = ::testing::internal::GetCapturedStderr();
    set_debug_output(false);
    EXPECT_EQ(out, "x = 1.50, n = 3\n" + std::string(1023, 'a') + "\n");
}

TEST(Errors, FaultTexts)
{
    EXPECT_EQ(fault_text(SIGFPE, FPE_INTDIV, 0x401a2c), "Integer divide by zero\nat location  0x00401a2c");
    EXPECT_EQ(fault_text(SIGFPE, FPE_FLTOVF, 0), "Float overflow\nat location  0x00000000");
    EXPECT_EQ(fault_text(SIGFPE, FPE_FLTINV, 1), "Invalid float operation\nat location  0x00000001");
    EXPECT_EQ(fault_text(SIGFPE, FPE_INTOVF, 0xdeadbeef), "Integer overflow\nat location  0xdeadbeef");
    EXPECT_EQ(fault_text(SIGFPE, FPE_FLTDIV, 16), "Float divide by zero\nat location  0x00000010");
    EXPECT_EQ(fault_text(SIGSEGV, SEGV_MAPERR, 8), "Access violation\nat location  0x00000008");
    EXPECT_EQ(fault_text(SIGBUS, BUS_ADRERR, 8), "Access violation\nat location  0x00000008");
    // Addresses beyond 32 bits are written in full, not cut.
    if (sizeof(std::uintptr_t) == 8) {
        EXPECT_EQ(fault_text(SIGSEGV, SEGV_MAPERR, static_cast<std::uintptr_t>(0x7ffd12345678ull)),
                  "Access violation\nat location  0x7ffd12345678");
    }
}

namespace {

#if defined(__x86_64__) || defined(__i386__)
// A real integer division by zero, kept from the undefined-behaviour sanitizer
// so that the processor itself faults.
__attribute__((no_sanitize("undefined"), noinline)) int divide(int a, int b)
{
    volatile int numerator = a;
    volatile int denominator = b;
    return numerator / denominator;
}
#endif

}  // namespace

TEST(ErrorsDeathTest, FaultHandlersWriteTextAndExit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            install_fault_handlers();
            std::raise(SIGFPE);
        },
        ::testing::ExitedWithCode(FAULT_EXIT_CODE), "Arithmetic exception\nat location  0x[0-9a-f]{8}");
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EXIT(
        {
            install_fault_handlers();
            std::fprintf(stderr, "%d", divide(1, 0));
        },
        ::testing::ExitedWithCode(FAULT_EXIT_CODE), "Integer divide by zero\nat location  0x[0-9a-f]{8}");
#endif
}

TEST(ErrorsDeathTest, AccessViolationHandler)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "memory faults are left to AddressSanitizer";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            install_fault_handlers();
            std::raise(SIGSEGV);
        },
        ::testing::ExitedWithCode(FAULT_EXIT_CODE), "Access violation\nat location  0x");
#endif
}

TEST(ErrorsDeathTest, OutOfMemoryHandler)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            install_out_of_memory_handler();
            std::get_new_handler()();
        },
        ::testing::ExitedWithCode(1), "\\*\\*\\* Out of memory \\*\\*\\*");
}
