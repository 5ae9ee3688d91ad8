#include "E2eFixture.h"

#include <fstream>
#include <sstream>

#include "TempRootRemoval.h"

namespace e2e {

const wchar_t kOkBuildId[] = L"20261208000000001";
const wchar_t kNoSplashBuildId[] = L"20261208000000002";
const wchar_t kHugeBuildId[] = L"20261208000000003";
const wchar_t kNoSetupBuildId[] = L"20261208000000004";
const wchar_t kSlowBuildId[] = L"20261208000000005";

std::wstring E2eFolder() { return quortest::ProgramFolder() + L"e2e\\"; }
std::wstring Launcher(const std::wstring& name) { return E2eFolder() + name + L".exe"; }

std::string Utf8(const std::wstring& text) { return quortest::Narrow(text); }

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

bool ReadRecord(const std::wstring& path, Record& record) {
    std::vector<uint8_t> bytes;
    if (!quortest::ReadFileBytes(path, bytes)) return false;
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line;
    while (std::getline(in, line)) {
        const size_t colon = line.find(": ");
        if (colon != std::string::npos) record.emplace(line.substr(0, colon), line.substr(colon + 2));
    }
    return true;
}

std::string First(const Record& record, const std::string& key) {
    auto it = record.find(key);
    return it == record.end() ? std::string() : it->second;
}

void WholeRun::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_box = quortest::MakeSandboxFolder(std::wstring(L"e2e-") + Wide(info->name()).substr(0, 24));
    ASSERT_FALSE(m_box.empty());
    ASSERT_TRUE(CreateDirectoryW(Temp().c_str(), nullptr));
}

void WholeRun::TearDown() {
    // Links are never made here, and the folder lies in the sandbox.
    RemoveTempRootTree(m_box);
}

std::vector<std::wstring> WholeRun::Environment(DWORD setupExitCode, const std::vector<std::wstring>& extra) const {
    std::vector<std::wstring> env = {
        L"TMP=" + Temp().substr(0, Temp().size() - 1),
        L"TEMP=" + Temp().substr(0, Temp().size() - 1),
        L"QUOR_DUMMY_RECORD=" + RecordPath(),
        L"QUOR_DUMMY_EXIT=" + std::to_wstring(setupExitCode),
    };
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

DWORD WholeRun::RunToEnd(const std::wstring& launcher, const std::wstring& args, const std::vector<std::wstring>& env,
                         DWORD timeoutMs, const std::wstring& cwd) {
    LauncherRun run;
    EXPECT_TRUE(run.Start(launcher, args, env, cwd)) << Utf8(launcher);
    const bool ended = run.WaitForExit(timeoutMs);
    EXPECT_TRUE(ended) << "the launcher did not end; message boxes: " << run.MessageBoxes().size();
    return ended ? run.ExitCode() : 0xFFFFFFFFu;
}

DialogState WholeRun::WaitForVisibleDialog(LauncherRun& run, DWORD timeoutMs) {
    DialogState state;
    run.WaitUntil([&] {
        state = run.ReadDialog();
        return state.hwnd && state.visible && !state.caption.empty();
    }, timeoutMs);
    return state;
}

std::vector<MessageBoxInfo> RunAnsweringBoxes(LauncherRun& run, DWORD timeoutMs) {
    std::vector<MessageBoxInfo> seen;
    run.WaitUntil([&] {
        for (const MessageBoxInfo& box : run.MessageBoxes()) {
            bool known = false;
            for (const auto& s : seen) known = known || s.hwnd == box.hwnd;
            if (known) continue;
            seen.push_back(box);
            Sleep(100);
            LauncherRun::CloseMessageBox(box);
        }
        return false;
    }, timeoutMs);
    return seen;
}

size_t CountPixelsNear(const std::vector<DWORD>& pixels, DWORD rgb, int tolerance) {
    auto closeTo = [&](DWORD a, int shift) {
        int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((rgb >> shift) & 0xFF);
        return x - y <= tolerance && y - x <= tolerance;
    };
    size_t n = 0;
    for (DWORD p : pixels)
        if (closeTo(p, 0) && closeTo(p, 8) && closeTo(p, 16)) ++n;
    return n;
}

}  // namespace e2e
