// Launchers packed by sfxpack at build time (stampprobe as the launcher, see
// CMakeLists.txt) are run under Wine: each reads back its stamp and extracts
// its own payload through the engine; the result is compared with the tree
// that was packed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "TestSandbox.h"

using quortest::Narrow;
using quortest::ReadFileBytes;
using quortest::ScopedSandbox;

namespace {

std::wstring PackFolder() { return quortest::ProgramFolder() + L"..\\pack\\"; }

std::wstring Widen(const char* text) {
    std::wstring out;
    for (const char* p = text; *p; ++p) out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return out;
}

// Runs a program (inheriting no handles: Wine's helper processes would keep
// them open) and returns its exit code, or -1.
int RunProgram(const std::wstring& commandLine) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back(0);
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 240000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

std::string ReadText(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    ReadFileBytes(path, bytes);
    return std::string(bytes.begin(), bytes.end());
}

// Extracts a packed launcher below root; output receives its report.
int Extract(const std::wstring& exe, const std::wstring& root, std::string& output) {
    const std::wstring report = root + L"extract.log";
    const int code = RunProgram(L"\"" + PackFolder() + exe + L"\" --extract \"" + root + L"out\" \"" + report + L"\"");
    output = ReadText(report);
    return code;
}

// Every file below folder, by path relative to it.
void ListFiles(const std::wstring& folder, const std::wstring& prefix, std::map<std::wstring, std::wstring>& files,
               std::vector<std::wstring>& folders) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + prefix + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            folders.push_back(prefix + name);
            ListFiles(folder, prefix + name + L"\\", files, folders);
        } else {
            files[prefix + name] = folder + prefix + name;
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

std::map<std::string, std::string> ParseValues(const std::string& text) {
    std::map<std::string, std::string> values;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const size_t eq = line.find('=');
        if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }
    return values;
}

// The stamp values a packed launcher reports about itself.
std::map<std::string, std::string> StampOf(const std::wstring& exe, const std::wstring& scratch) {
    const int code = RunProgram(L"\"" + PackFolder() + exe + L"\" --print \"" + scratch + L"values.txt\"");
    EXPECT_EQ(0, code);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadFileBytes(scratch + L"values.txt", bytes));
    return ParseValues(std::string(bytes.begin(), bytes.end()));
}

uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Extracts a packed launcher into a fresh folder and checks that the
// extraction folder holds exactly the packed tree, byte for byte.
void ExpectRoundTrip(const std::wstring& name, const std::string& buildId) {
    ScopedSandbox box(L"pack-" + name);
    std::string output;
    const int code = Extract(name + L".exe", box.Path(), output);
    ASSERT_EQ(0, code) << output;
    EXPECT_NE(std::string::npos, output.find("result=0")) << output;
    EXPECT_EQ(std::string::npos, output.find("message box")) << output;

    std::map<std::wstring, std::wstring> packed, extracted;
    std::vector<std::wstring> packedFolders, extractedFolders, top;
    ListFiles(PackFolder() + name + L"\\", L"", packed, packedFolders);
    const std::wstring folder = box.Path() + L"out\\QUOR" + Widen(buildId.c_str()) + L"\\";
    ListFiles(folder, L"", extracted, extractedFolders);

    // Nothing besides the extraction folder under the root, no spool left.
    std::map<std::wstring, std::wstring> rootFiles;
    ListFiles(box.Path() + L"out\\", L"", rootFiles, top);
    for (const auto& f : rootFiles)
        EXPECT_EQ(0u, f.first.rfind(L"QUOR" + Widen(buildId.c_str()) + L"\\", 0)) << Narrow(f.first);
    EXPECT_FALSE(quortest::FileExists(folder + L"temp.htar"));

    EXPECT_EQ(packed.size(), extracted.size());
    for (const auto& f : packed) {
        auto it = extracted.find(f.first);
        if (it == extracted.end()) {
            ADD_FAILURE() << "not extracted: " << Narrow(f.first);
            continue;
        }
        std::vector<uint8_t> want, got;
        ASSERT_TRUE(ReadFileBytes(f.second, want)) << Narrow(f.second);
        ASSERT_TRUE(ReadFileBytes(it->second, got)) << Narrow(it->second);
        EXPECT_TRUE(want == got) << "content differs: " << Narrow(f.first) << " (" << want.size() << " vs "
                                 << got.size() << " bytes)";
    }
    for (const auto& f : extracted)
        EXPECT_TRUE(packed.count(f.first)) << "extracted but not packed: " << Narrow(f.first);
}

TEST(PackRoundTrip, ManyFilesNestedFoldersEmptyFilesAndDuplicatesComeBackByteForByte) {
    ExpectRoundTrip(L"roundtrip", PACK_BUILD_ID);
}

TEST(PackRoundTrip, SmallTreeWithDefaultValues) {
    ScopedSandbox box(L"pack-id");
    const std::string id = StampOf(L"defaults.exe", box.Path())["BuildId"];
    ASSERT_EQ(17u, id.size());
    ExpectRoundTrip(L"defaults", id);
}

TEST(PackRoundTrip, OnlyEmptyFilesNeedNoDataArea) {
    ScopedSandbox box(L"pack-id");
    const std::string id = StampOf(L"empties.exe", box.Path())["BuildId"];
    ExpectRoundTrip(L"empties", id);
    std::map<std::wstring, std::wstring> files;
    std::vector<std::wstring> folders;
    ListFiles(PackFolder() + L"empties\\", L"", files, folders);
    EXPECT_EQ(2u, files.size());  // the tree really holds the two empty files
}

