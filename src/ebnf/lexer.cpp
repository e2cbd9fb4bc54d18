#include "ebnf/lexer.h"

#include <cstdio>

namespace ebnf {

namespace {

bool IsNameStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}

bool IsNamePart(unsigned char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// A character as a message shows it: itself when printable, else its code.
std::string Shown(unsigned char c) {
    if (c >= 0x21 && c < 0x7F) {
        return std::string("'") + static_cast<char>(c) + "'";
    }
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", c);
    return code;
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : m_text(text) {}

    std::vector<Token> Run() {
        std::vector<Token> tokens;
        for (;;) {
            SkipSpaceAndComments();
            Token token;
            token.pos = m_pos;
            if (m_at >= m_text.size()) {
                tokens.push_back(token);
                return tokens;
            }
            const auto c = static_cast<unsigned char>(m_text[m_at]);
            if (IsNameStart(c)) {
                token.kind = Token::Kind::Name;
                token.text = Name();
            } else if (c == '"' || c == '\'') {
                token.kind = Token::Kind::String;
                token.text = String();
            } else if (c == '@') {
                token.kind = Token::Kind::Action;
                token.text = Action();
            } else if (m_text.substr(m_at, 3) == "::=") {
                token.kind = Token::Kind::Define;
                Advance(3);
            } else {
                token.kind = Punctuation(c);
                token.text = std::string(1, static_cast<char>(c));
                Advance(1);
            }
            tokens.push_back(std::move(token));
        }
    }

private:
    Token::Kind Punctuation(unsigned char c) const {
        switch (c) {
            case '|':
                return Token::Kind::Bar;
            case '(':
            case '[':
            case '{':
                return Token::Kind::Open;
            case ')':
            case ']':
            case '}':
                return Token::Kind::Close;
            case '?':
            case '*':
            case '+':
                return Token::Kind::Postfix;
            default:
                throw SyntaxError(m_pos, "unknown character " + Shown(c));
        }
    }

    // Moves on by n bytes, counting lines and characters.
    void Advance(std::size_t n) {
        for (; n > 0 && m_at < m_text.size(); --n, ++m_at) {
            const auto c = static_cast<unsigned char>(m_text[m_at]);
            if (c == '\n') {
                ++m_pos.line;
                m_pos.column = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++m_pos.column;
            }
        }
    }

    bool At(std::string_view s) const { return m_text.substr(m_at, s.size()) == s; }

    void SkipSpaceAndComments() {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                Advance(1);
            } else if (At("//")) {
                while (m_at < m_text.size() && m_text[m_at] != '\n') {
                    Advance(1);
                }
            } else if (At("/*")) {
                const Position start = m_pos;
                Advance(2);
                while (!At("*/")) {
                    if (m_at >= m_text.size()) {
                        throw SyntaxError(start, "unterminated comment");
                    }
                    Advance(1);
                }
                Advance(2);
            } else {
                return;
            }
        }
    }

    std::string Name() {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && IsNamePart(static_cast<unsigned char>(m_text[m_at]))) {
            Advance(1);
        }
        return std::string(m_text.substr(start, m_at - start));
    }

    std::string String() {
        const Position start = m_pos;
        const char quote = m_text[m_at];
        Advance(1);
        std::string value;
        for (;;) {
            if (m_at >= m_text.size() || m_text[m_at] == '\n' || m_text[m_at] == '\r') {
                throw SyntaxError(start, "unterminated string");
            }
            const char c = m_text[m_at];
            if (c == quote) {
                Advance(1);
                break;
            }
            if (c == '\\') {
                const Position escape = m_pos;
                Advance(1);
                const char e = m_at < m_text.size() ? m_text[m_at] : '\0';
                if (e != '"' && e != '\'' && e != '\\') {
                    throw SyntaxError(escape,
                                      "unknown escape in a string: only \\\", \\' and "
                                      "\\\\ are escapes");
                }
                value += e;
            } else {
                value += c;
            }
            Advance(1);
        }
        if (value.empty()) {
            throw SyntaxError(start, "empty string: a token has at least one character");
        }
        return value;
    }

    std::string Action() {
        const Position start = m_pos;
        Advance(1);
        if (m_at < m_text.size() && (m_text[m_at] == '"' || m_text[m_at] == '\'')) {
            return "@" + String();
        }
        const std::string name = Name();
        if (name.empty()) {
            throw SyntaxError(start, "expected an action name or a string after '@'");
        }
        return "@" + name;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    Position m_pos;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view text) {
    return Lexer(text).Run();
}

bool IsName(std::string_view text) {
    if (text.empty() || !IsNameStart(static_cast<unsigned char>(text.front()))) {
        return false;
    }
    for (const char c : text) {
        if (!IsNamePart(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace ebnf
