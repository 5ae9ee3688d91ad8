// sfxpack: makes a launcher carry a folder of installation files.
//
//   sfxpack --stub LAUNCHER.exe --from DIR --setup NAME [--splash FILE.bmp]
//           [--required-free BYTES] [--build-id DIGITS] -o OUT.exe
//
// OUT.exe = the launcher with its stamp block filled in, then the splash
// picture (at SplashImageOffset), then the compressed archive of DIR (at
// PayloadOffset). Exit code 0 on success, 1 when the input is refused or the
// output cannot be written, 2 for a wrong command line. OUT.exe appears only
// when it is complete.
#include "ArchiveNames.h"
#include "HtarWriter.h"
#include "PayloadEncoder.h"
#include "SplashImage.h"
#include "StampPatcher.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
using namespace sfxpack;

namespace {

const char kUsage[] =
    "usage: sfxpack --stub LAUNCHER.exe --from DIR --setup NAME [--splash FILE.bmp]\n"
    "               [--required-free BYTES] [--build-id DIGITS] -o OUT.exe\n"
    "  --setup NAME          the packed program the launcher starts after extraction:\n"
    "                        its path below DIR (at most 21 characters); \"\" starts\n"
    "                        nothing\n"
    "  --splash FILE.bmp     picture shown while extracting (a BMP file)\n"
    "  --required-free BYTES free space the launcher demands; default: the spool file\n"
    "                        plus all files, plus a tenth and 4 KiB per file\n"
    "  --build-id DIGITS     17 digits; default: the current time, yyyymmddhhmmssmmm\n";

struct Options {
    fs::path stub, from, splash, out;
    std::string setup, buildId, requiredFree;
    bool haveSetup = false, haveSplash = false, haveRequiredFree = false, haveBuildId = false;
};

int Refuse(const std::string& message) {
    std::cerr << "sfxpack: error: " << message << "\n";
    return 1;
}

int UsageError(const std::string& message) {
    std::cerr << "sfxpack: " << message << "\n" << kUsage;
    return 2;
}

std::string Quoted(const fs::path& p) { return "\"" + p.string() + "\""; }

bool ReadWholeFile(const fs::path& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) { error = "cannot open " + Quoted(path); return false; }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) { error = "cannot read " + Quoted(path); return false; }
    return true;
}

bool ParseU64(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = 0;
    for (char c : text) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return false;
        value = value * 10 + digit;
    }
    return true;
}

std::string BuildIdFromClock() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    local = *std::localtime(&t);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms));
    return buf;
}

// The member name of a file below the folder: its path relative to the folder
// in code page 1252 with '\' between the folders.
bool MemberName(const fs::path& relative, std::string& name, std::string& error) {
    name.clear();
    for (const fs::path& part : relative) {
        const std::string utf8 = part.string();
        if (utf8.find('\\') != std::string::npos) {
            error = "the name " + Quoted(relative) + " contains a backslash, the archive's folder separator";
            return false;
        }
        std::string converted, why;
        if (!Utf8ToCp1252(utf8, converted, why)) {
            error = "the name " + Quoted(relative) + " cannot be stored: " + why;
            return false;
        }
        if (!name.empty()) name += '\\';
        name += converted;
    }
    return true;
}

bool CollectFiles(const fs::path& from, CHtarWriter& archive, std::string& error) {
    std::error_code ec;
    fs::recursive_directory_iterator it(from, ec), end;
    if (ec) { error = "cannot list " + Quoted(from) + ": " + ec.message(); return false; }
    for (; it != end; it.increment(ec)) {
        if (ec) break;
        const fs::directory_entry& entry = *it;
        const fs::path relative = entry.path().lexically_relative(from);
        if (entry.is_directory(ec)) {
            if (entry.is_symlink(ec)) {
                error = Quoted(entry.path()) + " is a link to a folder; links to folders are not packed";
                return false;
            }
            continue;
        }
        if (!entry.is_regular_file(ec)) {
            error = Quoted(entry.path()) + " is neither a file nor a folder";
            return false;
        }
        const uint64_t size = entry.file_size(ec);
        if (ec) break;
        std::string name;
        if (!MemberName(relative, name, error)) return false;
        archive.AddFile(name, entry.path(), size);
    }
    if (ec) { error = "cannot list " + Quoted(from) + ": " + ec.message(); return false; }
    return true;
}

// The package is written beside OUT.exe under a temporary name and takes the
// name OUT.exe only when it is complete: a run that fails or is interrupted
// leaves no cut package that could be shipped, and keeps the OUT.exe of an
// earlier run.
class PartialOutput {
public:
    explicit PartialOutput(const fs::path& final) : m_final(final), m_temp(final) { m_temp += ".sfxpack-partial"; }
    ~PartialOutput() {
        std::error_code ec;
        if (!m_committed) fs::remove(m_temp, ec);
    }
    PartialOutput(const PartialOutput&) = delete;
    PartialOutput& operator=(const PartialOutput&) = delete;

    const fs::path& Path() const { return m_temp; }

    bool Commit(std::string& error) {
        std::error_code ec;
        fs::rename(m_temp, m_final, ec);
        if (ec) {
            error = "cannot write " + Quoted(m_final) + ": " + ec.message();
            return false;
        }
        m_committed = true;
        return true;
    }

private:
    fs::path m_final, m_temp;
    bool m_committed = false;
};

