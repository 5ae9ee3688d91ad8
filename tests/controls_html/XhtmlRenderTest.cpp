// The control's markup drawn into memory bitmaps through the paint's own
// drawing code; link rectangles give the exact geometry of the lines.
#include "OzuXHTMLStatic.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0);

struct CRenderProbe : COzuXHTMLStatic
{
    CRenderProbe()
    {
        SetTextColor(kBlack);
        LOGFONTW lf = {};
        lf.lfHeight = -11;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        wcscpy(lf.lfFaceName, L"Tahoma");
        m_hWindowFont = ::CreateFontIndirectW(&lf);
    }
    ~CRenderProbe() override { ::DeleteObject(m_hWindowFont); }
    void Draw(CDibCanvas& canvas, const wchar_t* text)
    {
        canvas.Fill(kWhite);
        DrawMarkup(canvas.dc.m_hDC, canvas.Rect(), text, m_hWindowFont);
    }
    LOGFONTW LastFont() const
    {
        LOGFONTW lf = {};
        m_font.GetLogFont(&lf);
        return lf;
    }
    HGDIOBJ Font() const { return m_font.m_hObject; }
    size_t Links() const { return m_arrLinkRects.size(); }
    RECT Link(size_t i) const
    {
        const XhtmlLinkRect& rc = m_arrLinkRects.at(i);
        return RECT{rc.left, rc.top, rc.right, rc.bottom};
    }
    using COzuXHTMLStatic::m_arrLinkUrls;
    HFONT m_hWindowFont = nullptr;
};

// The most pixels of a colour in one row of rc: an underline spans its text.
int WidestRow(const CDibCanvas& canvas, COLORREF colour, const RECT& rc)
{
    int widest = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        widest = std::max(widest, canvas.Count(colour, RECT{rc.left, y, rc.right, y + 1}));
    return widest;
}
}

TEST(XhtmlRenderTest, StylesCarryFromRunToRunOnOneLine)
{
    CRenderProbe control;
    CDibCanvas canvas(300, 60);
    control.Draw(canvas, L"<a href=u><b>Bold</b> plain</a>");
    ASSERT_EQ(control.Links(), 2u);
    EXPECT_EQ(control.Link(1).left, control.Link(0).right) << "the second run continues the line";
    EXPECT_EQ(control.Link(1).top, 0);
    EXPECT_EQ(control.LastFont().lfWeight, FW_NORMAL);

    control.Draw(canvas, L"<B><b><b>x</b>");
    EXPECT_EQ(control.LastFont().lfWeight, FW_BOLD);
    control.Draw(canvas, L"</b></b></b></b>y");
    EXPECT_EQ(control.LastFont().lfWeight, FW_NORMAL) << "a stray closing tag leaves the count at 0";
    control.Draw(canvas, L"<b>");
    control.Draw(canvas, L"z");
    EXPECT_EQ(control.LastFont().lfWeight, FW_BOLD) << "an unclosed tag carries into the next paint";
}

TEST(XhtmlRenderTest, FontTagsSetColourAndSizeUntilTheirEnd)
{
    CRenderProbe control;
    CDibCanvas canvas(300, 60);
    control.Draw(canvas, L"<font color=\"#FF0000\" bgcolor=\"blue\">Red</font> Black");
    EXPECT_GT(canvas.Count(kRed), 10);
    EXPECT_GT(canvas.Count(kBlack), 10);
    EXPECT_EQ(canvas.Count(kBlue), 0) << "transparent background";
    control.Draw(canvas, L"<Font color=\"red\">literal");
    EXPECT_EQ(canvas.Count(kRed), 0);
    EXPECT_GT(canvas.Count(kBlack), 30);

    control.Draw(canvas, L"<font size=\"4\">x");
    EXPECT_EQ(control.LastFont().lfHeight, -15);
    control.Draw(canvas, L"<font size=\"4\"><FONT SIZE=\"4\">x");
    EXPECT_EQ(control.LastFont().lfHeight, -19);
    control.Draw(canvas, L"<font size=\"4\"><font size=\"4\">x</font>y");
    EXPECT_EQ(control.LastFont().lfHeight, -11);
    control.Draw(canvas, L"<font size=\"2000000000\"><font size=\"2000000000\">x");
    EXPECT_LT(control.LastFont().lfHeight, 0) << "the sizes add up without overflow";
    control.Draw(canvas, L"<font face=\"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn\">x");
    EXPECT_EQ(wcslen(control.LastFont().lfFaceName), 31u);
}

