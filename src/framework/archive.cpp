#include "framework/archive.h"

#include <bit>
#include <cstring>
#include <utility>

namespace {

void PutLE32(std::string* out, uint32_t v) {
    const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF),
                           static_cast<char>((v >> 24) & 0xFF)};
    out->append(bytes, 4);
}

uint32_t GetLE32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return uint32_t{u[0]} | (uint32_t{u[1]} << 8) | (uint32_t{u[2]} << 16) | (uint32_t{u[3]} << 24);
}

}  // namespace

CArchive::CArchive(std::string* out) : m_out(out) {}

CArchive::CArchive(Sink sink) : m_out(&m_buffer), m_sink(std::move(sink)) {
    m_buffer.reserve(kChunk * 2);
}

void CArchive::Flush() {
    if (m_sink && !m_out->empty()) {
        m_sink(*m_out);
        m_out->clear();
    }
}

CArchive::CArchive(const char* data, std::size_t size) : m_data(data), m_size(size) {}

void CArchive::WriteInt(int32_t value) {
    PutLE32(m_out, static_cast<uint32_t>(value));
    Spill();
}

void CArchive::WriteByte(uint8_t value) {
    m_out->push_back(static_cast<char>(value));
    Spill();
}

void CArchive::WriteFloat(float value) {
    PutLE32(m_out, std::bit_cast<uint32_t>(value));
    Spill();
}

void CArchive::WriteString(std::string_view text) {
    const std::size_t n = text.size();
    if (n < 0xFF) {
        m_out->push_back(static_cast<char>(n));
    } else if (n < 0xFFFE) {
        m_out->push_back('\xFF');
        m_out->push_back(static_cast<char>(n & 0xFF));
        m_out->push_back(static_cast<char>(n >> 8));
    } else {
        if (n > UINT32_MAX) {
            throw std::length_error("string too long for the archive");
        }
        m_out->append("\xFF\xFF\xFF", 3);
        PutLE32(m_out, static_cast<uint32_t>(n));
    }
    m_out->append(text);
    Spill();
}

void CArchive::WriteText(std::string_view text) {
    m_out->append(text);
    Spill();
}

const char* CArchive::Take(std::size_t n) {
    if (n > Remaining()) {
        throw CArchiveException(CArchiveException::endOfFile, "unexpected end of data");
    }
    const char* p = m_data + m_pos;
    m_pos += n;
    return p;
}

int32_t CArchive::ReadInt() {
    return static_cast<int32_t>(GetLE32(Take(4)));
}

uint8_t CArchive::ReadByte() {
    return static_cast<uint8_t>(*Take(1));
}

float CArchive::ReadFloat() {
    return std::bit_cast<float>(GetLE32(Take(4)));
}

std::string CArchive::ReadString() {
    return std::string(ReadStringView());
}

std::string_view CArchive::ReadStringView() {
    std::size_t n = ReadByte();
    if (n == 0xFF) {
        const auto* w = reinterpret_cast<const unsigned char*>(Take(2));
        n = std::size_t{w[0]} | (std::size_t{w[1]} << 8);
        if (n == 0xFFFF) {
            n = GetLE32(Take(4));
        }
    }
    const char* p = Take(n);
    return std::string_view(p, n);
}

int32_t CArchive::ReadCount(std::size_t minRecordSize) {
    const int32_t count = ReadInt();
    if (count < 0) {
        throw CArchiveException(CArchiveException::badFormat, "negative count");
    }
    if (minRecordSize > 0 && static_cast<std::size_t>(count) > Remaining() / minRecordSize) {
        throw CArchiveException(CArchiveException::endOfFile, "count exceeds the data left");
    }
    return count;
}
