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

[[noreturn]] void EndOfData() {
    throw CArchiveException("unexpected end of data");
}

}  // namespace

void BadFormat(const char* what) {
    throw CArchiveException(what);
}

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

CArchive::CArchive(const char* data, std::size_t size) : m_reader(std::string_view(data, size)) {}

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

int32_t CArchive::ReadInt() {
    return m_reader.Int32(EndOfData);
}

uint8_t CArchive::ReadByte() {
    return m_reader.Byte(EndOfData);
}

float CArchive::ReadFloat() {
    return m_reader.Float(EndOfData);
}

std::string CArchive::ReadString() {
    return std::string(ReadStringView());
}

std::string_view CArchive::ReadStringView() {
    return m_reader.String(EndOfData);
}

int32_t CArchive::ReadCount(std::size_t minRecordSize) {
    const int32_t count = ReadInt();
    if (count < 0) {
        BadFormat("negative count");
    }
    if (!m_reader.CanHold(static_cast<std::size_t>(count), minRecordSize)) {
        throw CArchiveException("count exceeds the data left");
    }
    return count;
}
