#include "Label.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
const COLORREF kRed = RGB(255, 0, 0), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0),
               kBlue = RGB(0, 0, 255);

// A label that counts its WM_PAINT messages.
class CCountingLabel : public CLabel
{
public:
    int nPaints = 0;

protected:
    afx_msg void OnPaint()
    {
        ++nPaints;
        CLabel::OnPaint();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCountingLabel, CLabel)
    ON_WM_PAINT()
END_MESSAGE_MAP()

// The shell-launch seam records instead of launching: verb and file.
std::vector<std::wstring> g_launches;
HINSTANCE RecordLaunch(HWND hWnd, LPCWSTR pszVerb, LPCWSTR pszFile, LPCWSTR pszParameters, LPCWSTR pszDirectory,
                       INT nShowCmd)
{
    bool bPlain = hWnd == nullptr && pszParameters == nullptr && pszDirectory == nullptr && nShowCmd == SW_SHOWNORMAL;
    g_launches.push_back(std::wstring(bPlain ? L"" : L"(odd) ") + (pszVerb ? pszVerb : L"-") + L"|" + pszFile);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

class LabelTest : public ::testing::Test
{
protected:
    static constexpr int kWidth = 160, kHeight = 60, kId = 1005;

    void SetUp() override
    {
        g_launches.clear();
        m_pfnSaved = g_pfnLabelShellExecute;
        g_pfnLabelShellExecute = &RecordLaunch;
    }
    void TearDown() override { g_pfnLabelShellExecute = m_pfnSaved; }

    // Subclasses a new static of the parent; a large font without
    // anti-aliasing, so that text pixels have exactly the text colour.
    void Attach(CLabel& label, DWORD dwStyle = SS_LEFT, int nFontHeight = -28)
    {
        HWND hStatic = parent.AddStatic(dwStyle, L"The static's own text", kId, kWidth, kHeight);
        ASSERT_TRUE(label.SubclassWindow(hStatic));
        LOGFONTW lf = label.m_logFont;
        lf.lfHeight = nFontHeight;
        lf.lfWeight = FW_BOLD;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        label.SetFont(lf);
    }
    void Draw(CLabel& label, CDibCanvas& canvas) { label.DrawLabel(&canvas.dc, canvas.Rect()); }
    void Click(CLabel& label) { ::SendMessageW(label.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2)); }

    CTestParent& parent = SharedParent();
    LabelShellExecuteFn m_pfnSaved = nullptr;
};
}

TEST_F(LabelTest, OnlyTheBackgroundWithoutItsOwnText)
{
    CLabel label;
    Attach(label);
    CDibCanvas canvas(kWidth, kHeight);
    Draw(label, canvas);
    EXPECT_EQ(canvas.Count(::GetSysColor(COLOR_3DFACE)), kWidth * kHeight);

    label.SetBkColor(RGB(10, 200, 30));
    Draw(label, canvas);
    EXPECT_EQ(canvas.Count(RGB(10, 200, 30)), kWidth * kHeight);
    // The base colour changes nothing, although another brush is set.
    label.SetBkColor(::GetSysColor(COLOR_3DFACE), kBlue, 1);
    Draw(label, canvas);
    EXPECT_EQ(canvas.Count(RGB(10, 200, 30)), kWidth * kHeight);
}

TEST_F(LabelTest, TextInItsColourWithAmpersandsDoubledAndNoRedrawForTheSameText)
{
    CCountingLabel label;
    Attach(label);
    label.SetBkColor(kWhite).SetTextColor(kRed);
    label.SetWindowText(L"Fish & Chips");
    CString stored;
    label.GetText(stored);
    EXPECT_STREQ(stored, L"Fish && Chips");

    CDibCanvas canvas(kWidth, kHeight);
    Draw(label, canvas);
    PixelBox text = FindColour(canvas, kRed);
    EXPECT_GT(text.nCount, 30);
    EXPECT_EQ(text.nCount + canvas.Count(kWhite), kWidth * kHeight);
    EXPECT_LT(text.left, 6);

    PumpMessages();
    const int nPaints = label.nPaints;
    label.SetWindowText(L"Fish & Chips");
    EXPECT_EQ(label.nPaints, nPaints);
    label.SetWindowText(L"Fish and Chips");
    EXPECT_GT(label.nPaints, nPaints);
}

