#include "BitmapStatic.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

// The program's import slot of InitializeCriticalSectionAndSpinCount: every
// call in this program goes through it, so a test can make the system's
// initialisation fail without any hook in the code under test.
#ifdef _WIN64
extern "C" void* g_importInitCriticalSection __asm__("__imp_InitializeCriticalSectionAndSpinCount");
#else
extern "C" void* g_importInitCriticalSection __asm__("__imp__InitializeCriticalSectionAndSpinCount@8");
#endif

namespace
{
const COLORREF kDarkGrey = RGB(64, 64, 64);  // the stock DKGRAY_BRUSH
const COLORREF kSentinel = RGB(1, 2, 3);

DWORD g_failWithError = 0;

BOOL WINAPI FailingInitCriticalSection(LPCRITICAL_SECTION, DWORD)
{
    ::SetLastError(g_failWithError);
    return FALSE;
}

// While it lives, initialising a critical section fails with the error given.
class CFailingCriticalSections
{
public:
    explicit CFailingCriticalSections(DWORD error)
    {
        g_failWithError = error;
        m_saved = Exchange(reinterpret_cast<void*>(&FailingInitCriticalSection));
    }
    ~CFailingCriticalSections() { Exchange(m_saved); }

private:
    static void* Exchange(void* pfn)
    {
        void** slot = &g_importInitCriticalSection;
        DWORD protect = 0;
        ::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protect);
        void* previous = *slot;
        *slot = pfn;
        ::VirtualProtect(slot, sizeof(void*), protect, &protect);
        return previous;
    }
    void* m_saved;
};
}

TEST(BitmapStaticTest, ConstructionEndsWhenItsLockCannotBeInitialised)
{
    {
        CFailingCriticalSections failing(ERROR_INVALID_PARAMETER);
        try {
            CBitmapStatic control;
            ADD_FAILURE() << "constructed without a lock";
        } catch (COleException* e) {
            EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER), e->m_sc);
            e->Delete();
        }
    }
    {
        CFailingCriticalSections failing(ERROR_OUTOFMEMORY);   // E_OUTOFMEMORY
        try {
            CBitmapStatic control;
            ADD_FAILURE() << "constructed without a lock";
        } catch (CMemoryException* e) {
            e->Delete();
        }
    }
}

TEST(BitmapStaticTest, WithoutBitmapOrWithAnEmptyCopyItPaintsDarkGrey)
{
    CBitmapStatic control;
    CDibCanvas canvas(50, 40);
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    EXPECT_EQ(canvas.Count(kDarkGrey), 50 * 40);

    CBitmapEx empty;
    control.SetBitmap(&empty);
    ASSERT_NE(control.m_pBitmap, nullptr);
    canvas.Fill(kSentinel);
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    EXPECT_EQ(canvas.Count(kDarkGrey), 50 * 40);
}

TEST(BitmapStaticTest, CopyIsStretchedToExactlyTheClientAreaAndOutlivesTheSource)
{
    CBitmapStatic control;
    CDibCanvas canvas(60, 50);
    for (SIZE size : {SIZE{8, 6}, SIZE{200, 120}})  // smaller and larger than the control
    {
        {
            CBitmap source;
            source.Attach(MakeQuadrants(size.cx, size.cy));
            control.SetBitmap(&source);
        }
        canvas.Fill(kSentinel);
        control.DrawBitmap(&canvas.dc, RECT{0, 0, 40, 30});
        ExpectQuadrants(canvas, RECT{0, 0, 40, 30});
        EXPECT_EQ(canvas.Count(kSentinel), 60 * 50 - 40 * 30);
    }
}

TEST(BitmapStaticTest, CentredBitmapKeepsItsSizeOnDarkGrey)
{
    CBitmapStatic control;
    CBitmap source;
    source.Attach(MakeQuadrants(4, 4));
    control.SetBitmap(&source);
    control.m_bCenter = true;
    CDibCanvas canvas(11, 10);
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    ExpectQuadrants(canvas, RECT{3, 3, 7, 7});
    EXPECT_EQ(canvas.Count(kDarkGrey), 11 * 10 - 16);
}

TEST(BitmapStaticTest, DefaultBitmapComesFromTheResourceModule)
{
    HINSTANCE hSaved = AfxGetResourceHandle();
    AfxSetResourceHandle(::GetModuleHandleW(nullptr));
    CBitmapStatic control;
    control.LoadDefaultBitmap();
    ASSERT_NE(control.m_pBitmap, nullptr);
    EXPECT_FALSE(control.m_pBitmap->m_bValid);

    // The test program's bitmap 129: 8 x 6, green over magenta.
    CDibCanvas canvas(16, 12);
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    EXPECT_EQ(canvas.Count(RGB(0, 255, 0), RECT{0, 0, 16, 5}), 16 * 5);
    EXPECT_EQ(canvas.Count(RGB(255, 0, 255), RECT{0, 7, 16, 12}), 16 * 5);

    // A module without it leaves the control empty.
    AfxSetResourceHandle(::GetModuleHandleW(L"kernel32.dll"));
    control.LoadDefaultBitmap();
    control.DrawBitmap(&canvas.dc, canvas.Rect());
    EXPECT_EQ(canvas.Count(kDarkGrey), 16 * 12);
    AfxSetResourceHandle(hSaved);
}
