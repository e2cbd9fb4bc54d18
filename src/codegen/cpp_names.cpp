#include "codegen/cpp_names.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

namespace codegen {

namespace {

// Keywords and alternative tokens, which no identifier may be, and macros
// of the C and C++ standard libraries (and of GNU modes) that a token might
// well be named after, which would break the code where they are defined.
constexpr std::string_view kTaken[] = {
    "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break",
    "case", "catch", "char", "char8_t", "char16_t", "char32_t", "class", "compl", "concept",
    "const", "consteval", "constexpr", "constinit", "const_cast", "continue", "co_await",
    "co_return", "co_yield", "decltype", "default", "delete", "do", "double", "dynamic_cast",
    "else", "enum", "explicit", "export", "extern", "false", "float", "for", "friend", "goto", "if",
    "inline", "int", "long", "mutable", "namespace", "new", "noexcept", "not", "not_eq", "nullptr",
    "operator", "or", "or_eq", "private", "protected", "public", "register", "reinterpret_cast",
    "requires", "return", "short", "signed", "sizeof", "static", "static_assert", "static_cast",
    "struct", "switch", "template", "this", "thread_local", "throw", "true", "try", "typedef",
    "typeid", "typename", "union", "unsigned", "using", "virtual", "void", "volatile", "wchar_t",
    "while", "xor", "xor_eq",
    // Macros.
    "EOF", "NULL", "BUFSIZ", "EXIT_SUCCESS", "EXIT_FAILURE", "RAND_MAX", "CHAR_BIT", "INT_MAX",
    "INT_MIN", "SIZE_MAX", "INFINITY", "NAN", "assert", "errno", "stdin", "stdout", "stderr",
    "offsetof", "unix", "linux", "major", "minor"};

bool IsTaken(std::string_view name) {
    return std::find(std::begin(kTaken), std::end(kTaken), name) != std::end(kTaken);
}

// Reserved for the implementation everywhere.
bool IsReserved(std::string_view name) {
    return name.find("__") != std::string_view::npos ||
           (name.size() > 1 && name[0] == '_' && name[1] >= 'A' && name[1] <= 'Z');
}

bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Words for punctuation, as a reader would say it.
constexpr std::pair<char, std::string_view> kWords[] = {
    {'+', "plus"},     {'-', "minus"},     {'*', "star"},       {'/', "slash"},
    {'%', "percent"},  {'=', "equals"},    {'<', "less"},       {'>', "greater"},
    {'!', "bang"},     {'?', "question"},  {'&', "amp"},        {'|', "bar"},
    {'^', "caret"},    {'~', "tilde"},     {'(', "lparen"},     {')', "rparen"},
    {'[', "lbracket"}, {']', "rbracket"},  {'{', "lbrace"},     {'}', "rbrace"},
    {',', "comma"},    {';', "semicolon"}, {':', "colon"},      {'.', "dot"},
    {'@', "at"},       {'#', "hash"},      {'$', "dollar"},     {'\'', "quote"},
    {'"', "dquote"},   {'`', "backquote"}, {'\\', "backslash"}, {' ', "space"},
    {'\t', "tab"},     {'\n', "newline"}};

std::string_view SpelledOut(char c) {
    for (const auto& [punctuation, word] : kWords) {
        if (punctuation == c) {
            return word;
        }
    }
    return {};
}

constexpr std::size_t kMaxIdentifier = 40;

}  // namespace

std::string Identifier(std::string_view text, std::string_view prefix) {
    std::string out;
    // Words spelled out for punctuation are set apart by underscores; runs
    // of underscores are kept to one, since two would be reserved.
    auto separate = [&out] {
        if (!out.empty() && out.back() != '_') {
            out += '_';
        }
    };
    for (const char c : text) {
        if (out.size() >= kMaxIdentifier) {
            break;
        }
        if (IsAlpha(c) || IsDigit(c)) {
            if (c != '_' || out.empty() || out.back() != '_') {
                out += c;
            }
        } else if (const std::string_view word = SpelledOut(c); !word.empty()) {
            separate();
            out += word;
            out += '_';
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "x%02x", static_cast<unsigned char>(c));
            separate();
            out += hex;
            out += '_';
        }
    }
    while (!out.empty() && out.back() == '_') {
        out.pop_back();
    }
    while (!out.empty() && out.front() == '_') {
        out.erase(0, 1);
    }
    if (out.empty() || IsDigit(out[0])) {
        out = std::string(prefix) + out;
    }
    if (IsTaken(out)) {
        out += '_';
    }
    return out;
}

std::string NameSet::Unique(const std::string& name) {
    std::string candidate = name;
    for (int n = 2; !m_used.insert(candidate).second; ++n) {
        candidate = name + "_" + std::to_string(n);
    }
    return candidate;
}

std::string CppString(std::string_view text) {
    std::string out = "\"";
    char previous = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte < 0x7F && !(c == '?' && previous == '?')) {
            out += c;
        } else {
            // Three octal digits always, so that a digit after it cannot
            // join the escape; also a second "?", which older modes would
            // read as the start of a trigraph.
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", byte);
            out += octal;
        }
        previous = c;
    }
    out += '"';
    return out;
}

bool IsNamespaceName(std::string_view text) {
    if (text.empty() || !IsAlpha(text[0]) || IsTaken(text) || IsReserved(text) || text == "std" ||
        text == "posix") {
        return false;
    }
    return std::all_of(text.begin(), text.end(), [](char c) { return IsAlpha(c) || IsDigit(c); });
}

bool IsQualifiedNamespace(std::string_view text) {
    for (;;) {
        const std::size_t sep = text.find("::");
        if (!IsNamespaceName(text.substr(0, sep))) {
            return false;
        }
        if (sep == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(sep + 2);
    }
}

}  // namespace codegen
