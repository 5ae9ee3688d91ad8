// The archive parser fed directly: chunking, placement, progress, and the
// checks that refuse incomplete or inconsistent archives.
#include <gtest/gtest.h>

#include <cstring>

#include "ArchiveParser.h"
#include "ExtractTestKit.h"
#include "ExtractionHost.h"
#include "HtarBuilder.h"
#include "PayloadDecoder.h"

using namespace extracttest;
using namespace htartest;

namespace {

class ParserTest : public ExtractTest {
protected:
    // Feeds the stream in the given chunk sizes (the rest as a last chunk), then runs the copy-out.
    ExtractionResult Feed(CArchiveParser& parser, const std::vector<uint8_t>& stream, std::vector<size_t> cuts = {}) {
        size_t position = 0;
        for (size_t cut : cuts) {
            uint32_t length = static_cast<uint32_t>(cut);
            if (parser.Write(stream.data() + position, length) != length) return parser.FailureCode();
            position += cut;
        }
        uint32_t rest = static_cast<uint32_t>(stream.size() - position);
        if (parser.Write(stream.data() + position, rest) != rest) return parser.FailureCode();
        return SZ_OK;
    }
};

TEST_F(ParserTest, SmallExampleInOnePiece) {
    std::vector<uint8_t> stream = SmallExampleStream();
    ASSERT_EQ(stream.size(), 74u);
    CArchiveParser parser(m_progress->Handle());
    ASSERT_EQ(Feed(parser, stream), SZ_OK);
    EXPECT_EQ(parser.State(), PARSE_DATA);
    const auto& fragments = parser.FileEntry(1).Fragments();
    ASSERT_EQ(fragments.size(), 2u);
    EXPECT_EQ(fragments.at(0).length, 5u);
    EXPECT_EQ(fragments.at(0).spoolOffset, 0u);
    EXPECT_EQ(fragments.at(5).length, 3u);
    EXPECT_EQ(fragments.at(5).spoolOffset, 5u);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_EQ(ReadOutput(L"a.txt"), Bytes("HELLO"));
    EXPECT_EQ(ReadOutput(L"d\\b.txt"), Bytes("HELLOXYZ"));
    EXPECT_FALSE(OutputExists(L"temp.htar"));
    EXPECT_EQ(FilesBelowRoot().size(), 2u);
}

TEST_F(ParserTest, SmallExampleSplitAtEveryPosition) {
    std::vector<uint8_t> stream = SmallExampleStream();
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        SCOPED_TRACE(cut);
        CArchiveParser parser(nullptr);
        ASSERT_EQ(Feed(parser, stream, {cut}), SZ_OK);
        ASSERT_EQ(parser.Finish(), SZ_OK);
        EXPECT_EQ(ReadOutput(L"a.txt"), Bytes("HELLO"));
        EXPECT_EQ(ReadOutput(L"d\\b.txt"), Bytes("HELLOXYZ"));
        EXPECT_FALSE(OutputExists(L"temp.htar"));
    }
    // And one byte at a time.
    CArchiveParser parser(nullptr);
    ASSERT_EQ(Feed(parser, stream, std::vector<size_t>(stream.size() - 1, 1)), SZ_OK);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_EQ(ReadOutput(L"d\\b.txt"), Bytes("HELLOXYZ"));
}

TEST_F(ParserTest, ChunkEndingAfterLastNameAndEmptyChunks) {
    std::vector<uint8_t> stream = SmallExampleStream();
    CArchiveParser parser(m_progress->Handle());
    ASSERT_EQ(parser.Write(stream.data(), 20), 20u);  // header and both names
    EXPECT_EQ(parser.State(), PARSE_NAMES);
    EXPECT_EQ(parser.NamesRead(), 2u);
    // An empty chunk calls no handler: not even the zero-byte switch happens.
    EXPECT_EQ(parser.Write(stream.data() + 20, 0), 0u);
    EXPECT_EQ(parser.State(), PARSE_NAMES);
    ASSERT_EQ(parser.Write(stream.data() + 20, 46), 46u);  // table and records
    EXPECT_EQ(parser.State(), PARSE_GROUP_RECORDS);
    EXPECT_EQ(parser.RecordsRead(), 2u);
    EXPECT_EQ(parser.SpoolEntry(), nullptr);
    ASSERT_EQ(parser.Write(stream.data() + 66, 8), 8u);
    EXPECT_EQ(parser.State(), PARSE_DATA);
    ASSERT_NE(parser.SpoolEntry(), nullptr);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_EQ(ReadOutput(L"d\\b.txt"), Bytes("HELLOXYZ"));
}

