#include "HtarWriter.h"

#include "ArchiveNames.h"

#include <algorithm>
#include <map>
#include <set>

namespace sfxpack {
namespace {

constexpr std::size_t kIoBuffer = 1 << 16;

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void SetU32(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string Quoted(const std::filesystem::path& p) { return "\"" + p.string() + "\""; }

// 64-bit FNV-1a over a file's content: a fingerprint to find candidates of
// identical content; equality is then confirmed byte by byte.
bool HashFile(const std::filesystem::path& path, uint64_t expectedSize, uint64_t& hash, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) { error = "cannot open " + Quoted(path); return false; }
    std::vector<char> buf(kIoBuffer);
    uint64_t h = 1469598103934665603ull, total = 0;
    while (in) {
        in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
        const std::streamsize got = in.gcount();
        for (std::streamsize i = 0; i < got; ++i) {
            h ^= static_cast<unsigned char>(buf[static_cast<std::size_t>(i)]);
            h *= 1099511628211ull;
        }
        total += static_cast<uint64_t>(got);
    }
    if (in.bad()) { error = "cannot read " + Quoted(path); return false; }
    if (total != expectedSize) { error = Quoted(path) + " changed its size while being packed"; return false; }
    hash = h;
    return true;
}

bool SameContent(const std::filesystem::path& a, const std::filesystem::path& b, bool& same, std::string& error) {
    std::ifstream ia(a, std::ios::binary), ib(b, std::ios::binary);
    if (!ia) { error = "cannot open " + Quoted(a); return false; }
    if (!ib) { error = "cannot open " + Quoted(b); return false; }
    std::vector<char> ba(kIoBuffer), bb(kIoBuffer);
    for (;;) {
        ia.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        ib.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        if (ia.bad() || ib.bad()) { error = "cannot read " + Quoted(ia.bad() ? a : b); return false; }
        if (ia.gcount() != ib.gcount() ||
            !std::equal(ba.begin(), ba.begin() + ia.gcount(), bb.begin())) {
            same = false;
            return true;
        }
        if (ia.gcount() == 0) { same = true; return true; }
    }
}

}  // namespace

void CHtarWriter::AddFile(std::string name, std::filesystem::path source, uint64_t size) {
    m_members.push_back(Member{std::move(name), std::move(source), size});
    m_planned = false;
}

bool CHtarWriter::CheckNames(std::string& error) const {
    // Windows compares names without case: two members that differ only in
    // case, or a file that is also a folder of another member, would write
    // over each other or fail. The messages name the source paths, as the
    // author wrote them, not the names in code page 1252.
    std::map<std::string, std::filesystem::path> files, folders;
    for (const Member& m : m_members) {
        std::string why;
        if (!CheckMemberName(m.name, why)) {
            error = "member name \"" + m.name + "\" (" + Quoted(m.source) + "): " + why;
            return false;
        }
        const std::string folded = FoldCaseCp1252(m.name);
        const auto file = files.emplace(folded, m.source);
        if (!file.second) {
            error = "two files have the same name when case is ignored: " + Quoted(file.first->second) + " and " +
                    Quoted(m.source);
            return false;
        }
        // Each folder of the name, with the source's folder that it stands for.
        std::filesystem::path folder = m.source;
        for (std::size_t p = folded.size(); p > 0 && (p = folded.rfind('\\', p - 1)) != std::string::npos;) {
            folder = folder.parent_path();
            folders.emplace(folded.substr(0, p), folder);
        }
    }
    for (const auto& file : files) {
        const auto folder = folders.find(file.first);
        if (folder != folders.end()) {
            error = "the file " + Quoted(file.second) + " and the folder " + Quoted(folder->second) +
                    " have the same name when case is ignored";
            return false;
        }
    }
    return true;
}

bool CHtarWriter::FormGroups(std::string& error) {
    m_groups.clear();
    // (size, fingerprint) -> groups whose content has them.
    std::map<std::pair<uint64_t, uint64_t>, std::vector<std::size_t>> candidates;
    uint64_t data = 0;
    for (std::size_t i = 0; i < m_members.size(); ++i) {
        const Member& m = m_members[i];
        if (m.size == 0) continue;
        uint64_t hash = 0;
        if (!HashFile(m.source, m.size, hash, error)) return false;
        std::vector<std::size_t>& list = candidates[{m.size, hash}];
        bool placed = false;
        for (std::size_t g : list) {
            if (m_groups[g].files.size() >= kMaxGroupMembers) continue;
            bool same = false;
            if (!SameContent(m_members[m_groups[g].files.front()].source, m.source, same, error)) return false;
            if (same) {
                m_groups[g].files.push_back(static_cast<uint16_t>(i));
                placed = true;
                break;
            }
        }
        if (placed) continue;
        data += m.size;
        if (data > kMaxDataBytes) {
            error = "the distinct contents add up to more than 4 GiB - 1 bytes, the limit of the data area";
            return false;
        }
        list.push_back(m_groups.size());
        m_groups.push_back(Group{{static_cast<uint16_t>(i)}, static_cast<uint32_t>(m.size)});
    }
    m_dataSize = static_cast<uint32_t>(data);
    return true;
}

void CHtarWriter::BuildHead() {
    m_head.clear();
    PutU32(m_head, 0);  // bytes up to the group table header, set below
    PutU16(m_head, static_cast<uint16_t>(m_members.size()));
    for (const Member& m : m_members) {
        m_head.insert(m_head.end(), m.name.begin(), m.name.end());
        m_head.push_back(0);
    }
    SetU32(m_head, 0, static_cast<uint32_t>(m_head.size() - 4));

    const std::size_t table = m_head.size();
    PutU32(m_head, 0);  // bytes up to the data area, set below
    PutU32(m_head, m_dataSize);
    PutU32(m_head, static_cast<uint32_t>(m_groups.size()));
    for (const Group& g : m_groups) {
        m_head.push_back(static_cast<uint8_t>(g.files.size()));
        PutU32(m_head, g.runLength);
        for (uint16_t file : g.files) {
            PutU16(m_head, file);  // bit 15 clear: plain member
            PutU16(m_head, 0);     // block position, unused for plain members
            PutU32(m_head, 0);     // the run is the whole file
        }
    }
    SetU32(m_head, table, static_cast<uint32_t>(m_head.size() - table - 4));
}

bool CHtarWriter::Plan(std::string& error) {
    m_planned = false;
    std::sort(m_members.begin(), m_members.end(),
              [](const Member& a, const Member& b) { return a.name < b.name; });
    if (m_members.size() > kMaxMemberFiles) {
        error = std::to_string(m_members.size()) + " files; an archive can name at most " +
                std::to_string(kMaxMemberFiles);
        return false;
    }
    if (!CheckNames(error)) return false;

    // Limits that need no reading first: every file and, since files of
    // different sizes never share content, the sum over the distinct sizes.
    std::set<uint64_t> sizes;
    m_fileBytes = 0;
    for (const Member& m : m_members) {
        if (m.size > kMaxDataBytes) {
            error = Quoted(m.source) + " has " + std::to_string(m.size) +
                    " bytes; a file may have at most 4 GiB - 1 bytes";
            return false;
        }
        m_fileBytes += m.size;
        sizes.insert(m.size);
    }
    uint64_t least = 0;
    for (uint64_t s : sizes) least += s;
    if (least > kMaxDataBytes) {
        error = "the distinct contents add up to more than 4 GiB - 1 bytes, the limit of the data area";
        return false;
    }

    if (!FormGroups(error)) return false;
    BuildHead();
    m_headPos = 0;
    m_group = 0;
    m_groupOpen = false;
    m_planned = true;
    return true;
}

bool CHtarWriter::OpenGroup(std::string& error) {
    const Member& m = m_members[m_groups[m_group].files.front()];
    m_in.close();
    m_in.clear();
    m_in.open(m.source, std::ios::binary);
    if (!m_in) { error = "cannot open " + Quoted(m.source); return false; }
    m_groupLeft = m_groups[m_group].runLength;
    m_groupOpen = true;
    return true;
}

bool CHtarWriter::Read(void* buffer, std::size_t& size, std::string& error) {
    if (!m_planned) { error = "internal error: archive read before it was planned"; return false; }
    auto* out = static_cast<uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        if (m_headPos < m_head.size()) {
            const std::size_t n = std::min(size - done, m_head.size() - m_headPos);
            std::copy(m_head.begin() + static_cast<std::ptrdiff_t>(m_headPos),
                      m_head.begin() + static_cast<std::ptrdiff_t>(m_headPos + n), out + done);
            m_headPos += n;
            done += n;
            continue;
        }
        if (m_group >= m_groups.size()) break;
        if (!m_groupOpen && !OpenGroup(error)) return false;
        const std::filesystem::path& source = m_members[m_groups[m_group].files.front()].source;
        const std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(size - done, m_groupLeft));
        m_in.read(reinterpret_cast<char*>(out + done), static_cast<std::streamsize>(want));
        if (static_cast<std::size_t>(m_in.gcount()) != want) {
            error = m_in.bad() ? "cannot read " + Quoted(source)
                               : Quoted(source) + " became shorter while being packed";
            return false;
        }
        done += want;
        m_groupLeft -= static_cast<uint32_t>(want);
        if (m_groupLeft == 0) {
            if (m_in.peek() != std::ifstream::traits_type::eof()) {
                error = Quoted(source) + " became longer while being packed";
                return false;
            }
            m_in.close();
            m_groupOpen = false;
            ++m_group;
        }
    }
    size = done;
    return true;
}

}  // namespace sfxpack
