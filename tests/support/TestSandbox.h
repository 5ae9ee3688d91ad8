// Folders and files for tests. Every folder a test makes lies below the
// sandbox drive's tmp folder (S:\tmp\ under the test runner's Wine prefix),
// and the removal helper refuses anything outside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quortest {

// A new, empty folder for one test, ending with a backslash:
// S:\tmp\<tag>-<pid>-<n>\ (the Windows temp folder when there is no S: drive).
std::wstring MakeSandboxFolder(const std::wstring& tag);

// The root below which MakeSandboxFolder creates folders (ends with '\').
std::wstring SandboxRoot();

// Removes a folder tree made by MakeSandboxFolder. Refuses (returns false)
// for any path not strictly below SandboxRoot(); does not follow reparse points.
bool RemoveSandboxFolder(const std::wstring& folder);

bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);
bool ReadFileBytes(const std::wstring& path, std::vector<uint8_t>& bytes);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// Directory of the running test program, ending with a backslash.
std::wstring ProgramFolder();

// A bound on elapsed time, in milliseconds: ms times QUOR_TIME_FACTOR, which
// cmake/wine-run.sh sets (3 for a 32-bit program emulated by qemu-user, else
// 1), so that a bound stays one number in the test.
uint64_t ElapsedBoundMs(uint64_t ms);

// Wide <-> UTF-8 for messages.
std::string Narrow(const std::wstring& text);

// RAII: a sandbox folder removed when the test ends.
class ScopedSandbox {
public:
    explicit ScopedSandbox(const std::wstring& tag) : m_path(MakeSandboxFolder(tag)) {}
    ~ScopedSandbox() { RemoveSandboxFolder(m_path); }
    ScopedSandbox(const ScopedSandbox&) = delete;
    ScopedSandbox& operator=(const ScopedSandbox&) = delete;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

}  // namespace quortest
