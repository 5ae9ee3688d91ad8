// The decoder driver: from a program file with a payload to the member files.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "ArchiveParser.h"
#include "ExtractionHost.h"
#include "ExtractTestKit.h"
#include "HtarBuilder.h"
#include "PayloadDecoder.h"

using namespace extracttest;
using namespace htartest;

namespace {

class DriverTest : public ExtractTest {
protected:
    void ExpectSmallExampleExtracted() {
        EXPECT_EQ(ReadOutput(L"a.txt"), Bytes("HELLO"));
        EXPECT_EQ(ReadOutput(L"d\\b.txt"), Bytes("HELLOXYZ"));
        EXPECT_FALSE(OutputExists(L"temp.htar"));
    }
};

TEST_F(DriverTest, StoredSizeExtractsAndReportsProgress) {
    std::wstring program = WriteProgram(Compress(SmallExampleStream()), 4096);
    Outcome outcome = Decode(program, 4096);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.text, "");
    ExpectSmallExampleExtracted();
    // 0 when decoding starts; the data phase (D = 8 in one chunk) adds nothing; two files: 250, 375.
    EXPECT_EQ(m_progress->Values(), (std::vector<int>{0, 250, 375}));
}

TEST_F(DriverTest, EndMarkerWithoutStoredSize) {
    LzmaOptions options;
    options.storeSize = false;
    options.endMarker = true;
    Outcome outcome = Decode(WriteProgram(Compress(SmallExampleStream(), options)), 1000);
    EXPECT_EQ(outcome.code, 0);
    ExpectSmallExampleExtracted();
}

TEST_F(DriverTest, StoredSizeLargerThanTheData) {
    std::vector<uint8_t> payload = Compress(SmallExampleStream());
    payload[5] = static_cast<uint8_t>(payload[5] + 100);
    Outcome outcome = Decode(WriteProgram(payload), 1000);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.text, "\nError: Data error\n");
    EXPECT_TRUE(FilesBelowRoot() == std::vector<std::wstring>{L"program.bin"});  // spool removed, nothing written
}

TEST_F(DriverTest, PropertiesByte225IsUnsupported) {
    std::vector<uint8_t> payload = Compress(SmallExampleStream());
    payload[0] = 225;
    Outcome outcome = Decode(WriteProgram(payload), 1000);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.text, "\nError code: 4\n");
    EXPECT_EQ(g_pArchiveParser, nullptr);
}

TEST_F(DriverTest, LiteralContextEightIsAccepted) {
    LzmaOptions options;
    options.lc = 8;
    std::vector<uint8_t> payload = Compress(SmallExampleStream(), options);
    EXPECT_EQ(payload[0], 0x62);
    EXPECT_EQ(Decode(WriteProgram(payload), 1000).code, 0);
    ExpectSmallExampleExtracted();
}

TEST_F(DriverTest, EmptyStreamExtractsNothing) {
    Outcome outcome = Decode(WriteProgram(Compress({})), 1000);
    EXPECT_EQ(outcome.code, 0);
    ASSERT_NE(g_pArchiveParser, nullptr);  // created in the first step even without output
    EXPECT_EQ(g_pArchiveParser->State(), PARSE_HEADER);
    EXPECT_EQ(FilesBelowRoot(), std::vector<std::wstring>{L"program.bin"});
}

TEST_F(DriverTest, BytesAfterTheStreamAreIgnored) {
    std::wstring program = WriteProgram(Compress(SmallExampleStream()), 1000, RandomBytes(70000, 3));
    EXPECT_EQ(Decode(program, 1000).code, 0);
    ExpectSmallExampleExtracted();
}

TEST_F(DriverTest, TextsAreAppendedAndInputFailuresReported) {
    std::wstring program = WriteProgram(Compress(SmallExampleStream()), 1000);
    Outcome missing = Decode(Root() + L"no-such-file.exe", 1000, "before");
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.text, "before\nError: Can not open input file\n");
    // A stream offset beyond the file: the header read finds the end.
    Outcome beyond = Decode(program, 0x7FFFFFF0u);
    EXPECT_EQ(beyond.code, 1);
    EXPECT_EQ(beyond.text, "\nError code: 6\n");
    // The file ends inside the header.
    Outcome cut = Decode(WriteProgram(std::vector<uint8_t>(7, 0x5D), 1000), 1000);
    EXPECT_EQ(cut.text, "\nError code: 6\n");
}

TEST_F(DriverTest, NoStoredSizeAndNoEndMarkerIsDataError) {
    LzmaOptions options;
    options.storeSize = false;  // the stream just stops: whole archive decoded, but no mark
    Outcome outcome = Decode(WriteProgram(Compress(SmallExampleStream(), options)), 1000);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.text, "\nError: Data error\n");
    EXPECT_EQ(FilesBelowRoot(), std::vector<std::wstring>{L"program.bin"});
}

