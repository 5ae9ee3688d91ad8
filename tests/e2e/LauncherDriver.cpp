#include "LauncherDriver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>

namespace e2e {
namespace {

constexpr int kProgressId = 1000;
constexpr int kHeadingId = 1005;
constexpr int kTextId = 1006;
constexpr int kBoxTextId = 0xFFFF;

std::vector<wchar_t> EnvironmentBlock(const std::vector<std::wstring>& overrides) {
    std::vector<std::wstring> vars;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (wchar_t* p = block; *p; p += wcslen(p) + 1) vars.emplace_back(p);
        FreeEnvironmentStringsW(block);
    }
    for (const std::wstring& o : overrides) {
        const std::wstring name = o.substr(0, o.find(L'=') + 1);
        bool replaced = false;
        for (std::wstring& v : vars)
            if (v.size() >= name.size() && _wcsnicmp(v.c_str(), name.c_str(), name.size()) == 0) {
                v = o;
                replaced = true;
            }
        if (!replaced) vars.push_back(o);
    }
    std::vector<wchar_t> out;
    for (const std::wstring& v : vars) {
        out.insert(out.end(), v.begin(), v.end());
        out.push_back(0);
    }
    out.push_back(0);
    return out;
}

bool IsDialogClass(HWND hwnd) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return wcscmp(cls, L"#32770") == 0;
}

struct EnumContext {
    DWORD pid;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    auto* ctx = reinterpret_cast<EnumContext*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == ctx->pid) ctx->out->push_back(hwnd);
    return TRUE;
}

}  // namespace

std::wstring WindowText(HWND hwnd) {
    if (!hwnd) return std::wstring();
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return std::wstring();
    // The text may grow after its length was read (a caption showing the
    // progress): a text that fills the buffer may have been cut, so it is read
    // again into a larger one until it fits with room to spare.
    std::vector<wchar_t> buf(len + 2, 0);
    for (;;) {
        DWORD_PTR got = 0;
        if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                                 SMTO_ABORTIFHUNG, 2000, &got))
            return std::wstring();
        if (got + 1 < buf.size()) return std::wstring(buf.data(), got);
        buf.assign(buf.size() * 2, 0);
    }
}

std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

LauncherRun::~LauncherRun() {
    ResumeOtherThreads();
    if (m_pi.hProcess) {
        if (Running()) {
            TerminateProcess(m_pi.hProcess, 1);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hProcess);
    }
    if (m_pi.hThread) CloseHandle(m_pi.hThread);
}

bool LauncherRun::Start(const std::wstring& program, const std::wstring& arguments,
                        const std::vector<std::wstring>& environment, const std::wstring& folder, bool waitForIdle) {
    std::wstring cmd = L"\"" + program + L"\"";
    if (!arguments.empty()) cmd += L" " + arguments;
    std::vector<wchar_t> cmdBuf(cmd.begin(), cmd.end());
    cmdBuf.push_back(0);
    std::vector<wchar_t> env = EnvironmentBlock(environment);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (!CreateProcessW(program.c_str(), cmdBuf.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        env.data(), folder.empty() ? nullptr : folder.c_str(), &si, &m_pi))
        return false;
    if (waitForIdle) WaitForInputIdle(m_pi.hProcess, 10000);
    return true;
}

bool LauncherRun::WaitForExit(DWORD timeoutMs) {
    if (!m_pi.hProcess) return false;
    if (WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(m_pi.hProcess, &m_exitCode);
    return true;
}

bool LauncherRun::Running() const {
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> LauncherRun::Windows() const {
    std::vector<HWND> out;
    EnumContext ctx{m_pi.dwProcessId, &out};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&ctx));
    return out;
}

HWND LauncherRun::Dialog() const {
    for (HWND h : Windows())
        if (IsDialogClass(h) && GetDlgItem(h, kProgressId)) return h;
    return nullptr;
}

DialogState LauncherRun::ReadDialog() const {
    DialogState s;
    s.hwnd = Dialog();
    if (!s.hwnd) return s;
    s.visible = IsWindowVisible(s.hwnd) != FALSE;
    s.caption = WindowText(s.hwnd);
    HWND progress = GetDlgItem(s.hwnd, kProgressId);
    DWORD_PTR r = 0;
    if (SendMessageTimeoutW(progress, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &r)) s.progressPos = int(r);
    if (SendMessageTimeoutW(progress, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, 2000, &r)) s.progressLow = int(r);
    if (SendMessageTimeoutW(progress, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 2000, &r)) s.progressHigh = int(r);
    s.heading = WindowText(GetDlgItem(s.hwnd, kHeadingId));
    s.text = WindowText(GetDlgItem(s.hwnd, kTextId));
    s.button = WindowText(GetDlgItem(s.hwnd, IDCANCEL));
    return s;
}

