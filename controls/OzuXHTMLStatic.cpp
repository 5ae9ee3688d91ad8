#include "OzuXHTMLStatic.h"

#include "UrlLauncher.h"
#include "XNamedColors.h"

#include <objbase.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
// RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW
constexpr UINT kRedrawFlags = 0x105;
// Buffer of the Windows folder path for the hand cursor's module.
constexpr UINT kWindowsDirChars = 1040;
// Resource id of the hand cursor in the system's help viewer.
constexpr WORD kHandCursorId = 106;
// Font tags add their sizes up; the height stays within what a font can be.
constexpr LONG kMaxFontHeight = 16384;
// Bottom of the area a measurement lays out in: no text reaches it.
constexpr LONG kUnboundedBottom = 0x3FFFFFFF;

bool StartsWith(const std::wstring& text, size_t pos, const wchar_t* prefix)
{
    const size_t n = wcslen(prefix);
    return text.compare(pos, n, prefix) == 0;
}

// A tag spelt exactly in lower case or exactly in upper case.
bool StartsWithTag(const std::wstring& text, size_t pos, const wchar_t* lower, const wchar_t* upper)
{
    return StartsWith(text, pos, lower) || StartsWith(text, pos, upper);
}

void CopyFaceName(LOGFONTW& lf, const std::wstring& face)
{
    // lfFaceName holds 31 characters and the terminator; longer names are cut.
    wmemset(lf.lfFaceName, L'\0', LF_FACESIZE);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
}

LOGFONTW LogFontOf(HFONT hFont)
{
    LOGFONTW lf = {};
    HGDIOBJ hObject = hFont != nullptr ? static_cast<HGDIOBJ>(hFont) : ::GetStockObject(SYSTEM_FONT);
    if (::GetObjectW(hObject, sizeof(lf), &lf) == 0)
        ::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof(lf), &lf);
    return lf;
}

// Applies the attributes of a font tag (the text between "<font" and its ">").
void ApplyFontAttributes(const std::wstring& attributes, COLORREF& crText, COLORREF& crBackground, LOGFONTW& lf)
{
    enum Kind { Color, BgColor, Face, Size };
    struct Name
    {
        const wchar_t* lower;
        const wchar_t* upper;
        Kind kind;
    };
    static const Name names[] = {
        {L"color", L"COLOR", Color}, {L"bgcolor", L"BGCOLOR", BgColor}, {L"face", L"FACE", Face}, {L"size", L"SIZE", Size}};

    size_t i = 0;
    while (i < attributes.size())
    {
        if (attributes[i] == L' ')
        {
            ++i;
            continue;
        }
        const Name* pName = nullptr;
        for (const Name& name : names)
        {
            if (StartsWithTag(attributes, i, name.lower, name.upper))
            {
                pName = &name;
                break;
            }
        }
        if (pName == nullptr)
        {
            // Unknown text: skipped up to the next blank.
            size_t blank = attributes.find(L' ', i);
            if (blank == std::wstring::npos)
                break;
            i = blank;
            continue;
        }

        size_t open = attributes.find(L'"', i + wcslen(pName->lower));
        if (open == std::wstring::npos)
            break;
        size_t close = attributes.find(L'"', open + 1);
        if (close == std::wstring::npos)
        {
            i = open + 1;
            continue;
        }
        const std::wstring value = attributes.substr(open + 1, close - open - 1);
        i = close + 1;

        switch (pName->kind)
        {
        case Color:
            crText = CXNamedColors(value.c_str()).GetRGB();
            break;
        case BgColor:
            crBackground = CXNamedColors(value.c_str()).GetRGB();
            break;
        case Face:
            CopyFaceName(lf, value);
            break;
        case Size: {
            // A positive size makes the text taller whatever the height's sign:
            // window fonts have negative (character) heights and lose the size,
            // the stock SYSTEM_FONT a positive (cell) height and gains it. Kept
            // within a font's range.
            const long long size = _wtoi(value.c_str());
            long long height = lf.lfHeight > 0 ? lf.lfHeight + size : lf.lfHeight - size;
            if (height > kMaxFontHeight)
                height = kMaxFontHeight;
            if (height < -kMaxFontHeight)
                height = -kMaxFontHeight;
            lf.lfHeight = static_cast<LONG>(height);
            break;
        }
        }
    }
}

