// The archive stream the packing tool writes: layout, shared contents,
// limits, and source files that change while they are packed.
#include "HtarWriter.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "TestSandbox.h"

using namespace sfxpack;
using quortest::ScopedSandbox;

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class HtarWriterTest : public testing::Test {
protected:
    HtarWriterTest() : box(L"htar") {}

    // Writes a source file and adds it to the archive under name.
    void Add(const std::string& name, const std::vector<uint8_t>& content) {
        const std::wstring path = box.Path() + L"f" + std::to_wstring(next++);
        ASSERT_TRUE(quortest::WriteFileBytes(path, content));
        archive.AddFile(name, std::filesystem::path(path), content.size());
        contents[name] = content;
    }

    std::vector<uint8_t> ReadAll(size_t step = 4096) {
        std::vector<uint8_t> stream, buf(step);
        for (;;) {
            size_t n = buf.size();
            std::string error;
            EXPECT_TRUE(archive.Read(buf.data(), n, error)) << error;
            if (n == 0) break;
            stream.insert(stream.end(), buf.begin(), buf.begin() + static_cast<ptrdiff_t>(n));
        }
        return stream;
    }

    ScopedSandbox box;
    CHtarWriter archive;
    std::map<std::string, std::vector<uint8_t>> contents;
    int next = 0;
};

// A reader of plain-member archives, independent of the writer: rebuilds
// every file from the stream.
struct Parsed {
    std::vector<std::string> names;
    uint32_t dataLength = 0;
    std::vector<std::vector<uint16_t>> groups;
    std::map<std::string, std::vector<uint8_t>> files;
};

uint32_t U32(const std::vector<uint8_t>& s, size_t at) {
    return s.at(at) | s.at(at + 1) << 8 | s.at(at + 2) << 16 | static_cast<uint32_t>(s.at(at + 3)) << 24;
}
uint16_t U16(const std::vector<uint8_t>& s, size_t at) { return static_cast<uint16_t>(s.at(at) | s.at(at + 1) << 8); }

Parsed Parse(const std::vector<uint8_t>& s) {
    Parsed p;
    const uint32_t namesBytes = U32(s, 0);
    const uint16_t n = U16(s, 4);
    size_t at = 6;
    for (uint16_t i = 0; i < n; ++i) {
        const size_t end = std::find(s.begin() + static_cast<ptrdiff_t>(at), s.end(), 0) - s.begin();
        p.names.emplace_back(s.begin() + static_cast<ptrdiff_t>(at), s.begin() + static_cast<ptrdiff_t>(end));
        at = end + 1;
    }
    EXPECT_EQ(namesBytes, at - 4);
    const size_t table = at;
    const uint32_t tableBytes = U32(s, at);
    p.dataLength = U32(s, at + 4);
    const uint32_t g = U32(s, at + 8);
    at += 12;
    std::vector<std::pair<std::vector<uint16_t>, uint32_t>> records;
    for (uint32_t i = 0; i < g; ++i) {
        const uint8_t members = s.at(at);
        const uint32_t run = U32(s, at + 1);
        std::vector<uint16_t> files;
        for (uint8_t j = 0; j < members; ++j) {
            const size_t m = at + 5 + 8u * j;
            EXPECT_EQ(0, U16(s, m) & 0x8000) << "blocked member";
            EXPECT_EQ(0u, U32(s, m + 4)) << "destination";
            files.push_back(U16(s, m));
        }
        records.emplace_back(files, run);
        p.groups.push_back(files);
        at += 5 + 8u * members;
    }
    EXPECT_EQ(tableBytes, at - table - 4);
    EXPECT_EQ(s.size(), at + p.dataLength);
    for (const std::string& name : p.names) p.files[name];
    size_t data = at;
    for (const auto& r : records) {
        for (uint16_t f : r.first) {
            std::vector<uint8_t>& out = p.files[p.names.at(f)];
            out.assign(s.begin() + static_cast<ptrdiff_t>(data), s.begin() + static_cast<ptrdiff_t>(data + r.second));
        }
        data += r.second;
    }
    return p;
}

