#include "XNamedColors.h"

#include <cwchar>
#include <cstdlib>

// The web's extended colour keywords without the "grey" spellings the table
// never carried (it keeps LightGrey rather than LightGray), and with its own
// values for BlanchedAlmond, Gray and YellowGreen.
const NamedColor NamedColorTable[kNamedColorCount] = {
    {RGB(240, 248, 255), L"AliceBlue"},
    {RGB(250, 235, 215), L"AntiqueWhite"},
    {RGB(0, 255, 255), L"Aqua"},
    {RGB(127, 255, 212), L"Aquamarine"},
    {RGB(240, 255, 255), L"Azure"},
    {RGB(245, 245, 220), L"Beige"},
    {RGB(255, 228, 196), L"Bisque"},
    {RGB(0, 0, 0), L"Black"},
    {RGB(255, 255, 205), L"BlanchedAlmond"},
    {RGB(0, 0, 255), L"Blue"},
    {RGB(138, 43, 226), L"BlueViolet"},
    {RGB(165, 42, 42), L"Brown"},
    {RGB(222, 184, 135), L"Burlywood"},
    {RGB(95, 158, 160), L"CadetBlue"},
    {RGB(127, 255, 0), L"Chartreuse"},
    {RGB(210, 105, 30), L"Chocolate"},
    {RGB(255, 127, 80), L"Coral"},
    {RGB(100, 149, 237), L"CornflowerBlue"},
    {RGB(255, 248, 220), L"Cornsilk"},
    {RGB(220, 20, 60), L"Crimson"},
    {RGB(0, 255, 255), L"Cyan"},
    {RGB(0, 0, 139), L"DarkBlue"},
    {RGB(0, 139, 139), L"DarkCyan"},
    {RGB(184, 134, 11), L"DarkGoldenRod"},
    {RGB(169, 169, 169), L"DarkGray"},
    {RGB(0, 100, 0), L"DarkGreen"},
    {RGB(189, 183, 107), L"DarkKhaki"},
    {RGB(139, 0, 139), L"DarkMagenta"},
    {RGB(85, 107, 47), L"DarkOliveGreen"},
    {RGB(255, 140, 0), L"DarkOrange"},
    {RGB(153, 50, 204), L"DarkOrchid"},
    {RGB(139, 0, 0), L"DarkRed"},
    {RGB(233, 150, 122), L"DarkSalmon"},
    {RGB(143, 188, 143), L"DarkSeaGreen"},
    {RGB(72, 61, 139), L"DarkSlateBlue"},
    {RGB(47, 79, 79), L"DarkSlateGray"},
    {RGB(0, 206, 209), L"DarkTurquoise"},
    {RGB(148, 0, 211), L"DarkViolet"},
    {RGB(255, 20, 147), L"DeepPink"},
    {RGB(0, 191, 255), L"DeepSkyBlue"},
    {RGB(105, 105, 105), L"DimGray"},
    {RGB(30, 144, 255), L"DodgerBlue"},
    {RGB(178, 34, 34), L"FireBrick"},
    {RGB(255, 250, 240), L"FloralWhite"},
    {RGB(34, 139, 34), L"ForestGreen"},
    {RGB(255, 0, 255), L"Fuchsia"},
    {RGB(220, 220, 220), L"Gainsboro"},
    {RGB(248, 248, 255), L"GhostWhite"},
    {RGB(255, 215, 0), L"Gold"},
    {RGB(218, 165, 32), L"GoldenRod"},
    {RGB(127, 127, 127), L"Gray"},
    {RGB(0, 128, 0), L"Green"},
    {RGB(173, 255, 47), L"GreenYellow"},
    {RGB(240, 255, 240), L"HoneyDew"},
    {RGB(255, 105, 180), L"HotPink"},
    {RGB(205, 92, 92), L"IndianRed"},
    {RGB(75, 0, 130), L"Indigo"},
    {RGB(255, 255, 240), L"Ivory"},
    {RGB(240, 230, 140), L"Khaki"},
    {RGB(230, 230, 250), L"Lavender"},
    {RGB(255, 240, 245), L"LavenderBlush"},
    {RGB(124, 252, 0), L"Lawngreen"},
    {RGB(255, 250, 205), L"LemonChiffon"},
    {RGB(173, 216, 230), L"LightBlue"},
    {RGB(240, 128, 128), L"LightCoral"},
    {RGB(224, 255, 255), L"LightCyan"},
    {RGB(250, 250, 210), L"LightGoldenRodYellow"},
    {RGB(144, 238, 144), L"LightGreen"},
    {RGB(211, 211, 211), L"LightGrey"},
    {RGB(255, 182, 193), L"LightPink"},
    {RGB(255, 160, 122), L"LightSalmon"},
    {RGB(32, 178, 170), L"LightSeaGreen"},
    {RGB(135, 206, 250), L"LightSkyBlue"},
    {RGB(119, 136, 153), L"LightSlateGray"},
    {RGB(176, 196, 222), L"LightSteelBlue"},
    {RGB(255, 255, 224), L"LightYellow"},
    {RGB(0, 255, 0), L"Lime"},
    {RGB(50, 205, 50), L"LimeGreen"},
    {RGB(250, 240, 230), L"Linen"},
    {RGB(255, 0, 255), L"Magenta"},
    {RGB(128, 0, 0), L"Maroon"},
    {RGB(102, 205, 170), L"MediumAquaMarine"},
    {RGB(0, 0, 205), L"MediumBlue"},
    {RGB(186, 85, 211), L"MediumOrchid"},
    {RGB(147, 112, 219), L"MediumPurple"},
    {RGB(60, 179, 113), L"MediumSeaGreen"},
    {RGB(123, 104, 238), L"MediumSlateBlue"},
    {RGB(0, 250, 154), L"MediumSpringGreen"},
    {RGB(72, 209, 204), L"MediumTurquoise"},
    {RGB(199, 21, 133), L"MediumVioletRed"},
    {RGB(25, 25, 112), L"MidnightBlue"},
    {RGB(245, 255, 250), L"MintCream"},
    {RGB(255, 228, 225), L"MistyRose"},
    {RGB(255, 228, 181), L"Moccasin"},
    {RGB(255, 222, 173), L"NavajoWhite"},
    {RGB(0, 0, 128), L"Navy"},
    {RGB(253, 245, 230), L"OldLace"},
    {RGB(128, 128, 0), L"Olive"},
    {RGB(107, 142, 35), L"OliveDrab"},
    {RGB(255, 165, 0), L"Orange"},
    {RGB(255, 69, 0), L"OrangeRed"},
    {RGB(218, 112, 214), L"Orchid"},
    {RGB(238, 232, 170), L"PaleGoldenRod"},
    {RGB(152, 251, 152), L"PaleGreen"},
    {RGB(175, 238, 238), L"PaleTurquoise"},
    {RGB(219, 112, 147), L"PaleVioletRed"},
    {RGB(255, 239, 213), L"PapayaWhip"},
    {RGB(255, 218, 185), L"PeachPuff"},
    {RGB(205, 133, 63), L"Peru"},
    {RGB(255, 192, 203), L"Pink"},
    {RGB(221, 160, 221), L"Plum"},
    {RGB(176, 224, 230), L"PowderBlue"},
    {RGB(128, 0, 128), L"Purple"},
    {RGB(255, 0, 0), L"Red"},
    {RGB(188, 143, 143), L"RosyBrown"},
    {RGB(65, 105, 225), L"RoyalBlue"},
    {RGB(139, 69, 19), L"SaddleBrown"},
    {RGB(250, 128, 114), L"Salmon"},
    {RGB(244, 164, 96), L"SandyBrown"},
    {RGB(46, 139, 87), L"SeaGreen"},
    {RGB(255, 245, 238), L"SeaShell"},
    {RGB(160, 82, 45), L"Sienna"},
    {RGB(192, 192, 192), L"Silver"},
    {RGB(135, 206, 235), L"SkyBlue"},
    {RGB(106, 90, 205), L"SlateBlue"},
    {RGB(112, 128, 144), L"SlateGray"},
    {RGB(255, 250, 250), L"Snow"},
    {RGB(0, 255, 127), L"SpringGreen"},
    {RGB(70, 130, 180), L"SteelBlue"},
    {RGB(210, 180, 140), L"Tan"},
    {RGB(0, 128, 128), L"Teal"},
    {RGB(216, 191, 216), L"Thistle"},
    {RGB(255, 99, 71), L"Tomato"},
    {RGB(64, 224, 208), L"Turquoise"},
    {RGB(238, 130, 238), L"Violet"},
    {RGB(245, 222, 179), L"Wheat"},
    {RGB(255, 255, 255), L"White"},
    {RGB(245, 245, 245), L"WhiteSmoke"},
    {RGB(255, 255, 0), L"Yellow"},
    {RGB(139, 205, 50), L"YellowGreen"},
};