std::vector<MessageBoxInfo> LauncherRun::MessageBoxes() const {
    std::vector<MessageBoxInfo> out;
    for (HWND h : Windows()) {
        if (!IsDialogClass(h) || GetDlgItem(h, kProgressId) || !IsWindowVisible(h)) continue;
        HWND text = GetDlgItem(h, kBoxTextId);
        if (!text) continue;
        MessageBoxInfo box;
        box.hwnd = h;
        box.owner = GetWindow(h, GW_OWNER);
        box.caption = WindowText(h);
        box.text = WindowText(text);
        out.push_back(box);
    }
    return out;
}

bool LauncherRun::WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) const {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (!Running()) return done();
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

MessageBoxInfo LauncherRun::WaitForMessageBox(DWORD timeoutMs) const {
    MessageBoxInfo found;
    WaitUntil([&] {
        auto boxes = MessageBoxes();
        if (boxes.empty()) return false;
        found = boxes.front();
        return true;
    }, timeoutMs);
    return found;
}

void LauncherRun::PressCancel() const {
    HWND dlg = Dialog();
    if (dlg) PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
}

namespace {

// A suspension takes effect later; reading the thread's context waits for it.
bool SuspendAndWait(HANDLE thread) {
    if (SuspendThread(thread) == static_cast<DWORD>(-1)) return false;
    alignas(16) CONTEXT context = {};
    context.ContextFlags = CONTEXT_CONTROL;
    GetThreadContext(thread, &context);
    return true;
}

}  // namespace

bool LauncherRun::SuspendOtherThreads() {
    if (!m_suspended.empty()) return true;
    if (!m_pi.hProcess) return false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != m_pi.dwProcessId || entry.th32ThreadID == m_pi.dwThreadId) continue;
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, entry.th32ThreadID);
        if (thread && SuspendAndWait(thread))
            m_suspended.push_back(thread);
        else if (thread)
            CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return !m_suspended.empty();
}

void LauncherRun::StepOtherThreads(DWORD microseconds) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    for (HANDLE thread : m_suspended) ResumeThread(thread);
    QueryPerformanceCounter(&start);
    do QueryPerformanceCounter(&now);
    while ((now.QuadPart - start.QuadPart) * 1000000 < static_cast<LONGLONG>(microseconds) * frequency.QuadPart);
    for (HANDLE thread : m_suspended) SuspendAndWait(thread);
}

void LauncherRun::ResumeOtherThreads() {
    for (HANDLE thread : m_suspended) {
        ResumeThread(thread);
        CloseHandle(thread);
    }
    m_suspended.clear();
}

void LauncherRun::CloseMessageBox(const MessageBoxInfo& box) {
    if (box.hwnd) PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

bool CaptureWindowPixels(HWND hwnd, int& width, int& height, std::vector<DWORD>& pixels) {
    RECT rc;
    if (!hwnd || !GetClientRect(hwnd, &rc)) return false;
    width = rc.right - rc.left;
    height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0) return false;
    HDC src = GetDC(hwnd);
    if (!src) return false;
    HDC mem = CreateCompatibleDC(src);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(mem, dib);
        ok = BitBlt(mem, 0, 0, width, height, src, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(mem, old);
        const DWORD* p = static_cast<const DWORD*>(bits);
        pixels.assign(p, p + static_cast<size_t>(width) * height);
        for (DWORD& px : pixels) px &= 0x00FFFFFF;
    }
    if (dib) DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(hwnd, src);
    return ok;
}

bool CaptureWindow(HWND hwnd, const std::wstring& bmpPath) {
    int w = 0, h = 0;
    std::vector<DWORD> px;
    if (!CaptureWindowPixels(hwnd, w, h, px)) return false;
    const DWORD row = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    const DWORD image = row * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + image;
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h;  // bottom-up
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    ih.biSizeImage = image;
    std::vector<BYTE> data(image, 0);
    for (int y = 0; y < h; ++y) {
        BYTE* out = &data[static_cast<size_t>(h - 1 - y) * row];
        for (int x = 0; x < w; ++x) {
            DWORD c = px[static_cast<size_t>(y) * w + x];
            out[x * 3 + 0] = BYTE(c);
            out[x * 3 + 1] = BYTE(c >> 8);
            out[x * 3 + 2] = BYTE(c >> 16);
        }
    }
    HANDLE f = CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(f, &fh, sizeof(fh), &written, nullptr) && WriteFile(f, &ih, sizeof(ih), &written, nullptr) &&
              WriteFile(f, data.data(), image, &written, nullptr);
    CloseHandle(f);
    return ok;
}

}  // namespace e2e
