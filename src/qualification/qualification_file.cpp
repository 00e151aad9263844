#include "qualification/qualification_file.h"

#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "platform/file_replace.h"

#include <cstring>

void open_qualification_file(BinFile& file, const std::string& path, const QualificationFileTexts& texts)
{
    if (!file.open_read(path))
        throw MessageText(missing_file_text(texts.title, path));
}

std::string read_qualification_magic(BinFile& file)
{
    char magic[QUALIFICATION_MAGIC_SIZE + 1] = {};
    file.read(magic, QUALIFICATION_MAGIC_SIZE);
    return std::string(magic, ::strnlen(magic, QUALIFICATION_MAGIC_SIZE));
}

void write_qualification_magic(BinFile& file, const std::string& magic)
{
    file.write_name(magic, QUALIFICATION_MAGIC_SIZE);
}

UnitChoices read_unit_choice_block(BinFile& file)
{
    UnitChoices units{};
    file.read_ints(&units[1], NUM_UNIT_QUANTITIES);
    return units;
}

void write_unit_choice_block(BinFile& file, const UnitChoices& units)
{
    file.write_ints(&units[1], NUM_UNIT_QUANTITIES);
}

std::string unit_choices_fault(const UnitChoices& units)
{
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
        const int32_t choice = units[static_cast<std::size_t>(q)];
        if (!unit_choice_valid(q, choice))
            return c_format("The unit choice of quantity %d holds %d", q, choice);
    }
    return {};
}

void throw_qualification_fault(const QualificationFileTexts& texts, const std::string& path, const std::string& reason)
{
    std::string text = c_format(texts.read_error, path.c_str());
    if (!reason.empty())
        text += "\n" + reason;
    throw MessageText(text);
}

void throw_qualification_magic(const QualificationFileTexts& texts, const std::string& path)
{
    throw MessageText(c_format(texts.bad_magic, path.c_str()));
}

void check_qualification_stream(BinFile& file, const QualificationFileTexts& texts, const std::string& path)
{
    if (file.error())
        throw_qualification_fault(texts, path, "The file ends too early");
}

void create_qualification_file(BinFile& file, const std::string& path, const QualificationFileTexts& texts)
{
    if (!file.open_write(path))
        throw MessageText(with_reason(texts.write_error, file.failure()));
}

void finish_qualification_file(BinFile& file, const QualificationFileTexts& texts)
{
    if (file.error() || !file.close()) {
        const std::string reason = file.failure();
        file.abandon();
        throw MessageText(with_reason(texts.write_error, reason));
    }
}