namespace
{
// One hexadecimal pair, read as far as wcstol reads it.
int HexPair(const wchar_t* pair)
{
    wchar_t two[3] = {pair[0], pair[1], L'\0'};
    return static_cast<int>(wcstol(two, nullptr, 16)) & 0xFF;
}
}

CXNamedColors::CXNamedColors(const wchar_t* text)
{
    SetFromString(text);
}

void CXNamedColors::SetFromString(const wchar_t* text)
{
    m_color = 0;
    if (text == nullptr)
        return;

    if (const wchar_t* comma = wcschr(text, L','))
    {
        const int red = _wtoi(text) & 0xFF;
        const int green = _wtoi(comma + 1) & 0xFF;
        const wchar_t* comma2 = wcschr(comma + 1, L',');
        const int blue = comma2 != nullptr ? (_wtoi(comma2 + 1) & 0xFF) : 0;
        m_color = RGB(red, green, blue);
        return;
    }

    if (const wchar_t* hash = wcschr(text, L'#'))
    {
        // Only "#RRGGBB": seven characters with all six digits behind the '#'.
        if (wcslen(text) == 7 && wcslen(hash + 1) >= 6)
            m_color = RGB(HexPair(hash + 1), HexPair(hash + 3), HexPair(hash + 5));
        return;
    }

    for (const NamedColor& row : NamedColorTable)
    {
        if (_wcsicmp(text, row.name) == 0)
        {
            m_color = row.value;
            return;
        }
    }
}
