// Extraction folders and member paths beyond the ordinary limits: full paths
// past MAX_PATH, and folders named with characters outside the ANSI code page.
// The ctest entry runs this under a UTF-8 host locale, so that Wine can give
// host files such names.
#include <gtest/gtest.h>

#include <algorithm>

#include "ArchiveParser.h"
#include "ExtractTestKit.h"
#include "HtarBuilder.h"
#include "LongPath.h"
#include "PayloadDecoder.h"

using namespace extracttest;
using namespace htartest;

namespace {

const std::wstring kBuildFolder = L"QUOR00000000000000000\\";

std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

// Removes a tree in the long form (ends with '\'); the sandbox's own removal
// works on ordinary paths only.
void RemoveLongTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveLongTree(folder + name + L"\\");
            } else {
                SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW((folder + name).c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

// A relative member name of folders of 99 letters ending in file, so that
// prefixLength + the name's length is at least total.
std::string DeepName(size_t prefixLength, size_t total, char letter, const std::string& file) {
    std::string name;
    while (prefixLength + name.size() + file.size() < total) name += std::string(99, letter) + "\\";
    return name + file;
}

class PathTest : public ExtractTest {
protected:
    void TearDown() override {
        RemoveLongTree(Long(Root()));
        ExtractTest::TearDown();
    }

    std::vector<uint8_t> ReadLong(const std::wstring& path) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(quortest::ReadFileBytes(Long(path), bytes)) << quortest::Narrow(path);
        return bytes;
    }

    // A temporary root of exactly length characters below Root(), not made yet.
    std::wstring RootOfLength(size_t length) { return Root() + std::wstring(length - Root().size() - 1, L'r') + L"\\"; }
};

TEST(LongPathTest, DriveAndSharePathsGetTheirLongForms) {
    EXPECT_EQ(ToLongPath(L"C:\\Temp\\QUOR1\\"), L"\\\\?\\C:\\Temp\\QUOR1\\");
    EXPECT_EQ(ToLongPath(L"\\\\server\\share\\tmp\\"), L"\\\\?\\UNC\\server\\share\\tmp\\");
    // Nothing is resolved again: a name is taken exactly as it stands.
    EXPECT_EQ(ToLongPath(L"C:\\Temp\\x.\\"), L"\\\\?\\C:\\Temp\\x.\\");
    EXPECT_EQ(ToLongPath(L"\\\\?\\C:\\a\\..\\b"), L"\\\\?\\C:\\a\\..\\b");  // already long: as it is
    EXPECT_EQ(ToLongPath(L"Temp\\QUOR1\\"), L"Temp\\QUOR1\\");
}

// The one full form of an unpack folder: resolved once, and only where every
// later pass of the platform's path rules reads it as itself.
TEST(LongPathTest, FoldersResolveOnceIntoOneFullForm) {
    std::wstring full;
    EXPECT_EQ(FullFolderFault::None, ResolveFullFolder(L"C:/a//b/../c", full));
    EXPECT_EQ(L"C:\\a\\c\\", full);
    EXPECT_EQ(FullFolderFault::None, ResolveFullFolder(L"\\\\srv\\share\\d", full));
    EXPECT_EQ(L"\\\\srv\\share\\d\\", full);
    for (const wchar_t* relative : {L"out", L"\\c\\out", L"C:c\\out", L"", L"\\\\.\\C:\\x"})
        EXPECT_EQ(FullFolderFault::NotFull, ResolveFullFolder(relative, full)) << quortest::Narrow(relative);
    // "out.." may lose its dots one per pass: refused, or resolved into a form that stays.
    for (const wchar_t* dotted : {L"C:\\c\\out..", L"C:\\c\\x..\\out", L"C:\\c\\x\\..."}) {
        const FullFolderFault fault = ResolveFullFolder(dotted, full);
        EXPECT_TRUE(fault == FullFolderFault::Ambiguous || (fault == FullFolderFault::None && IsResolvedFullPath(full)))
            << quortest::Narrow(dotted);
    }
}

TEST_F(PathTest, MembersPastMaxPath) {
    const size_t folderLength = Folder().size();
    ASSERT_LT(folderLength, 100u);
    std::string past300 = DeepName(folderLength, 300, 'b', "file300.bin");
    std::string past1000 = DeepName(folderLength, 1000, 'c', "file1000.bin");
    std::string sibling = past1000.substr(0, past1000.rfind('\\') + 1) + "sibling.txt";  // folders already there
    std::vector<uint8_t> big = RandomBytes(100000, 7);
    Archive archive = PlainArchive({{"a.txt", Bytes("HELLO")},
                                    {past300, Bytes("three hundred")},
                                    {past1000, big},
                                    {sibling, Bytes("next to it")}});
    ASSERT_GE(folderLength + past300.size(), 300u);
    ASSERT_LT(folderLength + past300.size(), 400u);
    ASSERT_GE(folderLength + past1000.size(), 1000u);

    Outcome outcome = Decode(WriteProgram(Compress(archive.Build())), 1000);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.text, "");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(ReadLong(Folder() + L"a.txt"), Bytes("HELLO"));
    EXPECT_EQ(ReadLong(Folder() + Widen(past300)), Bytes("three hundred"));
    EXPECT_EQ(ReadLong(Folder() + Widen(past1000)), big);
    EXPECT_EQ(ReadLong(Folder() + Widen(sibling)), Bytes("next to it"));
    std::vector<std::wstring> expected = {L"program.bin", kBuildFolder + L"a.txt", kBuildFolder + Widen(past300),
                                          kBuildFolder + Widen(past1000), kBuildFolder + Widen(sibling)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesBelowRoot(), expected);  // the spool is gone
}

