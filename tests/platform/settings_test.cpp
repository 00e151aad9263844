// The settings stores: memory kinds, the INI text form and its file, and the
// window placement bytes kept in them.
#include "platform/backend.h"
#include "platform/settings.h"
#include "scratch_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const std::string KEY = "Software\\QVN Systems\\Korvane\\10.20\\Window positions";

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kv_settings_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST(MemorySettingsTest, KindsDoNotMix) {
    MemorySettings s;
    s.set_string(KEY, "Font", "Mono");
    s.set_int(KEY, "Size", -12);
    s.set_binary(KEY, "Main", {1, 2, 3});
    EXPECT_EQ(s.get_string(KEY, "Font"), "Mono");
    EXPECT_EQ(s.get_int(KEY, "Size"), -12);
    EXPECT_EQ(s.get_binary(KEY, "Main"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(s.get_int(KEY, "Font"), std::nullopt);
    EXPECT_EQ(s.get_string(KEY, "Size"), std::nullopt);
    EXPECT_EQ(s.get_string("Other", "Font"), std::nullopt);
    s.set_int(KEY, "Font", 3);   // a new kind replaces the old value
    EXPECT_EQ(s.get_string(KEY, "Font"), std::nullopt);
    s.remove(KEY, "Font");
    s.remove(KEY, "Size");
    s.remove(KEY, "Main");
    s.remove("Nowhere", "x");
    EXPECT_TRUE(s.values.empty());
}

TEST_F(IniFileTest, RoundTripKeepsEveryValueExactly) {
    IniFileSettings a((dir / "deep" / "korvane.ini").string());
    const std::string odd = " lead % = [x] ;# \t\r\n\x01 trail  caf\xc3\xa9 %41 ";
    a.set_string(KEY, "Last file", "/home/me/models/a b.mod");
    a.set_string(KEY, odd, odd);
    a.set_string(" [odd key] = %", "", "");
    a.set_int(KEY, "Min", INT32_MIN);
    a.set_int(KEY, "Max", INT32_MAX);
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    a.set_binary(KEY, "All bytes", all);
    a.set_binary(KEY, "Empty", {});
    ASSERT_TRUE(a.flush());   // creates the missing folders
    EXPECT_FALSE(fs::exists(dir / "deep" / "korvane.ini.tmp"));

    IniFileSettings b(a.path());
    ASSERT_TRUE(b.load());
    EXPECT_EQ(b.values.size(), a.values.size());
    EXPECT_EQ(b.get_string(KEY, "Last file"), "/home/me/models/a b.mod");
    EXPECT_EQ(b.get_string(KEY, odd), odd);
    EXPECT_EQ(b.get_string(" [odd key] = %", ""), "");
    EXPECT_EQ(b.get_int(KEY, "Min"), INT32_MIN);
    EXPECT_EQ(b.get_int(KEY, "Max"), INT32_MAX);
    EXPECT_EQ(b.get_binary(KEY, "All bytes"), all);
    EXPECT_EQ(b.get_binary(KEY, "Empty"), std::vector<uint8_t>{});
    EXPECT_EQ(b.serialize(), a.serialize());
    // Keys stay readable: backslashes are not escaped.
    EXPECT_NE(a.serialize().find("[" + KEY + "]"), std::string::npos);
}

TEST_F(IniFileTest, DamagedTextKeepsWhatCanBeRead) {
    IniFileSettings s((dir / "x.ini").string());
    s.parse(std::string("garbage before any section\n"
            "[Good]\r\n"
            "A=str:kept\r\n"
            "  B = int: 12 \n"
            "C=int:12x\n"
            "D=int:99999999999\n"
            "E=hex:0g\n"
            "F=hex:abc\n"
            "G=what:1\n"
            "no equals sign\n"
            "H=str:50%\n"
            "[Broken header\n"
            "I=str:lost\n"
            "[Later]\n"
            "J=hex:00FF\n"
            "[Later]\n"
            "K=int:-1\n" +
            std::string("\x00\xff\xfe junk", 8)));
    EXPECT_EQ(s.get_string("Good", "A"), "kept");
    EXPECT_EQ(s.get_int("Good", "B"), 12);
    for (const char* bad : {"C", "D", "E", "F", "G", "I"}) {
        EXPECT_FALSE(s.get_string("Good", bad) || s.get_int("Good", bad) || s.get_binary("Good", bad)) << bad;
    }
    EXPECT_EQ(s.get_string("Good", "H"), "50%");   // a stray '%' is kept as typed
    EXPECT_EQ(s.get_binary("Later", "J"), (std::vector<uint8_t>{0x00, 0xFF}));
    EXPECT_EQ(s.get_int("Later", "K"), -1);   // a repeated section adds to the first
    EXPECT_EQ(s.values.size(), 2u);
}

TEST_F(IniFileTest, LoadAndFlushFailures) {
    IniFileSettings missing((dir / "none.ini").string());
    missing.set_int("K", "v", 1);
    EXPECT_TRUE(missing.load());   // a missing file is an empty store
    EXPECT_TRUE(missing.values.empty());

    fs::create_directories(dir);
    {
        std::ofstream f(dir / "blocker");
        f << "a file where a folder should be";
    }
    IniFileSettings blocked((dir / "blocker" / "k.ini").string());
    blocked.set_int("K", "v", 1);
    EXPECT_FALSE(blocked.flush());

    // A failed save leaves the previous file untouched and says why: a
    // file-size limit refuses the writes, as a full disk would.
    IniFileSettings good((dir / "good.ini").string());
    good.set_int("K", "v", 1);
    ASSERT_TRUE(good.flush());
    EXPECT_EQ(good.flush_failure(), "");
    good.set_int("K", "v", 2);
    good.set_string("K", "padding", std::string(4096, 'x'));
    bool flushed = true;
    {
        const FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.ok());
        flushed = good.flush();
    }
    EXPECT_FALSE(flushed);
    EXPECT_EQ(good.flush_failure(), "File too large.");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(std::count(names.begin(), names.end(), "good.ini"), 1);
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& n) { return n.rfind("good.ini.tmp", 0) == 0; }),
              0);
    IniFileSettings again(good.path());
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.get_int("K", "v"), 1);
}

