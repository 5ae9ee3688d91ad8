// Restart-pending check: the walk over the pending renames, and the registry
// reads under a private test key (the machine's own keys are never touched).
#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <string>
#include <vector>

#include "RebootCheck.h"

namespace {

// "\??\" + path, as the system stores the entries.
std::wstring Entry(const std::wstring& path) { return L"\\??\\" + path; }

std::wstring MultiSz(const std::vector<std::wstring>& entries) {
    std::wstring out;
    for (const auto& e : entries) {
        out += e;
        out.push_back(L'\0');
    }
    out.push_back(L'\0');
    return out;
}

TEST(PendingRenames, OnlyEntriesOutsideTheTempFolderCount) {
    const std::wstring temp = L"C:\\Users\\u\\Temp\\";
    std::wstring inside = MultiSz({Entry(temp + L"a.tmp"), L"", Entry(L"c:\\users\\U\\temp\\B\\c.dll"), L""});
    EXPECT_FALSE(PendingRenamesOutside(inside.data(), inside.size(), temp.c_str()));

    std::wstring outside = MultiSz({Entry(temp + L"a.tmp"), L"", Entry(L"C:\\Windows\\x.dll"), L""});
    EXPECT_TRUE(PendingRenamesOutside(outside.data(), outside.size(), temp.c_str()));

    // The temp path compared exactly as reported: a short form counts as outside.
    std::wstring shortForm = MultiSz({Entry(L"C:\\Users\\u\\TEMP~1\\a.tmp")});
    EXPECT_TRUE(PendingRenamesOutside(shortForm.data(), shortForm.size(), temp.c_str()));
}

// A destination that replaces an existing file carries "!" in front of the
// prefix: its path is judged like any other.
TEST(PendingRenames, ReplacingDestinationIsJudgedByItsPath) {
    const std::wstring temp = L"C:\\Users\\u\\Temp\\";
    std::wstring inside = MultiSz({Entry(temp + L"a.tmp"), L"!" + Entry(L"c:\\USERS\\u\\temp\\b.tmp")});
    EXPECT_FALSE(PendingRenamesOutside(inside.data(), inside.size(), temp.c_str()));
    std::wstring outside = MultiSz({Entry(temp + L"a.tmp"), L"!" + Entry(L"C:\\Windows\\x.dll")});
    EXPECT_TRUE(PendingRenamesOutside(outside.data(), outside.size(), temp.c_str()));
    std::wstring flagAndPrefix = MultiSz({L"!\\??\\"});  // nothing behind: outside
    EXPECT_TRUE(PendingRenamesOutside(flagAndPrefix.data(), flagAndPrefix.size(), temp.c_str()));
}

TEST(PendingRenames, ShortAndEmptyEntriesAreSkipped) {
    const wchar_t* temp = L"C:\\T\\";
    std::wstring shortOnes = MultiSz({L"abc", L"", L"\\??", L"x"});
    EXPECT_FALSE(PendingRenamesOutside(shortOnes.data(), shortOnes.size(), temp));
    std::wstring prefixOnly = MultiSz({L"\\??\\"});  // four characters, nothing behind: outside
    EXPECT_TRUE(PendingRenamesOutside(prefixOnly.data(), prefixOnly.size(), temp));
    EXPECT_FALSE(PendingRenamesOutside(L"", 0, temp));
}

// The data ends exactly at an inaccessible page: any read past it faults.
TEST(PendingRenames, NeverReadsPastUnterminatedData) {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const size_t page = si.dwPageSize;
    auto* base = static_cast<BYTE*>(VirtualAlloc(nullptr, page * 2, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, base);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(base + page, page, PAGE_NOACCESS, &old));

    const std::wstring inside = L"\\??\\C:\\T\\file";  // no terminator at all
    auto* data = reinterpret_cast<wchar_t*>(base + page - inside.size() * sizeof(wchar_t));
    inside.copy(data, inside.size());
    EXPECT_FALSE(PendingRenamesOutside(data, inside.size(), L"C:\\T\\"));

    const std::wstring outside = L"\\??\\D:\\elsewhere";
    data = reinterpret_cast<wchar_t*>(base + page - outside.size() * sizeof(wchar_t));
    outside.copy(data, outside.size());
    EXPECT_TRUE(PendingRenamesOutside(data, outside.size(), L"C:\\T\\"));
    VirtualFree(base, 0, MEM_RELEASE);
}

// A private key under HKCU that stands in for HKEY_LOCAL_MACHINE.
class RebootRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = L"Software\\QuorTests\\Reboot-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &m_root, nullptr));
        wchar_t temp[MAX_PATH + 1] = {};
        ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
        m_temp = temp;
    }
    void TearDown() override {
        RegCloseKey(m_root);
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    }
    HKEY SubKey(const wchar_t* path) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExW(m_root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        return key;
    }
    void SetRenames(DWORD type, const std::wstring& data) {
        HKEY key = SubKey(L"SYSTEM\\CurrentControlSet\\Control\\Session Manager");
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"PendingFileRenameOperations", 0, type,
                                                reinterpret_cast<const BYTE*>(data.data()),
                                                static_cast<DWORD>(data.size() * sizeof(wchar_t))));
        RegCloseKey(key);
    }

    std::wstring m_path;
    std::wstring m_temp;
    HKEY m_root = nullptr;
};

