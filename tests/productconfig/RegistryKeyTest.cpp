// CRegistryKey against the real registry of the test prefix, below a fresh
// test key under HKEY_CURRENT_USER that is removed afterwards.
#include "RegistryKey.h"
#include "SxsExpect.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const HRESULT HrInvalidHandle = static_cast<HRESULT>(0x80070006);
const HRESULT HrNotFound = static_cast<HRESULT>(0x80070002);
const HRESULT HrAccessDenied = static_cast<HRESULT>(0x80070005);
const HRESULT HrInvalidAccess = static_cast<HRESULT>(0x8007000C);
const HRESULT HrDatatypeMismatch = static_cast<HRESULT>(0x8007065D);

bool KeyExists(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Handles this process holds, as the system lists them.
size_t ProcessHandleCount()
{
    struct HandleEntry {
        PVOID object;
        ULONG_PTR processId;
        ULONG_PTR handle;
        ULONG access;
        USHORT creatorBackTraceIndex;
        USHORT objectTypeIndex;
        ULONG attributes;
        ULONG reserved;
    };
    struct HandleList {
        ULONG_PTR count;
        ULONG_PTR reserved;
        HandleEntry entries[1];
    };
    using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    const ULONG SystemExtendedHandleInformation = 64;
    const LONG StatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<ULONG_PTR> buffer(1 << 16);
    LONG status = StatusInfoLengthMismatch;
    while (query && (status = query(SystemExtendedHandleInformation, buffer.data(),
                                    static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), nullptr)) ==
                        StatusInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return 0;
    const HandleList* list = reinterpret_cast<const HandleList*>(buffer.data());
    size_t count = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i)
        count += list->entries[i].processId == GetCurrentProcessId();
    return count;
}

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        base_ = L"Software\\QuorTest\\RegistryKey-" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, base_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QuorTest");  // only when empty
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base_));
    }

    // A raw value under the test key, written past the wrapper.
    void PutRaw(const wchar_t* name, DWORD type, const void* data, DWORD cb)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), cb), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::wstring base_;
};

}  // namespace

TEST_F(RegistryKeyTest, DefaultKeyHasNoHive)
{
    CRegistryKey key;
    EXPECT_EQ(key.GetHive(), 0);
    EXPECT_EQ(key.GetAccess(), static_cast<REGSAM>(0xE003D));
    EXPECT_SXS_ERROR(key.OpenOrThrow(), 12, 0x50000);
    EXPECT_SXS_ERROR(key.CreateOrThrow(), 12, 0x50000);
    EXPECT_EQ(key.Open(), HrInvalidHandle);
    EXPECT_EQ(key.Create(), HrInvalidAccess);
    EXPECT_FALSE(key.TryOpen());

    CRegistryKey other(7, base_);
    EXPECT_EQ(other.Create(), HrInvalidAccess);
}

TEST_F(RegistryKeyTest, OpenMissingThenCreate)
{
    const std::wstring path = base_ + L"\\Created\\Deeper";
    CRegistryKey key(2, path);
    // Open reports 0x80070006 whatever the registry said.
    EXPECT_EQ(key.Open(), HrInvalidHandle);
    EXPECT_SXS_ERROR(key.OpenOrThrow(), ERROR_FILE_NOT_FOUND, 0x50000);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path));

    EXPECT_EQ(key.Create(), S_OK);
    EXPECT_TRUE(key.IsOpen());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, path));
    // An existing key is simply opened.
    CRegistryKey again(2, path);
    EXPECT_EQ(again.Create(), S_OK);
    EXPECT_EQ(again.Open(), S_OK);

    CRegistryKey opened(2, path);
    EXPECT_EQ(opened.Open(), S_OK);
    EXPECT_TRUE(opened.IsOpen());
}

TEST_F(RegistryKeyTest, SetOnMissingKeyDoesNotCreateIt)
{
    const std::wstring path = base_ + L"\\Missing";
    CRegistryKey key(2, path, KEY_ALL_ACCESS);
    EXPECT_EQ(key.SetStringValue(L"Name", L"Text"), HrNotFound);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path));
}

TEST_F(RegistryKeyTest, DefaultMaskCannotSetValues)
{
    CRegistryKey key(2, base_);
    EXPECT_EQ(key.Open(), S_OK);
    EXPECT_EQ(key.SetStringValue(L"Name", L"Text"), HrAccessDenied);
    // Nor does a lazily opened key.
    CRegistryKey lazy(2, base_);
    EXPECT_SXS_ERROR(lazy.SetStringValueOrThrow(L"Name", L"Text"), ERROR_ACCESS_DENIED, 0x50000);
}

