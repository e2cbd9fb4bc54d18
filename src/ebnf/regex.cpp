#include "ebnf/regex.h"

#include <algorithm>

namespace ebnf::rx {

namespace {

using Kind = Node::Kind;

Ptr Make(Kind kind, std::vector<Ptr> items, int label = -1) {
    auto n = std::make_shared<Node>();
    n->kind = kind;
    n->label = label;
    n->items = std::move(items);
    n->symbols = kind == Kind::Symbol ? 1 : 0;
    for (const Ptr& item : n->items) {
        n->symbols = std::min(kCountLimit, n->symbols + item->symbols);
    }
    return n;
}

bool Is(const Ptr& e, Kind kind) {
    return e && e->kind == kind;
}

bool Nullable(const Ptr& e) {
    switch (e->kind) {
        case Kind::Empty:
        case Kind::Star:
        case Kind::Opt:
            return true;
        case Kind::Symbol:
            return false;
        case Kind::Plus:
            return Nullable(e->items.front());
        case Kind::Seq:
            return std::all_of(e->items.begin(), e->items.end(), Nullable);
        case Kind::Alt:
            return std::any_of(e->items.begin(), e->items.end(), Nullable);
    }
    return false;
}

// A sequence's items; nothing for the empty sequence; else e alone.
std::vector<Ptr> SeqItems(const Ptr& e) {
    if (Is(e, Kind::Seq)) {
        return e->items;
    }
    if (Is(e, Kind::Empty)) {
        return {};
    }
    return {e};
}

Ptr FromItems(std::vector<Ptr> items) {
    if (items.empty()) {
        return Epsilon();
    }
    if (items.size() == 1) {
        return items.front();
    }
    return Make(Kind::Seq, std::move(items));
}

bool RangeEquals(const std::vector<Ptr>& items, std::size_t at, const std::vector<Ptr>& body) {
    if (at + body.size() > items.size()) {
        return false;
    }
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (!Equal(items[at + i], body[i])) {
            return false;
        }
    }
    return true;
}

// x x* and x* x both become x+, where x may be a sequence.
bool MergeRepetition(std::vector<Ptr>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!Is(items[i], Kind::Star)) {
            continue;
        }
        const Ptr body = items[i]->items.front();
        const std::vector<Ptr> parts = SeqItems(body);
        const Ptr plus = Make(Kind::Plus, {body});
        if (i >= parts.size() && RangeEquals(items, i - parts.size(), parts)) {
            items.erase(items.begin() + static_cast<long>(i - parts.size()),
                        items.begin() + static_cast<long>(i + 1));
            items.insert(items.begin() + static_cast<long>(i - parts.size()), plus);
            return true;
        }
        if (RangeEquals(items, i + 1, parts)) {
            items.erase(items.begin() + static_cast<long>(i),
                        items.begin() + static_cast<long>(i + 1 + parts.size()));
            items.insert(items.begin() + static_cast<long>(i), plus);
            return true;
        }
    }
    return false;
}

// (p q)* p becomes p (q p)*, and (p q)? p becomes p (q p)?: a repetition
// or option that ends where the following items begin reads better as the
// items first, then the separator and the items again.
bool Rotate(std::vector<Ptr>& items) {
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        if (!Is(items[i], Kind::Star) && !Is(items[i], Kind::Opt)) {
            continue;
        }
        const std::vector<Ptr> body = SeqItems(items[i]->items.front());
        for (std::size_t k = body.size() - 1; k >= 1; --k) {
            const std::vector<Ptr> p(body.begin(), body.begin() + static_cast<long>(k));
            if (!RangeEquals(items, i + 1, p)) {
                continue;
            }
            std::vector<Ptr> rotated(body.begin() + static_cast<long>(k), body.end());
            rotated.insert(rotated.end(), p.begin(), p.end());
            const Ptr inner = FromItems(std::move(rotated));
            const Ptr wrapped =
                Is(items[i], Kind::Star) ? Make(Kind::Star, {inner}) : Make(Kind::Opt, {inner});
            items.erase(items.begin() + static_cast<long>(i),
                        items.begin() + static_cast<long>(i + 1 + k));
            items.insert(items.begin() + static_cast<long>(i), p.begin(), p.end());
            items.insert(items.begin() + static_cast<long>(i + k), wrapped);
            return true;
        }
    }
    return false;
}

// The first symbol an expression writes, for ordering alternatives.
int FirstLabel(const Ptr& e) {
    if (e->kind == Kind::Symbol) {
        return e->label;
    }
    return e->items.empty() ? -1 : FirstLabel(e->items.front());
}