TEST_F(HtarWriterTest, SmallArchiveHasTheExactLayout) {
    Add("b.txt", Bytes("HELLOXYZ"));
    Add("d\\c.txt", Bytes("HELLO"));
    Add("a.txt", Bytes("HELLO"));
    Add("e.txt", {});
    std::string error;
    ASSERT_TRUE(archive.Plan(error)) << error;

    const std::vector<uint8_t> want = {
        28, 0, 0, 0, 4, 0,                                        // 28 bytes follow (N and the names), N = 4
        'a', '.', 't', 'x', 't', 0, 'b', '.', 't', 'x', 't', 0,   // sorted by name
        'd', '\\', 'c', '.', 't', 'x', 't', 0, 'e', '.', 't', 'x', 't', 0,
        8 + 13 + 21, 0, 0, 0, 13, 0, 0, 0, 2, 0, 0, 0,            // D = 13, G = 2
        2, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,  // HELLO: a.txt and d\c.txt
        1, 8, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,                    // HELLOXYZ: b.txt
        'H', 'E', 'L', 'L', 'O', 'H', 'E', 'L', 'L', 'O', 'X', 'Y', 'Z'};
    EXPECT_EQ(want, ReadAll());
    EXPECT_EQ(want.size(), archive.StreamSize());
    EXPECT_EQ(13u, archive.DataAreaSize());
    EXPECT_EQ(18u, archive.FileBytes());
}

