// Recursive descent over the tokens. A rule's expression ends where a name
// followed by "::=" begins the next rule.

#include <map>

#include "ebnf/lexer.h"
#include "ebnf/syntax.h"

namespace ebnf {

namespace {

std::string Where(Position pos) {
    return std::to_string(pos.line) + ":" + std::to_string(pos.column);
}

char Closer(char open) {
    return open == '(' ? ')' : open == '[' ? ']' : '}';
}

Expr Wrap(Expr::Kind kind, Expr inner, Position pos) {
    Expr e;
    e.kind = kind;
    e.pos = pos;
    e.items.push_back(std::move(inner));
    return e;
}

// One postfix operator on an expression that may already carry one: any two
// of ? * + make a single one, so stacked operators never nest.
Expr ApplyPostfix(Expr inner, char op, Position pos) {
    using K = Expr::Kind;
    const K kind = op == '?' ? K::Optional : op == '*' ? K::Star : K::Plus;
    if (inner.kind == K::Optional || inner.kind == K::Star || inner.kind == K::Plus) {
        if (inner.kind != kind) {
            inner.kind = K::Star;
        }
        return inner;
    }
    return Wrap(kind, std::move(inner), pos);
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}

    std::vector<Rule> Run() {
        std::vector<Rule> rules;
        std::map<std::string, Position> defined;
        while (Peek().kind != Token::Kind::End) {
            const Token& name = Peek();
            if (name.kind != Token::Kind::Name) {
                throw SyntaxError(name.pos, "expected a rule name, found " + Describe(name));
            }
            Next();
            if (Peek().kind != Token::Kind::Define) {
                throw SyntaxError(Peek().pos, "expected '::=' after '" + name.text + "', found " +
                                                  Describe(Peek()));
            }
            const Position define = Next().pos;
            const auto [it, added] = defined.emplace(name.text, name.pos);
            if (!added) {
                throw SyntaxError(name.pos, "rule '" + name.text + "' is already defined at " +
                                                Where(it->second));
            }
            Rule rule;
            rule.name = name.text;
            rule.pos = name.pos;
            rule.body = Choice(define, 0);
            if (Peek().kind == Token::Kind::Close) {
                throw SyntaxError(Peek().pos, "unmatched '" + Peek().text + "'");
            }
            rules.push_back(std::move(rule));
        }
        if (rules.empty()) {
            throw SyntaxError(Peek().pos, "no rules: a grammar has at least one");
        }
        return rules;
    }

private:
    const Token& Peek(std::size_t ahead = 0) const {
        const std::size_t at = m_at + ahead;
        return m_tokens[at < m_tokens.size() ? at : m_tokens.size() - 1];
    }
    const Token& Next() {
        const Token& t = Peek();
        if (m_at + 1 < m_tokens.size()) {
            ++m_at;
        }
        return t;
    }

    static std::string Describe(const Token& t) {
        switch (t.kind) {
            case Token::Kind::Name:
                return "'" + t.text + "'";
            case Token::Kind::String:
                return "a string";
            case Token::Kind::Action:
                return "the action '" + t.text + "'";
            case Token::Kind::Define:
                return "'::='";
            case Token::Kind::Bar:
                return "'|'";
            case Token::Kind::End:
                return "the end of the text";
            default:
                return "'" + t.text + "'";
        }
    }

    // Where a sequence stops: an alternative, a closing bracket, the end, or
    // the next rule.
    bool AtSequenceEnd() const {
        const Token& t = Peek();
        return t.kind == Token::Kind::Bar || t.kind == Token::Kind::Close ||
               t.kind == Token::Kind::End ||
               (t.kind == Token::Kind::Name && Peek(1).kind == Token::Kind::Define);
    }

    // Alternatives. An empty one is reported at the token before it (the
    // "::=", the bracket or the "|"), here `at`.
    Expr Choice(Position at, int depth) {
        Expr choice;
        choice.kind = Expr::Kind::Choice;
        choice.pos = Peek().pos;
        for (;;) {
            if (AtSequenceEnd()) {
                throw SyntaxError(at, "empty alternative; write () for an empty sequence");
            }
            choice.items.push_back(Sequence(depth));
            if (Peek().kind != Token::Kind::Bar) {
                break;
            }
            at = Next().pos;
        }
        if (choice.items.size() == 1) {
            return std::move(choice.items.front());
        }
        return choice;
    }

    Expr Sequence(int depth) {
        Expr seq;
        seq.kind = Expr::Kind::Sequence;
        seq.pos = Peek().pos;
        while (!AtSequenceEnd()) {
            seq.items.push_back(Item(depth));
        }
        if (seq.items.size() == 1) {
            return std::move(seq.items.front());
        }
        return seq;
    }

    Expr Item(int depth) {
        Expr e = Primary(depth);
        while (Peek().kind == Token::Kind::Postfix) {
            const Token& op = Next();
            e = ApplyPostfix(std::move(e), op.text[0], op.pos);
        }
        if (Peek().kind == Token::Kind::Action) {
            throw SyntaxError(Peek().pos, "an action follows a name or a string directly");
        }
        return e;
    }

    Expr Primary(int depth) {
        const Token& t = Next();
        switch (t.kind) {
            case Token::Kind::Name:
            case Token::Kind::String: {
                Expr e;
                e.kind = Expr::Kind::Symbol;
                e.pos = t.pos;
                e.text = t.text;
                e.quoted = t.kind == Token::Kind::String;
                if (Peek().kind == Token::Kind::Action) {
                    e.action = Next().text;
                }
                return e;
            }
            case Token::Kind::Open:
                return Bracket(t, depth + 1);
            case Token::Kind::Postfix:
                throw SyntaxError(t.pos, "'" + t.text + "' follows nothing it could repeat");
            case Token::Kind::Action:
                throw SyntaxError(t.pos, "an action follows a name or a string directly");
            default:
                throw SyntaxError(t.pos, "unexpected " + Describe(t));
        }
    }

    Expr Bracket(const Token& open, int depth) {
        if (depth > kMaxNesting) {
            throw SyntaxError(open.pos,
                              "brackets nested more than " + std::to_string(kMaxNesting) + " deep");
        }
        const char close = Closer(open.text[0]);
        Expr inner;
        inner.pos = open.pos;
        if (open.text[0] == '(' && Peek().kind == Token::Kind::Close && Peek().text[0] == ')') {
            inner.kind = Expr::Kind::Empty;  // (): the empty sequence
        } else {
            inner = Choice(open.pos, depth);
        }
        const Token& end = Peek();
        if (end.kind != Token::Kind::Close) {
            throw SyntaxError(open.pos, "'" + open.text + "' is not closed");
        }
        if (end.text[0] != close) {
            throw SyntaxError(end.pos, std::string("expected '") + close + "' to close the '" +
                                           open.text + "' at " + Where(open.pos) + ", found '" +
                                           end.text + "'");
        }
        Next();
        switch (open.text[0]) {
            case '[':
                return ApplyPostfix(std::move(inner), '?', open.pos);
            case '{':
                return ApplyPostfix(std::move(inner), '*', open.pos);
            default:
                return inner;
        }
    }

    std::vector<Token> m_tokens;
    std::size_t m_at = 0;
};

}  // namespace

std::string SyntaxError::Describe(const std::string& file) const {
    return file + ":" + Where(m_pos) + ": error: " + what();
}

std::vector<Rule> ParseGrammar(std::string_view text) {
    return Parser(Tokenize(text)).Run();
}

}  // namespace ebnf
