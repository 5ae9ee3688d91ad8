#include "QuorSFXDlg.h"

#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <new>

#include "ExtractionTypes.h"
#include "ExtractionHost.h"
#include "ExtractionWorker.h"
#include "MemberNameRule.h"
#include "Picture.h"
#include "QuorSFXApp.h"
#include "RebootCheck.h"
#include "StampBlock.h"
#include "resource.h"

namespace {

constexpr int kProgressRange = 500;

// Owns a file handle.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() {
        if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

// Reads the stored splash picture: the bytes from SplashImageOffset up to
// PayloadOffset of the program's own file. False when there is none, the
// range is not a sane part of the file, or reading fails.
bool ReadSplashBytes(std::unique_ptr<uint8_t[]>& bytes, uint32_t& size) {
    const uint32_t splashOffset = GetStampSplashImageOffset();
    const uint32_t payloadOffset = GetStampPayloadOffset();
    if (splashOffset == 0 || splashOffset >= payloadOffset) return false;
    size = payloadOffset - splashOffset;
    if (size > stamp::kMaxSplashImageBytes) return false;  // the built-in bitmap shows

    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return false;
    FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file.Get(), &fileSize) || fileSize.QuadPart < static_cast<LONGLONG>(payloadOffset))
        return false;

    bytes.reset(new (std::nothrow) uint8_t[size]());
    if (!bytes) return false;
    LARGE_INTEGER at;
    at.QuadPart = splashOffset;
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return false;
    uint32_t done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), bytes.get() + done, size - done, &got, nullptr)) return false;
        if (got == 0) break;  // a short read leaves zeros
        done += got;
    }
    return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(CQuorSFXDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_MESSAGE(WM_EXTRACT_DONE, &CQuorSFXDlg::OnExtractionDone)
    ON_MESSAGE(WM_EXTRACT_FAILED, &CQuorSFXDlg::OnExtractionFailed)
    ON_MESSAGE(WM_EXTRACT_PROGRESS, &CQuorSFXDlg::OnExtractionProgress)
    ON_BN_CLICKED(IDCANCEL, &CQuorSFXDlg::OnCancelButton)
END_MESSAGE_MAP()

CQuorSFXDlg::CQuorSFXDlg() : CDialog(IDD_SFX_DIALOG, nullptr) {
    m_hIcon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_APP_ICON));
}

CQuorSFXDlg::~CQuorSFXDlg() { ReleaseWorker(); }

void CQuorSFXDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_wndProgress);
    DDX_Control(pDX, IDC_HEADING, m_lblHeading);
    DDX_Control(pDX, IDC_TEXT, m_lblText);
    DDX_Control(pDX, IDC_PICTURE, m_wndPicture);
}

BOOL CQuorSFXDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    TranslateWindow(this, nullptr);

    m_lblHeading.SetWindowText(LoadLauncherString(IDS_WELCOME));
    m_lblHeading.SetTransparent(true);
    m_lblHeading.SetFontBold(true);
    m_lblHeading.SetFontSize(26);
    m_lblText.SetWindowText(LoadLauncherString(IDS_WIZARD_TEXT));
    m_lblText.SetTransparent(true);
    m_lblText.SetFontBold(false);
    m_lblText.SetFontSize(10);

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_wndProgress.SetRange(0, kProgressRange);
    m_wndProgress.SetPos(0);

    LoadSplashImage();

    // The worker is kept (no automatic deletion) so that its handle stays
    // valid until this dialog has waited on it.
    g_bCancelExtraction.store(false, std::memory_order_relaxed);
    m_pWorkerThread = AfxBeginThread(ExtractionWorkerThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (m_pWorkerThread) {
        m_pWorkerThread->m_bAutoDelete = FALSE;
        m_pWorkerThread->ResumeThread();
    } else {
        // Without a worker nothing would ever end the run.
        theApp.m_nExitCode = kExitFailed;
        PostMessage(WM_EXTRACT_FAILED);
    }

    ShowWindow(SW_HIDE);
    return TRUE;
}

bool CQuorSFXDlg::LoadSplashImage() {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t size = 0;
    if (ReadSplashBytes(bytes, size)) {
        CPicture picture;
        if (picture.LoadFromMemory(bytes.get(), size)) {
            CopyPictureToBitmap(m_bmpSplash, picture);
            m_wndPicture.SetBitmap(&m_bmpSplash);
            return true;
        }
    }
    m_wndPicture.LoadDefaultBitmap();
    return false;
}

