#include "runtime/parse_table.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "runtime/internal/table_builder.h"

namespace lumo {

ParseTable::ParseTable(std::shared_ptr<const internal::TableData> data) : m_data(std::move(data)) {}

ParseTable ParseTable::FromBytes(std::string_view bytes, std::size_t maxDirectCells) {
    auto data = std::make_shared<internal::TableData>();
    internal::TableBuilder builder(*data);
    builder.Read(bytes);
    builder.Resolve();
    builder.CheckNodes();
    builder.CheckLeftRecursion();
    builder.ComputeFirstTokens();
    builder.CheckFirstTokenConflicts();
    builder.BuildDispatch(maxDirectCells);
    return ParseTable(std::move(data));
}

ParseTable ParseTable::FromFile(const std::string& path, std::size_t maxDirectCells) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        throw TableError(path + ": " + std::strerror(errno));
    }
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, n);
    }
    if (std::ferror(file.get())) {
        throw TableError(path + ": " + std::strerror(errno));
    }
    try {
        return FromBytes(bytes, maxDirectCells);
    } catch (const TableError& e) {
        throw TableError(path + ": " + e.what());
    }
}

TokenId ParseTable::FindToken(std::string_view text) const {
    const auto found = m_data->tokenIds.find(text);
    return found == m_data->tokenIds.end() ? kUnknownToken : found->second;
}

std::size_t ParseTable::TokenCount() const {
    return m_data->tokens.size();
}

const std::string& ParseTable::TokenText(TokenId id) const {
    return m_data->tokens[id];
}

std::string ParseTable::DescribeToken(TokenId id) const {
    if (id == kEndOfInput) {
        return "end of input";
    }
    if (id >= m_data->tokens.size()) {
        return "an unknown token";
    }
    return internal::Quoted(m_data->tokens[id]);
}

int ParseTable::GraphCount() const {
    return static_cast<int>(m_data->graphs.size());
}

const std::string& ParseTable::GraphName(int graph) const {
    return m_data->graphs[static_cast<std::size_t>(graph)].name;
}

int ParseTable::FindGraph(std::string_view name) const {
    const auto found = m_data->graphIds.find(name);
    return found == m_data->graphIds.end() ? -1 : static_cast<int>(found->second);
}

std::span<const TokenId> ParseTable::FirstTokens(int graph) const {
    return m_data->FirstTokens(static_cast<std::uint32_t>(graph));
}

bool ParseTable::IsOptional(int graph) const {
    return m_data->Optional(static_cast<std::uint32_t>(graph));
}

bool ParseTable::StartsWith(int graph, TokenId token) const {
    return m_data->StartsWith(static_cast<std::uint32_t>(graph), token);
}

bool ParseTable::IsDirect() const {
    return m_data->direct;
}

}  // namespace lumo