TEST_F(ParserTest, NoFilesWithDataArea) {
    Archive archive;
    archive.groups = {Group{4, {}}};
    archive.data = Bytes("DATA");
    CArchiveParser parser(nullptr);
    ASSERT_EQ(Feed(parser, archive.Build()), SZ_OK);
    EXPECT_EQ(parser.FileCount(), 0u);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_TRUE(FilesBelowRoot().empty());
}

TEST_F(ParserTest, EmptyRunsMemberlessGroupsAndSurplusData) {
    Archive archive;
    archive.names = {"f.bin", "empty.bin"};
    archive.groups = {Group{0, {Member{0, false, 0, 0}}}, Group{3, {}}, Group{2, {Member{0, false, 0x1234, 0}}}};
    archive.data = Bytes("XYZABEXTRA");  // 5 bytes of runs, 5 for no group
    CArchiveParser parser(nullptr);
    ASSERT_EQ(Feed(parser, archive.Build(), {40, 3}), SZ_OK);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_EQ(ReadOutput(L"f.bin"), Bytes("AB"));
    EXPECT_TRUE(ReadOutput(L"empty.bin").empty());  // named by no group: created empty
}

TEST_F(ParserTest, SecondFragmentAtSameOffsetIsDropped) {
    Archive archive;
    archive.names = {"f.bin"};
    archive.groups = {Group{3, {Member{0, false, 0, 0}}}, Group{3, {Member{0, false, 0, 0}}}};
    archive.data = Bytes("AAABBB");
    CArchiveParser parser(nullptr);
    ASSERT_EQ(Feed(parser, archive.Build()), SZ_OK);
    ASSERT_EQ(parser.FileEntry(0).Fragments().size(), 1u);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_EQ(ReadOutput(L"f.bin"), Bytes("AAA"));
}

TEST_F(ParserTest, ExistingFilesAreTruncated) {
    CreateDirectoryW(Folder().c_str(), nullptr);
    ASSERT_TRUE(quortest::WriteFileBytes(Folder() + L"a.txt", Bytes("a much longer old content")));
    CArchiveParser parser(nullptr);
    ASSERT_EQ(Feed(parser, SmallExampleStream()), SZ_OK);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_EQ(ReadOutput(L"a.txt"), Bytes("HELLO"));
}

TEST_F(ParserTest, ProgressOfDataPhaseAndCopyOut) {
    Archive archive = PlainArchive({{"one.bin", RandomBytes(1000, 1)}});
    std::vector<uint8_t> stream = archive.Build();
    size_t head = stream.size() - 1000;
    CArchiveParser parser(m_progress->Handle());
    ASSERT_EQ(Feed(parser, stream, {head, 400, 400}), SZ_OK);
    EXPECT_EQ(m_progress->Values(), (std::vector<int>{100, 200}));
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_EQ(m_progress->Values(), (std::vector<int>{100, 200, 250}));  // N = 1: only 250
}

TEST_F(ParserTest, CopyOutProgressStaysBelow500) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    for (int i = 0; i < 7; ++i) files.push_back({"f" + std::to_string(i), RandomBytes(10, i)});
    CArchiveParser parser(m_progress->Handle());
    ASSERT_EQ(Feed(parser, PlainArchive(files).Build()), SZ_OK);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    // 250 + floor(250 i / 7)
    EXPECT_EQ(m_progress->Values(), (std::vector<int>{250, 285, 321, 357, 392, 428, 464}));
}

