// Blocked and plain placement of runs into member files.
#include <gtest/gtest.h>

#include <map>

#include "ArchiveBlockGroup.h"
#include "ArchiveFileEntry.h"
#include "ArchiveParser.h"
#include "ExtractTestKit.h"
#include "HtarBuilder.h"

using namespace extracttest;
using namespace htartest;

namespace {

typedef std::map<uint32_t, std::pair<uint32_t, uint32_t>> FragmentList;  // destination -> (length, spool)

FragmentList List(const CArchiveFileEntry& entry) {
    FragmentList list;
    for (const auto& f : entry.Fragments()) list[f.first] = {f.second.length, f.second.spoolOffset};
    return list;
}

// Which spool byte each destination byte comes from: fragments split at
// different places compare equal when they place the same bytes.
std::map<uint64_t, uint64_t> ByteMap(const CArchiveFileEntry& entry) {
    std::map<uint64_t, uint64_t> bytes;
    for (const auto& f : entry.Fragments())
        for (uint32_t i = 0; i < f.second.length; ++i) bytes[uint64_t(f.first) + i] = uint64_t(f.second.spoolOffset) + i;
    return bytes;
}

// The placement of a damaged record is refused; these cases are all well formed.
uint32_t AddBlocked(CArchiveFileEntry& entry, uint32_t count, uint32_t spoolOffset) {
    uint32_t moved = 0;
    EXPECT_TRUE(entry.AddBlockedFragment(count, spoolOffset, moved));
    return moved;
}

uint32_t Distribute(CArchiveBlockGroup& group, uint32_t available, uint32_t spoolOffset) {
    uint32_t taken = 0;
    EXPECT_TRUE(group.Distribute(available, spoolOffset, taken));
    return taken;
}

std::vector<uint8_t> Record(const Group& group) {
    Archive archive;
    archive.groups = {group};
    std::vector<uint8_t> stream = archive.Build();
    return std::vector<uint8_t>(stream.begin() + 6 + 12, stream.end());
}

TEST(BlockedFragmentTest, WorkedExamples) {
    CArchiveFileEntry first;
    first.SetRunningPosition(256, 0);
    EXPECT_EQ(AddBlocked(first, 40000, 5000), 40016u);
    EXPECT_EQ(List(first), (FragmentList{{264, {32768, 5000}}, {33040, {7232, 5000 + 32768}}}));

    CArchiveFileEntry second;
    second.SetRunningPosition(1000, 32000);
    EXPECT_EQ(AddBlocked(second, 1000, 77), 1008u);
    EXPECT_EQ(List(second), (FragmentList{{1000, {768, 77}}, {1776, {232, 77 + 768}}}));
}

TEST(BlockedFragmentTest, GapComesWithTheNextPieceAndZeroCountDoesNothing) {
    CArchiveFileEntry entry;
    EXPECT_EQ(AddBlocked(entry, 0, 0), 0u);
    EXPECT_TRUE(entry.Fragments().empty());
    EXPECT_EQ(AddBlocked(entry, 32768, 0), 32776u);
    EXPECT_EQ(entry.DestinationOffset(), 32776u);  // run ended at the block's end: no gap yet
    EXPECT_EQ(AddBlocked(entry, 10, 32768), 18u);
    EXPECT_EQ(List(entry), (FragmentList{{8, {32768, 0}}, {32784, {10, 32768}}}));
}

TEST(BlockedFragmentTest, NoPieceReachesFourGib) {
    // The gap in front of a block must not wrap the destination to the file's start.
    CArchiveFileEntry below, at;
    below.SetRunningPosition(0xFFFFFFF0u, 0);
    EXPECT_EQ(AddBlocked(below, 7, 0), 15u);  // the last byte at 0xFFFFFFFE
    uint32_t moved = 0;
    at.SetRunningPosition(0xFFFFFFF0u, 0);
    EXPECT_FALSE(at.AddBlockedFragment(8, 0, moved));  // a byte at 4 GiB - 1 makes a file of 4 GiB
    EXPECT_TRUE(at.Fragments().empty());
}

TEST(BlockGroupTest, BlockedRunOverSeveralChunksPlacesTheSameBytes) {
    // One blocked member, and a group with two blocked members of one file.
    Group single{100000, {Member{0, true, 0, 256}}};
    Group twice{70000, {Member{0, true, 0, 0}, Member{0, true, 500, 200000}}};
    for (const Group* g : {&single, &twice}) {
        std::vector<uint8_t> record = Record(*g);
        CArchiveFileEntry whole, pieces;
        CArchiveBlockGroup a, b;
        a.Parse(record.data());
        b.Parse(record.data());
        for (int j = 0; j < a.MemberCount(); ++j) {
            a.SetMemberFile(j, &whole);
            b.SetMemberFile(j, &pieces);
        }
        EXPECT_EQ(Distribute(a, 1u << 20, 40), g->runLength);  // the whole run, not more
        EXPECT_EQ(Distribute(a, 10, 40 + g->runLength), 0u);
        uint32_t spool = 40;
        for (uint32_t step : {1u, 7000u, 32767u, 65536u, 3u}) {
            uint32_t took = Distribute(b, step, spool);
            spool += took;
        }
        while (uint32_t took = Distribute(b, 65536, spool)) spool += took;
        EXPECT_EQ(spool, 40 + g->runLength);
        EXPECT_TRUE(b.Complete());
        EXPECT_GT(pieces.Fragments().size(), whole.Fragments().size());
        EXPECT_EQ(ByteMap(pieces), ByteMap(whole));
        EXPECT_EQ(ByteMap(whole).size(), size_t(g->runLength) * g->members.size());
    }
}

TEST(BlockGroupTest, PlainMemberIgnoresBlockPosition) {
    std::vector<uint8_t> record = Record(Group{40000, {Member{0, false, 123, 7}}});
    CArchiveFileEntry entry;
    CArchiveBlockGroup group;
    group.Parse(record.data());
    group.SetMemberFile(0, &entry);
    Distribute(group, 30000, 0);
    Distribute(group, 30000, 30000);
    EXPECT_EQ(List(entry), (FragmentList{{7, {30000, 0}}, {30007, {10000, 30000}}}));
}

class BlockedFileTest : public ExtractTest {};

// A file laid out in blocks: the data run fills the blocks, 8-byte runs of
// members at a nonzero block position fill the gaps. Written through the
// parser in small chunks, it must come out byte for byte.
TEST_F(BlockedFileTest, BlockedFileComesOutWhole) {
    const uint32_t body = 3 * 32768 + 1000;  // four blocks, the last one partial
    std::vector<uint8_t> bodyBytes = RandomBytes(body, 11);
    std::vector<uint8_t> gapBytes = RandomBytes(4 * 8, 12);
    Archive archive;
    archive.names = {"dir\\blocked.bin", "plain.txt"};
    archive.groups.push_back(Group{body, {Member{0, true, 0, 0}}});
    archive.data = bodyBytes;
    for (uint32_t block = 0; block < 4; ++block) {
        archive.groups.push_back(Group{8, {Member{0, true, 100, block * (32768 + 8)}}});
        archive.data.insert(archive.data.end(), gapBytes.begin() + block * 8, gapBytes.begin() + block * 8 + 8);
    }
    archive.groups.push_back(Group{5, {Member{1, false, 0, 0}}});
    std::vector<uint8_t> plain = Bytes("plain");
    archive.data.insert(archive.data.end(), plain.begin(), plain.end());

    std::vector<uint8_t> stream = archive.Build();
    CArchiveParser parser(nullptr);
    for (size_t position = 0; position < stream.size();) {
        uint32_t length = static_cast<uint32_t>(std::min<size_t>(5000, stream.size() - position));
        ASSERT_EQ(parser.Write(stream.data() + position, length), length);
        position += length;
    }
    ASSERT_EQ(parser.Finish(), SZ_OK);

    std::vector<uint8_t> expected;
    for (uint32_t block = 0; block < 4; ++block) {
        expected.insert(expected.end(), gapBytes.begin() + block * 8, gapBytes.begin() + block * 8 + 8);
        uint32_t start = block * 32768, end = std::min(body, start + 32768);
        expected.insert(expected.end(), bodyBytes.begin() + start, bodyBytes.begin() + end);
    }
    EXPECT_EQ(ReadOutput(L"dir\\blocked.bin"), expected);
    EXPECT_EQ(ReadOutput(L"plain.txt"), plain);
}

}  // namespace
