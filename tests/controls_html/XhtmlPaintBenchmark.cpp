// Paint time of the HTML-subset control (run by hand through run-benchmark.sh,
// not by ctest): texts drawn into a memory bitmap of a message box's text area
// through the paint's own code.
//   xhtml_paint_benchmark [CHARS...]   (default: 100000)
// For each length it paints one word of that many characters without a blank,
// then words of 2 to 9 letters of the same total length.
#include "OzuXHTMLStatic.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
constexpr int kWidth = 480, kHeight = 320;

double Seconds()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Paints text again and again for about a second (at least once); milliseconds per paint.
double MillisecondsPerPaint(HDC dc, HFONT hFont, const std::wstring& text, int* pPaints)
{
    COzuXHTMLStatic control;
    const RECT rc = {0, 0, kWidth, kHeight};
    const double start = Seconds();
    double elapsed = 0;
    int paints = 0;
    do
    {
        ::PatBlt(dc, 0, 0, kWidth, kHeight, WHITENESS);
        control.DrawMarkup(dc, rc, text.c_str(), hFont);
        ++paints;
        elapsed = Seconds() - start;
    } while (elapsed < 1.0);
    *pPaints = paints;
    return elapsed * 1000.0 / paints;
}

std::wstring Words(size_t length)
{
    std::wstring text;
    unsigned seed = 7;
    while (text.size() < length)
    {
        seed = seed * 1103515245u + 12345u;
        text.append(2 + (seed >> 16) % 8, static_cast<wchar_t>(L'a' + (seed >> 8) % 26));
        text += L' ';
    }
    text.resize(length);
    return text;
}
}

int wmain(int argc, wchar_t** argv)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = kWidth;
    bmi.bmiHeader.biHeight = -kHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(dc, hBitmap);
    LOGFONTW lf = {};
    lf.lfHeight = -11;
    wcscpy(lf.lfFaceName, L"Tahoma");
    HFONT hFont = ::CreateFontIndirectW(&lf);

    std::printf("paint of %dx%d pixels, Tahoma -11\n", kWidth, kHeight);
    for (int i = 1; i < argc || i == 1; ++i)
    {
        const size_t length = i < argc ? wcstoul(argv[i], nullptr, 10) : 100000;
        const std::wstring cases[] = {std::wstring(length, L'm'), Words(length)};
        const char* names[] = {"without a blank", "in words"};
        for (int c = 0; c < 2; ++c)
        {
            int paints = 0;
            const double ms = MillisecondsPerPaint(dc, hFont, cases[c], &paints);
            std::printf("%zu characters %-16s %10.2f ms per paint (%d paints)\n", length, names[c], ms, paints);
            std::fflush(stdout);
        }
    }

    ::DeleteObject(hFont);
    ::SelectObject(dc, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(dc);
    return 0;
}
