// Model file tests: a model per test, a scratch folder, record classes whose fields are gated on the file version, and a
// byte builder that writes files of the older, unframed versions.
#pragma once

#include "framework/binfile.h"
#include "framework/qa_block.h"
#include "framework/units.h"
#include "model/data/model_fixture.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/load_cases.h"
#include "model/model_file.h"
#include "model/piping_codes.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

// An element kind with a version gate of its own: a value and a name always
// (the name 4 bytes before 680), `extra` only from version 781 on. It notes
// the version it was read at.
struct GatedElement : ElementData {
    float value = 0.0f;
    std::string name;
    int32_t extra = 0;
    int32_t read_at = 0;
    void read(BinFile& f) override
    {
        read_at = model_file_version();
        value = f.read_float();
        name = read_row_name(f, model_file_name_width());
        if (model_file_version() >= 781)
            extra = f.read_int();
    }
    void write(BinFile& f) const override
    {
        f.write_float(value);
        write_row_name(f, name);
        f.write_int(extra);
    }
};

// A data kind with a gate: type and weight always, `flanges` from 781 on.
struct GatedData : DataItem {
    int32_t type = 0;
    float weight = 0.0f;
    int32_t flanges = 0;
    void read(BinFile& f) override
    {
        type = f.read_int();
        weight = f.read_float();
        if (model_file_version() >= 781)
            flanges = f.read_int();
    }
    void write(BinFile& f) const override
    {
        f.write_int(type);
        f.write_float(weight);
        f.write_int(flanges);
    }
};

inline uint32_t bits(float v) { return std::bit_cast<uint32_t>(v); }

// Little-endian bytes of a file, field by field.
struct Bytes {
    std::vector<unsigned char> b;
    void u8(uint8_t v) { b.push_back(v); }
    void i32(int32_t v)
    {
        const auto u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<unsigned char>(u >> (8 * i)));
    }
    void f32(float v) { i32(static_cast<int32_t>(bits(v))); }
    void name(const std::string& text, std::size_t width)
    {
        for (std::size_t i = 0; i < width; ++i)
            b.push_back(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
    }
    void header(int version)
    {
        char text[17];
        std::snprintf(text, sizeof text, "KORVANE21KM%04d", version);
        name(text, 16);
    }
};

// One row of an old file: the row's fields and the bytes of its records.
struct OldRow {
    int32_t node = 0;
    int32_t etype = ET_NONE;
    int32_t dtype = DT_NONE;
    float dx = 0.0f, dy = 0.0f, dz = 0.0f;
    std::string material, section, load;
    std::vector<unsigned char> element, data;
};

// The sections of an unframed file of `version`, laid out as the model file
// documents them: default options with the given piping code, English
// units, no load cases, empty registered sections (count 0) except those in
// `counts` (section id -> count written instead, followed by the section's
// bytes in `records` when it has some there), the rows, no nodes.
inline std::vector<unsigned char> old_model_file(
    int version, const std::vector<OldRow>& rows, int32_t code = CODE_NONE,
    const std::vector<std::pair<int, int32_t>>& counts = {},
    const std::vector<std::pair<int, std::vector<unsigned char>>>& records = {})
{
    Bytes f;
    f.header(version);
    f.name("Old model", MODEL_TITLE_WIDTH);
    for (int width : {60, 60, 20, 20, 60, 60, 60, 60})
        f.name("QA", static_cast<std::size_t>(width));
    // Options: the program defaults in file order.
    f.u8(0); f.u8(0); f.u8(0);
    f.i32(0); f.i32(0); f.i32(0); f.i32(1);
    f.u8(0);
    f.f32(1.2f); f.f32(70.0f); f.i32(7000); f.i32(1);
    f.u8(0); f.u8(0); f.u8(0); f.u8(1); f.u8(1);
    f.f32(1.0f); f.i32(33); f.i32(20);
    f.u8(1); f.u8(1); f.u8(1); f.u8(0);
    f.f32(70.0f); f.i32(code); f.i32(10);
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
        f.i32(0);
    f.i32(0);   // load cases
    for (int id = SECTION_VIEW_SETTINGS; id < SECTION_LAYOUT_ROWS; ++id) {
        if (version < model_section_first_version(id))
            continue;
        int32_t count = 0;
        for (const auto& [section, n] : counts)
            if (section == id)
                count = n;
        f.i32(count);
        for (const auto& [section, bytes] : records)
            if (section == id)
                f.b.insert(f.b.end(), bytes.begin(), bytes.end());
    }
    const std::size_t width = version < 680 ? 4 : 6;
    f.i32(static_cast<int32_t>(rows.size()));
    for (const OldRow& r : rows) {
        f.i32(r.node);
        f.u8(0);
        f.i32(r.etype);
        f.i32(r.dtype);
        f.f32(r.dx); f.f32(r.dy); f.f32(r.dz);
        f.name(r.material, width);
        f.name(r.section, width);
        f.name(r.load, width);
        f.b.insert(f.b.end(), r.element.begin(), r.element.end());
        f.b.insert(f.b.end(), r.data.begin(), r.data.end());
    }
    f.i32(0);   // nodes
    f.i32(0);   // revision record
    return f.b;
}

class ModelFileTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        set_element_factory(ET_BEAM, [] { return std::make_unique<GatedElement>(); });
        set_data_factory(DT_FLANGE, [] { return std::make_unique<GatedData>(); });
        std::string pattern = (std::filesystem::temp_directory_path() / "modfile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::vector<unsigned char> bytes_of(const std::string& file) const
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void put_bytes(const std::string& file, const std::vector<unsigned char>& bytes) const
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Names in the scratch folder (left-over temporary files show up here).
    std::vector<std::string> folder_names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // A small model with a row of each record form: bare, comment text,
    // neutral bytes, a gated class, and empty data items.
    static void small_model()
    {
        from(10, 1.0f, 2.0f, 3.0f);
        int pipe = row(20, ET_PIPE, 12.0f, 0.0f, 0.0f);
        model().rows[pipe].material = "CS1";
        model().rows[pipe].section = "S6";
        int comment = row(0, ET_COMMENT);
        static_cast<CommentElement&>(*model().rows[comment].element).set_text("A comment row");
        int valve = row(30, ET_VALVE, 0.0f, 24.0f, 0.0f, DT_ANCHOR);
        static_cast<NeutralElement&>(*model().rows[valve].element).raw = {1, 2, 3, 4, 5};
        static_cast<NeutralDataItem&>(*model().rows[valve].data).raw = {9, 8, 7};
        int beam = row(40, ET_BEAM, 0.0f, 0.0f, -6.5f, DT_FLANGE);
        auto& element = static_cast<GatedElement&>(*model().rows[beam].element);
        element.value = 3.25f;
        element.name = "W8X31";
        element.extra = 17;
        auto& data = static_cast<GatedData&>(*model().rows[beam].data);
        data.type = 2;
        data.weight = 150.0f;
        data.flanges = 1;
        model().title = "Small model";
    }

    std::filesystem::path dir;
};
