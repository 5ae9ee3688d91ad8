// Seeded random archives against a small model of the placement rules: valid
// archives (plain and blocked members, gaps filled by other fragments, shared
// runs, groups of up to 255 members, empty files, members near 4 GiB) fed to
// the parser in random chunks, and damaged ones that must be refused with
// nothing written. QUOR_RANDOM_ARCHIVES and QUOR_RANDOM_SEED change the count
// and the seed (tests/extract/run-random.sh runs a larger count by hand).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <random>

#include "ArchiveParser.h"
#include "ExtractTestKit.h"
#include "HtarBuilder.h"

using namespace extracttest;
using namespace htartest;

namespace {

constexpr uint64_t kFourGib = 1ull << 32;
constexpr uint32_t kBlock = 32768;

unsigned Setting(const char* name, unsigned fallback) {
    const char* value = std::getenv(name);
    return value && *value ? static_cast<unsigned>(std::strtoul(value, nullptr, 10)) : fallback;
}

// ---------------------------------------------------------------- the model

struct Piece {
    uint64_t destination;
    uint32_t length;
    uint32_t spool;
    bool operator==(const Piece& o) const {
        return destination == o.destination && length == o.length && spool == o.spool;
    }
};

// Byte i of a run goes to the destination + i, plus 8 for every block begun
// up to it; a blocked member begins a block wherever its position (block
// position + i) is a multiple of 32 KiB. Plain members begin none.
std::vector<Piece> Place(const Member& m, uint32_t run, uint32_t spool) {
    std::vector<Piece> pieces;
    for (uint32_t i = 0; i < run;) {
        const uint64_t position = (m.blockPosition & 0x7FFFu) + uint64_t(i);
        uint64_t gaps = 0;  // multiples of 32 KiB in [block position, position]
        if (m.blocked) gaps = position / kBlock - ((m.blockPosition & 0x7FFFu) + kBlock - 1) / kBlock + 1;
        const uint32_t length = m.blocked ? std::min<uint32_t>(run - i, kBlock - position % kBlock) : run;
        pieces.push_back(Piece{m.destination + uint64_t(i) + 8 * gaps, length, spool + i});
        i += length;
    }
    return pieces;
}

// Joins pieces that continue each other on both sides: the parser splits at
// chunk boundaries, the model at block boundaries only.
std::vector<Piece> Joined(std::vector<Piece> pieces) {
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.destination < b.destination; });
    std::vector<Piece> joined;
    for (const Piece& p : pieces) {
        if (!joined.empty() && joined.back().destination + joined.back().length == p.destination &&
            joined.back().spool + joined.back().length == p.spool)
            joined.back().length += p.length;
        else
            joined.push_back(p);
    }
    return joined;
}

struct Verdict {
    bool pastFourGib = false;  // some piece reaches 4 GiB: refused while the data arrives
    bool extractable = true;   // every file covered from 0 without gap or overlap
    std::vector<std::vector<Piece>> files;
};

Verdict Judge(const Archive& archive) {
    Verdict v;
    v.files.resize(archive.names.size());
    uint32_t spool = 0;
    for (const Group& g : archive.groups) {
        for (const Member& m : g.members)
            for (const Piece& p : Place(m, g.runLength, spool)) {
                v.pastFourGib = v.pastFourGib || p.destination + p.length >= kFourGib;
                v.files[m.index].push_back(p);
            }
        spool += g.runLength;
    }
    for (std::vector<Piece>& file : v.files) {
        file = Joined(file);
        uint64_t end = 0;
        for (const Piece& p : file) {
            v.extractable = v.extractable && p.destination == end;
            end = p.destination + p.length;
        }
    }
    v.extractable = v.extractable && !v.pastFourGib;
    return v;
}

// ---------------------------------------------------------------- the generator

class Generator {
public:
    explicit Generator(uint32_t seed) : m_rng(seed) {}
    uint32_t Below(uint32_t n) { return n ? m_rng() % n : 0; }