int TextWidth(HDC dc, const std::wstring& text, int* pHeight)
{
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (pHeight != nullptr && !text.empty())
        *pHeight = size.cy;
    return size.cx;
}

// Characters of a word are added to a line in chunks that double in size: once
// the line is as wide as its space the rest of the word cannot change where it
// breaks (a longer text is never narrower), so a word is measured only about
// as far as it fits, however long it is.
constexpr size_t kFirstWordChunk = 64;

// How many leading characters of line (at least one) are narrower than limit:
// all prefix widths come from one measurement, and the count found is checked
// with the same measurement that draws the line.
size_t FittingLength(HDC dc, const std::wstring& line, int limit)
{
    std::vector<int> extents(line.size(), 0);
    SIZE size = {};
    size_t keep = line.size();
    if (::GetTextExtentExPointW(dc, line.c_str(), static_cast<int>(line.size()), 0, nullptr, extents.data(), &size))
    {
        while (keep > 1 && extents[keep - 1] >= limit)
            --keep;
    }
    while (keep > 1 && TextWidth(dc, line.substr(0, keep), nullptr) >= limit)
        --keep;
    return keep;
}

// The height of one line in the DC's font, as the word wrap takes it.
int RunLineHeight(HDC dc)
{
    int h = 0;
    TextWidth(dc, L"abcdefgABCDEFG", &h);
    return h;
}
}

BOOL IsBlankText(const wchar_t* text)
{
    if (text == nullptr)
        return TRUE;
    for (; *text != L'\0'; ++text)
    {
        if (*text != L' ' && *text != L'\t')
            return FALSE;
    }
    return TRUE;
}

IMPLEMENT_DYNAMIC(COzuXHTMLStatic, CStatic)

BEGIN_MESSAGE_MAP(COzuXHTMLStatic, CStatic)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
    ON_CONTROL_REFLECT(STN_CLICKED, &COzuXHTMLStatic::OnClicked)
    ON_WM_UPDATEUISTATE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

COzuXHTMLStatic::COzuXHTMLStatic()
    : m_crBackground(::GetSysColor(COLOR_BTNFACE)), m_crText(::GetSysColor(COLOR_WINDOWTEXT))
{
    LoadHandCursor();
}

COzuXHTMLStatic::~COzuXHTMLStatic()
{
    m_font.DeleteObject();
    m_arrLinkRects.clear();
    m_arrLinkUrls.clear();
    // The hand cursor is this control's own copy.
    if (m_hHandCursor != nullptr)
        ::DestroyCursor(m_hHandCursor);
}

void COzuXHTMLStatic::LoadHandCursor()
{
    wchar_t path[kWindowsDirChars] = {};
    const wchar_t kFile[] = L"\\winhlp32.exe";
    UINT cch = ::GetWindowsDirectoryW(path, kWindowsDirChars);
    if (cch == 0 || cch + wcslen(kFile) >= kWindowsDirChars)
        return;
    wcscat(path, kFile);

    // Only its resources are wanted: loaded as a data file, nothing of it runs.
    HMODULE hModule = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (hModule == nullptr)
        return;
    HCURSOR hCursor = ::LoadCursorW(hModule, MAKEINTRESOURCEW(kHandCursorId));
    if (hCursor != nullptr)
        m_hHandCursor = static_cast<HCURSOR>(::CopyIcon(hCursor));
    ::FreeLibrary(hModule);
}

COLORREF COzuXHTMLStatic::SetBkColor(COLORREF colour)
{
    COLORREF previous = m_crBackground;
    m_crBackground = colour;
    return previous;
}

COLORREF COzuXHTMLStatic::SetTextColor(COLORREF colour)
{
    COLORREF previous = m_crText;
    m_crText = colour;
    return previous;
}

CString COzuXHTMLStatic::GetWebLinkUrl(int)
{
    return CString();
}

HINSTANCE COzuXHTMLStatic::OpenLink(const wchar_t* url, int nShowCmd)
{
    return GotoURL(url, nShowCmd, FALSE);
}

