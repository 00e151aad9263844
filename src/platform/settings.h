// The settings store: a tree of keys holding named string, integer and binary
// values. Keys are paths with '\' separators, such as
// "Software\QVN Systems\Korvane\10.20\Window positions".
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual std::optional<std::string> get_string(const std::string& key, const std::string& name) const = 0;
    virtual std::optional<int32_t> get_int(const std::string& key, const std::string& name) const = 0;
    virtual std::optional<std::vector<uint8_t>> get_binary(const std::string& key, const std::string& name) const = 0;

    virtual void set_string(const std::string& key, const std::string& name, const std::string& value) = 0;
    virtual void set_int(const std::string& key, const std::string& name, int32_t value) = 0;
    virtual void set_binary(const std::string& key, const std::string& name, const std::vector<uint8_t>& value) = 0;

    virtual void remove(const std::string& key, const std::string& name) = 0;
    // Writes pending values to permanent storage; false when that failed.
    virtual bool flush() = 0;
    // Why the last flush failed, as a sentence; empty when it did not or
    // the store cannot tell.
    virtual std::string flush_failure() const { return {}; }
};

// A store in memory: the headless backend's, and the base of the file store.
class MemorySettings : public SettingsStore {
public:
    std::optional<std::string> get_string(const std::string& key, const std::string& name) const override;
    std::optional<int32_t> get_int(const std::string& key, const std::string& name) const override;
    std::optional<std::vector<uint8_t>> get_binary(const std::string& key, const std::string& name) const override;
    void set_string(const std::string& key, const std::string& name, const std::string& value) override;
    void set_int(const std::string& key, const std::string& name, int32_t value) override;
    void set_binary(const std::string& key, const std::string& name, const std::vector<uint8_t>& value) override;
    void remove(const std::string& key, const std::string& name) override;
    bool flush() override { return true; }

    struct Value {
        enum Kind { String, Int, Binary } kind = String;
        std::string text;
        int32_t number = 0;
        std::vector<uint8_t> bytes;
    };
    // key -> name -> value
    std::map<std::string, std::map<std::string, Value>> values;
};

// A store kept in an INI-style text file. Loading a damaged file keeps what it
// can read and ignores the rest; saving writes a temporary file and renames it.
class IniFileSettings : public MemorySettings {
public:
    explicit IniFileSettings(std::string path);
    // False when the file could not be read (a missing file is fine); the
    // file is then never written over, and flush() is false.
    bool load();
    // Writes the file beside itself and puts it in place in one rename.
    bool flush() override;
    std::string flush_failure() const override { return failure_; }
    const std::string& path() const { return path_; }

    // The text form, exposed for tests.
    std::string serialize() const;
    void parse(const std::string& text);

private:
    std::string path_;
    bool unreadable_ = false;
    std::string failure_;
};