TEST_F(ParserTest, DataProgressNeverReachesCopyOutRange) {
    // Runs longer than the stored data length must not push the data phase past 249.
    Archive archive = PlainArchive({{"f", RandomBytes(3000, 2)}});
    archive.dataLengthOverride = 1000;
    CArchiveParser parser(m_progress->Handle());
    ASSERT_EQ(Feed(parser, archive.Build(), {archive.Build().size() - 3000, 900, 900, 900}), SZ_OK);
    for (int v : m_progress->Values()) EXPECT_LE(v, 249);
    EXPECT_EQ(m_progress->Values().back(), 249);
}

TEST_F(ParserTest, IncompleteStreamIsDataErrorAndWritesNothing) {
    std::vector<uint8_t> stream = SmallExampleStream();
    for (size_t length = 1; length < stream.size(); ++length) {
        SCOPED_TRACE(length);
        CArchiveParser parser(nullptr);
        ASSERT_EQ(parser.Write(stream.data(), static_cast<uint32_t>(length)), length);
        EXPECT_EQ(parser.Finish(), SZ_ERROR_DATA);
        EXPECT_TRUE(FilesBelowRoot().empty());
    }
    // Nothing at all is an empty archive, not a damaged one.
    CArchiveParser empty(nullptr);
    EXPECT_EQ(empty.Write(stream.data(), 0), 0u);
    EXPECT_EQ(empty.Finish(), SZ_OK);
}

TEST_F(ParserTest, ArchiveEndingAfterRecordsWithEmptyRunsIsComplete) {
    Archive archive;
    archive.names = {"x\\empty.txt"};
    archive.groups = {Group{0, {Member{0, false, 0, 0}}}};
    CArchiveParser parser(nullptr);
    ASSERT_EQ(Feed(parser, archive.Build()), SZ_OK);
    EXPECT_EQ(parser.State(), PARSE_GROUP_RECORDS);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_TRUE(ReadOutput(L"x\\empty.txt").empty());
}

TEST_F(ParserTest, FragmentsWithGapOrOverlapAreRefused) {
    Archive gap;
    gap.names = {"ok.txt", "gap.txt"};
    gap.groups = {Group{2, {Member{0, false, 0, 0}}}, Group{3, {Member{1, false, 0, 1}}}};
    gap.data = Bytes("OKabc");
    Archive overlap;
    overlap.names = {"ok.txt", "overlap.txt"};
    overlap.groups = {Group{2, {Member{0, false, 0, 0}}}, Group{3, {Member{1, false, 0, 0}, Member{1, false, 0, 2}}}};
    overlap.data = Bytes("OKabc");
    for (const Archive* archive : {&gap, &overlap}) {
        CArchiveParser parser(nullptr);
        ASSERT_EQ(Feed(parser, archive->Build()), SZ_OK);
        EXPECT_EQ(parser.Finish(), SZ_ERROR_DATA);
        EXPECT_TRUE(FilesBelowRoot().empty());  // not even the good file, nor the spool
    }
}

TEST_F(ParserTest, MemberIndexBeyondFileCountIsDataError) {
    Archive archive;
    archive.names = {"a"};
    archive.groups = {Group{1, {Member{1, false, 0, 0}}}};
    archive.data = Bytes("Z");
    CArchiveParser parser(nullptr);
    EXPECT_EQ(Feed(parser, archive.Build()), SZ_ERROR_DATA);
    // Refused chunks stay refused.
    EXPECT_EQ(parser.Write("x", 1), 0u);
    EXPECT_EQ(parser.Finish(), SZ_ERROR_DATA);
    EXPECT_TRUE(FilesBelowRoot().empty());
}