// ---------------------------------------------------------------------------
// Text and link numbers

void COzuXHTMLStatic::SetWindowText(const wchar_t* text)
{
    static const wchar_t kLower[] = L"<a weblinkid=";
    static const wchar_t kUpper[] = L"<A WEBLINKID=";
    constexpr size_t kTagLength = 13;

    std::wstring markup(text != nullptr ? text : L"");
    bool bComInitialized = false;
    size_t from = 0;
    size_t lt;
    while ((lt = markup.find(L'<', from)) != std::wstring::npos)
    {
        from = lt + 1;
        if (!StartsWithTag(markup, lt, kLower, kUpper))
            continue;
        size_t gt = markup.find(L'>', lt + kTagLength);
        if (gt == std::wstring::npos)
            continue;
        const int id = _wtoi(markup.substr(lt + kTagLength, gt - lt - kTagLength).c_str());

        // A derived lookup may use COM; a failed start is tried again at the next number.
        if (!bComInitialized)
        {
            HRESULT hr = ::CoInitialize(nullptr);
            bComInitialized = hr == S_OK || hr == S_FALSE;
        }
        CString url = GetWebLinkUrl(id);
        if (!url.IsEmpty())
            markup.replace(lt, gt - lt, std::wstring(L"<a href=") + url.GetString());
    }
    if (bComInitialized)
        ::CoUninitialize();

    CWnd::SetWindowText(markup.c_str());
    // The static draws its new text raw as soon as it is set: paint the whole
    // control again so neither raw markup nor the old text stays.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawFlags);
}

// ---------------------------------------------------------------------------
// Painting

void COzuXHTMLStatic::OnPaint()
{
    CPaintDC dc(m_hWnd);
    CString text;
    GetWindowText(text);
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);

    // The static's own erase paints nothing; fill with the brush its parent
    // gives a static, as the static's own painting does.
    HWND hParent = ::GetParent(m_hWnd);
    HBRUSH hBrush = nullptr;
    if (hParent != nullptr)
        hBrush = reinterpret_cast<HBRUSH>(::SendMessageW(hParent, WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc.m_hDC),
                                                         reinterpret_cast<LPARAM>(m_hWnd)));
    ::FillRect(dc.m_hDC, &rcClient, hBrush != nullptr ? hBrush : ::GetSysColorBrush(COLOR_BTNFACE));

    HFONT hWindowFont = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    DrawMarkup(dc.m_hDC, rcClient, text.GetString(), hWindowFont);
}