    // A valid archive; with high set, up to three more files each hold one
    // member placed near 4 GiB (about half of them reach past it).
    Archive Make(bool high) {
        Archive a;
        const uint32_t files = 1 + Below(10);
        for (uint32_t f = 0; f < files; ++f) a.names.push_back("d" + std::to_string(f % 3) + "\\f" + std::to_string(f) + ".bin");
        std::vector<uint64_t> end(files, 0);
        std::vector<std::pair<uint16_t, uint64_t>> holes;  // 8-byte gaps left to fill
        auto append = [&](size_t g, uint16_t f, bool blocked) {
            Member m{f, blocked, static_cast<uint16_t>(blocked && Below(2) ? Below(kBlock) : 0), uint32_t(end[f])};
            a.groups[g].members.push_back(m);
            for (const Piece& p : Place(m, a.groups[g].runLength, 0)) {
                if (p.destination > end[f]) holes.push_back({f, end[f]});
                end[f] = p.destination + p.length;
            }
        };
        for (uint32_t steps = Below(4 * files); steps > 0; --steps) {
            const uint16_t f = static_cast<uint16_t>(Below(files - (files > 1 ? 1 : 0)));  // the last file may stay empty
            const uint32_t kind = Below(8);
            if (kind == 0 && !a.groups.empty()) {  // a run shared with earlier members
                size_t g = Below(uint32_t(a.groups.size()));
                if (a.groups[g].members.size() < 255) append(g, f, Below(2) != 0);
            } else if (kind == 1) {  // a short run placed many times in a row
                a.groups.push_back(Group{1 + Below(40), {}});
                for (uint32_t n = 2 + Below(254); n > 0; --n) append(a.groups.size() - 1, f, false);
            } else {
                const uint32_t sizes[] = {Below(16), Below(kBlock + 100), Below(150000), kBlock - Below(2)};
                a.groups.push_back(Group{sizes[Below(4)], {}});
                append(a.groups.size() - 1, f, Below(2) != 0);
            }
        }
        // Fill every gap with 8 bytes: plain, or blocked within one block; now and then one run fills several gaps.
        for (const auto& hole : holes) {
            if (a.groups.empty() || a.groups.back().runLength != 8 || a.groups.back().members.size() >= 255 || Below(3) == 0)
                a.groups.push_back(Group{8, {}});
            const bool blocked = Below(2) != 0;
            a.groups.back().members.push_back(Member{hole.first, blocked,
                                                     static_cast<uint16_t>(blocked ? 1 + Below(kBlock - 8) : 0),
                                                     uint32_t(hole.second)});
        }
        for (uint32_t n = high ? 1 + Below(3) : 0; n > 0; --n) {
            const bool blocked = Below(4) != 0;
            const uint32_t run = 1 + Below(Below(2) ? 16 : 2 * kBlock);
            // Block position 0 (a gap first), or just below a block's end; 32768 stands for 0.
            const uint16_t position = static_cast<uint16_t>(Below(2) ? 0 : kBlock - Below(64));
            const uint32_t reach = run + 8 * (run / kBlock + 2);
            a.groups.push_back(Group{run, {Member{uint16_t(a.names.size()), blocked, position,
                                                  uint32_t(kFourGib - 1 - Below(2 * reach))}}});
            a.names.push_back("high" + std::to_string(n) + ".bin");
        }
        std::shuffle(a.groups.begin(), a.groups.end(), m_rng);
        uint64_t data = 0;
        for (const Group& g : a.groups) data += g.runLength;
        a.data = RandomBytes(size_t(data), m_rng());
        return a;
    }

    // Damage that the format cannot accept; the stream of a valid archive.
    std::vector<uint8_t> Damage(Archive a) {
        static const char* const kRefusedNames[] = {"..\\x", "C:x", "a\\\\b", "NUL", "x.", "temp.htar", "a:b", "", "\\x"};
        for (;;) {
            const size_t g = Below(uint32_t(a.groups.size()));
            Group* group = a.groups.empty() ? nullptr : &a.groups[g];
            Member* member = group && !group->members.empty() ? &group->members[Below(uint32_t(group->members.size()))] : nullptr;
            switch (Below(8)) {
            case 0: {  // a cut anywhere
                std::vector<uint8_t> stream = a.Build();
                stream.resize(1 + Below(uint32_t(stream.size() - 1)));
                return stream;
            }
            case 1:  // a name that leaves the folder or is no file name
                a.names[Below(uint32_t(a.names.size()))] = kRefusedNames[Below(sizeof(kRefusedNames) / sizeof(*kRefusedNames))];
                return a.Build();
            case 2:  // two names that meet on disk
                if (a.names.size() < 2) continue;
                a.names[1] = a.names[0];
                std::transform(a.names[1].begin(), a.names[1].end(), a.names[1].begin(), ::toupper);
                return a.Build();
            case 3:  // a member naming no file
                if (!member) continue;
                member->index = static_cast<uint16_t>(a.names.size() + Below(0x8000 - uint32_t(a.names.size())));
                return a.Build();
            case 4:  // more records than the table holds
                a.groupCountOverride = int64_t(a.groups.size()) + 1 + Below(3);
                return a.Build();
            case 5:  // a run longer than the data left for it
                if (!group) continue;
                group->runLength += 1 + Below(1000);
                return a.Build();
            case 6:  // a member carried past 4 GiB
                if (!member || group->runLength == 0) continue;
                member->destination = uint32_t(kFourGib - 1 - Below(group->runLength));
                return a.Build();
            default:  // a member left out: its bytes leave a hole before later ones
                if (!member || !HasLaterBytes(a, g, *member)) continue;
                group->members.erase(group->members.begin() + (member - group->members.data()));
                return a.Build();
            }
        }
    }