TEST_F(PathTest, ExtractionFolderItselfPastMaxPath) {
    // The launcher's temporary root stays below MAX_PATH; its extraction folder
    // need not. Missing folders above it are made as well.
    UseTempRoot(RootOfLength(MAX_PATH - 2));
    ASSERT_GT(Folder().size(), size_t(MAX_PATH));
    const std::wstring below = Folder().substr(Root().size());

    // A failure in that folder removes the spool too.
    Archive truncated = PlainArchive({{"a.txt", Bytes("HELLO")}});
    truncated.groups[0].runLength = 6;  // one byte more than the data area holds
    Outcome failed = Decode(WriteProgram(Compress(truncated.Build())), 1000);
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.text, "\nError: Data error\n");
    EXPECT_EQ(FilesBelowRoot(), std::vector<std::wstring>{L"program.bin"});
    DestroyArchiveParser(g_pArchiveParser);
    g_pArchiveParser = nullptr;

    Outcome outcome = Decode(WriteProgram(Compress(SmallExampleStream())), 1000);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.text, "");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(ReadLong(Folder() + L"a.txt"), Bytes("HELLO"));
    EXPECT_EQ(ReadLong(Folder() + L"d\\b.txt"), Bytes("HELLOXYZ"));
    std::vector<std::wstring> expected = {below + L"a.txt", below + L"d\\b.txt", L"program.bin"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesBelowRoot(), expected);
}

TEST_F(PathTest, OpenFailurePastMaxPathShowsTheOrdinaryPath) {
    ASSERT_TRUE(CreateDirectoryW(Folder().c_str(), nullptr));
    std::string deep = DeepName(Folder().size(), 400, 'e', "file.bin");
    // The member's first folder is taken by a file.
    ASSERT_TRUE(quortest::WriteFileBytes(Long(Folder() + Widen(deep.substr(0, deep.find('\\')))), Bytes("file")));
    Archive archive = PlainArchive({{"a.txt", Bytes("HELLO")}, {deep, Bytes("deep")}});

    Outcome outcome = Decode(WriteProgram(Compress(archive.Build())), 1000);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.text, "\nError code: 23\n");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, L"Unable to open the output file " + Folder() + Widen(deep) + L".");
    EXPECT_EQ(ReadLong(Folder() + L"a.txt"), Bytes("HELLO"));
    EXPECT_FALSE(quortest::FileExists(Long(Folder() + L"temp.htar")));
}

TEST_F(PathTest, FolderNamedOutsideTheCodePage) {
    // Member names are code-page bytes: 0xE9 and 0xEF are e-acute and i-diaeresis in 1252.
    ASSERT_EQ(GetACP(), 1252u) << "run with LC_ALL=C.UTF-8";
    const std::wstring named = L"\x041F\x0440\x0438\x043C\x0435\x0440 \x0395\x03BB\x03BB\x03AC\x03B4\x03B1 \x4F8B\x5B50";
    UseTempRoot(Root() + named + L"\\");
    // The program itself lies in that folder too.
    std::wstring program = Root() + named + L"\\\x0443\x0441\x0442\x0430\x043D\x043E\x0432\x043A\x0430.exe";
    ASSERT_TRUE(CreateDirectoryW((Root() + named).c_str(), nullptr));
    std::vector<uint8_t> bytes(512, 0x4D);
    std::vector<uint8_t> payload = Compress(PlainArchive({{"a.txt", Bytes("HELLO")},
                                                         {"d\\b.txt", Bytes("HELLOXYZ")},
                                                         {"caf\xe9\\na\xefve.txt", Bytes("accents")}})
                                                .Build());
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    ASSERT_TRUE(quortest::WriteFileBytes(program, bytes));

    Outcome outcome = Decode(program, 512);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.text, "");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(ReadOutput(L"a.txt"), Bytes("HELLO"));
    EXPECT_EQ(ReadOutput(L"d\\b.txt"), Bytes("HELLOXYZ"));
    EXPECT_EQ(ReadOutput(L"caf\x00e9\\na\x00efve.txt"), Bytes("accents"));
    const std::wstring below = named + L"\\" + kBuildFolder;
    std::vector<std::wstring> expected = {below + L"a.txt", below + L"caf\x00e9\\na\x00efve.txt", below + L"d\\b.txt",
                                          program.substr(Root().size())};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesBelowRoot(), expected);  // the spool is gone
}

}  // namespace