void COzuXHTMLStatic::DrawMarkup(HDC dc, const RECT& rcClient, const wchar_t* text, HFONT hWindowFont,
                                 int* pMeasuredBottom)
{
    const std::wstring markup(text != nullptr ? text : L"");

    // The links of this paint only: the lists always match the text as last drawn.
    m_arrLinkRects.clear();
    m_arrLinkUrls.clear();

    const COLORREF crBaseText = m_crText;
    const COLORREF crBaseBackground = m_crBackground;
    COLORREF crText = crBaseText;
    COLORREF crBackground = crBaseBackground;

    ::SetBkMode(dc, TRANSPARENT);
    HGDIOBJ hOldFont = m_font.m_hObject != nullptr ? ::SelectObject(dc, m_font.m_hObject)
                                                   : ::GetCurrentObject(dc, OBJ_FONT);
    RECT area = rcClient;

    const LOGFONTW lfBase = LogFontOf(hWindowFont);
    LOGFONTW lf = lfBase;
    CString url;
    int x = 0;

    size_t pos = 0;
    const size_t length = markup.size();
    while (pos < length)
    {
        // --- Tags
        struct SimpleTag
        {
            const wchar_t* lower;
            const wchar_t* upper;
            int* pCounter;
            bool bOpen;
        };
        const SimpleTag simpleTags[] = {
            {L"<b>", L"<B>", &m_nBold, true},           {L"</b>", L"</B>", &m_nBold, false},
            {L"<i>", L"<I>", &m_nItalic, true},         {L"</i>", L"</I>", &m_nItalic, false},
            {L"<u>", L"<U>", &m_nUnderline, true},      {L"</u>", L"</U>", &m_nUnderline, false},
            {L"<strike>", L"<STRIKE>", &m_nStrikeOut, true}, {L"</strike>", L"</STRIKE>", &m_nStrikeOut, false},
        };
        bool bTag = false;
        for (const SimpleTag& tag : simpleTags)
        {
            if (StartsWithTag(markup, pos, tag.lower, tag.upper))
            {
                if (tag.bOpen)
                {
                    if (*tag.pCounter < INT_MAX)
                        ++*tag.pCounter;
                }
                else if (*tag.pCounter != 0)
                {
                    --*tag.pCounter;
                }
                pos += wcslen(tag.lower);
                bTag = true;
                break;
            }
        }
        if (bTag)
            continue;

        if (StartsWithTag(markup, pos, L"<font", L"<FONT"))
        {
            size_t gt = markup.find(L'>', pos);
            if (gt == std::wstring::npos)
                break;  // a tag without its end ends the markup
            ApplyFontAttributes(markup.substr(pos + 5, gt - pos - 5), crText, crBackground, lf);
            pos = gt + 1;
            continue;
        }
        if (StartsWithTag(markup, pos, L"</font>", L"</FONT>"))
        {
            crText = crBaseText;
            crBackground = crBaseBackground;
            lf = lfBase;
            pos += 7;
            continue;
        }
        if (StartsWithTag(markup, pos, L"<a href=", L"<A HREF="))
        {
            size_t gt = markup.find(L'>', pos);
            if (gt == std::wstring::npos)
                break;
            url = CString(markup.substr(pos + 8, gt - pos - 8));
            m_bLink = TRUE;
            pos = gt + 1;
            continue;
        }
        if (StartsWithTag(markup, pos, L"</a>", L"</A>"))
        {
            m_bLink = FALSE;
            pos += 4;
            continue;
        }

        // --- The next run of text
        std::wstring run;
        size_t next = markup.find(L'<', pos);
        if (next == std::wstring::npos)
        {
            run = markup.substr(pos);
            pos = length;
        }
        else if (StartsWithTag(markup, pos, L"<br>", L"<BR>"))
        {
            run = L"\r\n ";
            pos += 4;
        }
        else if (next > pos)
        {
            run = markup.substr(pos, next - pos);
            pos = next;
        }
        else
        {
            run = L"<";  // an unknown tag is drawn as text
            pos += 1;
        }

        lf.lfWeight = m_nBold != 0 ? FW_BOLD : FW_NORMAL;
        lf.lfUnderline = (m_nUnderline != 0 || m_bLink) ? TRUE : FALSE;
        lf.lfItalic = m_nItalic != 0 ? TRUE : FALSE;
        lf.lfStrikeOut = m_nStrikeOut != 0 ? TRUE : FALSE;

        // The run's font goes into the DC before the previous one is deleted,
        // so no font is deleted while selected.
        HFONT hRunFont = ::CreateFontIndirectW(&lf);
        if (hRunFont != nullptr)
        {
            ::SelectObject(dc, hRunFont);
            m_font.DeleteObject();
            m_font.Attach(hRunFont);
        }

        ::SetTextColor(dc, m_bLink ? RGB(0, 0, 255) : crText);
        ::SetBkColor(dc, crBackground);

        x = DrawTextRun(dc, run.c_str(), &area, x, url);

        if (pMeasuredBottom != nullptr)
        {
            // The run's last line starts at area.top and is one line of its font high.
            *pMeasuredBottom = std::max(*pMeasuredBottom, static_cast<int>(area.top) + RunLineHeight(dc));
            continue;
        }
        if (m_bLink && x != -1 && !m_bHoverTimerRunning && m_hWnd != nullptr)
        {
            m_bHoverTimerRunning = TRUE;
            ::SetTimer(m_hWnd, XHTML_HOVER_TIMER, XHTML_HOVER_PERIOD_MS, nullptr);
        }
    }

    if (hOldFont != nullptr)
        ::SelectObject(dc, hOldFont);
}

