// CXNamedColors: the colour of a "color" or "bgcolor" attribute as a COLORREF.
// Three forms are understood: decimal "r,g,b", "#RRGGBB" and a colour name of
// NamedColorTable (compared without regard to case); anything else is black.
#pragma once

#include <windows.h>

struct NamedColor
{
    COLORREF value;
    const wchar_t* name;
};

constexpr int kNamedColorCount = 140;
// Alphabetical (ignoring case), "AliceBlue" to "YellowGreen".
extern const NamedColor NamedColorTable[kNamedColorCount];

class CXNamedColors
{
public:
    explicit CXNamedColors(const wchar_t* text);
    virtual ~CXNamedColors() = default;

    void SetFromString(const wchar_t* text);
    COLORREF GetRGB() const { return m_color; }

private:
    COLORREF m_color = 0;
};
