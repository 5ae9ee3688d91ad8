// Byte archive layer of the merged dictionary: little-endian u32 values and
// length-prefixed narrow texts, read from (or written to) an archive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class IArchive {
public:
    // Thrown by value while (de)serializing; a load that meets one fails.
    enum EXCEPTION {
        kOutOfMemory = 0,   // a string buffer cannot be allocated
        kBadMagic = 1,      // the magic text does not match
        kUnexpectedEnd = 2  // a value or text would pass the end of the data
    };

    virtual ~IArchive() = default;
    virtual bool IsStoring() const = 0;
    virtual void Write(const void* data, unsigned length) = 0;
    // Copies up to length bytes; returns how many were delivered.
    virtual unsigned Read(void* data, unsigned length) = 0;

    // Exactly length bytes, or kUnexpectedEnd.
    void ReadExact(void* data, unsigned length);
    uint32_t ReadU32();
    void WriteU32(uint32_t value);
    // u32 length, then the bytes; the result stops at an embedded NUL.
    void ReadString(std::string& out);
    // u32 length up to the terminator, then the bytes without it.
    void WriteCString(const char* text);
    void WriteString(const std::string& text) { WriteCString(text.c_str()); }
};

class ISerializableObject {
public:
    virtual ~ISerializableObject() = default;
    virtual void Serialize(IArchive& archive) = 0;
};

// Read-only archive over a block of memory (a locked resource). Reads never
// pass the end of the block.
class CMemoryArchive : public IArchive {
public:
    CMemoryArchive(const void* data, size_t size)
        : m_pCursor(static_cast<const uint8_t*>(data)), m_nRemaining(data ? size : 0) {}

    bool IsStoring() const override { return false; }
    void Write(const void*, unsigned) override {}
    unsigned Read(void* data, unsigned length) override;

    size_t Remaining() const { return m_nRemaining; }

private:
    const uint8_t* m_pCursor;
    size_t m_nRemaining;
};
