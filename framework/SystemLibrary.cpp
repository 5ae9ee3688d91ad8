#include "SystemLibrary.h"

#include <string>

bool RestrictDllSearchPath()
{
    // Looked up at run time: systems without the update that brings it simply
    // keep their default search order (SetDllDirectoryW still drops the
    // current folder).
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                   reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                             : nullptr;
    SetDllDirectoryW(L"");
    return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    // The first load may come from a global constructor that runs before the
    // start-up restriction: restrict here as well.
    static const bool restricted = RestrictDllSearchPath();
    if (restricted) {
        // By name, so that the manifest's side-by-side redirection still
        // applies (common controls version 6); searched in the system folder only.
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Without the search flags (an old system that lacks the update): the
    // full path in the system folder, its own dependencies searched there too.
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    path += L'\\';
    path += name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

namespace {

// One function of a system DLL, looked up once. The DLL stays loaded for the
// life of the process, as an import would.
template <typename Fn>
class SystemFunction {
public:
    SystemFunction(const wchar_t* dll, const char* name)
    {
        HMODULE module = LoadSystemLibrary(dll);
        if (module == nullptr) {
            m_error = ERROR_MOD_NOT_FOUND;
            return;
        }
        m_fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
        if (m_fn == nullptr) m_error = ERROR_PROC_NOT_FOUND;
    }

    // The function, or null with the reason set as the last error.
    Fn Get() const
    {
        if (m_fn == nullptr) SetLastError(m_error);
        return m_fn;
    }

private:
    Fn m_fn = nullptr;
    DWORD m_error = ERROR_SUCCESS;
};

typedef BOOL(WINAPI* InitCommonControlsExFn)(const INITCOMMONCONTROLSEX*);
typedef INT_PTR(WINAPI* PropertySheetWFn)(LPCPROPSHEETHEADERW);
typedef DWORD(WINAPI* GetFileVersionInfoSizeWFn)(LPCWSTR, LPDWORD);
typedef BOOL(WINAPI* GetFileVersionInfoWFn)(LPCWSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI* VerQueryValueWFn)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

const wchar_t kCommonControls[] = L"comctl32.dll";
const wchar_t kVersion[] = L"version.dll";

}  // namespace

namespace SystemLibrary {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce)
{
    static const SystemFunction<InitCommonControlsExFn> fn(kCommonControls, "InitCommonControlsEx");
    auto call = fn.Get();
    return call ? call(picce) : FALSE;
}

INT_PTR PropertySheetW(LPCPROPSHEETHEADERW header)
{
    static const SystemFunction<PropertySheetWFn> fn(kCommonControls, "PropertySheetW");
    auto call = fn.Get();
    return call ? call(header) : -1;
}

DWORD GetFileVersionInfoSizeW(LPCWSTR path, LPDWORD handle)
{
    static const SystemFunction<GetFileVersionInfoSizeWFn> fn(kVersion, "GetFileVersionInfoSizeW");
    auto call = fn.Get();
    return call ? call(path, handle) : 0;
}

BOOL GetFileVersionInfoW(LPCWSTR path, DWORD handle, DWORD size, LPVOID data)
{
    static const SystemFunction<GetFileVersionInfoWFn> fn(kVersion, "GetFileVersionInfoW");
    auto call = fn.Get();
    return call ? call(path, handle, size, data) : FALSE;
}

BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length)
{
    static const SystemFunction<VerQueryValueWFn> fn(kVersion, "VerQueryValueW");
    auto call = fn.Get();
    return call ? call(block, subBlock, buffer, length) : FALSE;
}

}  // namespace SystemLibrary
