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

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <streambuf>
#include <string>
#include <system_error>
#include <utility>
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

// Reads the file given with OPTION. Only a regular file is read: a folder or a
// FIFO would give a read error or block.
bool ReadInput(const std::string& option, const fs::path& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec) { error = "cannot open " + option + " " + Quoted(path) + ": " + ec.message(); return false; }
    if (fs::is_directory(status)) { error = option + " " + Quoted(path) + " is a folder, not a file"; return false; }
    if (!fs::is_regular_file(status)) { error = option + " " + Quoted(path) + " is not a regular file"; return false; }
    std::ifstream in(path, std::ios::binary);
    if (!in) { error = "cannot open " + option + " " + Quoted(path); return false; }
    // istream::read turns the buffer's exceptions into badbit.
    std::vector<char> buf(1 << 16);
    bytes.clear();
    while (in.read(buf.data(), static_cast<std::streamsize>(buf.size())) || in.gcount() > 0)
        bytes.insert(bytes.end(), buf.data(), buf.data() + in.gcount());
    if (in.bad()) { error = "cannot read " + option + " " + Quoted(path); return false; }
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

// Adds the files below folder, one folder at a time, so that a folder that
// cannot be listed is the one named.
bool CollectFiles(const fs::path& from, const fs::path& folder, CHtarWriter& archive, std::string& error) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        if (entry.is_directory(ec)) {
            if (entry.is_symlink(ec)) {
                error = Quoted(entry.path()) + " is a link to a folder; links to folders are not packed";
                return false;
            }
            if (!CollectFiles(from, entry.path(), archive, error)) return false;
            continue;
        }
        if (!entry.is_regular_file(ec)) {
            error = Quoted(entry.path()) + " is neither a file nor a folder";
            return false;
        }
        const uint64_t size = entry.file_size(ec);
        if (ec) { error = "cannot read the size of " + Quoted(entry.path()) + ": " + ec.message(); return false; }
        std::string name;
        if (!MemberName(entry.path().lexically_relative(from), name, error)) return false;
        archive.AddFile(name, entry.path(), size);
    }
    if (ec) { error = "cannot list " + Quoted(folder) + ": " + ec.message(); return false; }
    return true;
}

// The package is written beside OUT.exe to a new file of its own and takes
// the name OUT.exe only when it is complete: a run that fails or is
// interrupted leaves no cut package that could be shipped, and keeps the
// OUT.exe of an earlier run. The file is created new under a random name,
// never opened through a link nor shared with another run to the same output.
// It is the stream buffer of the package; the first failed write's reason is
// kept for the message.
class PartialOutput : public std::streambuf {
public:
    explicit PartialOutput(const fs::path& final) : m_final(final) {}
    ~PartialOutput() override {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_temp.empty() && !m_committed) ::unlink(m_temp.c_str());
    }
    PartialOutput(const PartialOutput&) = delete;
    PartialOutput& operator=(const PartialOutput&) = delete;

    bool Create(std::string& error) {
        std::random_device entropy;
        for (int attempt = 0; attempt < 100; ++attempt) {
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, ".%08x.sfxpack-partial", static_cast<unsigned>(entropy()));
            fs::path temp = m_final;
            temp += suffix;
            m_fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (m_fd >= 0) {
                m_temp = temp;
                setp(m_buf, m_buf + sizeof m_buf);
                return true;
            }
            if (errno != EEXIST) break;
        }
        error = "cannot create " + Quoted(m_final) + ": " + std::strerror(errno);
        return false;
    }

    // The message for a failed write, with the system's reason when there is one.
    std::string WriteError() const {
        return "cannot write " + Quoted(m_final) + (m_error ? std::string(": ") + std::strerror(m_error) : "");
    }

    bool Commit(std::string& error) {
        bool ok = Flush();
        if (::close(std::exchange(m_fd, -1)) != 0 && ok) {
            m_error = errno;
            ok = false;
        }
        if (!ok) { error = WriteError(); return false; }
        // As mv does: the entry OUT.exe is replaced, whatever its permissions.
        if (::rename(m_temp.c_str(), m_final.c_str()) != 0) {
            error = "cannot write " + Quoted(m_final) + ": " + std::strerror(errno);
            return false;
        }
        m_committed = true;
        return true;
    }

protected:
    int_type overflow(int_type c) override {
        if (!Flush()) return traits_type::eof();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }
    int sync() override { return Flush() ? 0 : -1; }

