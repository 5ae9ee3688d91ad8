// Thousands of damaged payloads: every one ends in success or a clean error,
// and nothing is ever written outside the extraction folder.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "ArchiveParser.h"
#include "ExtractTestKit.h"
#include "HtarBuilder.h"
#include "PayloadDecoder.h"

using namespace extracttest;
using namespace htartest;

namespace {

const char* const kHostileNames[] = {
    "..\\evil", "../evil", "\\evil", "/evil", "S:\\evil", "C:evil", "a\\..\\..\\evil", "evil:stream", "..",
    ".", "", "NUL", "com1.evil", "temp.htar", "TEMP.HTAR", "dir\\\\evil", "evil.", "evil\x1f", "dir/../../evil",
};

class SweepTest : public ExtractTest {
protected:
    // A base archive with nested names, plain and blocked members, duplicates, an empty file.
    Archive BaseArchive() {
        Archive archive;
        archive.names = {"setup.exe", "data\\one.bin", "data\\deep\\two.bin", "empty.txt", "blk.bin"};
        std::vector<uint8_t> a = RandomBytes(30000, 1, true), b = RandomBytes(70000, 2);
        archive.groups.push_back(Group{30000, {Member{0, false, 0, 0}, Member{2, false, 0, 0}}});
        archive.groups.push_back(Group{70000, {Member{1, false, 0, 0}}});
        archive.data = a;
        archive.data.insert(archive.data.end(), b.begin(), b.end());
        std::vector<uint8_t> body = RandomBytes(40000, 3, true), gaps = RandomBytes(16, 4);
        archive.groups.push_back(Group{40000, {Member{4, true, 0, 0}}});
        archive.data.insert(archive.data.end(), body.begin(), body.end());
        for (uint32_t block = 0; block < 2; ++block) {
            archive.groups.push_back(Group{8, {Member{4, true, 9, block * (32768 + 8)}}});
            archive.data.insert(archive.data.end(), gaps.begin() + 8 * block, gaps.begin() + 8 * block + 8);
        }
        return archive;
    }

    // Everything below the temporary root lies in the extraction folder (or is the program).
    void ExpectContained() {
        std::wstring prefix = Folder().substr(Root().size());
        for (const std::wstring& file : FilesBelowRoot()) {
            if (file == L"program.bin") continue;
            ASSERT_EQ(file.compare(0, prefix.size(), prefix), 0) << quortest::Narrow(file);
        }
        ASSERT_FALSE(quortest::FileExists(L"S:\\evil"));
        ASSERT_FALSE(quortest::FileExists(L"S:\\tmp\\evil"));
        ASSERT_FALSE(quortest::FileExists(L"C:\\evil"));
        ASSERT_FALSE(quortest::FileExists(Root() + L"evil"));
    }

    void Reset() {
        DestroyArchiveParser(g_pArchiveParser);
        g_pArchiveParser = nullptr;
        quortest::RemoveSandboxFolder(Folder());
    }

    // Feeds a stream straight to the parser in random chunks, then the copy-out.
    ExtractionResult FeedAndFinish(const std::vector<uint8_t>& stream, std::mt19937& rng) {
        CArchiveParser parser(m_progress->Handle());
        ExtractionResult result = SZ_OK;
        for (size_t position = 0; position < stream.size();) {
            uint32_t length = static_cast<uint32_t>(std::min<size_t>(1 + rng() % 70000, stream.size() - position));
            if (parser.Write(stream.data() + position, length) != length) {
                result = parser.FailureCode();
                break;
            }
            position += length;
        }
        if (result == SZ_OK) result = parser.Finish();
        else parser.DiscardSpool();
        return result;
    }

    std::set<ExtractionResult> m_seen;
};

TEST_F(SweepTest, DamagedArchiveStreams) {
    std::mt19937 rng(20261208);
    const Archive base = BaseArchive();
    const std::vector<uint8_t> stream = base.Build();
    const size_t headerEnd = stream.size() - base.data.size();
    for (int round = 0; round < 2400; ++round) {
        std::vector<uint8_t> damaged;
        int kind = round % 4;
        if (kind == 0) {  // bit flips, mostly in names and records
            damaged = stream;
            for (int flips = 1 + rng() % 3; flips > 0; --flips) {
                size_t at = (rng() % 4 != 0) ? rng() % headerEnd : rng() % damaged.size();
                damaged[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
            }
        } else if (kind == 1) {  // cuts
            damaged.assign(stream.begin(), stream.begin() + rng() % stream.size());
        } else if (kind == 2) {  // hostile names
            Archive archive = base;
            archive.names[rng() % archive.names.size()] = kHostileNames[rng() % (sizeof(kHostileNames) / sizeof(*kHostileNames))];
            damaged = archive.Build();
        } else {  // hostile indices, positions, run lengths and counts
            Archive archive = base;
            Group& group = archive.groups[rng() % archive.groups.size()];
            switch (rng() % 6) {
            case 0: group.members[0].index = static_cast<uint16_t>(rng() % 0x8000); break;
            case 1: group.members[0].destination = rng(); break;
            case 2: group.members[0].blockPosition = static_cast<uint16_t>(rng()); group.members[0].blocked = true; break;
            case 3: group.runLength = rng() % 100000; break;
            case 4: archive.groupCountOverride = rng() % 3 == 0 ? rng() : archive.groups.size() + 1 - rng() % 3; break;
            default: archive.dataLengthOverride = rng(); break;
            }
            damaged = archive.Build();
        }
        ExtractionResult result = FeedAndFinish(damaged, rng);
        ASSERT_TRUE(result == SZ_OK || result == SZ_ERROR_DATA || result == EXTRACT_OPEN_OUTPUT_FAILED)
            << "round " << round << " result " << result;
        m_seen.insert(result);
        const std::vector<int>& progress = m_progress->Values();
        ASSERT_TRUE(progress.empty() || progress.back() <= 499);
        ASSERT_NO_FATAL_FAILURE(ExpectContained()) << "round " << round;
        Reset();
    }
    EXPECT_TRUE(m_seen.count(SZ_OK));
    EXPECT_TRUE(m_seen.count(SZ_ERROR_DATA));
}

TEST_F(SweepTest, DamagedCompressedPayloads) {
    std::mt19937 rng(77);
    const std::vector<uint8_t> payload = Compress(BaseArchive().Build());
    static const std::set<std::string> kErrorTexts = {
        "\nError: Data error\n", "\nError: Can not allocate memory\n", "\nError: Can not write output file\n",
        "\nError code: 4\n", "\nError code: 6\n", "\nError code: 23\n"};
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> damaged = payload;
        if (round % 2 == 0) {
            for (int flips = 1 + rng() % 2; flips > 0; --flips) {
                // Keep the dictionary size sane now and then: the header bytes are flipped too.
                size_t at = rng() % damaged.size();
                damaged[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
            }
        } else {
            damaged.resize(rng() % damaged.size());
        }
        Outcome outcome = Decode(WriteProgram(damaged, 64), 64);
        // Success has no text; a failure has exactly one of the engine's texts.
        if (outcome.code == 0) ASSERT_EQ(outcome.text, "") << "round " << round;
        else ASSERT_TRUE(outcome.code == 1 && kErrorTexts.count(outcome.text))
            << "round " << round << ": " << outcome.code << " " << outcome.text;
        ASSERT_NO_FATAL_FAILURE(ExpectContained()) << "round " << round;
        Reset();
    }
}

}  // namespace
