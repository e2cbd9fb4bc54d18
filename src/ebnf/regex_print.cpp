// Writing expressions: brackets only where precedence needs them.

#include "ebnf/regex.h"

namespace ebnf::rx {

std::vector<Ptr> Alternatives(const Ptr& e) {
    return e->kind == Node::Kind::Alt ? e->items : std::vector<Ptr>{e};
}

std::string Print(const Ptr& e, const std::function<std::string(int)>& symbol) {
    // Precedence: alternatives bind loosest, then sequences, then postfix.
    using Kind = Node::Kind;
    std::function<std::string(const Ptr&, int)> print = [&](const Ptr& n, int level) {
        auto group = [&](const std::string& text, int own) {
            return own < level ? "( " + text + " )" : text;
        };
        std::string out;
        switch (n->kind) {
            case Kind::Empty:
                return std::string("()");
            case Kind::Symbol:
                return symbol(n->label);
            case Kind::Alt:
                for (const Ptr& item : n->items) {
                    out += (out.empty() ? "" : " | ") + print(item, 1);
                }
                return group(out, 0);
            case Kind::Seq:
                for (const Ptr& item : n->items) {
                    out += (out.empty() ? "" : " ") + print(item, 2);
                }
                return group(out, 1);
            case Kind::Star:
            case Kind::Plus:
            case Kind::Opt: {
                const char op = n->kind == Kind::Star ? '*' : n->kind == Kind::Plus ? '+' : '?';
                return group(print(n->items.front(), 3) + op, 2);
            }
        }
        return out;
    };
    return print(e, 0);
}

}  // namespace ebnf::rx
