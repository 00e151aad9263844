// The SHA-256 by which a results file names its model file, against the
// digests of FIPS 180-2, Appendix B (the one-block "abc", the two-block
// 448-bit message and one million "a"), and the digest of the empty
// message (NIST's example values for SHA-256).
#include "scratch_files.h"
#include "framework/sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

TEST(ResultsFingerprintSha256, Sha256OfThePublishedMessages)
{
    EXPECT_EQ(sha256_hex(sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256_hex(sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256_hex(sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(sha256_hex(sha256(std::string(1000000, 'a'))),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(ResultsFingerprintSha256, Sha256InPartsAndOfAFileIsTheWholeMessage)
{
    // Split at every place of a message of two blocks and more, the padding
    // falling in the last block or beyond it.
    for (std::size_t size : {55u, 56u, 63u, 64u, 119u, 130u}) {
        std::string text;
        for (std::size_t i = 0; i < size; ++i)
            text += static_cast<char>('a' + i % 26);
        const Sha256Digest whole = sha256(text);
        for (std::size_t cut = 0; cut <= size; ++cut) {
            Sha256 hash;
            hash.update(text.substr(0, cut));
            hash.update(text.substr(cut));
            EXPECT_EQ(hash.finish(), whole) << size << " cut at " << cut;
        }
    }
    // A file larger than the reader's chunk.
    ScratchFolder scratch("sha256");
    const std::string path = scratch.path("model.mod");
    const std::string contents(200000, 'a');
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(contents.data(), 1, contents.size(), f);
        std::fclose(f);
    }
    Sha256Digest digest{};
    EXPECT_TRUE(sha256_of_file(path, digest));
    EXPECT_EQ(digest, sha256(contents));
    std::filesystem::remove(path);
    EXPECT_FALSE(sha256_of_file(path, digest));
}
