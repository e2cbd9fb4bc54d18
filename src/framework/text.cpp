#include "framework/text.h"

#include <algorithm>
#include <array>

#include "framework/upper_case_table.h"

namespace {

// Windows-1252 at 0x80..0x9F; the rest is Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t FromCp1252(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b;
}

// The Windows-1252 byte of c, or -1 when it has none.
int ToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    const auto it = std::find(kCp1252High.begin(), kCp1252High.end(), c);
    return it == kCp1252High.end() ? -1 : 0x80 + static_cast<int>(it - kCp1252High.begin());
}

// Decodes the sequence at s[i]: its length, or 0 when it is not UTF-8
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t Utf8Sequence(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t n = b < 0x80           ? 1
                          : (b >> 5) == 0x6  ? 2
                          : (b >> 4) == 0xE  ? 3
                          : (b >> 3) == 0x1E ? 4
                                             : 0;
    if (n == 0 || i + n > s.size()) {
        return 0;
    }
    cp = n == 1 ? b : b & (0x7Fu >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c >> 6) != 2) {
            return 0;
        }
        cp = (cp << 6) | (c & 0x3Fu);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return n;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    char32_t cp = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8Sequence(bytes, i, cp);
        if (n == 0) {
            return false;
        }
        i += n;
    }
    return true;
}

std::u32string DecodeText(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    if (IsValidUtf8(bytes)) {
        char32_t cp = 0;
        for (std::size_t i = 0; i < bytes.size(); i += Utf8Sequence(bytes, i, cp)) {
            Utf8Sequence(bytes, i, cp);
            text += cp;
        }
    } else {
        for (const char b : bytes) {
            text += FromCp1252(static_cast<unsigned char>(b));
        }
    }
    return text;
}

std::size_t DisplayLength(std::string_view bytes) {
    if (!IsValidUtf8(bytes)) {
        return bytes.size();
    }
    // Every byte but the continuation bytes starts a character.
    return static_cast<std::size_t>(std::count_if(bytes.begin(), bytes.end(), [](char b) {
        return (static_cast<unsigned char>(b) & 0xC0) != 0x80;
    }));
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t cp : text) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string DisplayText(std::string_view bytes) {
    return IsValidUtf8(bytes) ? std::string(bytes) : EncodeUtf8(DecodeText(bytes));
}

char32_t ToUpper(char32_t c) {
    using upper_case_table::kRunCount;
    using upper_case_table::kRuns;
    const auto* end = kRuns + kRunCount;
    const auto* run = std::upper_bound(
        kRuns, end, c, [](char32_t value, const auto& r) { return value < r.first; });
    if (run == kRuns) {
        return c;
    }
    --run;
    if (c > run->last || (c - run->first) % static_cast<uint32_t>(run->stride) != 0) {
        return c;
    }
    return static_cast<char32_t>(static_cast<int64_t>(c) + run->delta);
}

std::string ToUpperText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        std::u32string text = DecodeText(bytes);
        for (char32_t& c : text) {
            c = ToUpper(c);
        }
        return EncodeUtf8(text);
    }
    std::string out(bytes);
    for (char& b : out) {
        const int upper = ToCp1252(ToUpper(FromCp1252(static_cast<unsigned char>(b))));
        if (upper >= 0) {
            b = static_cast<char>(upper);
        }
    }
    return out;
}
