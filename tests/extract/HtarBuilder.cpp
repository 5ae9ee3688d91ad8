#include "HtarBuilder.h"

#include <LzmaEnc.h>

#include <cstdlib>
#include <random>
#include <stdexcept>

namespace htartest {

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void* TestAlloc(void*, size_t size) { return size ? std::malloc(size) : nullptr; }
void TestFree(void*, void* p) { std::free(p); }
ISzAlloc g_testAlloc = {TestAlloc, TestFree};

}  // namespace

std::vector<uint8_t> Archive::Build() const {
    std::vector<uint8_t> out;
    std::vector<uint8_t> names;
    for (const std::string& name : this->names) {
        names.insert(names.end(), name.begin(), name.end());
        names.push_back(0);
    }
    PutU32(out, static_cast<uint32_t>(2 + names.size()));
    PutU16(out, static_cast<uint32_t>(this->names.size()));
    out.insert(out.end(), names.begin(), names.end());

    std::vector<uint8_t> records;
    for (const Group& group : groups) {
        records.push_back(static_cast<uint8_t>(group.members.size()));
        PutU32(records, group.runLength);
        for (const Member& m : group.members) {
            PutU16(records, static_cast<uint32_t>(m.index | (m.blocked ? 0x8000 : 0)));
            PutU16(records, m.blockPosition);
            PutU32(records, m.destination);
        }
    }
    PutU32(out, static_cast<uint32_t>(8 + records.size()));
    PutU32(out, static_cast<uint32_t>(dataLengthOverride >= 0 ? dataLengthOverride : data.size()));
    PutU32(out, static_cast<uint32_t>(groupCountOverride >= 0 ? groupCountOverride : groups.size()));
    out.insert(out.end(), records.begin(), records.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Archive PlainArchive(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files) {
    Archive archive;
    for (size_t i = 0; i < files.size(); ++i) {
        archive.names.push_back(files[i].first);
        const std::vector<uint8_t>& content = files[i].second;
        if (content.empty()) continue;
        archive.groups.push_back(Group{static_cast<uint32_t>(content.size()),
                                       {Member{static_cast<uint16_t>(i), false, 0, 0}}});
        archive.data.insert(archive.data.end(), content.begin(), content.end());
    }
    return archive;
}

std::vector<uint8_t> SmallExampleStream() {
    Archive archive;
    archive.names = {"a.txt", "d\\b.txt"};
    archive.groups = {Group{5, {Member{0, false, 0, 0}, Member{1, false, 0, 0}}},
                      Group{3, {Member{1, false, 0, 5}}}};
    archive.data = Bytes("HELLOXYZ");
    return archive.Build();
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& raw, const LzmaOptions& options) {
    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    props.level = options.level;
    props.dictSize = options.dictionarySize;
    props.lc = options.lc;
    props.lp = 0;
    props.pb = 2;
    props.numThreads = 1;
    std::vector<uint8_t> out(13 + raw.size() + raw.size() / 2 + 1024);
    SizeT destLength = out.size() - 13;
    SizeT propsSize = LZMA_PROPS_SIZE;
    static const Byte kNothing = 0;
    SRes res = LzmaEncode(out.data() + 13, &destLength, raw.empty() ? &kNothing : raw.data(), raw.size(), &props,
                          out.data(), &propsSize, options.endMarker ? 1 : 0, nullptr, &g_testAlloc, &g_testAlloc);
    if (res != SZ_OK || propsSize != LZMA_PROPS_SIZE) throw std::runtime_error("LzmaEncode failed");
    uint64_t size = options.storeSize ? raw.size() : ~0ull;
    for (int i = 0; i < 8; ++i) out[5 + i] = static_cast<uint8_t>(size >> (8 * i));
    out.resize(13 + destLength);
    return out;
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed, bool compressible) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out(count);
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(compressible ? "abcdefgh"[rng() % 8] : rng());
    return out;
}

}  // namespace htartest
