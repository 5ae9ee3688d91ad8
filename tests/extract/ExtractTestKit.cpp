#include "ExtractTestKit.h"

#include <algorithm>

#include "ArchiveParser.h"
#include "ExtractionHost.h"
#include "PayloadDecoder.h"

namespace extracttest {

namespace {

std::wstring g_root;
std::vector<RecordedBox> g_boxes;

bool TestTempRoot(std::wstring& root) {
    root = g_root;
    return true;
}

std::wstring TestText(UINT id) {
    switch (id) {
    case 141: return L"Extraction failed";
    case 142: return L"Unable to open the output file %s.";
    default: return L"";
    }
}

int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    g_boxes.push_back(RecordedBox{owner, text ? text : L"", caption ? caption : L"", type});
    return IDOK;
}

void ListFiles(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(folder, relative + name + L"\\", out);
        else
            out.push_back(relative + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

const wchar_t kWindowClass[] = L"QuorExtractTestProgress";

}  // namespace

std::wstring Widen(const std::string& text) {
    std::wstring wide;
    for (char c : text) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
}

ProgressWindow::ProgressWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);  // already registered by an earlier test: fine
    m_hwnd = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ProgressWindow::~ProgressWindow() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

LRESULT CALLBACK ProgressWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_EXTRACT_PROGRESS) {
        auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) self->m_values.push_back(static_cast<int>(wParam));
        EXPECT_EQ(lParam, 0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const std::vector<int>& ProgressWindow::Values() {
    MSG msg;
    while (PeekMessageW(&msg, m_hwnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return m_values;
}

void ExtractTest::SetUp() {
    m_root = quortest::MakeSandboxFolder(L"extract");
    ASSERT_FALSE(m_root.empty());
    g_root = m_root;
    g_boxes.clear();
    SetExtractionTempRootFunction(TestTempRoot);
    SetExtractionTextFunction(TestText);
    SetExtractionMessageBoxFunction(RecordBox);
    ResetExtractionFolderForTests();
    g_bCancelExtraction = false;
    DestroyArchiveParser(g_pArchiveParser);
    g_pArchiveParser = nullptr;
    m_progress = new ProgressWindow();
}

void ExtractTest::TearDown() {
    DestroyArchiveParser(g_pArchiveParser);
    g_pArchiveParser = nullptr;
    delete m_progress;
    m_progress = nullptr;
    g_bCancelExtraction = false;
    ResetExtractionFolderForTests();
    SetExtractionTempRootFunction(nullptr);
    SetExtractionTextFunction(nullptr);
    SetExtractionMessageBoxFunction(nullptr);
    quortest::RemoveSandboxFolder(m_root);
}

std::wstring ExtractTest::Folder() const { return GetExtractionFolder(); }

void ExtractTest::UseTempRoot(const std::wstring& root) {
    g_root = root;
    ResetExtractionFolderForTests();
}

std::wstring ExtractTest::WriteProgram(const std::vector<uint8_t>& payload, size_t prefixSize,
                                       const std::vector<uint8_t>& trailer) {
    std::vector<uint8_t> bytes(prefixSize, 0x4D);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    std::wstring path = m_root + L"program.bin";
    EXPECT_TRUE(quortest::WriteFileBytes(path, bytes));
    return path;
}

ExtractTest::Outcome ExtractTest::Decode(const std::wstring& path, uint32_t offset, const char* initialText) {
    char buffer[kExtractionErrorTextSize] = {};
    strncpy(buffer, initialText, sizeof(buffer) - 1);
    int code = DecodePayloadFile(path.c_str(), offset, buffer, m_progress->Handle());
    return Outcome{code, buffer};
}

std::vector<uint8_t> ExtractTest::ReadOutput(const std::wstring& relative) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(quortest::ReadFileBytes(Folder() + relative, bytes)) << quortest::Narrow(relative);
    return bytes;
}

bool ExtractTest::OutputExists(const std::wstring& relative) { return quortest::FileExists(Folder() + relative); }

std::vector<std::wstring> ExtractTest::FilesBelowRoot() {
    std::vector<std::wstring> files;
    ListFiles(L"\\\\?\\" + m_root, L"", files);
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<RecordedBox>& ExtractTest::Boxes() { return g_boxes; }

}  // namespace extracttest