TEST_F(ParserTest, NameLengthLimit) {
    for (size_t length : {4095u, 4096u}) {
        Archive archive;
        archive.names = {std::string(length, 'n')};
        std::vector<uint8_t> stream = archive.Build();
        for (size_t cut : {size_t(6), size_t(3000), size_t(6 + length)}) {
            SCOPED_TRACE(length * 10000 + cut);
            CArchiveParser parser(nullptr);
            ExtractionResult result = Feed(parser, stream, {cut});
            if (length == 4095) {  // 4096 bytes with the NUL: the longest name
                EXPECT_EQ(result, SZ_OK);
                EXPECT_EQ(parser.NamesRead(), 1u);
            } else {
                EXPECT_EQ(result, SZ_ERROR_DATA);
            }
        }
    }
}

TEST_F(ParserTest, PlainGroupNamingOneFileTwiceOverSeveralChunks) {
    Archive archive;
    archive.names = {"twice.txt"};
    archive.groups = {Group{4, {Member{0, false, 0, 0}, Member{0, false, 0, 4}}}};
    archive.data = Bytes("ABCD");
    std::vector<uint8_t> stream = archive.Build();
    CArchiveParser parser(nullptr);
    ASSERT_EQ(Feed(parser, stream, {stream.size() - 4, 1, 2}), SZ_OK);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    EXPECT_EQ(ReadOutput(L"twice.txt"), Bytes("ABCDABCD"));
}

TEST_F(ParserTest, HostileNameRefusesWholeArchive) {
    Archive archive = PlainArchive({{"good.txt", Bytes("good")}, {"..\\evil.txt", Bytes("evil")}});
    CArchiveParser parser(nullptr);
    EXPECT_EQ(Feed(parser, archive.Build()), SZ_ERROR_DATA);
    EXPECT_EQ(parser.NamesRead(), 1u);
    EXPECT_EQ(parser.Finish(), SZ_ERROR_DATA);
    EXPECT_TRUE(FilesBelowRoot().empty());
}

TEST_F(ParserTest, NamesThatMeetOnDiskRefuseTheArchive) {
    // Equal but for case and separator: the second would overwrite the first.
    Archive archive = PlainArchive({{"d\\Read.me", Bytes("one")}, {"D/READ.ME", Bytes("two")}});
    CArchiveParser parser(nullptr);
    EXPECT_EQ(Feed(parser, archive.Build()), SZ_ERROR_DATA);
    EXPECT_EQ(parser.NamesRead(), 1u);
    EXPECT_EQ(parser.Finish(), SZ_ERROR_DATA);
    EXPECT_TRUE(FilesBelowRoot().empty());
}

TEST_F(ParserTest, FileNamedAsAnotherNamesFolderRefusesTheArchive) {
    // Either order: the second could not be made once the first is written.
    for (const auto& names : {std::make_pair("a", "A\\b.txt"), std::make_pair("docs\\x.txt", "DOCS")}) {
        Archive archive = PlainArchive({{names.first, Bytes("one")}, {names.second, Bytes("two")}});
        CArchiveParser parser(nullptr);
        EXPECT_EQ(Feed(parser, archive.Build()), SZ_ERROR_DATA) << names.second;
        EXPECT_EQ(parser.Finish(), SZ_ERROR_DATA);
        EXPECT_TRUE(FilesBelowRoot().empty());
    }
}

// Run with LC_ALL=ja_JP.UTF-8 (ANSI code page 932): names packed under code
// page 1252 are written under what the conversion gives, and a 0x5C trail
// byte is part of its character, not a folder separator.
class AnsiCodePageNames : public ParserTest {};