TEST_F(HtarWriterTest, NoFilesGiveTheEmptyArchive) {
    std::string error;
    ASSERT_TRUE(archive.Plan(error)) << error;
    EXPECT_EQ(std::vector<uint8_t>({2, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), ReadAll());
}

TEST_F(HtarWriterTest, RandomFilesComeBackAndEqualContentsAreStoredOnce) {
    std::mt19937 rng(7);
    std::vector<std::vector<uint8_t>> pool;
    uint64_t distinct = 0;
    for (int i = 0; i < 60; ++i) {
        std::vector<uint8_t> c;
        if (i % 5 == 4 && !pool.empty()) {
            c = pool[rng() % pool.size()];
        } else {
            c.resize(rng() % 70000);
            for (auto& b : c) b = static_cast<uint8_t>(rng() % 7);
            if (!c.empty()) {
                pool.push_back(c);
                distinct += c.size();
            }
        }
        Add("dir" + std::to_string(i % 4) + "\\file" + std::to_string(i), c);
    }
    // Same size and first bytes as another file, one byte different at the end.
    std::vector<uint8_t> near = pool[0];
    near.back() ^= 1;
    distinct += near.size();
    Add("near", near);

    std::string error;
    ASSERT_TRUE(archive.Plan(error)) << error;
    EXPECT_EQ(distinct, archive.DataAreaSize());
    Parsed p = Parse(ReadAll(777));
    EXPECT_EQ(contents.size(), p.names.size());
    EXPECT_TRUE(std::is_sorted(p.names.begin(), p.names.end()));
    EXPECT_EQ(contents, p.files);
}

TEST_F(HtarWriterTest, MoreEqualFilesThanAGroupHoldsGoIntoSeveralGroups) {
    for (int i = 0; i < 300; ++i) Add("copy" + std::to_string(1000 + i), Bytes("same content"));
    std::string error;
    ASSERT_TRUE(archive.Plan(error)) << error;
    Parsed p = Parse(ReadAll());
    ASSERT_EQ(2u, p.groups.size());
    EXPECT_EQ(255u, p.groups[0].size());
    EXPECT_EQ(45u, p.groups[1].size());
    EXPECT_EQ(contents, p.files);
}

TEST_F(HtarWriterTest, RefusesNamesTheTargetCannotTellApart) {
    const std::pair<std::string, std::string> clashes[] = {
        {"Read.me", "READ.ME"}, {"\xC4.txt", "\xE4.txt"}, {"sub", "SUB\\x"}, {"a\\b", "A\\B"}};
    for (const auto& c : clashes) {
        CHtarWriter w;
        w.AddFile(c.first, "unused", 0);
        w.AddFile(c.second, "unused", 0);
        std::string error;
        EXPECT_FALSE(w.Plan(error)) << c.first << " / " << c.second;
        EXPECT_NE(std::string::npos, error.find("case")) << error;
    }
    CHtarWriter fine;
    fine.AddFile("a\\b", "unused", 0);
    fine.AddFile("a\\c", "unused", 0);
    fine.AddFile("ab", "unused", 0);
    std::string error;
    EXPECT_TRUE(fine.Plan(error)) << error;
}

TEST_F(HtarWriterTest, RefusesInvalidMemberNames) {
    CHtarWriter w;
    w.AddFile("..\\escape", "unused", 0);
    std::string error;
    EXPECT_FALSE(w.Plan(error));
    EXPECT_NE(std::string::npos, error.find("..\\escape")) << error;
}

TEST_F(HtarWriterTest, FileCountLimitIs32768) {
    // Empty files are never read, so no files need to exist.
    CHtarWriter w;
    for (int i = 0; i < 32768; ++i) w.AddFile("f" + std::to_string(100000 + i), "unused", 0);
    std::string error;
    EXPECT_TRUE(w.Plan(error)) << error;
    w.AddFile("one more", "unused", 0);
    EXPECT_FALSE(w.Plan(error));
    EXPECT_NE(std::string::npos, error.find("32768")) << error;
}

TEST_F(HtarWriterTest, SizeLimitsAreCheckedBeforeAnythingIsRead) {
    std::string error;
    CHtarWriter big;
    big.AddFile("big", "does-not-exist", 0x100000000ull);
    EXPECT_FALSE(big.Plan(error));
    EXPECT_NE(std::string::npos, error.find("at most 4 GiB - 1")) << error;

    CHtarWriter total;
    total.AddFile("one", "does-not-exist", 0x80000000ull);
    total.AddFile("two", "does-not-exist", 0x80000001ull);
    EXPECT_FALSE(total.Plan(error));
    EXPECT_NE(std::string::npos, error.find("data area")) << error;

    // At the limit the files are read (and here found missing).
    CHtarWriter edge;
    edge.AddFile("edge", "does-not-exist", 0xFFFFFFFFull);
    EXPECT_FALSE(edge.Plan(error));
    EXPECT_NE(std::string::npos, error.find("cannot open")) << error;
}

TEST_F(HtarWriterTest, SourceThatChangesAfterPlanningFailsTheRead) {
    Add("grows", Bytes("12345"));
    Add("shrinks", Bytes("abcdefgh"));
    std::string error;
    ASSERT_TRUE(archive.Plan(error)) << error;
    ASSERT_TRUE(quortest::WriteFileBytes(box.Path() + L"f0", Bytes("123456")));
    std::vector<uint8_t> buf(1 << 16);
    size_t n = buf.size();
    EXPECT_FALSE(archive.Read(buf.data(), n, error));
    EXPECT_NE(std::string::npos, error.find("longer")) << error;

    CHtarWriter second;
    second.AddFile("shrinks", std::filesystem::path(box.Path() + L"f1"), 8);
    ASSERT_TRUE(second.Plan(error)) << error;
    ASSERT_TRUE(quortest::WriteFileBytes(box.Path() + L"f1", Bytes("abc")));
    n = buf.size();
    EXPECT_FALSE(second.Read(buf.data(), n, error));
    EXPECT_NE(std::string::npos, error.find("shorter")) << error;
}

TEST_F(HtarWriterTest, SourceWhoseSizeDiffersWhenPlanningIsRefused) {
    const std::wstring path = box.Path() + L"liar";
    ASSERT_TRUE(quortest::WriteFileBytes(path, Bytes("four")));
    archive.AddFile("liar", std::filesystem::path(path), 9);
    std::string error;
    EXPECT_FALSE(archive.Plan(error));
    EXPECT_NE(std::string::npos, error.find("size")) << error;
}

}  // namespace
