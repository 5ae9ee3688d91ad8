// Picture loader: a picture file held in memory (a BMP, or anything else the
// platform's OLE picture loader reads), drawn into a device context at a size.
#pragma once

#include <windows.h>
#include <ocidl.h>

class CDC;

class CPicture
{
public:
    CPicture() = default;
    virtual ~CPicture();
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // Loads the picture from size bytes at data; any picture held before is
    // released first. FALSE (and no picture) for null or empty data or bytes
    // the loader does not take.
    BOOL LoadFromMemory(const void* data, DWORD size);

    // Draws the picture upright, scaled to (cx, cy), at (x, y) of the DC.
    // FALSE without a DC, without a picture, or when the picture has no size.
    BOOL Render(CDC* pDC, int x, int y, int cx, int cy);

    // The loaded picture (one reference held), null when none is loaded. The
    // dialog reads its bitmap handle and size from here.
    IPicture* m_pPicture = nullptr;

private:
    // Releases the held picture, if any.
    void Release();
};
