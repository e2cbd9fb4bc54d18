// One rule reads stored bytes as characters; upper-casing keeps the
// encoding; the edge dialog's fields are normalised without any toolkit.

#include <gtest/gtest.h>

#include <tuple>

#include "framework/text.h"
#include "model/edge_fields.h"

namespace {

TEST(Text, Utf8WhenValidWindows1252Otherwise) {
    // Bytes, what they show as (in UTF-8), how many characters.
    const std::tuple<std::string, std::string, size_t> cases[] = {
        {"abc", "abc", 3},
        {"\xC3\xA9\xE2\x86\x92\xC3\xBC", "\xC3\xA9\xE2\x86\x92\xC3\xBC", 3},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", 1},
        // One byte that is not UTF-8 makes the whole string Windows-1252.
        {"\xC3\xA9\xE9", "\xC3\x83\xC2\xA9\xC3\xA9", 3},
        {"\x80\x9F\xFF", "\xE2\x82\xAC\xC5\xB8\xC3\xBF", 3},
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", 5},
        // Overlong forms, surrogates and truncated sequences are not UTF-8.
        {"\xC0\xAF", "\xC3\x80\xC2\xAF", 2},
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC", 3},
        {"\xE2\x86", "\xC3\xA2\xE2\x80\xA0", 2},
        {"", "", 0}};
    for (const auto& [bytes, shown, chars] : cases) {
        EXPECT_EQ(DisplayText(bytes), shown);
        EXPECT_EQ(DisplayLength(bytes), chars);
        EXPECT_EQ(DecodeText(bytes).size(), chars);
    }
}

TEST(Text, UpperCaseByUnicodeSimpleMappingsInTheSameEncoding) {
    const std::pair<std::string, std::string> cases[] = {
        {"expr_2\xE0\xA0\x80", "EXPR_2\xE0\xA0\x80"},               // U+0800 keeps its three bytes
        {"\xC3\xB1\x61nd\xC3\xBA", "\xC3\x91\x41ND\xC3\x9A"},       // UTF-8 stays UTF-8
        {"\xF1\x61nd\xFA", "\xD1\x41ND\xDA"},                       // and 1252 stays 1252
        {"\xFF\x9A\x9C\xB5", "\x9F\x8A\x8C\xB5"},                   // no capital micro in 1252
        {"\xC3\x9F\xEF\xAC\x81", "\xC3\x9F\xEF\xAC\x81"},           // no one-letter capitals
        {"\xC5\xBF\xC7\x86\xE1\xBE\x80", "S\xC7\x84\xE1\xBE\x88"},  // long s, dz, alpha+iota
        {"\xD0\xB6\xD5\xA1\xF0\x90\x90\xA8", "\xD0\x96\xD4\xB1\xF0\x90\x90\x80"},
        // Dotless i; runs of every other code point; the last code point.
        {"\xC4\xB1\xC4\x83\xC4\xB5\xF4\x8F\xBF\xBF", "I\xC4\x82\xC4\xB4\xF4\x8F\xBF\xBF"}};
    for (const auto& [text, upper] : cases) {
        EXPECT_EQ(ToUpperText(text), upper) << text;
    }
}

TEST(EdgeFields, RefusalUpperCasingAndTheActionSign) {
    auto normalised = [](std::string input, std::string action, bool graph) {
        return NormalizeEdgeFields(input, action, graph) ? input + "|" + action : "refused";
    };
    EXPECT_EQ(normalised("expr\xC3\xB1", "print", true), "EXPR\xC3\x91|@print");
    EXPECT_EQ(normalised("Id", "@print", false), "Id|@print");
    EXPECT_EQ(normalised(" ", " x", false), " |@ x");
    EXPECT_EQ(normalised("", "print", false), "refused");
}

}  // namespace
