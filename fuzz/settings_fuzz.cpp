// The settings file: read as the Qt backend reads its INI file, then the
// program started with those settings and shut down, which writes them back.
// What the file holds reads back as the same text, and the settings the
// program writes are the ones it reads the next time.
#include "harness/fuzz_program.h"
#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#include "platform/settings.h"

#include "framework/ui/shell.h"

#include <cstdint>

namespace {

std::string text_of(const MemorySettings& store)
{
    IniFileSettings ini("");
    ini.values = store.values;
    return ini.serialize();
}

// Starts the program on the settings and shuts it down: what it wrote.
MemorySettings program_round(const MemorySettings& settings)
{
    start_program(&settings);
    app_shutdown();
    MemorySettings written;
    written.values = headless_backend().memory_settings().values;
    return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = scratch_path("settings.ini");
    write_file(path, data, size);
    IniFileSettings file(path);
    if (!file.load())
        finding("a settings file that exists cannot be read");

    const std::string text = file.serialize();
    IniFileSettings again("");
    again.parse(text);
    if (again.serialize() != text)
        finding("the settings text does not read back as itself");

    const MemorySettings first = program_round(file);
    const MemorySettings second = program_round(first);
    if (text_of(first) != text_of(second))
        finding("the settings the program wrote are not the ones it wrote again after reading them");
    return 0;
}