void CQuorSFXDlg::RepaintLabels() {
    for (CLabel* label : {&m_lblHeading, &m_lblText})
        if (label->GetSafeHwnd()) ::RedrawWindow(label->GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

bool CopyPictureToBitmap(CBitmapEx& target, CPicture& picture) {
    OLE_HANDLE handle = 0;
    if (!picture.m_pPicture || FAILED(picture.m_pPicture->get_Handle(&handle)) || handle == 0) return false;

    if (target.GetSafeHandle()) {
        target.m_bValid = false;
        target.DeleteObject();
        target.m_hCopy = nullptr;
    }
    BITMAP bm = {};
    if (!GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof(bm), &bm)) return false;

    CDC mem;
    if (!mem.CreateCompatibleDC(nullptr)) return false;
    const int bitsPerPixel = mem.GetDeviceCaps(BITSPIXEL);
    if (!target.CreateBitmap(bm.bmWidth, bm.bmHeight, bm.bmPlanes, bitsPerPixel, nullptr)) return false;
    HBITMAP old = mem.SelectObject(&target);
    picture.Render(&mem, 0, 0, bm.bmWidth, bm.bmHeight);
    mem.SelectObject(old);
    return true;
}

LRESULT CQuorSFXDlg::OnExtractionProgress(WPARAM wParam, LPARAM) {
    const int progress = static_cast<int>(wParam);
    CString caption;
    caption.Format(LoadLauncherString(IDS_EXTRACTING), progress / 5);
    SetWindowText(caption);
    m_wndProgress.SetPos(progress);
    return 0;
}

LRESULT CQuorSFXDlg::OnExtractionDone(WPARAM, LPARAM) {
    if (m_bEnding) return 0;
    m_bEnding = true;
    GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
    WaitForWorker(1000);

    // The program is started by its path relative to the extraction folder,
    // made the current folder: the shell then sees no part of the folder's
    // path, in which it might expand "%NAME%" into another folder. A folder
    // that cannot be made current starts nothing, rather than a program of
    // the same name in whatever folder was current.
    const bool inFolder = SetCurrentDirectoryW(GetExtractionFolder().c_str()) != FALSE;
    const std::string setupName = GetStampSetupProgramName();
    const CString path = CString(L".\\") + CString(setupName.c_str());

    if (!m_bNoLaunch && !setupName.empty()) {
        DWORD exitCode = 0;
        HANDLE process = nullptr;
        const bool keep = theApp.m_options.m_bCleanup != 0;
        if (!inFolder || SetupProgramNameFault(setupName) ||
            !RunSetupProgram(this, path, m_strSetupArguments, m_bQuiet, m_bWait, exitCode, keep ? &process : nullptr)) {
            theApp.m_nExitCode = kExitFailed;
        } else if (!m_bQuiet && !m_bWait) {
            theApp.m_nExitCode = 0;
            if (process) theApp.KeepSetupProcess(process);
        } else {
            theApp.m_nExitCode = IsRebootPending() ? kExitRebootRequired : static_cast<int>(exitCode);
        }
    }
    DestroyWindow();
    return 0;
}

LRESULT CQuorSFXDlg::OnExtractionFailed(WPARAM, LPARAM) {
    if (m_bEnding) return 0;
    m_bEnding = true;
    WaitForWorker(1000);
    theApp.m_nExitCode = kExitFailed;
    OnCancel();
    return 0;
}

void CQuorSFXDlg::OnCancelButton() {
    if (m_bEnding) return;
    m_bEnding = true;
    GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
    g_bCancelExtraction.store(true, std::memory_order_relaxed);
    WaitForWorker(INFINITE);
    theApp.m_nExitCode = kExitUserCancelled;
    OnCancel();
}

void CQuorSFXDlg::OnCancel() { DestroyWindow(); }

void CQuorSFXDlg::PostNcDestroy() {
    CDialog::PostNcDestroy();
    delete this;
}

void CQuorSFXDlg::WaitForWorker(DWORD timeoutMs) {
    if (!m_pWorkerThread || !m_pWorkerThread->m_hThread) return;
    HANDLE thread = m_pWorkerThread->m_hThread;
    if (timeoutMs != INFINITE) {
        WaitForSingleObject(thread, timeoutMs);
        return;
    }
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1) break;  // the worker ended (or the wait failed)
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (quit) PostQuitMessage(quitCode);
}

void CQuorSFXDlg::ReleaseWorker() {
    if (!m_pWorkerThread) return;
    // The engine's globals (the parser) may be released only after the
    // worker has ended.
    if (m_pWorkerThread->m_hThread) WaitForSingleObject(m_pWorkerThread->m_hThread, INFINITE);
    delete m_pWorkerThread;
    m_pWorkerThread = nullptr;
}

void CQuorSFXDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        RECT rect;
        GetClientRect(&rect);
        const int x = (rect.right - rect.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (rect.bottom - rect.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

HCURSOR CQuorSFXDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
