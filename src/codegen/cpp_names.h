#pragma once

// C++ spellings of a grammar's texts: identifiers for tokens, actions and
// graphs, and string literals that hold any bytes.

#include <string>
#include <string_view>
#include <unordered_set>

namespace codegen {

// An identifier that reads like text: letters, digits and underscores are
// kept, other characters spelled out ("+=" gives "plus_equals", "(" gives
// "lparen"), and a keyword or a name the standard headers define as a macro
// gets a trailing underscore. Text that would start with a digit, or that
// spells nothing, gets prefix before it. Long texts are cut short.
std::string Identifier(std::string_view text, std::string_view prefix);

// Hands out identifiers, each once: a name already given gets "_2", "_3"...
class NameSet {
public:
    std::string Unique(const std::string& name);
    // Takes name out of the running, for names the code uses itself.
    void Reserve(const std::string& name) { m_used.insert(name); }

private:
    std::unordered_set<std::string> m_used;
};

// A string literal of text, quotes included, with every byte that is not
// printable ASCII (and the quote and backslash) escaped, so the source
// holds plain ASCII whatever the grammar's bytes.
std::string CppString(std::string_view text);

// Whether text is a C++ identifier that may name a namespace: not a
// keyword, not reserved, not a standard macro.
bool IsNamespaceName(std::string_view text);
// Whether text is one or more namespace names joined by "::".
bool IsQualifiedNamespace(std::string_view text);

}  // namespace codegen
