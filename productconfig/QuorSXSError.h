// The one exception type of the product registry configuration: a Win32 error
// code plus an origin code naming the layer that failed. Public entries turn it
// into an HRESULT (see CallMappingErrors), so it never reaches their callers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>

// Which layer raised a CQuorSXSError.
enum SxsErrorOrigin : uint32_t {
    SXS_ORIGIN_CONTENT = 0x10000,      // configuration content: parse error, missing element/attribute/line/application
    SXS_ORIGIN_STATE = 0x20000,        // caller or state: nothing loaded or selected, bad document index
    SXS_ORIGIN_APPLICATION = 0x30000,  // application entry without subkey
    SXS_ORIGIN_PATH = 0x40000,         // path building: scope out of range, own module path and manifest
    SXS_ORIGIN_REGISTRY = 0x50000,     // registry calls of CRegistryKey
    SXS_ORIGIN_CONVERSION = 0x70000,   // UTF-8 to wide conversion
};

class CQuorSXSError : public std::exception {
public:
    CQuorSXSError(uint32_t dwErrorCode, uint32_t dwOrigin) noexcept
        : m_dwErrorCode(dwErrorCode), m_dwOrigin(dwOrigin) {}
    CQuorSXSError(const CQuorSXSError& other) noexcept = default;
    CQuorSXSError& operator=(const CQuorSXSError& other) noexcept = default;
    ~CQuorSXSError() override = default;

    // The error code as a signed value, as HRESULT_FROM_WIN32 takes it.
    int32_t GetCode() const noexcept { return static_cast<int32_t>(m_dwErrorCode); }
    uint32_t GetOrigin() const noexcept { return m_dwOrigin; }

    // The system's message text for the code; empty when the system has none.
    std::wstring GetMessageText() const;

    // "CQuorSXSError 0x<code> -> 0x<origin> [ <message> ]" in a buffer of the
    // calling thread, valid until that thread's next call of what().
    const char* what() const noexcept override;

private:
    uint32_t m_dwErrorCode;
    uint32_t m_dwOrigin;
};

// HRESULT_FROM_WIN32 of an error code: the code itself when 0 or negative,
// otherwise 0x80070000 with the code's low 16 bits.
HRESULT SxsCodeToHResult(int32_t code) noexcept;

// GetLastError(), or the fallback when the system left it at 0, so that a
// failure is never reported as success.
uint32_t LastErrorOr(uint32_t fallback) noexcept;

// Runs a throwing operation for a public entry: 0 on success, the mapped code
// of a CQuorSXSError, E_UNEXPECTED for any other standard exception. Anything
// else passes through.
template <typename Operation>
HRESULT CallMappingErrors(Operation&& operation)
{
    try {
        operation();
        return S_OK;
    } catch (const CQuorSXSError& error) {
        return SxsCodeToHResult(error.GetCode());
    } catch (const std::exception&) {
        return static_cast<HRESULT>(0x8000FFFFL);
    }
}