TEST_F(RegistryKeyTest, SetAndQueryStrings)
{
    CRegistryKey writer(2, base_, KEY_ALL_ACCESS);
    EXPECT_EQ(writer.SetStringValue(L"Greeting", L"Gr\u00FC\u00DF dich"), S_OK);
    EXPECT_EQ(writer.SetStringValue(L"Empty", L""), S_OK);
    EXPECT_EQ(writer.SetStringValue(L"", L"default value"), S_OK);

    CRegistryKey reader(2, base_);
    std::wstring text = L"old";
    EXPECT_EQ(reader.QueryStringValue(L"Greeting", &text), S_OK);
    EXPECT_EQ(text, L"Gr\u00FC\u00DF dich");
    EXPECT_EQ(reader.QueryStringValue(L"Empty", &text), S_OK);
    EXPECT_EQ(text, L"");
    EXPECT_EQ(reader.QueryStringValue(L"", &text), S_OK);
    EXPECT_EQ(text, L"default value");

    // The stored data holds the terminator: (length + 1) x 2 bytes.
    DWORD type = 0, cb = 0;
    HKEY raw = reader.GetHandle();
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(RegQueryValueExW(raw, L"Greeting", nullptr, &type, nullptr, &cb), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(cb, 10u * sizeof(wchar_t));
}

TEST_F(RegistryKeyTest, QueryOddValues)
{
    const DWORD number = 42;
    PutRaw(L"Number", REG_DWORD, &number, sizeof(number));
    PutRaw(L"Expand", REG_EXPAND_SZ, L"%TEMP%", 14);
    PutRaw(L"ZeroBytes", REG_SZ, L"", 0);
    PutRaw(L"NoTerminator", REG_SZ, L"abc", 6);
    PutRaw(L"OddBytes", REG_SZ, "a\0b", 3);
    PutRaw(L"EmbeddedNul", REG_SZ, L"ab\0cd", 12);

    CRegistryKey key(2, base_);
    std::wstring text = L"untouched";
    EXPECT_EQ(key.QueryStringValue(L"Number", &text), HrDatatypeMismatch);
    EXPECT_EQ(key.QueryStringValue(L"Expand", &text), HrDatatypeMismatch);
    EXPECT_EQ(key.QueryStringValue(L"NoSuchValue", &text), HrNotFound);
    EXPECT_EQ(text, L"untouched");
    EXPECT_SXS_ERROR(key.QueryStringValueOrThrow(L"Number"), 1629, 0x50000);

    EXPECT_EQ(key.QueryStringValue(L"ZeroBytes", &text), S_OK);
    EXPECT_EQ(text, L"");
    EXPECT_EQ(key.QueryStringValue(L"NoTerminator", &text), S_OK);
    EXPECT_EQ(text, L"abc");
    EXPECT_EQ(key.QueryStringValue(L"OddBytes", &text), S_OK);
    EXPECT_EQ(text, L"ab");  // the odd byte still lands in the buffer
    EXPECT_EQ(key.QueryStringValue(L"EmbeddedNul", &text), S_OK);
    EXPECT_EQ(text, L"ab");
    EXPECT_EQ(key.QueryStringValue(L"Number", nullptr), E_POINTER);
}

TEST_F(RegistryKeyTest, LocalMachineHive)
{
    CRegistryKey key(1, L"Software", KEY_READ);
    EXPECT_EQ(key.Open(), S_OK);
    EXPECT_TRUE(key.IsOpen());
    key.Close();
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(key.GetPath(), L"");
}

TEST_F(RegistryKeyTest, AssignmentCopiesTheDescriptionOnly)
{
    CRegistryKey source(2, base_, KEY_READ);
    ASSERT_EQ(source.Open(), S_OK);
    HKEY sourceHandle = source.GetHandle();

    // Self-assignment changes nothing, the handle included.
    CRegistryKey& alias = source;
    source = alias;
    EXPECT_EQ(source.GetHandle(), sourceHandle);
    EXPECT_EQ(source.GetPath(), base_);

    CRegistryKey target(2, base_ + L"\\Other", KEY_ALL_ACCESS);
    ASSERT_EQ(target.Create(), S_OK);
    target = source;
    EXPECT_FALSE(target.IsOpen());
    EXPECT_EQ(target.GetPath(), base_);
    EXPECT_EQ(target.GetHive(), 2);
    EXPECT_EQ(target.GetAccess(), static_cast<REGSAM>(KEY_READ));
    // The source's handle is still its own and usable.
    EXPECT_EQ(source.GetHandle(), sourceHandle);
    DWORD values = 0;
    EXPECT_EQ(RegQueryInfoKeyW(sourceHandle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);

    {
        CRegistryKey copy(source);
        EXPECT_FALSE(copy.IsOpen());
        EXPECT_EQ(copy.GetPath(), base_);
        EXPECT_EQ(copy.Open(), S_OK);
        EXPECT_NE(copy.GetHandle(), sourceHandle);
    }
    // Destroying the copy closed only its own handle.
    EXPECT_EQ(RegQueryInfoKeyW(sourceHandle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);

    CRegistryKey moved(std::move(source));
    EXPECT_EQ(moved.GetHandle(), sourceHandle);
    EXPECT_FALSE(source.IsOpen());
    CRegistryKey movedAgain;
    movedAgain = std::move(moved);
    EXPECT_EQ(movedAgain.GetHandle(), sourceHandle);
    EXPECT_FALSE(moved.IsOpen());
    EXPECT_EQ(movedAgain.GetPath(), base_);
}

// Every handle a key takes, its own and the current user's hive, goes with
// it: keys opened, created, used, assigned over, moved and closed many times
// leave the process with the handles it had.
TEST_F(RegistryKeyTest, NoHandleOutlivesItsKey)
{
    const auto useKeys = [this] {
        CRegistryKey writer(2, base_, KEY_ALL_ACCESS);
        EXPECT_EQ(writer.Create(), S_OK);
        EXPECT_EQ(writer.SetStringValue(L"Name", L"Text"), S_OK);
        CRegistryKey reader(2, base_, KEY_READ);
        std::wstring text;
        EXPECT_EQ(reader.QueryStringValue(L"Name", &text), S_OK);
        reader = writer;   // over an open key
        EXPECT_EQ(reader.Open(), S_OK);
        CRegistryKey moved(std::move(reader));
        CRegistryKey sub(2, base_, KEY_READ);
        EXPECT_EQ(sub.Open(), S_OK);
        EXPECT_EQ(writer.OpenSubKey(L"Sub", &sub), S_OK);
        EXPECT_EQ(sub.Create(), S_OK);
        CRegistryKey machine(1, L"Software", KEY_READ);
        EXPECT_EQ(machine.Open(), S_OK);
        machine.Close();
        EXPECT_EQ(CRegistryKey(2, base_ + L"\\Missing").Open(), HrInvalidHandle);
    };
    useKeys();   // whatever the registry keeps after its first use
    const size_t before = ProcessHandleCount();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 50; ++i)
        useKeys();
    EXPECT_LT(ProcessHandleCount(), before + 10);
}

TEST_F(RegistryKeyTest, SubKeys)
{
    CRegistryKey parent(2, base_ + L"\\", KEY_ALL_ACCESS);
    CRegistryKey child = parent.MakeSubKey(L"\\Child");
    EXPECT_EQ(child.GetPath(), base_ + L"\\Child");
    EXPECT_EQ(child.GetAccess(), static_cast<REGSAM>(KEY_ALL_ACCESS));
    EXPECT_EQ(child.GetHive(), 2);
    EXPECT_FALSE(child.IsOpen());

    CRegistryKey out(2, base_, KEY_READ);
    ASSERT_EQ(out.Open(), S_OK);
    EXPECT_EQ(parent.OpenSubKey(L"Leaf", &out), S_OK);
    EXPECT_FALSE(out.IsOpen());
    EXPECT_EQ(out.GetPath(), base_ + L"\\Leaf");
    EXPECT_EQ(out.GetAccess(), static_cast<REGSAM>(KEY_ALL_ACCESS));
    EXPECT_EQ(out.Create(), S_OK);
    EXPECT_EQ(out.SetStringValue(L"Value", L"set"), S_OK);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base_ + L"\\Leaf"));
    EXPECT_EQ(parent.OpenSubKey(L"Leaf", nullptr), E_POINTER);
}

TEST(JoinKeyPath, Seams)
{
    EXPECT_EQ(JoinKeyPath(L"A\\", L"\\B"), L"A\\B");
    EXPECT_EQ(JoinKeyPath(L"A", L"B\\C"), L"A\\B\\C");
    EXPECT_EQ(JoinKeyPath(L"A\\", L"B"), L"A\\B");
    EXPECT_EQ(JoinKeyPath(L"A", L"\\B"), L"A\\B");
    EXPECT_EQ(JoinKeyPath(L"", L"\\B"), L"\\B");
    EXPECT_EQ(JoinKeyPath(L"A\\", L""), L"A\\");
    EXPECT_EQ(JoinKeyPath(L"", L""), L"");
    // Only one backslash of each side is looked at.
    EXPECT_EQ(JoinKeyPath(L"A\\\\", L"\\\\B"), L"A\\\\\\B");
}