    std::mt19937& Rng() { return m_rng; }

private:
    static bool HasLaterBytes(const Archive& a, size_t g, const Member& m) {
        if (a.groups[g].runLength == 0) return false;
        const uint64_t start = Place(m, a.groups[g].runLength, 0).front().destination;
        for (const Group& other : a.groups)
            for (const Member& o : other.members)
                if (&o != &m && o.index == m.index && other.runLength > 0 &&
                    Place(o, other.runLength, 0).back().destination > start)
                    return true;
        return false;
    }

    std::mt19937 m_rng;
};

// ---------------------------------------------------------------- the runs

class RandomArchiveTest : public ExtractTest {
protected:
    // Feeds the stream in random chunks (tiny, around the decoder's 64 KiB,
    // or large) until the parser refuses one. True when every chunk was taken.
    bool Feed(CArchiveParser& parser, const std::vector<uint8_t>& stream, std::mt19937& rng) {
        const uint32_t mode = rng() % 4;
        for (size_t at = 0; at < stream.size();) {
            const uint32_t want = mode == 0 ? 1 + rng() % 16 : mode == 1 ? 65536 : 1 + rng() % (mode == 2 ? 5000 : 140000);
            const uint32_t length = static_cast<uint32_t>(std::min<size_t>(want, stream.size() - at));
            if (parser.Write(stream.data() + at, length) != length) return false;
            at += length;
        }
        return true;
    }

    static std::vector<Piece> Fragments(const CArchiveFileEntry& entry) {
        std::vector<Piece> pieces;
        for (const auto& f : entry.Fragments()) pieces.push_back(Piece{f.first, f.second.length, f.second.spoolOffset});
        return Joined(pieces);
    }

    void Reset() {
        quortest::RemoveSandboxFolder(Folder());
        ASSERT_TRUE(FilesBelowRoot().empty());
    }

    const unsigned m_count = Setting("QUOR_RANDOM_ARCHIVES", 200);
    const unsigned m_seed = Setting("QUOR_RANDOM_SEED", 20261209);
};

TEST_F(RandomArchiveTest, ValidArchivesArePlacedAsTheModelSays) {
    Generator gen(m_seed);
    unsigned extracted = 0, pastFourGib = 0, highBelow = 0;
    for (unsigned round = 0; round < m_count; ++round) {
        SCOPED_TRACE("seed " + std::to_string(m_seed) + " round " + std::to_string(round));
        const bool high = round % 3 == 2;
        const Archive archive = gen.Make(high);
        const Verdict v = Judge(archive);
        ASSERT_TRUE(high || v.extractable);  // the generator lays out low files whole

        CArchiveParser parser(nullptr);
        const bool taken = Feed(parser, archive.Build(), gen.Rng());
        ASSERT_EQ(taken, !v.pastFourGib);
        for (uint32_t f = 0; taken && f < archive.names.size(); ++f)
            ASSERT_TRUE(Fragments(parser.FileEntry(f)) == v.files[f]) << archive.names[f];
        ASSERT_EQ(parser.Finish(), v.extractable ? SZ_OK : SZ_ERROR_DATA);
        if (v.extractable) {
            ASSERT_EQ(FilesBelowRoot().size(), archive.names.size());  // and no spool
            for (uint32_t f = 0; f < archive.names.size(); ++f) {
                std::vector<uint8_t> expected;
                for (const Piece& p : v.files[f])
                    expected.insert(expected.end(), archive.data.begin() + p.spool, archive.data.begin() + p.spool + p.length);
                ASSERT_TRUE(ReadOutput(Widen(archive.names[f])) == expected) << archive.names[f];
            }
        } else {
            ASSERT_TRUE(FilesBelowRoot().empty());
        }
        extracted += v.extractable;
        pastFourGib += v.pastFourGib;
        highBelow += high && !v.pastFourGib;
        ASSERT_NO_FATAL_FAILURE(Reset());
    }
    // Both kinds of high placement came up, and most archives came out whole.
    EXPECT_GT(pastFourGib, 0u);
    EXPECT_GT(highBelow, 0u);
    EXPECT_GE(extracted, m_count / 2);
}

TEST_F(RandomArchiveTest, DamagedArchivesAreRefusedAndWriteNothing) {
    Generator gen(m_seed + 1);
    for (unsigned round = 0; round < m_count; ++round) {
        SCOPED_TRACE("seed " + std::to_string(m_seed + 1) + " round " + std::to_string(round));
        const std::vector<uint8_t> stream = gen.Damage(gen.Make(false));
        CArchiveParser parser(nullptr);
        Feed(parser, stream, gen.Rng());
        ASSERT_EQ(parser.Finish(), SZ_ERROR_DATA);
        ASSERT_TRUE(FilesBelowRoot().empty());
        ASSERT_NO_FATAL_FAILURE(Reset());
    }
}

}  // namespace