TEST_F(AnsiCodePageNames, ForeignNamesConvertAndTrailBytesAreNoSeparators) {
    ASSERT_EQ(GetACP(), 932u) << "runs in test_extract_names_ja_JP (LC_ALL=ja_JP.UTF-8)";
    const std::string resume = "r\xE9sum\xE9.txt";  // made on a code page 1252 machine
    Archive archive = PlainArchive(
        {{resume, Bytes("cv")}, {"\x95\x5C.txt", Bytes("table")}, {"plain.txt", Bytes("plain")}});
    CArchiveParser parser(nullptr);
    ASSERT_EQ(Feed(parser, archive.Build()), SZ_OK);
    ASSERT_EQ(parser.Finish(), SZ_OK);
    wchar_t converted[64] = {};
    ASSERT_GT(MultiByteToWideChar(932, 0, resume.c_str(), -1, converted, 64), 0);
    EXPECT_EQ(ReadOutput(converted), Bytes("cv"));
    EXPECT_EQ(ReadOutput(L"\x8868.txt"), Bytes("table"));  // 0x95 0x5C
    EXPECT_EQ(ReadOutput(L"plain.txt"), Bytes("plain"));
    EXPECT_EQ(FilesBelowRoot().size(), 3u);  // no folder made of a trail byte, no spool
}

TEST_F(AnsiCodePageNames, FileAndFolderMadeToMeetByTheConversion) {
    ASSERT_EQ(GetACP(), 932u) << "runs in test_extract_names_ja_JP (LC_ALL=ja_JP.UTF-8)";
    // Distinct in code page 1252; fullwidth C and c in code page 932.
    Archive archive = PlainArchive({{"\x82\x62", Bytes("file")}, {"\x82\x83\\x.txt", Bytes("below")}});
    CArchiveParser parser(nullptr);
    EXPECT_EQ(Feed(parser, archive.Build()), SZ_ERROR_DATA);
    EXPECT_EQ(parser.Finish(), SZ_ERROR_DATA);
    EXPECT_TRUE(FilesBelowRoot().empty());
}

// The extraction folder and the error-text buffer.
class FolderTest : public ExtractTest {};

std::wstring g_fixedRoot;
bool FixedRoot(std::wstring& root) {
    root = g_fixedRoot;
    return true;
}
bool NoApplicationYet(std::wstring&) { return false; }

TEST_F(FolderTest, FolderIsRootQuorAndBuildIdComputedOnce) {
    ResetExtractionFolderForTests();
    SetExtractionTempRootFunction(NoApplicationYet);
    EXPECT_TRUE(GetExtractionFolder().empty());
    g_fixedRoot = L"D:\\x\\";
    SetExtractionTempRootFunction(FixedRoot);
    EXPECT_EQ(GetExtractionFolder(), L"D:\\x\\QUOR00000000000000000\\");
    g_fixedRoot = L"E:\\other\\";
    EXPECT_EQ(GetExtractionFolder(), L"D:\\x\\QUOR00000000000000000\\");  // never changes once computed
    ResetExtractionFolderForTests();
}

TEST_F(FolderTest, NoApplicationMeansNothingWritten) {
    ResetExtractionFolderForTests();
    SetExtractionTempRootFunction(NoApplicationYet);
    CArchiveParser parser(nullptr);
    ASSERT_EQ(parser.Write(SmallExampleStream().data(), 60), 60u);
    // The spool cannot be placed: refused with the open-failure box, not written to the working folder.
    EXPECT_EQ(parser.Write(SmallExampleStream().data() + 60, 14), 0u);
    EXPECT_EQ(parser.FailureCode(), SZ_ERROR_WRITE);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, L"Unable to open the output file temp.htar.");
}

TEST(AppendErrorTextTest, AppendsAndNeverOverflows) {
    char buffer[kExtractionErrorTextSize + 8];
    memset(buffer, 'G', sizeof(buffer));
    memset(buffer, 0, kExtractionErrorTextSize);
    strcpy(buffer, "prior");
    EXPECT_EQ(AppendErrorText(buffer, "Data error"), 1);
    EXPECT_STREQ(buffer, "prior\nError: Data error\n");
    memset(buffer, 'x', kExtractionErrorTextSize - 5);
    buffer[kExtractionErrorTextSize - 5] = '\0';
    AppendErrorText(buffer, "Can not write output file");
    EXPECT_EQ(strlen(buffer), kExtractionErrorTextSize - 1);
    EXPECT_EQ(buffer[kExtractionErrorTextSize], 'G');  // guard bytes untouched
}

}  // namespace
