// Golden-file comparison for report, table and CSV texts (and the sample
// model). The files live in tests/data/<folder>; running the tests with
// KV_UPDATE_GOLDEN=1 rewrites them.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string read_text_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string golden_path(const std::string& folder, const std::string& name) {
    return std::string(KV_SOURCE_DIR) + "/tests/data/" + folder + "/" + name;
}

// Compares with the file at `path`, or rewrites it under KV_UPDATE_GOLDEN=1.
inline void expect_golden_file_at(const std::string& path, const std::string& text) {
    if (const char* update = std::getenv("KV_UPDATE_GOLDEN"); update && *update == '1') {
        std::ofstream(path, std::ios::binary) << text;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(read_text_file(path), text) << "differs from golden file " << path;
}

inline void expect_golden_file(const std::string& folder, const std::string& name, const std::string& text) {
    expect_golden_file_at(golden_path(folder, name), text);
}