TEST(XhtmlRenderTest, UnderlineTagUnderlines)
{
    CRenderProbe control;
    CDibCanvas canvas(300, 60);
    control.Draw(canvas, L"<u>Underlined</u>");
    const PixelBox box = FindColour(canvas, kBlack);
    ASSERT_GT(box.nCount, 0);
    EXPECT_GE(WidestRow(canvas, kBlack, RECT{box.left, box.top, box.right + 1, box.bottom + 1}), box.right - box.left - 1);
}

TEST(XhtmlRenderTest, LinksAreBlueUnderlinedAndRecordedOncePerPaint)
{
    CRenderProbe control;
    CDibCanvas canvas(300, 60);
    for (int paint = 0; paint < 2; ++paint)
        control.Draw(canvas, L"Go <a href=\"file.htm\">Link</a>");
    ASSERT_EQ(control.Links(), 1u);
    EXPECT_EQ(control.m_arrLinkUrls[0], L"\"file.htm\"");
    const RECT rc = control.Link(0);
    EXPECT_GT(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_GT(canvas.Count(kBlue, rc), 10);
    EXPECT_EQ(canvas.Count(kBlue) - canvas.Count(kBlue, rc), 0);
    EXPECT_GE(WidestRow(canvas, kBlue, rc), rc.right - rc.left - 2) << "underlined";

    control.Draw(canvas, L"<a weblinkid=5>Help</a>");
    EXPECT_EQ(control.Links(), 0u) << "an unresolved number is no link";
    EXPECT_GT(canvas.Count(kBlack), 30);
    EXPECT_EQ(canvas.Count(kBlue), 0);
    control.Draw(canvas, L"ab<a href=\"never closed");
    EXPECT_EQ(control.Links(), 0u);
}

TEST(XhtmlRenderTest, LineBreaksAndWordWrap)
{
    CRenderProbe control;
    CDibCanvas canvas(300, 80);
    control.Draw(canvas, L"<a href=u>one<br>two</a>");
    ASSERT_EQ(control.Links(), 2u);
    EXPECT_EQ(control.Link(1).left, 0);
    EXPECT_EQ(control.Link(1).top, control.Link(0).bottom);
    control.Draw(canvas, L"<a href=u>one \r\ntwo</a>");
    ASSERT_EQ(control.Links(), 2u);
    EXPECT_EQ(control.Link(1).left, 0);
    control.Draw(canvas, L"<a href=u>one\r\ntwo</a>");
    EXPECT_EQ(control.Links(), 1u) << "inside a word the two characters are part of it";

    CDibCanvas narrow(40, 200);
    control.Draw(narrow, L"<a href=u>WWWWWWWWWWWW</a>");
    ASSERT_GE(control.Links(), 2u);
    for (size_t i = 0; i < control.Links(); ++i)
    {
        EXPECT_EQ(control.Link(i).left, 0);
        EXPECT_LE(control.Link(i).right, 40);
        if (i > 0)
        {
            EXPECT_EQ(control.Link(i).top, control.Link(i - 1).bottom);
        }
    }

    CDibCanvas sliver(1, 300);
    control.Draw(sliver, L"<a href=u>abc de</a>");
    EXPECT_EQ(control.Links(), 5u) << "one character a line, and the drawing ends";
}

TEST(XhtmlRenderTest, LineOfSeveralWordsBreaksAtItsLastBlank)
{
    CRenderProbe control;
    CDibCanvas wide(300, 60);
    auto width = [&](const std::wstring& text) {
        control.Draw(wide, (L"<a href=u>" + text + L"</a>").c_str());
        return control.Link(0).right;
    };
    const int wFirst = width(L"alpha beta"), wSecond = width(L"gamma");
    // Room for part of the last word, not all of it.
    CDibCanvas canvas(width(L"alpha beta ga") + 1, 60);
    control.Draw(canvas, L"<a href=u>alpha beta gamma</a>");
    ASSERT_EQ(control.Links(), 2u);
    EXPECT_EQ(control.Link(0).right, wFirst);
    EXPECT_EQ(control.Link(1).left, 0);
    EXPECT_EQ(control.Link(1).right, wSecond);
}

TEST(XhtmlRenderTest, LinesBelowTheAreaRecordNoLinks)
{
    CRenderProbe control;
    CDibCanvas wide(300, 60);
    control.Draw(wide, L"<a href=u>word</a>");
    const RECT rcWord = control.Link(0);
    // The second line starts inside the area but does not fit in it.
    const int h = rcWord.bottom;
    CDibCanvas canvas(rcWord.right + 4, h + h / 2);
    control.Draw(canvas, L"<a href=u>word word</a>");
    ASSERT_EQ(control.Links(), 1u);
    EXPECT_EQ(control.Link(0).top, 0);
}

TEST(XhtmlRenderTest, WordOfAHundredThousandCharactersBreaksWhereItStopsFitting)
{
    CRenderProbe control;
    CDibCanvas canvas(1200, 60);
    control.Draw(canvas, L"<a href=u>m</a>");
    const int wM = control.Link(0).right, h = control.Link(0).bottom;

    control.Draw(canvas, (L"<a href=u>" + std::wstring(100000, L'm') + L"</a>").c_str());
    ASSERT_EQ(control.Links(), static_cast<size_t>(60 / h));
    for (size_t i = 0; i < control.Links(); ++i)
    {
        const RECT rc = control.Link(i);
        EXPECT_EQ(rc.left, 0);
        EXPECT_EQ(rc.top, static_cast<LONG>(i) * h);
        EXPECT_LT(rc.right, 1200);
        EXPECT_GE(rc.right + wM, 1200) << "as many characters as fit";
    }
}

TEST(XhtmlRenderTest, MeasuringGivesTheBottomOfTheLastLineAndLeavesTheNextPaintAsItWas)
{
    CRenderProbe control;
    CDibCanvas canvas(60, 400);
    const wchar_t* text = L"<a href=u>one two <b>three</b> four five six</a><b>";   // ends bold
    control.Draw(canvas, text);
    const RECT last = control.Link(control.Links() - 1);
    ASSERT_GT(last.top, 0);
    EXPECT_EQ(last.bottom, control.MeasureMarkup(RECT{0, 10, 60, 20}, text, control.m_hWindowFont));
    EXPECT_EQ(last.bottom, control.Link(control.Links() - 1).bottom) << "the links of the paint stay";
    control.Draw(canvas, L"</b>x");
    EXPECT_EQ(FW_NORMAL, control.LastFont().lfWeight) << "measuring opened no second <b>";
}

TEST(XhtmlRenderTest, MeasuringBetweenPaintsKeepsTheNextPaintsUnderlineAndBold)
{
    CRenderProbe control;
    CDibCanvas canvas(300, 60);
    const wchar_t* text = L"<u>under";   // the underline stays open
    control.Draw(canvas, text);
    control.MeasureMarkup(canvas.Rect(), text, control.m_hWindowFont);
    control.Draw(canvas, L"x");
    EXPECT_TRUE(control.LastFont().lfUnderline);
    EXPECT_EQ(FW_NORMAL, control.LastFont().lfWeight);
    control.Draw(canvas, L"</u>y");
    EXPECT_FALSE(control.LastFont().lfUnderline) << "measuring opened no second <u>";
}

TEST(XhtmlRenderTest, PaintingAgainAndAgainKeepsOnlyTheLastRunsFont)
{
    CRenderProbe control;
    CDibCanvas canvas(300, 60);
    std::vector<HGDIOBJ> lastFonts;   // of each paint
    for (int paint = 0; paint < 20; ++paint)
    {
        control.Draw(canvas, L"<b>bold</b> plain <u>under</u>");
        lastFonts.push_back(control.Font());
    }
    const auto alive = std::count_if(lastFonts.begin(), lastFonts.end(),
                                     [](HGDIOBJ h) { return ::GetObjectType(h) == OBJ_FONT; });
    EXPECT_EQ(1, alive);
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(lastFonts.back()));
}