Ptr Opt(const Ptr& e) {
    if (Is(e, Kind::Plus)) {
        return Star(e->items.front());
    }
    return Nullable(e) ? e : Make(Kind::Opt, {e});
}

Ptr AltOf(const std::vector<Ptr>& items) {
    Ptr out;
    for (const Ptr& item : items) {
        out = Alt(out, item);
    }
    return out;
}

std::size_t Symbols(const Ptr& e) {
    return e->symbols;
}

// Whether e is a sequence of several items: an alternative that reads on
// its own.
bool Long(const Ptr& e) {
    return Is(e, Kind::Seq);
}

// Whether ( p | q ) x, with p and q long and x one symbol, should rather be
// p x | q x: as many symbols and no brackets. Factor and Seq decide by it
// in opposite directions, so neither undoes the other.
bool BetterApart(const std::vector<Ptr>& alternatives, const std::vector<Ptr>& common) {
    std::size_t symbols = 0;
    for (const Ptr& e : common) {
        symbols += Symbols(e);
    }
    return alternatives.size() == 2 && symbols == 1 &&
           std::all_of(alternatives.begin(), alternatives.end(), Long);
}

// Alternatives that begin (or, with fromEnd, end) with the same items
// become one: a b | a c d is a ( b | c d ), a | b a | c a is ( b | c )? a,
// unless BetterApart. Returns whether anything was factored.
bool Factor(std::vector<Ptr>& items, bool fromEnd) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::vector<Ptr> first = SeqItems(items[i]);
        if (fromEnd) {
            std::reverse(first.begin(), first.end());
        }
        // Each other alternative that shares the first item, and how many
        // items all of them share.
        std::vector<std::size_t> group{i};
        std::size_t shared = first.size();
        for (std::size_t j = i + 1; j < items.size() && !first.empty(); ++j) {
            std::vector<Ptr> other = SeqItems(items[j]);
            if (fromEnd) {
                std::reverse(other.begin(), other.end());
            }
            std::size_t n = 0;
            while (n < std::min(shared, other.size()) && Equal(other[n], first[n])) {
                ++n;
            }
            if (n > 0) {
                group.push_back(j);
                shared = n;
            }
        }
        if (group.size() < 2) {
            continue;
        }
        std::vector<Ptr> common(first.begin(), first.begin() + static_cast<long>(shared));
        std::vector<Ptr> rests;
        for (std::size_t j : group) {
            std::vector<Ptr> seq = SeqItems(items[j]);
            if (fromEnd) {
                seq.erase(seq.end() - static_cast<long>(shared), seq.end());
            } else {
                seq.erase(seq.begin(), seq.begin() + static_cast<long>(shared));
            }
            rests.push_back(FromItems(std::move(seq)));
        }
        if (BetterApart(rests, common)) {
            continue;
        }
        if (fromEnd) {
            std::reverse(common.begin(), common.end());
        }
        std::vector<Ptr> parts{AltOf(rests)};
        parts.insert(fromEnd ? parts.end() : parts.begin(), common.begin(), common.end());
        const Ptr merged = Seq(std::move(parts));
        for (auto it = group.rbegin(); it != group.rend(); ++it) {
            items.erase(items.begin() + static_cast<long>(*it));
        }
        items.insert(items.begin() + static_cast<long>(i), merged);
        return true;
    }
    return false;
}

}  // namespace

bool Equal(const Ptr& a, const Ptr& b) {
    if (!a || !b) {
        return !a && !b;
    }
    if (a == b) {
        return true;
    }
    if (a->kind != b->kind || a->label != b->label || a->symbols != b->symbols ||
        a->items.size() != b->items.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a->items.size(); ++i) {
        if (!Equal(a->items[i], b->items[i])) {
            return false;
        }
    }
    return true;
}

Ptr Epsilon() {
    static const Ptr empty = Make(Kind::Empty, {});
    return empty;
}

Ptr Symbol(int label) {
    return Make(Kind::Symbol, {}, label);
}

Ptr Seq(std::vector<Ptr> items) {
    std::vector<Ptr> flat;
    for (const Ptr& item : items) {
        if (!item) {
            return nullptr;
        }
        const std::vector<Ptr> parts = SeqItems(item);
        flat.insert(flat.end(), parts.begin(), parts.end());
    }
    while (MergeRepetition(flat) || Rotate(flat)) {
    }
    if (flat.size() == 2) {
        const bool altFirst = Is(flat[0], Kind::Alt);
        const Ptr& alt = altFirst ? flat[0] : flat[1];
        const Ptr& other = altFirst ? flat[1] : flat[0];
        if (Is(alt, Kind::Alt) && BetterApart(alt->items, {other})) {
            Ptr out;
            for (const Ptr& item : alt->items) {
                out = Alt(out, altFirst ? Seq({item, other}) : Seq({other, item}));
            }
            return out;
        }
    }
    return FromItems(std::move(flat));
}

