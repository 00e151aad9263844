// The fixture of the tests of the element kinds' and row attributes' model
// file records: the model file fixture with the element classes installed,
// one record read from its bytes at a file version, and the bytes an object
// writes.
#pragma once

#include "elements/element_classes.h"
#include "framework/binfile.h"
#include "model/data/model_file_fixture.h"

#include <memory>
#include <string>
#include <vector>

class ElementRecordsFixture : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_element_classes();
    }

    // Reads one record into `object` from the bytes at a file version; the
    // record must take exactly its bytes.
    template <typename T>
    void read_exactly(T& object, const Bytes& bytes, int version)
    {
        put_bytes(path("record.bin"), bytes.b);
        BinFile f;
        EXPECT_TRUE(f.open_read(path("record.bin")));
        ModelFileVersionScope scope(version);
        object.read(f);
        EXPECT_FALSE(f.error()) << "version " << version;
        EXPECT_EQ(f.remaining(), 0) << "version " << version;
    }
    // The same for the element object of `etype`.
    std::unique_ptr<ElementData> read_record(int etype, const Bytes& bytes, int version)
    {
        std::unique_ptr<ElementData> e = make_element_object(etype);
        read_exactly(*e, bytes, version);
        return e;
    }
    // What reading the element record of `etype` from the bytes throws at the
    // newest version.
    std::string refusal(int etype, const Bytes& bytes)
    {
        return thrown_text([&] { read_record(etype, bytes, MODEL_FILE_VERSION); });
    }
    // The bytes an object writes.
    template <typename T>
    std::vector<unsigned char> written(const T& object)
    {
        BinFile f;
        EXPECT_TRUE(f.open_write(path("written.bin")));
        object.write(f);
        EXPECT_TRUE(f.close());
        return bytes_of(path("written.bin"));
    }
};