TEST_F(LabelTest, TransparentLabelDrawsOnlyItsText)
{
    CLabel label;
    Attach(label);
    label.SetBkColor(kWhite).SetTextColor(kRed).SetTransparent(true);
    label.SetWindowText(L"Over");
    EXPECT_TRUE(::GetWindowLongW(label.m_hWnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    CDibCanvas canvas(kWidth, kHeight, kBlue);
    Draw(label, canvas);
    EXPECT_GT(canvas.Count(kRed), 30);
    EXPECT_EQ(canvas.Count(kRed) + canvas.Count(kBlue), kWidth * kHeight);
}

// The first and last ink column of each line of text (rows with ink in a
// colour, split where a row has none).
static std::vector<std::pair<int, int>> InkLines(const CDibCanvas& canvas, COLORREF color)
{
    std::vector<std::pair<int, int>> lines;
    bool bInLine = false;
    for (int y = 0; y < canvas.Height(); ++y)
    {
        int left = -1, right = -1;
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Pixel(x, y) == color)
            {
                if (left < 0)
                    left = x;
                right = x;
            }
        if (left >= 0 && !bInLine)
            lines.push_back({left, right});
        else if (left >= 0)
            lines.back() = {std::min(lines.back().first, left), std::max(lines.back().second, right)};
        bInLine = left >= 0;
    }
    return lines;
}

// As the dialog uses it (transparent, centred) with a text that wraps: every
// line is centred on its own, and a right-aligned label ends every line at
// its right edge. Not bold: the fixture's face has no bold of its own, and
// the one made up for it advances a pixel further per letter than its ink.
TEST_F(LabelTest, CentredAndRightAlignedTextsPlaceEveryWrappedLine)
{
    CLabel label;
    Attach(label, SS_CENTER, -20);
    label.SetFontBold(false).SetTextColor(kRed).SetTransparent(true);
    label.SetWindowText(L"Mmmmmm Mmmmmmmmmmm");  // two lines of different widths in 160 pixels
    CDibCanvas canvas(kWidth, kHeight, kBlue);
    Draw(label, canvas);
    std::vector<std::pair<int, int>> lines = InkLines(canvas, kRed);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_GT(lines[1].second - lines[1].first, lines[0].second - lines[0].first + 20);
    for (const auto& line : lines)
        EXPECT_NEAR(line.first, kWidth - 1 - line.second, 2) << line.first << ".." << line.second;

    ::SetWindowLongW(label.m_hWnd, GWL_STYLE, (::GetWindowLongW(label.m_hWnd, GWL_STYLE) & ~SS_TYPEMASK) | SS_RIGHT);
    canvas.Fill(kBlue);
    Draw(label, canvas);
    lines = InkLines(canvas, kRed);
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines)
    {
        EXPECT_GE(line.second, kWidth - 4);
        EXPECT_GT(line.first, 20);
    }
}

TEST_F(LabelTest, GradientOf40PixelsHasOneBandPerColumnDownToTheBottomRow)
{
    CLabel label;
    Attach(label);
    label.SetBkColor(kBlack, RGB(200, 100, 40), 1);
    CDibCanvas canvas(40, 30, kBlue);
    Draw(label, canvas);
    for (int x = 0; x < 40; ++x)
        for (int y : {0, 29})
            EXPECT_EQ(canvas.Pixel(x, y), RGB(5 * x, 5 * x / 2, x)) << x << "," << y;
}