bool IsInside(const fs::path& file, const fs::path& folder) {
    std::error_code ec;
    const fs::path f = fs::weakly_canonical(file, ec);
    const fs::path d = fs::weakly_canonical(folder, ec);
    auto fi = f.begin();
    for (auto di = d.begin(); di != d.end(); ++di, ++fi) {
        if (di->empty()) continue;  // trailing separator
        if (fi == f.end() || *fi != *di) return false;
    }
    return true;
}

int Run(const Options& o) {
    std::string error;
    StampValues values;
    values.setupName = o.setup;
    values.buildId = o.haveBuildId ? o.buildId : BuildIdFromClock();
    if (!CheckStampValues(values, error)) return Refuse(error);

    std::vector<uint8_t> image;
    if (!ReadWholeFile(o.stub, image, error)) return Refuse("stub: " + error);
    const std::vector<std::size_t> blocks = FindStampBlocks(image.data(), image.size());
    if (blocks.size() != 1) {
        return Refuse("the stub " + Quoted(o.stub) + " has " + std::to_string(blocks.size()) +
                      " stamp blocks; it needs exactly one");
    }

    std::vector<uint8_t> splash;
    if (o.haveSplash) {
        if (!ReadWholeFile(o.splash, splash, error)) return Refuse("splash: " + error);
        if (!CheckBmpFile(splash, error)) return Refuse("the splash file " + Quoted(o.splash) + ": " + error);
    }

    std::error_code ec;
    if (!fs::is_directory(o.from, ec)) return Refuse("the folder " + Quoted(o.from) + " does not exist");
    if (IsInside(o.out, o.from)) return Refuse("the output file " + Quoted(o.out) + " lies inside the folder to pack");

    CHtarWriter archive;
    if (!CollectFiles(o.from, archive, error)) return Refuse(error);
    if (!archive.Plan(error)) return Refuse(error);
    if (!o.setup.empty()) {
        // A setup program that is not packed would end every run with exit code 1603.
        std::vector<std::string> names;
        for (const CHtarWriter::Member& m : archive.Members()) names.push_back(m.name);
        if (!SetupProgramPacked(o.setup, names))
            return Refuse("the setup program \"" + o.setup + "\" is not among the files of " + Quoted(o.from) +
                          " (its path below the folder, or a program name without extension)");
    }

    const uint64_t payloadOffset = image.size() + splash.size();
    if (payloadOffset > 0xFFFFFFFFull) return Refuse("the stub and the splash picture exceed 4 GiB - 1 bytes");
    values.payloadOffset = static_cast<uint32_t>(payloadOffset);
    values.splashOffset = o.haveSplash ? static_cast<uint32_t>(image.size()) : 0;
    if (o.haveRequiredFree) {
        if (!ParseU64(o.requiredFree, values.requiredFreeBytes))
            return Refuse("--required-free needs a byte count, not \"" + o.requiredFree + "\"");
    } else {
        // The extraction writes the spool file (the data area) and then every file.
        const uint64_t written = archive.DataAreaSize() + archive.FileBytes();
        values.requiredFreeBytes = written + written / 10 + 4096ull * (archive.Members().size() + 1);
    }
    if (!WriteStampBlock(image.data() + blocks.front(), values, error)) return Refuse(error);

    PartialOutput partial(o.out);
    std::ofstream out(partial.Path(), std::ios::binary | std::ios::trunc);
    if (!out) return Refuse("cannot create " + Quoted(partial.Path()));
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.write(reinterpret_cast<const char*>(splash.data()), static_cast<std::streamsize>(splash.size()));
    EncodeResult encoded;
    bool ok = static_cast<bool>(out);
    if (!ok) error = "cannot write " + Quoted(o.out);
    if (ok && !EncodePayload(archive, out, encoded, error)) ok = false;
    if (ok) {
        out.close();
        if (out.fail()) {
            ok = false;
            error = "cannot write " + Quoted(o.out);
        }
    }
    if (!ok) {
        out.close();
        return Refuse(error);
    }
    if (!partial.Commit(error)) return Refuse(error);

    std::cout << "sfxpack: " << archive.Members().size() << " files, " << archive.Groups().size()
              << " groups, data area " << archive.DataAreaSize() << " bytes, stream " << encoded.unpackedSize
              << " bytes, dictionary " << encoded.dictionary << " bytes, compressed " << encoded.packedSize
              << " bytes\n"
              << "sfxpack: BuildId " << values.buildId << ", PayloadOffset " << values.payloadOffset
              << ", SetupProgramName \"" << values.setupName << "\", RequiredFreeBytes "
              << values.requiredFreeBytes << ", SplashImageOffset " << values.splashOffset << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    bool haveStub = false, haveFrom = false, haveOut = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (i + 1 >= argc) return UsageError("missing value after " + arg);
        const std::string value = argv[++i];
        if (arg == "--stub") { o.stub = value; haveStub = true; }
        else if (arg == "--from") { o.from = value; haveFrom = true; }
        else if (arg == "--setup") { o.setup = value; o.haveSetup = true; }
        else if (arg == "--splash") { o.splash = value; o.haveSplash = true; }
        else if (arg == "--required-free") { o.requiredFree = value; o.haveRequiredFree = true; }
        else if (arg == "--build-id") { o.buildId = value; o.haveBuildId = true; }
        else if (arg == "-o") { o.out = value; haveOut = true; }
        else return UsageError("unknown option " + arg);
    }
    if (!haveStub || !haveFrom || !o.haveSetup || !haveOut)
        return UsageError("--stub, --from, --setup and -o are required");
    try {
        return Run(o);
    } catch (const std::exception& e) {
        return Refuse(e.what());
    }
}