TEST(XhtmlRenderTest, WordThatDoesNotFitBehindTheLastRunStartsTheNextLine)
{
    CRenderProbe control;
    const wchar_t* text = L"<a href=u>aaaa</a><a href=v>wwwwwwww</a>";
    CDibCanvas wide(300, 60);
    control.Draw(wide, text);
    ASSERT_EQ(control.Links(), 2u);
    const RECT first = control.Link(0), second = control.Link(1);
    CDibCanvas canvas(second.right - 1, 60);   // just short of both words
    control.Draw(canvas, text);
    ASSERT_EQ(control.Links(), 2u);
    EXPECT_EQ(control.Link(1).left, 0);
    EXPECT_EQ(control.Link(1).top, first.bottom);
    EXPECT_EQ(control.Link(1).right, second.right - second.left);
}

TEST(XhtmlRenderTest, EachClosingTagEndsItsOwnStyleOnly)
{
    CRenderProbe control;
    CDibCanvas canvas(300, 60);
    const wchar_t* const opening[] = {L"<b><i><u><strike>", L"<B><I><U><STRIKE>"};
    const wchar_t* const closing[][4] = {{L"</b>", L"</i>", L"</u>", L"</strike>"},
                                         {L"</B>", L"</I>", L"</U>", L"</STRIKE>"}};
    for (int spelling = 0; spelling < 2; ++spelling)
    {
        for (int closed = 0; closed < 4; ++closed)
        {
            control.Draw(canvas, (std::wstring(opening[spelling]) + closing[spelling][closed] + L"x").c_str());
            const LOGFONTW lf = control.LastFont();
            const bool styled[] = {lf.lfWeight == FW_BOLD, lf.lfItalic != 0, lf.lfUnderline != 0, lf.lfStrikeOut != 0};
            for (int style = 0; style < 4; ++style)
            {
                EXPECT_EQ(style != closed, styled[style])
                    << "closing tag " << closed << " (spelling " << spelling << "), style " << style;
            }
            control.Draw(canvas, L"</b></i></u></strike>");   // the next case starts plain
        }
    }
}

