// Numbers a damaged model file may hold anywhere in the int32 range: the
// reader's messages and the merge's renumbering work on them without an
// overflow (the test build stops on one).
#include "golden.h"
#include "loads/data/loads_fixture.h"

#include <cstring>
#include <limits>

using namespace loads_test;

namespace {

class CountOverflow : public LoadsFileTest {
protected:
    // A model with two time functions and a time-varying load naming the second.
    int time_functions_model()
    {
        time_function().push_back(curve({{0.0f, 0.0f}, {0.1f, 1.0f}}));
        time_function().push_back(curve({{0.0f, 1.0f}}));
        from(10);
        const int t = row(20, ET_PIPE, 100, 0, 0, DT_TIME_VARYING_LOAD);
        data_of<TimeVaryingLoad>(t).function = 2;
        return t;
    }
    // The file with the first int32 of a section's payload (its count) replaced.
    std::string with_count(const std::string& file, int section, int32_t count)
    {
        std::vector<unsigned char> bytes = bytes_of(file);
        std::size_t at = MODEL_FILE_HEADER_SIZE;
        for (int id = 0; id < section; ++id) {
            int32_t length = 0;
            std::memcpy(&length, &bytes[at], 4);
            at += 4 + static_cast<std::size_t>(length);
        }
        std::memcpy(&bytes[at + 4], &count, 4);
        const std::string bad = path("count.mod");
        put_bytes(bad, bytes);
        return bad;
    }
};

TEST_F(CountOverflow, ATimeFunctionCountAtEitherEndOfItsRangeIsNamedInTheMessage)
{
    time_functions_model();
    const std::string good = path("good.mod");
    write_model_file(good);
    const struct {
        int32_t count;
        const char* shown;   // the count of functions: the stored count less one
    } cases[] = {{std::numeric_limits<int32_t>::min(), "-2147483649"},
                 {std::numeric_limits<int32_t>::max(), "2147483646"},
                 {-1, "-2"}};
    // The file is a seed of the model reader's fuzz target, so that fuzzing
    // reaches the time functions.
    expect_golden_file_at(std::string(KV_SOURCE_DIR) + "/fuzz/corpus/models/time_functions.mod",
                          read_text_file(good));
    for (const auto& c : cases) {
        const std::string bad = with_count(good, SECTION_TIME_FUNCTIONS, c.count);
        EXPECT_EQ(thrown_text([&] { read_model(bad); }),
                  "Unable to read model file:\n" + bad + "\nTime functions: The number of time functions (" +
                      c.shown + ") is out of range")
            << c.count;
    }
    EXPECT_NO_THROW(read_model(good));
}

TEST_F(CountOverflow, AMergedLoadNamingAFunctionNoModelCanHaveKeepsItsNumber)
{
    const int t = time_functions_model();
    const int damaged = row(30, ET_PIPE, 100, 0, 0, DT_TIME_VARYING_LOAD);
    data_of<TimeVaryingLoad>(damaged).function = std::numeric_limits<int32_t>::max();
    const std::string other = path("other.mod");
    write_model_file(other);
    merge_model(other);
    const int rows = 3;
    // The sound reference moves past the model's own two functions.
    EXPECT_EQ(data_of<TimeVaryingLoad>(t + rows).function, 4);
    EXPECT_EQ(data_of<TimeVaryingLoad>(damaged + rows).function, std::numeric_limits<int32_t>::max());
}

}  // namespace