TEST_F(LabelTest, GradientOf250PixelsHas99BandsOf2AndALastOf52)
{
    CLabel label;
    Attach(label);
    label.SetBkColor(kBlack, RGB(200, 100, 0), 1);
    CDibCanvas canvas(250, 20, kBlue);
    Draw(label, canvas);
    for (int x = 0; x < 250; ++x)
    {
        const int band = x < 198 ? x / 2 : 99;
        for (int y : {0, 19})
            EXPECT_EQ(canvas.Pixel(x, y), RGB(2 * band, band, 0)) << x << "," << y;
    }
}

TEST_F(LabelTest, CentreImageCentresOneLineBothWaysAndSeveralLinesOnlyAcross)
{
    CLabel label;
    Attach(label, SS_LEFT | SS_CENTERIMAGE, -20);
    label.SetBkColor(kWhite).SetTextColor(kBlack);
    CDibCanvas canvas(kWidth, 120);
    label.SetWindowText(L"Mid");
    Draw(label, canvas);
    PixelBox one = FindColour(canvas, kBlack);
    EXPECT_NEAR(one.left, kWidth - 1 - one.right, 2);
    EXPECT_NEAR(one.top, 119 - one.bottom, 6);
    EXPECT_GT(one.top, 30);

    label.SetWindowText(L"Up\r\nTop");
    Draw(label, canvas);
    PixelBox two = FindColour(canvas, kBlack);
    EXPECT_LT(two.top, 10);
    EXPECT_NEAR(two.left, kWidth - 1 - two.right, 2);
}

TEST_F(LabelTest, HighlightCopyLiesUpLeftOrDownRight)
{
    CLabel label;
    Attach(label);
    label.SetBkColor(RGB(128, 128, 128)).SetTextColor(kBlack);
    label.SetWindowText(L"3D");
    CDibCanvas canvas(kWidth, kHeight);

    label.SetFont3D(true, 0);
    Draw(label, canvas);
    PixelBox hi = FindColour(canvas, kWhite), lo = FindColour(canvas, kBlack);
    ASSERT_GT(hi.nCount, 0);
    // The copy covers the text but for its lower right edge.
    EXPECT_EQ(hi.right, lo.right - 1);
    EXPECT_EQ(hi.bottom, lo.bottom - 1);

    label.SetFont3D(true, 1);
    Draw(label, canvas);
    hi = FindColour(canvas, kWhite), lo = FindColour(canvas, kBlack);
    EXPECT_EQ(hi.left, lo.left + 1);
    EXPECT_EQ(hi.top, lo.top + 1);
}

TEST_F(LabelTest, FlashingTextTogglesWithTimerTicksAndStopsVisible)
{
    CCountingLabel label;
    Attach(label);
    label.SetBkColor(kWhite).SetTextColor(kRed);
    label.SetWindowText(L"Flash");
    CDibCanvas canvas(kWidth, kHeight);

    label.FlashText(true);
    Draw(label, canvas);
    EXPECT_EQ(canvas.Count(kRed), 0) << "hidden in the first phase";
    for (int tick = 1; tick <= 2; ++tick)
    {
        const int nPaints = label.nPaints;
        ::SendMessageW(label.m_hWnd, WM_TIMER, LABEL_FLASH_TIMER, 0);
        EXPECT_GT(label.nPaints, nPaints);
        Draw(label, canvas);
        EXPECT_EQ(canvas.Count(kRed) > 0, tick == 1) << tick;
    }
    // Stopped in the hidden phase: redrawn at once, with the text.
    const int nPaints = label.nPaints;
    label.FlashText(false);
    EXPECT_GT(label.nPaints, nPaints);
    Draw(label, canvas);
    EXPECT_GT(canvas.Count(kRed), 0);
    EXPECT_FALSE(::KillTimer(label.m_hWnd, LABEL_FLASH_TIMER)) << "the timer was stopped";
}