int COzuXHTMLStatic::MeasureMarkup(const RECT& rcClient, const wchar_t* text, HFONT hWindowFont)
{
    // What a paint changes and keeps: put back afterwards.
    const int counters[] = {m_nUnderline, m_nBold, m_nItalic, m_nStrikeOut};
    const BOOL bLink = m_bLink;
    std::vector<XhtmlLinkRect> linkRects;
    std::vector<CString> linkUrls;
    linkRects.swap(m_arrLinkRects);
    linkUrls.swap(m_arrLinkUrls);

    // A memory DC of the screen measures as the screen does; what is drawn
    // lands on its one-pixel default bitmap, which nobody sees.
    int bottom = rcClient.top;
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (dc != nullptr)
    {
        const RECT unbounded = {rcClient.left, rcClient.top, rcClient.right, kUnboundedBottom};
        DrawMarkup(dc, unbounded, text, hWindowFont, &bottom);
        ::DeleteDC(dc);
    }

    m_nUnderline = counters[0];
    m_nBold = counters[1];
    m_nItalic = counters[2];
    m_nStrikeOut = counters[3];
    m_bLink = bLink;
    m_arrLinkRects.swap(linkRects);
    m_arrLinkUrls.swap(linkUrls);
    return bottom - rcClient.top;
}

int COzuXHTMLStatic::DrawTextRun(HDC dc, const wchar_t* run, RECT* area, int x, CString url)
{
    if (dc == nullptr || area == nullptr)
        return -1;
    if (area->top >= area->bottom - 1)
        return 0;
    const std::wstring text(run != nullptr ? run : L"");
    const size_t length = text.size();

    ::SetTextJustification(dc, 0, 0);
    int h = RunLineHeight(dc);

    // x, the result and the widths are counted from area->left, so a run
    // continues its line wherever the area starts.
    const int areaWidth = area->right - area->left;
    int y = area->top;
    int lastRight = x;
    size_t pos = 0;
    std::wstring line;
    // Where in the run each character of the line came from, to step back.
    std::vector<size_t> source;

    for (;;)
    {
        line.clear();
        source.clear();
        // Blanks at the start of a line count only when it continues a line.
        while (pos < length && text[pos] == L' ')
        {
            if (x != 0)
            {
                line += L' ';
                source.push_back(pos);
            }
            ++pos;
        }

        const int available = areaWidth - x;
        int words = 0;
        bool bLineFeed = false;
        for (;;)
        {
            const size_t sizeBefore = line.size();
            const size_t stepStart = pos;
            while (pos < length && text[pos] == L' ')
            {
                line += L' ';
                source.push_back(pos);
                ++pos;
            }
            if (pos < length && text[pos] == L'\r')
            {
                ++pos;
            }
            else if (pos < length && text[pos] == L'\n')
            {
                line += L' ';
                source.push_back(pos);
                ++pos;
                bLineFeed = true;
            }
            else
            {
                for (size_t chunk = kFirstWordChunk;; chunk *= 2)
                {
                    for (size_t taken = 0; taken < chunk && pos < length && text[pos] != L' '; ++taken)
                    {
                        line += text[pos];
                        source.push_back(pos);
                        ++pos;
                    }
                    if (pos >= length || text[pos] == L' ' || TextWidth(dc, line, &h) >= available)
                        break;
                }
            }
            ++words;

            const int width = TextWidth(dc, line, &h);
            if (width < available)
            {
                if (pos >= length || bLineFeed)
                    break;
                continue;
            }
            if (words >= 2)
            {
                line.resize(sizeBefore);
                source.resize(sizeBefore);
                pos = stepStart;
                break;
            }
            if (x == 0)
            {
                // One word wider than the whole line: cut it where it stops
                // fitting, but keep at least one character so drawing ends.
                const size_t keep = FittingLength(dc, line, areaWidth);
                if (keep < line.size())
                {
                    pos = source[keep];
                    line.resize(keep);
                    source.resize(keep);
                }
                break;
            }
            if (!bLineFeed)
            {
                // The word does not fit behind the previous run: it starts the next line.
                line = L" ";
                source.clear();
                pos = stepStart;
            }
            break;
        }

        // Draw the line.
        const int width = TextWidth(dc, line, &h);
        const int left = area->left + x;
        const int right = left + width;
        lastRight = x + width;
        x = 0;
        if (y <= area->bottom - h && !IsBlankText(line.c_str()))
        {
            ::TextOutW(dc, left, y, line.c_str(), static_cast<int>(line.size()));
            if (m_bLink && !url.IsEmpty())
            {
                m_arrLinkRects.push_back(XhtmlLinkRect{left, y, right, y + h});
                m_arrLinkUrls.push_back(url);
            }
        }

        if (pos >= length)
            break;
        y += h;
        if (y >= area->bottom)
            break;
    }

    area->top = y > area->bottom - h ? area->bottom : y;
    return lastRight;
}