TEST_F(DriverTest, BlockedMemberCarriedPastFourGibIsDataError) {
    // One blocked member at 0xFFFFFFF8, block position 0: its gap puts "HELLO" at 4 GiB.
    const char hex[] = "080000000100772e62696e00150000000500000001000000010500000000800000f8ffffff48454c4c4f";
    std::vector<uint8_t> stream;
    for (size_t i = 0; hex[i]; i += 2) stream.push_back(static_cast<uint8_t>(std::stoul(std::string(hex + i, 2), nullptr, 16)));
    ASSERT_EQ(stream.size(), 42u);
    Outcome outcome = Decode(WriteProgram(Compress(stream)), 1000);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.text, "\nError: Data error\n");
    EXPECT_EQ(FilesBelowRoot(), std::vector<std::wstring>{L"program.bin"});
}

TEST_F(DriverTest, StepWithDecoderErrorHandsItsOutputOverFirst) {
    // A stored size shorter than the data: the first step ends at 74 bytes
    // without an end mark, so the decoder fails in the step that produced them.
    std::vector<uint8_t> raw = SmallExampleStream();
    const uint8_t size = static_cast<uint8_t>(raw.size());
    std::vector<uint8_t> tail = RandomBytes(3000, 5);
    raw.insert(raw.end(), tail.begin(), tail.end());
    std::vector<uint8_t> payload = Compress(raw);
    std::fill(payload.begin() + 5, payload.begin() + 13, 0);
    payload[5] = size;
    Outcome outcome = Decode(WriteProgram(payload), 1000);
    EXPECT_EQ(outcome.text, "\nError: Data error\n");
    ASSERT_NE(g_pArchiveParser, nullptr);
    EXPECT_EQ(g_pArchiveParser->State(), PARSE_DATA);  // the 74 bytes reached the parser
    EXPECT_EQ(g_pArchiveParser->FileEntry(1).Fragments().size(), 2u);
}

std::wstring g_cancellingRoot;
// Sets the cancel flag from inside a decode step: the first data chunk opens
// the spool file, which asks for the temporary root.
bool CancelAtFirstSpoolOpen(std::wstring& root) {
    g_bCancelExtraction = true;
    root = g_cancellingRoot;
    return true;
}

TEST_F(DriverTest, CancelStopsTheDecodeAfterTheStep) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    for (int i = 0; i < 4; ++i) files.push_back({"f" + std::to_string(i), RandomBytes(100000, 20 + i)});
    std::wstring program = WriteProgram(Compress(PlainArchive(files).Build()), 1000);
    g_cancellingRoot = Root();
    SetExtractionTempRootFunction(CancelAtFirstSpoolOpen);
    EXPECT_EQ(Decode(program, 1000).code, EXTRACT_CANCELLED);
    ASSERT_NE(g_pArchiveParser, nullptr);
    // Decoding stopped after the first step, not at the copy-out's own check.
    EXPECT_FALSE(g_pArchiveParser->FileEntry(0).Fragments().empty());
    EXPECT_TRUE(g_pArchiveParser->FileEntry(3).Fragments().empty());
}

TEST_F(DriverTest, CancelBeforeTheFirstStep) {
    g_bCancelExtraction = true;
    Outcome outcome = Decode(WriteProgram(Compress(SmallExampleStream())), 1000);
    EXPECT_EQ(outcome.code, EXTRACT_CANCELLED);
    EXPECT_EQ(outcome.text, "");
    EXPECT_EQ(m_progress->Values(), std::vector<int>{0});
    EXPECT_EQ(g_pArchiveParser, nullptr);
}

TEST_F(DriverTest, ManyFilesOverManySteps) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    for (int i = 0; i < 24; ++i)
        files.push_back({"dir" + std::to_string(i % 3) + "\\sub\\file" + std::to_string(i) + ".bin",
                         RandomBytes(i == 5 ? 0 : 1000 + 17000 * i, 100 + i, i % 2 == 0)});
    std::wstring program = WriteProgram(Compress(PlainArchive(files).Build()), 333);
    EXPECT_EQ(Decode(program, 333).code, 0);
    for (const auto& file : files) EXPECT_EQ(ReadOutput(Widen(file.first)), file.second) << file.first;
    EXPECT_FALSE(OutputExists(L"temp.htar"));
    const std::vector<int>& values = m_progress->Values();
    ASSERT_GT(values.size(), 30u);
    EXPECT_EQ(values.front(), 0);
    bool copyOut = false;
    for (size_t i = 1; i < values.size(); ++i) {
        EXPECT_GT(values[i], values[i - 1]);
        copyOut = copyOut || values[i] >= 250;
        EXPECT_EQ(values[i] >= 250, copyOut);
    }
    EXPECT_EQ(values.back(), 250 + 250 * 23 / 24);
}