TEST(PackRoundTrip, EmptyFolderGivesAnArchiveWithoutFiles) {
    ScopedSandbox box(L"pack-none");
    std::string output;
    const int code = Extract(L"none.exe", box.Path(), output);
    EXPECT_EQ(0, code) << output;
    EXPECT_NE(std::string::npos, output.find("result=0")) << output;
    std::map<std::wstring, std::wstring> files;
    std::vector<std::wstring> folders;
    ListFiles(box.Path() + L"out\\", L"", files, folders);
    EXPECT_TRUE(files.empty());
}

TEST(PackStamp, LauncherReadsBackExactlyTheValuesTheToolWrote) {
    ScopedSandbox box(L"pack-stamp");
    auto values = StampOf(L"roundtrip.exe", box.Path());
    const uint64_t stub = FileSize(quortest::ProgramFolder() + L"stampprobe.exe");
    const uint64_t splash = FileSize(PackFolder() + L"splash.bmp");
    ASSERT_GT(stub, 0u);
    ASSERT_GT(splash, 0u);
    EXPECT_EQ(PACK_BUILD_ID, values["BuildId"]);
    EXPECT_EQ(PACK_SETUP_NAME, values["SetupProgramName"]);
    EXPECT_EQ(std::to_string(PACK_REQUIRED_FREE), values["RequiredFreeBytes"]);
    EXPECT_EQ(std::to_string(stub), values["SplashImageOffset"]);
    EXPECT_EQ(std::to_string(stub + splash), values["PayloadOffset"]);

    // The file holds the splash picture at its offset and the stream header
    // (lc 8, lp 0, pb 2) at the payload offset.
    std::vector<uint8_t> packed, picture;
    ASSERT_TRUE(ReadFileBytes(PackFolder() + L"roundtrip.exe", packed));
    ASSERT_TRUE(ReadFileBytes(PackFolder() + L"splash.bmp", picture));
    ASSERT_GT(packed.size(), stub + splash + 13);
    EXPECT_TRUE(std::equal(picture.begin(), picture.end(), packed.begin() + static_cast<ptrdiff_t>(stub)));
    EXPECT_EQ(0x62, packed[stub + splash]);
}

TEST(PackStamp, DefaultsGiveNoSplashAClockBuildIdAndRoomForSpoolAndFiles) {
    ScopedSandbox box(L"pack-stamp");
    auto values = StampOf(L"defaults.exe", box.Path());
    const uint64_t stub = FileSize(quortest::ProgramFolder() + L"stampprobe.exe");
    EXPECT_EQ("0", values["SplashImageOffset"]);
    EXPECT_EQ(std::to_string(stub), values["PayloadOffset"]);
    EXPECT_EQ("setup", values["SetupProgramName"]);

    // yyyymmddhhmmssmmm of a plausible moment.
    const std::string id = values["BuildId"];
    ASSERT_EQ(17u, id.size());
    EXPECT_EQ(std::string::npos, id.find_first_not_of("0123456789"));
    const int year = std::atoi(id.substr(0, 4).c_str()), month = std::atoi(id.substr(4, 2).c_str());
    const int day = std::atoi(id.substr(6, 2).c_str()), hour = std::atoi(id.substr(8, 2).c_str());
    EXPECT_GE(year, 2020);
    EXPECT_TRUE(month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23) << id;

    // The extraction writes the spool file (at least the largest file) and
    // then every file: the default must cover both.
    std::map<std::wstring, std::wstring> files;
    std::vector<std::wstring> folders;
    ListFiles(PackFolder() + L"defaults\\", L"", files, folders);
    uint64_t total = 0, largest = 0;
    for (const auto& f : files) {
        const uint64_t size = FileSize(f.second);
        total += size;
        if (size > largest) largest = size;
    }
    ASSERT_GT(total, 0u);
    const uint64_t required = std::strtoull(values["RequiredFreeBytes"].c_str(), nullptr, 10);
    EXPECT_GE(required, total + largest);
    EXPECT_LT(required, 3 * total + (1u << 20));
}

// The free space a package demands by default covers what the launcher
// writes: the spool file, which stays until every file has been written
// from it, and every file.
TEST(PackStamp, DefaultFreeSpaceCoversTheSpoolAndEveryFileTheLauncherWrites) {
    ScopedSandbox box(L"pack-free");
    auto values = StampOf(L"freespace.exe", box.Path());
    const uint64_t required = std::strtoull(values["RequiredFreeBytes"].c_str(), nullptr, 10);
    std::string output;
    ASSERT_EQ(0, Extract(L"freespace.exe", box.Path(), output)) << output;
    const uint64_t spool = std::strtoull(ParseValues(output)["spool"].c_str(), nullptr, 10);

    std::map<std::wstring, std::wstring> files;
    std::vector<std::wstring> folders;
    ListFiles(box.Path() + L"out\\QUOR" + Widen(values["BuildId"].c_str()) + L"\\", L"", files, folders);
    uint64_t written = spool;
    for (const auto& f : files) written += FileSize(f.second);
    ASSERT_GT(files.size(), 500u) << output;
    ASSERT_GT(spool, 1u << 20) << output;
    EXPECT_GE(required, written) << "spool " << spool << ", files " << written - spool;
    EXPECT_LT(required, 2 * written);  // a drive with room to spare is not refused
}

}  // namespace
