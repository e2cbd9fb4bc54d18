#pragma once

// Regular expressions over edge labels, as state elimination builds them.
// The constructors simplify as they go, so that what comes out reads like
// a rule a person would write: nested repetitions merged, x x* written x+,
// an alternative with the empty sequence written as an option, and
// alternatives that begin or end alike factored.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ebnf::rx {

struct Node;
// nullptr stands for no expression at all: the empty language.
using Ptr = std::shared_ptr<const Node>;

struct Node {
    enum class Kind { Empty, Symbol, Seq, Alt, Star, Plus, Opt };

    Kind kind = Kind::Empty;
    int label = -1;           // Symbol
    std::vector<Ptr> items;   // Seq, Alt: two or more; Star, Plus, Opt: one
    std::size_t symbols = 0;  // how many symbols it writes, at most kCountLimit
};

inline constexpr std::size_t kCountLimit = 1 << 30;

bool Equal(const Ptr& a, const Ptr& b);

Ptr Epsilon();
Ptr Symbol(int label);
Ptr Seq(std::vector<Ptr> items);
Ptr Alt(const Ptr& a, const Ptr& b);
Ptr Star(const Ptr& a);

// One line of text: alternatives joined with " | ", a sequence with " ",
// brackets only where precedence needs them. symbol(label) writes a label.
std::string Print(const Ptr& e, const std::function<std::string(int)>& symbol);

// The top-level alternatives of e (e itself if it is no alternative).
std::vector<Ptr> Alternatives(const Ptr& e);

}  // namespace ebnf::rx