private:
    bool Flush() {
        if (m_error != 0) return false;
        for (const char* p = pbase(); p < pptr();) {
            const ssize_t n = ::write(m_fd, p, static_cast<std::size_t>(pptr() - p));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : EIO;
                return false;
            }
            p += n;
        }
        setp(m_buf, m_buf + sizeof m_buf);
        return true;
    }

    fs::path m_final, m_temp;
    int m_fd = -1;
    int m_error = 0;
    bool m_committed = false;
    char m_buf[1 << 16];
};

// Judges the output before anything is read or written: it must not lie in
// the folder being packed (the next build would pack it) nor be an input.
bool CheckOutput(const Options& o, std::string& error) {
    std::error_code ec;
    const fs::path out = fs::absolute(o.out, ec);
    if (ec) { error = "cannot make the output path " + Quoted(o.out) + " absolute: " + ec.message(); return false; }
    // The rename replaces the entry at OUT, a link there and not its target:
    // its folder is resolved, its own name kept.
    const fs::path target = fs::weakly_canonical(out.parent_path(), ec) / out.filename();
    if (ec) { error = "cannot resolve the output path " + Quoted(o.out) + ": " + ec.message(); return false; }
    const fs::path folder = fs::canonical(o.from, ec);
    if (ec) { error = "cannot resolve the folder " + Quoted(o.from) + ": " + ec.message(); return false; }
    if (std::mismatch(folder.begin(), folder.end(), target.begin(), target.end()).first == folder.end()) {
        error = "the output file " + Quoted(o.out) + " lies inside the folder to pack";
        return false;
    }
    // The same file, whatever path names it (./s.exe, a link, a hard link).
    const auto same = [&](const fs::path& input) {
        std::error_code ignored;
        return fs::equivalent(o.out, input, ignored);
    };
    if (same(o.stub)) {
        error = "the output file " + Quoted(o.out) + " is the --stub file " + Quoted(o.stub);
        return false;
    }
    if (o.haveSplash && same(o.splash)) {
        error = "the output file " + Quoted(o.out) + " is the --splash file " + Quoted(o.splash);
        return false;
    }
    return true;
}

int Run(const Options& o) {
    std::string error;
    StampValues values;
    values.setupName = o.setup;
    values.buildId = o.haveBuildId ? o.buildId : BuildIdFromClock();
    if (!CheckStampValues(values, error)) return Refuse(error);

    std::error_code ec;
    const fs::file_status from = fs::status(o.from, ec);
    if (from.type() == fs::file_type::not_found) return Refuse("the folder " + Quoted(o.from) + " does not exist");
    if (ec) return Refuse("cannot open the folder " + Quoted(o.from) + ": " + ec.message());
    if (!fs::is_directory(from)) return Refuse("--from " + Quoted(o.from) + " is not a folder");
    if (!CheckOutput(o, error)) return Refuse(error);

    std::vector<uint8_t> image;
    if (!ReadInput("--stub", o.stub, image, error)) return Refuse(error);
    const std::vector<std::size_t> blocks = FindStampBlocks(image.data(), image.size());
    if (blocks.size() != 1) {
        return Refuse("the stub " + Quoted(o.stub) + " has " + std::to_string(blocks.size()) +
                      " stamp blocks; it needs exactly one");
    }
    // Packing a package again would ship its payload, unused, inside the new one.
    if (StampedPayloadOffset(image.data() + blocks.front()) != 0)
        return Refuse("the stub " + Quoted(o.stub) + " is already a package made by sfxpack, not a launcher");

    std::vector<uint8_t> splash;
    if (o.haveSplash) {
        if (!ReadInput("--splash", o.splash, splash, error)) return Refuse(error);
        if (!CheckBmpFile(splash, error)) return Refuse("the splash file " + Quoted(o.splash) + ": " + error);
    }

    CHtarWriter archive;
    if (!CollectFiles(o.from, o.from, archive, error)) return Refuse(error);
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
    if (!partial.Create(error)) return Refuse(error);
    std::ostream out(&partial);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.write(reinterpret_cast<const char*>(splash.data()), static_cast<std::streamsize>(splash.size()));
    EncodeResult encoded;
    if (!out) return Refuse(partial.WriteError());
    if (!EncodePayload(archive, out, encoded, error)) return Refuse(out ? error : partial.WriteError());
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