// Wherever the area starts, its text is laid out the same, moved with it: a
// run continues its line where the one before it ended, and lines wrap at
// the area's own right edge.
TEST(XhtmlRenderTest, LayoutMovesWithTheLeftEdgeOfTheArea)
{
    CRenderProbe control;
    CDibCanvas canvas(400, 200);
    canvas.Fill(kWhite);
    control.DrawMarkup(canvas.dc.m_hDC, RECT{50, 0, 400, 60}, L"<a href=u>aaaa</a><a href=v>bbbb</a>",
                       control.m_hWindowFont);
    ASSERT_EQ(control.Links(), 2u);
    EXPECT_EQ(control.Link(0).left, 50);
    EXPECT_EQ(control.Link(1).left, control.Link(0).right);

    const wchar_t* text = L"<a href=u>aaaa</a><a href=v>bb <b>cc</b> dddd eeee</a><br><a href=w>WWWWWWWWWWWW</a>";
    const int width = 70;
    control.DrawMarkup(canvas.dc.m_hDC, RECT{0, 0, width, 200}, text, control.m_hWindowFont);
    std::vector<RECT> atZero;
    for (size_t i = 0; i < control.Links(); ++i)
        atZero.push_back(control.Link(i));
    ASSERT_GE(atZero.size(), 6u) << "runs on one line, wrapped lines and a broken word";
    control.DrawMarkup(canvas.dc.m_hDC, RECT{50, 0, 50 + width, 200}, text, control.m_hWindowFont);
    ASSERT_EQ(control.Links(), atZero.size());
    for (size_t i = 0; i < atZero.size(); ++i)
    {
        EXPECT_EQ(control.Link(i).left, atZero[i].left + 50) << i;
        EXPECT_EQ(control.Link(i).right, atZero[i].right + 50) << i;
        EXPECT_EQ(control.Link(i).top, atZero[i].top) << i;
    }
}

// A control without a font draws with the stock SYSTEM_FONT, whose height is
// a positive cell height: a font size makes its text taller all the same.
TEST(XhtmlRenderTest, FontSizeMakesTheSystemFontTaller)
{
    CRenderProbe control;
    CDibCanvas canvas(300, 100);
    control.DrawMarkup(canvas.dc.m_hDC, canvas.Rect(), L"<a href=u>x</a><font size=\"4\"><a href=v>x</a></font>",
                       nullptr);
    ASSERT_EQ(control.Links(), 2u);
    const RECT plain = control.Link(0), sized = control.Link(1);
    EXPECT_GT(sized.bottom - sized.top, plain.bottom - plain.top);
}
