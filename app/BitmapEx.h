// A bitmap that can make a deep copy of another bitmap: same width, height,
// planes and bits per pixel, pixels copied.
#pragma once

#include "Gdi.h"

class CBitmapEx : public CBitmap
{
    DECLARE_DYNAMIC(CBitmapEx)
public:
    CBitmapEx() = default;
    ~CBitmapEx() override;

    // Both copy the given bitmap through CopyFrom.
    virtual CBitmapEx& operator=(const CBitmapEx& source);
    virtual CBitmapEx& operator=(const CBitmap& source);

    // Replaces what this object holds with a copy of source. Success shows in
    // m_bValid. A null source or one without a bitmap leaves this object empty
    // (so CopyFrom(nullptr) empties it); copying the object onto itself keeps
    // its bitmap.
    void CopyFrom(const CBitmap* source);

    bool m_bValid = false;      // the last CopyFrom succeeded
    HBITMAP m_hCopy = nullptr;  // bitmap made by CopyFrom; the attached one after a success

private:
    // Deletes the held bitmap (attached or left from a failed copy) once.
    void Empty();
};
