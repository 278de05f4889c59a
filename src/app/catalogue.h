// The built-in smiley catalogue: 35 styles, 16 faces, and how a smiley tag is
// put together from the window's two fields.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace catalogue {

struct Style {
    const char* control;     // the option button's name
    const wchar_t* caption;  // shown exactly so, spelling included
    const wchar_t* code;     // the eight-character smiley code
};

struct Face {
    const char* control;      // the picture's name
    const wchar_t* emoticon;  // the face's text
};

constexpr std::size_t kStyleCount = 35;
constexpr std::size_t kFaceCount = 16;

// Column by column from the left, each column from the top, as in the window.
extern const Style kStyles[kStyleCount];
// The face pictures, in the order of their ids.
extern const Face kFaces[kFaceCount];

// The start value of the smiley window's code box: the "Blue" code in quotes.
std::wstring StartCode();

// character 34 + code + character 34
std::wstring QuotedCode(std::wstring_view code);
// ">" + emoticon + "</font>"
std::wstring TagTail(std::wstring_view emoticon);
// "<font sml=" + text1 + text2, taken as they stand: nothing is checked or trimmed.
std::wstring SmileyTag(std::wstring_view text1, std::wstring_view text2);

}  // namespace catalogue
