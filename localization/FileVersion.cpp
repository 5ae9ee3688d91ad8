#include "FileVersion.h"

#include <vector>

#include "SystemLibrary.h"

FileVersion GetFileVersion(const wchar_t* path)
{
    FileVersion version;
    if (!path || path[0] == 0) return version;

    DWORD handle = 0;
    const DWORD size = SystemLibrary::GetFileVersionInfoSizeW(path, &handle);
    if (size == 0) return version;
    std::vector<uint8_t> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        return version;
    }
    if (!SystemLibrary::GetFileVersionInfoW(path, 0, size, block.data())) return version;

    void* data = nullptr;
    UINT length = 0;
    if (!SystemLibrary::VerQueryValueW(block.data(), L"\\", &data, &length) || !data) return version;
    // The fixed part must be complete and carry its signature before it is trusted.
    if (length < sizeof(VS_FIXEDFILEINFO)) return version;
    const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    if (fixed->dwSignature != 0xFEEF04BD) return version;

    version.major = HIWORD(fixed->dwProductVersionMS);
    version.minor = LOWORD(fixed->dwProductVersionMS);
    version.build = HIWORD(fixed->dwProductVersionLS);
    version.revision = LOWORD(fixed->dwProductVersionLS);
    return version;
}

FileVersion GetModuleVersion(HMODULE module)
{
    wchar_t path[1040];
    const DWORD length = GetModuleFileNameW(module, path, 1040);
    if (length == 0 || length >= 1040) return FileVersion();
    return GetFileVersion(path);
}

BOOL IsVersionGreater(const FileVersion& a, const FileVersion& b)
{
    if (a.major != b.major) return a.major > b.major;
    if (a.minor != b.minor) return a.minor > b.minor;
    if (a.build != b.build) return a.build > b.build;
    return a.revision > b.revision;
}

HMODULE LoadLibraryIfVersionInRange(const wchar_t* path, const FileVersion& minimum,
                                    const FileVersion& maximum, uint32_t* pStatus)
{
    const FileVersion version = GetFileVersion(path);
    if (IsVersionGreater(minimum, version) || IsVersionGreater(version, maximum)) return nullptr;

    const HMODULE module = LoadLibraryW(path);
    if (pStatus) {
        DWORD error = ERROR_SUCCESS;
        if (!module) {
            error = GetLastError();
            if (error == ERROR_SUCCESS) error = ERROR_MOD_NOT_FOUND;
        }
        *pStatus = error;
    }
    return module;
}