// ---------------------------------------------------------------------------
// Window life, cursor and input

void COzuXHTMLStatic::PreSubclassWindow()
{
    // Clicks are reported only with SS_NOTIFY.
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, style | SS_NOTIFY);

    HFONT hWindowFont = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    LOGFONTW lf = LogFontOf(hWindowFont);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
}

int COzuXHTMLStatic::HitTestLinks(POINT ptScreen) const
{
    // The point goes into client coordinates, where the rectangles were
    // recorded. (Taking each corner of a rectangle to the screen instead
    // swaps left and right in a mirrored window, and then no point lies inside.)
    POINT pt = ptScreen;
    ::ScreenToClient(m_hWnd, &pt);
    for (size_t i = 0; i < m_arrLinkRects.size(); ++i)
    {
        const XhtmlLinkRect& link = m_arrLinkRects[i];
        const RECT rc = {link.left, link.top, link.right, link.bottom};
        if (::PtInRect(&rc, pt))
            return static_cast<int>(i);
    }
    return -1;
}

void COzuXHTMLStatic::OnTimer(UINT_PTR)
{
    // Without links there is nothing to hover, unless a new text took away
    // the link under the mouse: its hand is still to be put back.
    if (m_arrLinkRects.empty() && m_hSavedCursor == nullptr && !m_bOverLink)
        return;
    POINT pt = {};
    ::GetCursorPos(&pt);
    m_bOverLink = FALSE;

    if (m_hHandCursor != nullptr && HitTestLinks(pt) >= 0)
    {
        HCURSOR hPrevious = ::SetCursor(m_hHandCursor);
        if (m_hSavedCursor == nullptr)
            m_hSavedCursor = hPrevious;
        m_bOverLink = TRUE;
    }

    if (!m_bOverLink && m_hSavedCursor != nullptr)
    {
        ::SetCursor(m_hSavedCursor);
        m_hSavedCursor = nullptr;
        ::RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawFlags);
    }
}

BOOL COzuXHTMLStatic::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    // Over a link the timer's hand stays.
    if (m_bOverLink)
        return FALSE;
    return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

void COzuXHTMLStatic::OnClicked()
{
    POINT pt = {};
    ::GetCursorPos(&pt);
    int index = HitTestLinks(pt);
    if (index >= 0)
        OpenLink(m_arrLinkUrls[static_cast<size_t>(index)].GetString(), SW_SHOW);
}

void COzuXHTMLStatic::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CStatic::OnKeyDown(nChar, nRepCnt, nFlags);
    if (nChar == VK_SPACE && !m_arrLinkUrls.empty())
        OpenLink(m_arrLinkUrls.front().GetString(), SW_SHOW);
}

void COzuXHTMLStatic::OnSetFocus(CWnd* pOldWnd)
{
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    CStatic::OnSetFocus(pOldWnd);
}

void COzuXHTMLStatic::OnKillFocus(CWnd* pNewWnd)
{
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    CStatic::OnKillFocus(pNewWnd);
}

void COzuXHTMLStatic::OnUpdateUIState(UINT nAction, UINT nUIElement)
{
    // Keyboard cues are not to be switched on for this control.
    if (nAction == UIS_CLEAR && (nUIElement & UISF_HIDEACCEL) != 0)
        return;
    CStatic::OnUpdateUIState(nAction, nUIElement);
}

void COzuXHTMLStatic::OnDestroy()
{
    if (m_bHoverTimerRunning)
        ::KillTimer(m_hWnd, XHTML_HOVER_TIMER);
    m_bHoverTimerRunning = FALSE;
    CStatic::OnDestroy();
}