Ptr Star(const Ptr& e) {
    if (!e || Is(e, Kind::Empty)) {
        return Epsilon();
    }
    if (Is(e, Kind::Star)) {
        return e;
    }
    if (Is(e, Kind::Plus) || Is(e, Kind::Opt)) {
        return Star(e->items.front());
    }
    // (a? | b)* and (a? b*)* are both (a | b)*.
    const bool seq = Is(e, Kind::Seq) && Nullable(e);
    if (Is(e, Kind::Alt) || seq) {
        std::vector<Ptr> parts;
        for (const Ptr& item : e->items) {
            const bool repeatable = Is(item, Kind::Opt) || Is(item, Kind::Star);
            parts.push_back(repeatable ? item->items.front() : item);
        }
        const Ptr inner = AltOf(parts);
        if (!Equal(inner, e)) {
            return Star(inner);
        }
    }
    return Make(Kind::Star, {e});
}

namespace {

// a | b where the two begin or end with the same items, each taken whole
// (an alternative among them too): p x q | p y q is p ( x | y ) q. Done
// before the alternatives are flattened, where ( x | y ) z | z still shows
// its z. Nothing when they share nothing, or BetterApart says no.
Ptr FactorPair(const Ptr& a, const Ptr& b) {
    const std::vector<Ptr> x = SeqItems(a), y = SeqItems(b);
    std::size_t prefix = 0, suffix = 0;
    while (prefix < std::min(x.size(), y.size()) && Equal(x[prefix], y[prefix])) {
        ++prefix;
    }
    while (suffix < std::min(x.size(), y.size()) - prefix &&
           Equal(x[x.size() - 1 - suffix], y[y.size() - 1 - suffix])) {
        ++suffix;
    }
    if (prefix + suffix == 0) {
        return nullptr;
    }
    auto middle = [&](const std::vector<Ptr>& v) {
        return FromItems(std::vector<Ptr>(v.begin() + static_cast<long>(prefix),
                                          v.end() - static_cast<long>(suffix)));
    };
    std::vector<Ptr> common(x.begin(), x.begin() + static_cast<long>(prefix));
    common.insert(common.end(), x.end() - static_cast<long>(suffix), x.end());
    const std::vector<Ptr> rests{middle(x), middle(y)};
    if (BetterApart(rests, common)) {
        return nullptr;
    }
    std::vector<Ptr> parts(x.begin(), x.begin() + static_cast<long>(prefix));
    parts.push_back(Alt(rests[0], rests[1]));
    parts.insert(parts.end(), x.end() - static_cast<long>(suffix), x.end());
    return Seq(std::move(parts));
}

}  // namespace

Ptr Alt(const Ptr& a, const Ptr& b) {
    if (!a || !b) {
        return a ? a : b;
    }
    if (!Equal(a, b)) {
        if (const Ptr factored = FactorPair(a, b)) {
            return factored;
        }
    }
    std::vector<Ptr> items;
    bool empty = false;
    // Alternatives of alternatives are alternatives; x? among them is x,
    // with the empty sequence.
    std::function<void(const Ptr&)> take = [&](const Ptr& item) {
        if (Is(item, Kind::Alt)) {
            for (const Ptr& inner : item->items) {
                take(inner);
            }
        } else if (Is(item, Kind::Opt) || Is(item, Kind::Empty)) {
            empty = true;
            if (Is(item, Kind::Opt)) {
                take(item->items.front());
            }
        } else if (std::none_of(items.begin(), items.end(),
                                [&](const Ptr& x) { return Equal(x, item); })) {
            items.push_back(item);
        }
    };
    take(a);
    take(b);
    // x | x* is x*, and x | x+ is x+.
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (std::size_t j = 0; j < items.size(); ++j) {
            if (i != j && (Is(items[j], Kind::Star) || Is(items[j], Kind::Plus)) &&
                Equal(items[i], items[j]->items.front())) {
                items.erase(items.begin() + static_cast<long>(i));
                i = static_cast<std::size_t>(-1);
                break;
            }
        }
    }
    while (Factor(items, false) || Factor(items, true)) {
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const Ptr& x, const Ptr& y) { return FirstLabel(x) < FirstLabel(y); });
    Ptr out = Epsilon();
    if (items.size() == 1) {
        out = items.front();
    } else if (items.size() > 1) {
        out = Make(Kind::Alt, std::move(items));
    }
    return empty ? Opt(out) : out;
}

}  // namespace ebnf::rx
