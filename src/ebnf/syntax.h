#pragma once

// EBNF in the W3C style, as written in language references:
//
//     Expr   ::= Term ( ( "+" | "-" ) Term )*
//     Factor ::= num @num | "(" Expr ")"
//
// A rule is `Name ::= expression`: alternatives with `|`, sequence by
// juxtaposition, `( )` for grouping, postfix `?`, `*` and `+`, `[ x ]` for
// `x?` and `{ x }` for `x*`, and `()` for the empty sequence. A symbol is a
// name or a quoted string ('...' or "...", with \', \" and \\ as escapes);
// `@name` or `@"text"` right after it is its action. Comments are /* ... */
// and // to the end of the line.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ebnf {

// Lines and columns count from 1; a column counts characters (UTF-8
// sequences), not bytes.
struct Position {
    int line = 1;
    int column = 1;

    friend bool operator==(const Position&, const Position&) = default;
};

// The first fault found in a grammar text, with where it is.
class SyntaxError : public std::runtime_error {
public:
    SyntaxError(Position pos, const std::string& message)
        : std::runtime_error(message), m_pos(pos) {}

    Position GetPosition() const { return m_pos; }
    // "FILE:LINE:COLUMN: error: MESSAGE", as compilers write it.
    std::string Describe(const std::string& file) const;

private:
    Position m_pos;
};

struct Expr {
    enum class Kind { Empty, Symbol, Sequence, Choice, Optional, Star, Plus };

    Kind kind = Kind::Empty;
    Position pos;
    // Symbol: its text, whether it was quoted (a string is always a token),
    // and its action with the leading "@", or "".
    std::string text;
    bool quoted = false;
    std::string action;
    // Sequence and Choice: two or more items; Optional, Star, Plus: one.
    std::vector<Expr> items;
};

struct Rule {
    std::string name;
    Position pos;
    Expr body;
};

// The rules in the order of the text. Throws SyntaxError.
std::vector<Rule> ParseGrammar(std::string_view text);

// Limits that keep a hostile text from exhausting the stack.
inline constexpr int kMaxNesting = 100;

// Whether text can be written as a bare name: a letter, '_' or a non-ASCII
// byte, then also digits, '-' and '.'.
bool IsName(std::string_view text);

}  // namespace ebnf
