#include "Archive.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace {
// Texts are read in bounded steps, so a hostile length field never makes the
// reader allocate more than the data that actually follows it.
constexpr unsigned kReadStep = 64 * 1024;
}

void IArchive::ReadExact(void* data, unsigned length)
{
    if (Read(data, length) != length) throw kUnexpectedEnd;
}

uint32_t IArchive::ReadU32()
{
    uint8_t bytes[4];
    ReadExact(bytes, 4);
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

void IArchive::WriteU32(uint32_t value)
{
    const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    Write(bytes, 4);
}

void IArchive::ReadString(std::string& out)
{
    const uint32_t length = ReadU32();
    std::string text;
    uint32_t done = 0;
    while (done < length) {
        const unsigned step = (length - done) < kReadStep ? unsigned(length - done) : kReadStep;
        try {
            text.resize(size_t(done) + step);
        } catch (const std::bad_alloc&) {
            throw kOutOfMemory;
        } catch (const std::length_error&) {
            throw kOutOfMemory;
        }
        ReadExact(&text[done], step);
        done += step;
    }
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    out.swap(text);
}

void IArchive::WriteCString(const char* text)
{
    const size_t length = text ? strlen(text) : 0;
    WriteU32(uint32_t(length));
    if (length) Write(text, unsigned(length));
}

unsigned CMemoryArchive::Read(void* data, unsigned length)
{
    if (!m_pCursor || !data) return 0;
    const size_t count = length < m_nRemaining ? length : m_nRemaining;
    memcpy(data, m_pCursor, count);
    m_pCursor += count;
    m_nRemaining -= count;
    return unsigned(count);
}