TEST_F(DriverTest, NoWindowMeansNoPosts) {
    char text[kExtractionErrorTextSize] = {};
    std::wstring program = WriteProgram(Compress(SmallExampleStream()), 1000);
    EXPECT_EQ(DecodePayloadFile(program.c_str(), 1000, text, nullptr), 0);
    ExpectSmallExampleExtracted();
    // A post to a null window would land in this thread's queue as a thread message.
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), WM_EXTRACT_PROGRESS, WM_EXTRACT_PROGRESS, PM_REMOVE));
}

// Runs the extraction on a worker thread while this thread, which owns the
// progress window, sets the cancel flag once the progress reaches threshold.
class CancelTest : public DriverTest {
protected:
    int RunAndCancelAt(int threshold) {
        for (int i = 0; i < 200; ++i) m_files.push_back({"f" + std::to_string(i), RandomBytes(40000, i, true)});
        std::wstring program = WriteProgram(Compress(PlainArchive(m_files).Build()), 1000);
        std::atomic<int> result{-1};
        HWND window = m_progress->Handle();
        std::thread worker([&] {
            char text[kExtractionErrorTextSize] = {};
            result = DecodePayloadFile(program.c_str(), 1000, text, window);
            EXPECT_STREQ(text, "");
            PostMessageW(window, WM_NULL, 0, 0);
        });
        while (result == -1) {
            MSG msg;
            if (GetMessageW(&msg, window, 0, 0) <= 0) break;
            DispatchMessageW(&msg);
            const std::vector<int>& values = m_progress->Values();
            if (!values.empty() && values.back() >= threshold) g_bCancelExtraction = true;
        }
        worker.join();
        return result;
    }
    // Member files that exist; each one must be complete.
    size_t CompleteFiles() {
        size_t written = 0;
        for (const auto& file : m_files) {
            if (!OutputExists(Widen(file.first))) continue;
            ++written;
            EXPECT_EQ(ReadOutput(Widen(file.first)), file.second);  // never half written
        }
        return written;
    }
    std::vector<std::pair<std::string, std::vector<uint8_t>>> m_files;
};

TEST_F(CancelTest, DuringTheDecode) {
    EXPECT_EQ(RunAndCancelAt(5), EXTRACT_CANCELLED);
    EXPECT_EQ(CompleteFiles(), 0u);
    EXPECT_LT(m_progress->Values().back(), 250);
    EXPECT_EQ(FilesBelowRoot(), std::vector<std::wstring>{L"program.bin"});  // the spool is gone too
}

TEST_F(CancelTest, DuringTheCopyOut) {
    EXPECT_EQ(RunAndCancelAt(260), EXTRACT_CANCELLED);
    size_t written = CompleteFiles();
    EXPECT_GE(written, 4u);
    EXPECT_LT(written, m_files.size());
    EXPECT_FALSE(OutputExists(L"temp.htar"));
}

// The stream over the program file.
class InStreamTest : public ExtractTest {};

TEST_F(InStreamTest, ReadsLargeRequestsWholeAndSeeksPast2GiB) {
    std::vector<uint8_t> bytes = RandomBytes((5u << 20) + 123, 9);
    std::wstring path = WriteProgram(bytes, 0);
    PayloadInStream stream;
    stream.file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(stream.file, INVALID_HANDLE_VALUE);
    ASSERT_EQ(stream.Seek(&stream, 100), 0u);
    std::vector<uint8_t> got(bytes.size());
    size_t size = got.size();
    ASSERT_EQ(stream.Read(&stream, got.data(), &size), SZ_OK);
    ASSERT_EQ(size, bytes.size() - 100);  // more than one 4 MiB piece, stopped at the end
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + size, bytes.begin() + 100));
    size = 10;
    EXPECT_EQ(stream.Read(&stream, got.data(), &size), SZ_OK);
    EXPECT_EQ(size, 0u);
    // An offset with the top bit set moves forward, not back.
    PayloadInStream distant;
    distant.file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_EQ(distant.Seek(&distant, 0x90000000u), 0u);
    LARGE_INTEGER zero = {}, position;
    ASSERT_TRUE(SetFilePointerEx(distant.file, zero, &position, FILE_CURRENT));
    EXPECT_EQ(position.QuadPart, 0x90000000LL);
    EXPECT_EQ(Decode(path, 0x90000000u).text, "\nError code: 6\n");
}

}  // namespace
