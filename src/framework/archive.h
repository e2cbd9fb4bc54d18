#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "bytes/byte_reader.h"

// Raised while loading when the bytes do not form what the reader expects:
// the data ends early, or a value breaks the rules of the format. Callers
// refuse the whole file either way; what() says which.
class CArchiveException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Refuses the data being loaded: a value breaks the rules of its format.
[[noreturn]] void BadFormat(const char* what);

// A binary archive in one direction: storing appends to a byte string,
// loading reads from a byte range that the archive does not own. All integers
// are little-endian, with nothing between fields.
class CArchive {
public:
    // Storing into *out (appended to).
    explicit CArchive(std::string* out);
    // Storing through sink, in pieces of about kChunk bytes, so that a large
    // output never has to be held whole; Flush() hands over the rest.
    using Sink = std::function<void(std::string_view)>;
    static constexpr std::size_t kChunk = 1 << 16;
    explicit CArchive(Sink sink);
    // Loading from [data, data + size).
    CArchive(const char* data, std::size_t size);

    bool IsStoring() const { return m_out != nullptr; }
    bool IsLoading() const { return m_out == nullptr; }

    void WriteInt(int32_t value);
    void WriteByte(uint8_t value);
    void WriteFloat(float value);
    // Length-prefixed: one byte below 255, then 0xFF and a 16-bit length below
    // 65534, then 0xFF 0xFFFF and a 32-bit length.
    void WriteString(std::string_view text);
    // Raw bytes, for textual output.
    void WriteText(std::string_view text);
    // Hands what is buffered to the sink; nothing to do without one.
    void Flush();

    int32_t ReadInt();
    uint8_t ReadByte();
    float ReadFloat();
    std::string ReadString();
    // The same without a copy: a view into the bytes being loaded.
    std::string_view ReadStringView();

    // Reads a count of records that follow and refuses it when it is negative
    // or when the bytes left could not hold that many records of at least
    // minRecordSize bytes each, so a short file can never ask for a large
    // allocation.
    int32_t ReadCount(std::size_t minRecordSize);

    std::size_t Remaining() const { return m_reader.Remaining(); }
    // How far loading has read, from the first byte.
    std::size_t Offset() const { return m_reader.Offset(); }

private:
    void Spill() {
        if (m_sink && m_out->size() >= kChunk) {
            Flush();
        }
    }

    std::string* m_out = nullptr;
    std::string m_buffer;
    Sink m_sink;
    lumo_bytes::ByteReader m_reader{std::string_view()};
};
