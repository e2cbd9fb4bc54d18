#include "runtime/cli/token_reader.h"

#include <algorithm>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

TokenizedInput::TokenizedInput(std::string text, bool words, const lumo::ParseTable& table)
    : m_text(std::move(text)), m_words(words) {
    const std::string_view all(m_text);
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t begin = pos;
        std::size_t end = pos;
        if (m_words) {
            while (begin < all.size() && IsSpace(all[begin])) {
                ++begin;
            }
            end = begin;
            while (end < all.size() && !IsSpace(all[end])) {
                ++end;
            }
            pos = end;
        } else {
            const std::size_t newline = all.find('\n', begin);
            end = newline == std::string_view::npos ? all.size() : newline;
            pos = newline == std::string_view::npos ? all.size() : newline + 1;
            if (end > begin && all[end - 1] == '\r') {
                --end;
            }
        }
        if (end > begin) {
            m_tokens.push_back(table.FindToken(all.substr(begin, end - begin)));
            m_offsets.push_back(begin);
        }
    }
}

std::string_view TokenizedInput::Text(std::size_t index) const {
    if (index >= m_offsets.size()) {
        return {};
    }
    const std::string_view rest = std::string_view(m_text).substr(m_offsets[index]);
    if (m_words) {
        return rest.substr(0, static_cast<std::size_t>(
                                  std::find_if(rest.begin(), rest.end(), IsSpace) - rest.begin()));
    }
    std::string_view line = rest.substr(0, rest.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

std::string TokenizedInput::Position(std::size_t index) const {
    const std::size_t offset = index < m_offsets.size() ? m_offsets[index] : m_text.size();
    const auto before = std::string_view(m_text).substr(0, offset);
    const std::size_t line =
        1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column =
        lineStart == std::string_view::npos ? offset + 1 : offset - lineStart;
    return std::to_string(line) + ":" + std::to_string(column);
}
