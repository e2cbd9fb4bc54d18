#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Names, inputs and actions are byte strings, stored and compared byte for
// byte. To show them, one rule reads the bytes as characters everywhere (the
// canvas, SVG, dialogs, menus, message boxes, the caption): bytes that are
// valid UTF-8 are UTF-8; any other byte string is Windows-1252, one
// character a byte, the code page that files of the earlier Windows program
// were written in. Its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// read as the C1 controls of the same number.

// The characters of bytes.
std::u32string DecodeText(std::string_view bytes);
// The same characters, as UTF-8.
std::string DisplayText(std::string_view bytes);
// How many characters bytes show as.
std::size_t DisplayLength(std::string_view bytes);

bool IsValidUtf8(std::string_view bytes);
std::string EncodeUtf8(std::u32string_view text);

// Unicode's simple upper-case mapping: one character for one, so a letter
// whose capital is two letters ("ß") stays as it is.
char32_t ToUpper(char32_t c);
// bytes upper-cased, in the encoding they came in: UTF-8 stays UTF-8, and
// Windows-1252 stays Windows-1252 (a capital it lacks leaves the letter).
std::string ToUpperText(std::string_view bytes);
