// Failures of the file system during an extraction: what the caller receives
// (code, text, message boxes) and what is left on disk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <io.h>

#include "ArchiveParser.h"
#include "ExtractTestKit.h"
#include "HtarBuilder.h"
#include "PayloadDecoder.h"

using namespace extracttest;
using namespace htartest;

namespace {

class FailureTest : public ExtractTest {
protected:
    void SetUp() override {
        ExtractTest::SetUp();
        CreateDirectoryW(Folder().c_str(), nullptr);
    }
    Outcome Extract(const std::vector<uint8_t>& stream) { return Decode(WriteProgram(Compress(stream)), 1000); }
    void ExpectOneOpenBox(const std::wstring& path) {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].owner, nullptr);
        EXPECT_EQ(Boxes()[0].text, L"Unable to open the output file " + path + L".");
        EXPECT_EQ(Boxes()[0].caption, L"Extraction failed");
        EXPECT_EQ(Boxes()[0].type, UINT(MB_OK | MB_ICONERROR));
    }
};

TEST_F(FailureTest, SpoolPathTakenByAFolder) {
    ASSERT_TRUE(CreateDirectoryW((Folder() + L"temp.htar").c_str(), nullptr));
    Outcome outcome = Extract(SmallExampleStream());
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.text, "\nError: Can not write output file\n");
    ExpectOneOpenBox(Folder() + L"temp.htar");
    EXPECT_FALSE(OutputExists(L"a.txt"));
}

TEST_F(FailureTest, MemberPathBlockedByAFile) {
    ASSERT_TRUE(quortest::WriteFileBytes(Folder() + L"d", Bytes("a file, not a folder")));
    Outcome outcome = Extract(SmallExampleStream());
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.text, "\nError code: 23\n");
    ExpectOneOpenBox(Folder() + L"d\\b.txt");
    EXPECT_EQ(ReadOutput(L"a.txt"), Bytes("HELLO"));  // written before the failure, stays
    EXPECT_FALSE(OutputExists(L"temp.htar"));         // the spool does not
}

TEST_F(FailureTest, ReadOnlyMember) {
    std::wstring path = Folder() + L"a.txt";
    ASSERT_TRUE(quortest::WriteFileBytes(path, Bytes("old")));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine run as root may let the owner write a read-only file anyway; a
    // handle that shares nothing makes the open fail there too.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Outcome outcome = Extract(SmallExampleStream());
    CloseHandle(held);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.text, "\nError code: 23\n");
    ExpectOneOpenBox(path);
    EXPECT_EQ(ReadOutput(L"a.txt"), Bytes("old"));
    EXPECT_FALSE(OutputExists(L"d\\b.txt"));
}

TEST_F(FailureTest, HostileNamesAndIndicesAreDataErrors) {
    Archive badIndex = PlainArchive({{"a.txt", Bytes("A")}});
    badIndex.groups[0].members[0].index = 0x7FFF;
    std::vector<Archive> archives = {badIndex};
    for (const char* name : {"..\\evil.txt", "\\evil.txt", "C:\\evil.txt", "sub\\..\\..\\evil.txt", "temp.htar",
                             "CON", "a\x01.txt"})
        archives.push_back(PlainArchive({{"a.txt", Bytes("A")}, {name, Bytes("evil")}}));
    for (const Archive& archive : archives) {
        Outcome outcome = Extract(archive.Build());
        EXPECT_EQ(outcome.code, 1);
        EXPECT_EQ(outcome.text, "\nError: Data error\n");
        EXPECT_EQ(FilesBelowRoot(), std::vector<std::wstring>{L"program.bin"});
        DestroyArchiveParser(g_pArchiveParser);
        g_pArchiveParser = nullptr;
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FailureTest, SpoolShorterThanItsFragmentsIsAReadError) {
    std::vector<uint8_t> stream = SmallExampleStream();
    CArchiveParser parser(nullptr);
    ASSERT_EQ(parser.Write(stream.data(), static_cast<uint32_t>(stream.size())), stream.size());
    ASSERT_EQ(fflush(parser.SpoolEntry()->File()), 0);
    // Cut the spool behind the parser's back: a.txt needs 5 bytes, 3 are left.
    HANDLE spool = CreateFileW((Folder() + L"temp.htar").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(spool, INVALID_HANDLE_VALUE);
    LARGE_INTEGER three;
    three.QuadPart = 3;
    EXPECT_TRUE(SetFilePointerEx(spool, three, nullptr, FILE_BEGIN) && SetEndOfFile(spool));
    CloseHandle(spool);
    EXPECT_EQ(parser.Finish(), SZ_ERROR_READ);
    EXPECT_FALSE(OutputExists(L"a.txt"));  // the partly written member is removed
    EXPECT_FALSE(OutputExists(L"temp.htar"));
    EXPECT_EQ(parser.SpoolEntry()->File(), nullptr);
}

// The disk fills while a member smaller than the stream buffer is flushed at
// its close (its one write only filled the buffer): a write error, and the
// cut member does not stay. A descriptor without write access behind the
// member's stream makes that flush fail as a full disk would.
TEST_F(FailureTest, FlushAtCloseFailsAndTheCutMemberIsRemoved) {
    ASSERT_TRUE(quortest::WriteFileBytes(Folder() + L"spool.bin", Bytes("HELLO")));
    SpoolReader spool;
    spool.file = _wfopen((Folder() + L"spool.bin").c_str(), L"rb");
    ASSERT_NE(spool.file, nullptr);
    CArchiveFileEntry member;
    ASSERT_TRUE(member.SetName("last.txt", 8));
    ASSERT_TRUE(member.AddFragment(0, 5, 0));
    ASSERT_EQ(member.OpenOutput(), SZ_OK);
    const int readOnly = _wopen(member.OutputPath().c_str(), _O_RDONLY | _O_BINARY);
    ASSERT_NE(readOnly, -1);
    ASSERT_EQ(_dup2(readOnly, _fileno(member.File())), 0);
    _close(readOnly);
    EXPECT_EQ(member.WriteFromTemp(spool), SZ_ERROR_WRITE);
    fclose(spool.file);
    EXPECT_FALSE(OutputExists(L"last.txt"));
}

}  // namespace
