#pragma once

// Reads the fields of Lumo's binary files, the documents and the parse
// tables alike: little-endian integers, IEEE floats by their bit pattern, and
// length-prefixed strings, with nothing between fields. Header only, with no
// dependency beyond the standard library, so that both the core's archive
// and the standalone parser runtime decode through this one reader while
// each reports a failure in its own words: every read takes what to call when
// the bytes end first, which must not return.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumo_bytes {

// The little-endian 32-bit word at p.
inline std::uint32_t LoadLE32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t{u[0]} | (std::uint32_t{u[1]} << 8) | (std::uint32_t{u[2]} << 16) |
           (std::uint32_t{u[3]} << 24);
}

class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : m_bytes(bytes) {}

    std::size_t Offset() const { return m_pos; }
    std::size_t Remaining() const { return m_bytes.size() - m_pos; }
    // Whether the bytes left could hold count records of at least
    // minRecordSize bytes each: a count that fails this must be refused
    // before anything is allocated for it.
    bool CanHold(std::size_t count, std::size_t minRecordSize) const {
        return minRecordSize == 0 || count <= Remaining() / minRecordSize;
    }

    template <class OnEnd>
    const char* Take(std::size_t n, OnEnd&& onEnd) {
        if (n > Remaining()) {
            onEnd();
        }
        const char* p = m_bytes.data() + m_pos;
        m_pos += n;
        return p;
    }
    template <class OnEnd>
    std::uint8_t Byte(OnEnd&& onEnd) {
        return static_cast<std::uint8_t>(*Take(1, onEnd));
    }
    template <class OnEnd>
    std::int32_t Int32(OnEnd&& onEnd) {
        return static_cast<std::int32_t>(LoadLE32(Take(4, onEnd)));
    }
    template <class OnEnd>
    float Float(OnEnd&& onEnd) {
        return std::bit_cast<float>(LoadLE32(Take(4, onEnd)));
    }
    // A length below 255 is one byte; then 0xFF and a 16-bit length below
    // 0xFFFF; then 0xFF 0xFFFF and a 32-bit length. A view into the bytes.
    template <class OnEnd>
    std::string_view String(OnEnd&& onEnd) {
        std::size_t n = Byte(onEnd);
        if (n == 0xFF) {
            const auto* w = reinterpret_cast<const unsigned char*>(Take(2, onEnd));
            n = std::size_t{w[0]} | (std::size_t{w[1]} << 8);
            if (n == 0xFFFF) {
                n = LoadLE32(Take(4, onEnd));
            }
        }
        return std::string_view(Take(n, onEnd), n);
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

}  // namespace lumo_bytes
