// Fixture for the engine's tests: a sandbox temporary root, recorded message
// boxes instead of real ones, English texts, and a message-only window that
// collects the progress posts.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestSandbox.h"

namespace extracttest {

struct RecordedBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// A message-only window (HWND_MESSAGE) that records WM_EXTRACT_PROGRESS.
class ProgressWindow {
public:
    ProgressWindow();
    ~ProgressWindow();
    HWND Handle() const { return m_hwnd; }
    // Pumps what has been posted and returns every progress value so far.
    const std::vector<int>& Values();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
    std::vector<int> m_values;
};

class ExtractTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary root (a fresh sandbox folder) and the extraction folder below it.
    const std::wstring& Root() const { return m_root; }
    std::wstring Folder() const;
    // Makes the engine use another temporary root (below Root()) from now on.
    void UseTempRoot(const std::wstring& root);

    // Writes prefix, payload and trailer into a program-like file in the sandbox.
    std::wstring WriteProgram(const std::vector<uint8_t>& payload, size_t prefixSize = 1000,
                              const std::vector<uint8_t>& trailer = {});

    struct Outcome {
        int code;
        std::string text;
    };
    Outcome Decode(const std::wstring& path, uint32_t offset, const char* initialText = "");

    std::vector<uint8_t> ReadOutput(const std::wstring& relative);
    bool OutputExists(const std::wstring& relative);
    // Every file below Root(), relative to it, sorted (also past MAX_PATH).
    std::vector<std::wstring> FilesBelowRoot();

    static std::vector<RecordedBox>& Boxes();

    ProgressWindow* m_progress = nullptr;

private:
    std::wstring m_root;
};

std::wstring Widen(const std::string& text);

}  // namespace extracttest
