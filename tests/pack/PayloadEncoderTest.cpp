// The payload: stream header and LZMA data that the decoder turns back into
// exactly the archive stream.
#include "PayloadEncoder.h"

#include "HtarWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

extern "C" {
#include <LzmaDec.h>
}

#include "TestSandbox.h"

using namespace sfxpack;

namespace {

void* TestAlloc(void*, size_t size) { return size ? std::malloc(size) : nullptr; }
void TestFree(void*, void* address) { std::free(address); }
ISzAlloc g_alloc = {TestAlloc, TestFree};

TEST(DictionaryFor, LargestStorableSizeNoLargerThanTheDataWithinBounds) {
    EXPECT_EQ(4096u, DictionaryFor(0));
    EXPECT_EQ(4096u, DictionaryFor(4096));
    EXPECT_EQ(4096u, DictionaryFor(6143));
    EXPECT_EQ(6144u, DictionaryFor(6144));
    EXPECT_EQ(98304u, DictionaryFor(100000));   // 3 * 2^15
    EXPECT_EQ(131072u, DictionaryFor(131072));  // 2^17
    EXPECT_EQ(96u << 20, DictionaryFor((128u << 20) - 1));
    EXPECT_EQ(128u << 20, DictionaryFor(128u << 20));
    EXPECT_EQ(128u << 20, DictionaryFor(1ull << 40));
}

std::vector<uint8_t> Decode(const std::string& payload, uint64_t& storedSize, uint32_t& dict, uint8_t& props) {
    const auto* p = reinterpret_cast<const uint8_t*>(payload.data());
    props = p[0];
    dict = p[1] | p[2] << 8 | p[3] << 16 | static_cast<uint32_t>(p[4]) << 24;
    storedSize = 0;
    for (int i = 0; i < 8; ++i) storedSize |= static_cast<uint64_t>(p[5 + i]) << (8 * i);
    std::vector<uint8_t> out(static_cast<size_t>(storedSize));
    SizeT outLen = out.size(), inLen = payload.size() - 13;
    ELzmaStatus status;
    const SRes res = LzmaDecode(out.data(), &outLen, p + 13, &inLen, p, 5, LZMA_FINISH_END, &status, &g_alloc);
    EXPECT_EQ(SZ_OK, res);
    EXPECT_EQ(out.size(), outLen);
    EXPECT_EQ(payload.size() - 13, inLen);  // the stream ends where the payload ends
    return out;
}

TEST(EncodePayload, DecodesToTheArchiveStreamWithTheStoredSizeAndProperties) {
    quortest::ScopedSandbox box(L"payload");
    std::mt19937 rng(11);
    CHtarWriter archive, reference;
    for (int i = 0; i < 12; ++i) {
        std::vector<uint8_t> c(rng() % 40000);
        for (auto& b : c) b = static_cast<uint8_t>(rng() % 3 + 'a');
        const std::wstring path = box.Path() + L"f" + std::to_wstring(i);
        ASSERT_TRUE(quortest::WriteFileBytes(path, c));
        archive.AddFile("f" + std::to_string(i), std::filesystem::path(path), c.size());
        reference.AddFile("f" + std::to_string(i), std::filesystem::path(path), c.size());
    }
    std::string error;
    ASSERT_TRUE(archive.Plan(error)) << error;
    ASSERT_TRUE(reference.Plan(error)) << error;
    std::vector<uint8_t> stream(static_cast<size_t>(reference.StreamSize()));
    size_t n = stream.size();
    ASSERT_TRUE(reference.Read(stream.data(), n, error)) << error;
    ASSERT_EQ(stream.size(), n);

    std::ostringstream out;
    EncodeResult result;
    ASSERT_TRUE(EncodePayload(archive, out, result, error)) << error;
    const std::string payload = out.str();
    EXPECT_EQ(payload.size(), result.packedSize);

    uint64_t stored;
    uint32_t dict;
    uint8_t props;
    std::vector<uint8_t> decoded = Decode(payload, stored, dict, props);
    EXPECT_EQ(0x62, props);  // lc 8, lp 0, pb 2
    EXPECT_EQ(stream.size(), stored);
    EXPECT_EQ(DictionaryFor(stream.size()), dict);
    EXPECT_LE(dict, stream.size());
    EXPECT_TRUE(stream == decoded);
}

TEST(EncodePayload, EmptyArchiveIsAValidStream) {
    CHtarWriter archive;
    std::string error;
    ASSERT_TRUE(archive.Plan(error)) << error;
    std::ostringstream out;
    EncodeResult result;
    ASSERT_TRUE(EncodePayload(archive, out, result, error)) << error;
    uint64_t stored;
    uint32_t dict;
    uint8_t props;
    std::vector<uint8_t> decoded = Decode(out.str(), stored, dict, props);
    EXPECT_EQ(18u, stored);
    EXPECT_EQ(4096u, dict);
    EXPECT_EQ(2, decoded.at(0));
}

TEST(EncodePayload, ASourceFailureIsReported) {
    quortest::ScopedSandbox box(L"payload");
    const std::wstring path = box.Path() + L"gone";
    ASSERT_TRUE(quortest::WriteFileBytes(path, std::vector<uint8_t>(5000, 'x')));
    CHtarWriter archive;
    archive.AddFile("gone", std::filesystem::path(path), 5000);
    std::string error;
    ASSERT_TRUE(archive.Plan(error)) << error;
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    std::ostringstream out;
    EncodeResult result;
    EXPECT_FALSE(EncodePayload(archive, out, result, error));
    EXPECT_NE(std::string::npos, error.find("cannot open")) << error;
}

TEST(EncodePayload, AnOutputFailureIsReported) {
    CHtarWriter archive;
    archive.AddFile("e", "unused", 0);
    std::string error;
    ASSERT_TRUE(archive.Plan(error)) << error;
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EncodeResult result;
    EXPECT_FALSE(EncodePayload(archive, out, result, error));
    EXPECT_NE(std::string::npos, error.find("cannot write")) << error;
}

}  // namespace
