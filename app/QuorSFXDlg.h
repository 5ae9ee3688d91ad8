// The progress dialog: splash picture with a heading and a text line drawn
// over it, a progress bar and Cancel. It starts the extraction worker when it
// initializes, shows the engine's progress, and ends the run: it starts the
// installation program after a good extraction, or closes after a failure or
// Cancel. It deletes itself after its window is destroyed.
#pragma once

#include "afxwin.h"

#include "BitmapEx.h"
#include "BitmapStatic.h"
#include "Label.h"

class CPicture;

class CQuorSFXDlg : public CDialog {
public:
    CQuorSFXDlg();
    ~CQuorSFXDlg() override;

    HINSTANCE m_hModule = nullptr;
    CString m_strSetupArguments;
    int m_bQuiet = 0;
    int m_bNoLaunch = 0;
    int m_bWait = 0;
    HICON m_hIcon = nullptr;
    CWinThread* m_pWorkerThread = nullptr;
    CProgressCtrl m_wndProgress;
    CLabel m_lblHeading;
    CLabel m_lblText;
    CBitmapEx m_bmpSplash;
    CBitmapStatic m_wndPicture;

    bool LoadSplashImage();
    // The labels draw over the picture without a background: after the first
    // paint of the dialog they are painted again, so that the picture
    // control, which lies below them, cannot have covered them.
    void RepaintLabels();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg LRESULT OnExtractionDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnExtractionFailed(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnExtractionProgress(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCancelButton();

    DECLARE_MESSAGE_MAP()

private:
    // Waits for the worker to end: at most timeoutMs, or, with INFINITE,
    // until it ends while this thread keeps answering messages (a message
    // box that the worker shows with this dialog as owner needs them).
    void WaitForWorker(DWORD timeoutMs);
    void ReleaseWorker();

    // The run ends once: a late notification or a second Cancel is ignored.
    bool m_bEnding = false;
};

// Renders the loaded picture into a new bitmap of the screen's format.
bool CopyPictureToBitmap(CBitmapEx& target, CPicture& picture);
