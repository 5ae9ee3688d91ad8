// The error class: HRESULT mapping of every code the subsystem raises, the
// diagnostic text, and the guard of the public entries.
#include "QuorSXSError.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

namespace {

std::wstring SystemText(DWORD code)
{
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                  nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    return text;
}

std::string Ansi(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace

TEST(QuorSXSError, EveryRaisedCodeMapsThroughThePublicGuard)
{
    struct Case {
        uint32_t code;
        uint32_t origin;
        uint32_t hresult;
    };
    // Each (code, origin) pair that the configuration, path and registry layers raise.
    const Case cases[] = {
        {2, 0x20000, 0x80070002},     // document index
        {13, 0x10000, 0x8007000D},    // parse error, missing scope element, bad hive
        {13, 0x20000, 0x8007000D},    // nothing loaded or selected
        {1630, 0x10000, 0x8007065E},  // no line, no application
        {9, 0x10000, 0x80070009},     // missing hive attribute
        {3, 0x30000, 0x80070003},     // application without subkey
        {1, 0x40000, 0x80070001},     // scope out of range
        {8, 0x40000, 0x80070008},     // module path too long
        {13, 0x40000, 0x8007000D},    // manifest name too long
        {12, 0x50000, 0x8007000C},    // no hive
        {5, 0x50000, 0x80070005},     // access denied from the registry
        {2, 0x50000, 0x80070002},     // key or value not found
        {234, 0x50000, 0x800700EA},   // value grew between the two reads
        {1629, 0x50000, 0x8007065D},  // not REG_SZ
        {1113, 0x70000, 0x80070459},  // conversion
        {0x12345, 0x50000, 0x80072345},  // only the low 16 bits are kept
        {0, 0x70000, 0},                 // 0 stays 0
        {0x80004005, 0x50000, 0x80004005},  // a code that reads as negative passes unchanged
    };
    for (const Case& c : cases) {
        HRESULT hr = CallMappingErrors([&] { throw CQuorSXSError(c.code, c.origin); });
        EXPECT_EQ(static_cast<uint32_t>(hr), c.hresult) << c.code << " / " << std::hex << c.origin;
    }
    EXPECT_EQ(CallMappingErrors([] {}), S_OK);
}

TEST(QuorSXSError, OtherExceptions)
{
    // A standard exception that is no side-by-side error becomes E_UNEXPECTED.
    HRESULT hr = CallMappingErrors([] { (void)std::string("short").at(10); });
    EXPECT_EQ(static_cast<uint32_t>(hr), 0x8000FFFFu);
    hr = CallMappingErrors([] { throw std::length_error("too long"); });
    EXPECT_EQ(static_cast<uint32_t>(hr), 0x8000FFFFu);
    // Anything else passes through.
    EXPECT_THROW(CallMappingErrors([] { throw 42; }), int);
}

TEST(QuorSXSError, WhatShowsNumbersAndSystemText)
{
    CQuorSXSError error(2, 0x20000);
    const std::wstring message = SystemText(2);
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(error.GetMessageText(), message);
    const std::string expected = "CQuorSXSError 0x00000002 -> 0x00020000 [ " + Ansi(message) + " ]";
    EXPECT_EQ(std::string(error.what()), expected);
    EXPECT_EQ(error.GetMessageText().find(L'\n'), std::wstring::npos);

    // One buffer per thread: the earlier pointer shows the later text.
    const char* first = error.what();
    CQuorSXSError other(0x1234, 0x50000);
    const char* second = other.what();
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::string(first).rfind("CQuorSXSError 0x00001234 -> 0x00050000 [", 0), 0u);

    // A copy carries both numbers.
    CQuorSXSError copy(error);
    EXPECT_EQ(copy.GetCode(), 2);
    EXPECT_EQ(copy.GetOrigin(), 0x20000u);
}

TEST(QuorSXSError, CodeWithoutSystemTextLeavesTheBracketsEmpty)
{
    const uint32_t code = 0x2ABCDEF0;
    ASSERT_TRUE(SystemText(code).empty()) << "the system has a text for this code";
    CQuorSXSError error(code, 0x70000);
    EXPECT_EQ(error.GetMessageText(), L"");
    EXPECT_STREQ(error.what(), "CQuorSXSError 0x2ABCDEF0 -> 0x00070000 [  ]");
}

TEST(QuorSXSError, MessagesWithInsertsAreNotExpanded)
{
    // Find a system message that names an insert (%1): without arguments the
    // insert must stay as it is instead of being read from nowhere.
    DWORD code = 0;
    for (DWORD candidate = 1; candidate < 16000 && code == 0; ++candidate)
        if (SystemText(candidate).find(L"%1") != std::wstring::npos)
            code = candidate;
    ASSERT_NE(code, 0u) << "no system message with inserts";
    CQuorSXSError error(code, 0x50000);
    const std::wstring text = error.GetMessageText();
    EXPECT_EQ(text, SystemText(code));
    EXPECT_NE(text.find(L"%1"), std::wstring::npos) << code << ": " << Ansi(text);
    EXPECT_NE(std::string(error.what()).find("%1"), std::string::npos);
}

TEST(QuorSXSError, TextBufferIsPerThread)
{
    CQuorSXSError mine(2, 0x20000);
    const char* text = mine.what();
    const std::string before = text;
    std::string theirs;
    std::thread worker([&] { theirs = CQuorSXSError(5, 0x50000).what(); });
    worker.join();
    EXPECT_EQ(std::string(text), before);
    EXPECT_EQ(theirs.rfind("CQuorSXSError 0x00000005 -> 0x00050000 [", 0), 0u);
}

TEST(QuorSXSError, LastErrorNeverReportsSuccess)
{
    SetLastError(0);
    EXPECT_EQ(LastErrorOr(ERROR_INVALID_DATA), static_cast<uint32_t>(ERROR_INVALID_DATA));
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_EQ(LastErrorOr(ERROR_INVALID_DATA), static_cast<uint32_t>(ERROR_NO_UNICODE_TRANSLATION));
}