TEST_F(LabelTest, FlashingBeforeTheWindowExistsStartsNoTimerAndHidesNothing)
{
    CLabel label;
    label.FlashText(true);
    ::Sleep(600);
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, reinterpret_cast<HWND>(-1), WM_TIMER, WM_TIMER, PM_NOREMOVE))
        << "no thread timer";

    Attach(label);
    label.SetBkColor(kWhite).SetTextColor(kRed);
    label.SetWindowText(L"Seen");
    CDibCanvas canvas(kWidth, kHeight);
    Draw(label, canvas);
    EXPECT_GT(canvas.Count(kRed), 0);
}

TEST_F(LabelTest, NotifyModeSendsTheLinkClickCodeAndOpensNothing)
{
    CLabel label;
    Attach(label);
    label.SetWindowText(L"S:\\doc.htm");
    label.SetLink(true, true);
    EXPECT_TRUE(::GetWindowLongW(label.m_hWnd, GWL_STYLE) & SS_NOTIFY);
    Click(label);
    EXPECT_EQ(parent.nNotifies, 1);
    EXPECT_EQ(parent.wParam, static_cast<WPARAM>(kId));
    EXPECT_EQ(parent.nmhdr.code, 0x8200u);
    EXPECT_EQ(parent.nmhdr.idFrom, static_cast<UINT_PTR>(kId));
    EXPECT_EQ(parent.nmhdr.hwndFrom, label.m_hWnd);
    EXPECT_TRUE(g_launches.empty());
}

TEST_F(LabelTest, LinksAndMailLinksOpenTheTextAsWritten)
{
    CLabel label;
    Attach(label);
    label.SetWindowText(L"S:\\Docs & Notes.htm");
    label.SetLink(true, false);
    Click(label);
    label.SetLinkTarget(L"S:\\readme.htm");
    Click(label);
    label.SetWindowText(L"sales&support@example.invalid");
    label.SetMailLink(true, false);
    Click(label);
    label.SetMailLink(false, false);
    EXPECT_FALSE(::GetWindowLongW(label.m_hWnd, GWL_STYLE) & SS_NOTIFY);
    Click(label);

    const std::vector<std::wstring> expected = {L"open|S:\\Docs & Notes.htm", L"open|S:\\readme.htm",
                                                L"-|mailto:sales&support@example.invalid"};
    EXPECT_EQ(g_launches, expected);
    EXPECT_EQ(parent.nNotifies, 0);
}

TEST_F(LabelTest, FontDescriptionsAreCutAndCopiesDoNotLeak)
{
    CLabel label;
    label.SetFontName(std::wstring(45, L'F').c_str(), DEFAULT_CHARSET);
    EXPECT_EQ(std::wstring(label.m_logFont.lfFaceName), std::wstring(31, L'F'));
    label.SetAll(kBlack, kWhite, false, false, std::wstring(40, L'G').c_str(), 12, true, false, false);
    EXPECT_EQ(std::wstring(label.m_logFont.lfFaceName), std::wstring(31, L'G'));
    EXPECT_EQ(label.m_logFont.lfHeight, -12);

    label.SetFontSize(26);
    HDC hScreen = ::GetDC(nullptr);
    EXPECT_EQ(label.m_logFont.lfHeight, -::MulDiv(26, ::GetDeviceCaps(hScreen, LOGPIXELSY), 72));
    ::ReleaseDC(nullptr, hScreen);

    CFont copy;
    ASSERT_TRUE(label.CreateFontCopy(copy));
    HGDIOBJ hFirst = copy.m_hObject;
    ASSERT_TRUE(label.CreateFontCopy(copy));
    LOGFONTW lf = {};
    if (copy.m_hObject != hFirst)
    {
        EXPECT_EQ(::GetObjectW(hFirst, sizeof(lf), &lf), 0) << "the caller's old font was deleted";
    }
    copy.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, label.m_logFont.lfHeight);
}
