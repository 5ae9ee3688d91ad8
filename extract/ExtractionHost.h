// The engine's seams to the application: where the temporary root is, how a
// string-table text is loaded, how a message box is shown. The launcher
// installs its own functions; tests install recorders. Install them before an
// extraction starts (they are plain globals, read by the worker thread).
#pragma once

#include <windows.h>

#include <string>

// Fills root with the application's temporary root, one full path ending
// with '\' as resolved at start-up (ResolveFullFolder), and returns true, or
// returns false when there is no running application.
typedef bool (*ExtractionTempRootFunction)(std::wstring& root);
// Returns the text of a string-table id in the user's language.
typedef std::wstring (*ExtractionTextFunction)(UINT id);
// Shows a message box; same meaning as MessageBoxW.
typedef int (*ExtractionMessageBoxFunction)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Passing nullptr restores the default: no application / LoadStringW from the
// process module / MessageBoxW.
void SetExtractionTempRootFunction(ExtractionTempRootFunction function);
void SetExtractionTextFunction(ExtractionTextFunction function);
void SetExtractionMessageBoxFunction(ExtractionMessageBoxFunction function);

bool GetExtractionTempRoot(std::wstring& root);
std::wstring LoadExtractionText(UINT id);
int ShowExtractionMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// String-table ids the engine uses.
constexpr UINT IDS_EXTRACTION_FAILED = 141;      // "Extraction failed"
constexpr UINT IDS_CANNOT_OPEN_OUTPUT = 142;     // "Unable to open the output file %s."

// The folder the archive is extracted into: temporary root + "QUOR" + build id
// + '\'. Computed once, at the first call that finds an application; empty
// (and not remembered) while there is none, or while its root is not one full
// path.
const std::wstring& GetExtractionFolder();

// Tests only: forget the computed folder so the next call computes it again.
void ResetExtractionFolderForTests();