// Loads and then flushes a store whose file this process cannot read (as
// another user when running as root); returns load's and flush's results.
std::pair<bool, bool> load_and_flush_unreadable(const std::string& path) {
    ::chmod(path.c_str(), 0);
    auto attempt = [&] {
        IniFileSettings s(path);
        const bool loaded = s.load();
        s.set_int("K", "w", 3);
        return std::pair{loaded, s.flush()};
    };
    if (::geteuid() != 0) return attempt();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) _exit(10);
        const auto [loaded, flushed] = attempt();
        _exit((loaded ? 1 : 0) | (flushed ? 2 : 0));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 10;
    EXPECT_NE(code, 10) << "could not run as another user";
    return {(code & 1) != 0, (code & 2) != 0};
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNeverWrittenOver) {
    fs::create_directories(dir);
    ::chmod(dir.c_str(), 0777);
    const std::string path = (dir / "korvane.ini").string();
    {
        IniFileSettings s(path);
        s.set_string("Other version", "Printer", "Plotter 7");
        ASSERT_TRUE(s.flush());
    }
    const auto [loaded, flushed] = load_and_flush_unreadable(path);
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(flushed);
    ::chmod(path.c_str(), 0644);
    IniFileSettings after(path);
    ASSERT_TRUE(after.load());
    EXPECT_EQ(after.get_string("Other version", "Printer"), "Plotter 7");
    EXPECT_FALSE(after.get_int("K", "w").has_value());
}

TEST(WindowPlacementTest, BytesAreLittleEndianElevenInts) {
    WindowPlacement p;
    p.show_cmd = WindowPlacement::SHOW_MAXIMIZED;
    p.left = -5;
    p.top = 0x01020304;
    p.right = 1280;
    p.bottom = 1024;
    std::vector<uint8_t> b = p.to_bytes();
    ASSERT_EQ(b.size(), 44u);
    EXPECT_EQ((std::vector<uint8_t>(b.begin(), b.begin() + 4)), (std::vector<uint8_t>{44, 0, 0, 0}));
    EXPECT_EQ(b[8], 3);
    EXPECT_EQ((std::vector<uint8_t>(b.begin() + 28, b.begin() + 36)),
              (std::vector<uint8_t>{0xFB, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(WindowPlacement::from_bytes(b), p);

    EXPECT_EQ(WindowPlacement::from_bytes({}), std::nullopt);
    std::vector<uint8_t> short_bytes(b.begin(), b.end() - 1);
    EXPECT_EQ(WindowPlacement::from_bytes(short_bytes), std::nullopt);
    std::vector<uint8_t> wrong_length = b;
    wrong_length[0] = 40;
    EXPECT_EQ(WindowPlacement::from_bytes(wrong_length), std::nullopt);
}

}  // namespace
