#include "ExtractionHost.h"

#include "ExtractionTypes.h"
#include "LongPath.h"
#include "StampBlock.h"

std::atomic<bool> g_bCancelExtraction{false};

namespace {

bool NoApplication(std::wstring&) { return false; }

std::wstring LoadFromProcessModule(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero length LoadStringW hands out a read-only pointer to the resource text.
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr) return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

int PlatformMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    return MessageBoxW(owner, text, caption, type);
}

ExtractionTempRootFunction g_tempRoot = NoApplication;
ExtractionTextFunction g_loadText = LoadFromProcessModule;
ExtractionMessageBoxFunction g_messageBox = PlatformMessageBox;

struct ExtractionFolderState {
    std::wstring folder;
    bool computed = false;
};

ExtractionFolderState& FolderState() {
    static ExtractionFolderState state;
    return state;
}

}  // namespace

void SetExtractionTempRootFunction(ExtractionTempRootFunction function) {
    g_tempRoot = function ? function : NoApplication;
}

void SetExtractionTextFunction(ExtractionTextFunction function) {
    g_loadText = function ? function : LoadFromProcessModule;
}

void SetExtractionMessageBoxFunction(ExtractionMessageBoxFunction function) {
    g_messageBox = function ? function : PlatformMessageBox;
}

bool GetExtractionTempRoot(std::wstring& root) { return g_tempRoot(root); }

std::wstring LoadExtractionText(UINT id) { return g_loadText(id); }

int ShowExtractionMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    return g_messageBox(owner, text, caption, type);
}

const std::wstring& GetExtractionFolder() {
    ExtractionFolderState& state = FolderState();
    if (state.computed) return state.folder;
    std::wstring root;
    // A root that is not one full path (empty or relative) would put the
    // files wherever the working folder happens to be.
    if (!GetExtractionTempRoot(root) || !IsResolvedFullPath(root)) {
        state.folder.clear();
        return state.folder;
    }
    // The build id is ASCII digits: widen byte by byte.
    std::string buildId = GetStampBuildId();
    std::wstring folder = root;
    folder += L"QUOR";
    for (char c : buildId) folder += static_cast<wchar_t>(static_cast<unsigned char>(c));
    folder += L'\\';
    state.folder = folder;
    state.computed = true;
    return state.folder;
}

void ResetExtractionFolderForTests() {
    ExtractionFolderState& state = FolderState();
    state.folder.clear();
    state.computed = false;
}
