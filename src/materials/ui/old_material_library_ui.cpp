#include "materials/ui/old_material_library_ui.h"

#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/messages.h"
#include "materials/old_material_library.h"
#include "materials/ui/pipe_material_library.h"

#include <filesystem>
#include <system_error>

bool open_old_material_library(WindowId owner, const std::string& path)
{
    try {
        const int version = old_material_library_version(path);
        const std::string converted = replace_extension(path, "mat");
        std::error_code ec;
        if (std::filesystem::exists(converted, ec) &&
            !message_question(
                owner, c_format("Material library %s already exists\nDo you want to overwrite ?", converted.c_str()),
                true))
            return false;
        if (!message_question(owner,
                              c_format("Material library is in Version  %.2f format.\nDo you want to convert to %.2f format ?",
                                       version * 0.01, OLD_MATERIAL_LIBRARY_CONVERTED_VERSION * 0.01),
                              true))
            return false;
        MaterialLibraryContents contents = read_old_material_library(path);
        // The library's own materials, code and units go into the new file.
        write_material_library_file(converted, contents.code, contents.units, contents.records);
        MaterialLibrary& library = material_library();
        library.code = contents.code;
        library.units = contents.units;
        library.records = std::move(contents.records);
        set_material_library_path(converted);
        message_info(owner, "Material Library converted to:\n" + converted);
        return true;
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        material_library().path.clear();
        return false;
    }
}