TEST_F(RebootRegistry, NothingThereIsNotPending) {
    EXPECT_FALSE(IsRebootPendingUnder(m_root));
    RegCloseKey(SubKey(L"SOFTWARE\\Quor\\Setup\\Reboot"));  // key without the value
    EXPECT_FALSE(IsRebootPendingUnder(m_root));
}

TEST_F(RebootRegistry, RebootNeededValueOfAnyTypeIsPending) {
    HKEY key = SubKey(L"SOFTWARE\\Quor\\Setup\\Reboot");
    DWORD one = 1;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"RebootNeeded", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&one), sizeof(one)));
    EXPECT_TRUE(IsRebootPendingUnder(m_root));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"RebootNeeded", 0, REG_SZ, nullptr, 0));
    EXPECT_TRUE(IsRebootPendingUnder(m_root));
    RegCloseKey(key);
}

TEST_F(RebootRegistry, PendingRenamesDecideByFolder) {
    SetRenames(REG_MULTI_SZ, MultiSz({Entry(m_temp + L"a.tmp"), L"", Entry(m_temp + L"sub\\b.tmp"), L""}));
    EXPECT_FALSE(IsRebootPendingUnder(m_root));
    SetRenames(REG_MULTI_SZ, MultiSz({Entry(m_temp + L"a.tmp"), L"", Entry(L"C:\\windows\\system32\\x.dll"), L""}));
    EXPECT_TRUE(IsRebootPendingUnder(m_root));
    // Data without its closing NULs: the last entry is still judged.
    SetRenames(REG_MULTI_SZ, Entry(L"D:\\elsewhere\\x.dll"));
    EXPECT_TRUE(IsRebootPendingUnder(m_root));
    SetRenames(REG_MULTI_SZ, Entry(m_temp + L"x.tmp"));
    EXPECT_FALSE(IsRebootPendingUnder(m_root));
}

// A temporary path longer than MAX_PATH, reported as GetTempPathW reports
// it: while the buffer is too small, only the size it needs (with its NUL).
std::wstring g_longTemp;
DWORD WINAPI LongTempPath(DWORD chars, LPWSTR buffer) {
    if (chars <= g_longTemp.size()) return static_cast<DWORD>(g_longTemp.size() + 1);
    g_longTemp.copy(buffer, g_longTemp.size());
    buffer[g_longTemp.size()] = L'\0';
    return static_cast<DWORD>(g_longTemp.size());
}
DWORD WINAPI NoTempPath(DWORD, LPWSTR) { return 0; }

// Restores the system's temporary path at the end of a test.
struct TempPathSeam {
    explicit TempPathSeam(TempPathFunction f) { SetTempPathFunction(f); }
    ~TempPathSeam() { SetTempPathFunction(nullptr); }
};

TEST_F(RebootRegistry, TemporaryFolderOfAnyLengthDecides) {
    g_longTemp = L"C:\\Users\\u\\" + std::wstring(300, L't') + L"\\";
    std::wstring otherCase = g_longTemp;
    for (wchar_t& c : otherCase) c = static_cast<wchar_t>(towupper(c));
    TempPathSeam seam(LongTempPath);
    SetRenames(REG_MULTI_SZ, MultiSz({Entry(g_longTemp + L"a.tmp"), L"!" + Entry(otherCase + L"b.tmp")}));
    EXPECT_FALSE(IsRebootPendingUnder(m_root));
    SetRenames(REG_MULTI_SZ, MultiSz({Entry(otherCase + L"a.tmp"), L"", Entry(L"C:\\Users\\u\\x.dll"), L""}));
    EXPECT_TRUE(IsRebootPendingUnder(m_root));

    // No temporary path at all: nothing can be told apart, so pending.
    SetTempPathFunction(NoTempPath);
    SetRenames(REG_MULTI_SZ, MultiSz({Entry(g_longTemp + L"a.tmp")}));
    EXPECT_TRUE(IsRebootPendingUnder(m_root));
}

TEST_F(RebootRegistry, OtherTypesAndEmptyListsAreNotPending) {
    SetRenames(REG_SZ, Entry(L"C:\\windows\\x.dll"));
    EXPECT_FALSE(IsRebootPendingUnder(m_root));
    SetRenames(REG_MULTI_SZ, std::wstring());
    EXPECT_FALSE(IsRebootPendingUnder(m_root));
    SetRenames(REG_MULTI_SZ, std::wstring(1, L'\0'));
    EXPECT_FALSE(IsRebootPendingUnder(m_root));
}

}  // namespace
