// The built-in smiley catalogue: 35 styles, 16 faces, and how a smiley tag is
// put together from the window's two fields.
#pragma once
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

namespace catalogue {

// The geometry of the smiley window's options and pictures, in twips from
// its client area's top-left corner, is kept with them: a style or a face is
// one row here, and the window is built from these rows.
struct Style {
    const char* control;     // the option button's name
    const wchar_t* caption;  // shown exactly so, spelling included
    const wchar_t* code;     // the eight-character smiley code
    int left, top, width, height;
};

struct Face {
    const char* control;      // the picture's name
    const wchar_t* emoticon;  // the face's text
    int left, top;            // every picture is kFaceSize square
};

constexpr int kFaceSize = 285;  // twips

// Column by column from the left, each column from the top, as in the window.
// clang-format off
inline constexpr Style kStyles[] = {
    // name      caption       code          left  top   width height
    {"op1",      L"Blue",      L"AgHSBfc=",  2160, 240,  975,  255},
    {"op2",      L"Red",       L"AgHSBjw=",  2160, 480,  615,  375},
    {"Option1",  L"Yellow",    L"AgHSBxo=",  2160, 840,  975,  255},
    {"Option5",  L"Green",     L"AgHSBdo=",  2160, 1080, 855,  255},
    {"Option4",  L"Purple",    L"AgHSBxZ=",  2160, 1320, 1095, 255},
    {"Option2",  L"Purple 2",  L"AgHSBxI=",  2160, 1560, 1095, 255},
    {"Option3",  L"RainBow",   L"AgHSBx4=",  2160, 1800, 975,  255},
    {"Option6",  L"Blue2",     L"AgHSBdQ=",  3240, 240,  855,  255},
    {"Option7",  L"Clown",     L"AgHSByY=",  3240, 480,  975,  255},
    {"Option8",  L"Monkey",    L"AgHSBcg=",  3240, 720,  975,  255},
    {"Option9",  L"Mustash",   L"AgHSBdA=",  3240, 960,  975,  195},
    {"Option10", L"Pig",       L"AgHSD9A=",  3240, 1200, 615,  255},
    {"Option11", L"Gold",      L"AgHSENQ=",  3240, 1440, 735,  255},
    {"Option12", L"X-masTree", L"AgHSED8=",  3240, 1680, 1215, 255},
    {"Option13", L"Egg",       L"AgHSEQ8=",  4320, 240,  735,  255},
    {"Option14", L"B Square",  L"AgHSEtI=",  4320, 480,  975,  255},
    {"Option15", L"USA",       L"AgHSEMw=",  4320, 720,  735,  255},
    {"Option16", L"Pirate",    L"AgHSETY=",  4320, 960,  855,  255},
    {"Option17", L"Football",  L"AgHSE6U=",  4320, 1200, 855,  255},
    {"Option18", L"Star Fish", L"AgHSEWU=",  4320, 1440, 975,  255},
    {"Option19", L"Hand",      L"AgHSETI=",  4320, 1680, 735,  255},
    {"Option20", L"Heart",     L"AgHSEMI=",  5520, 240,  735,  195},
    {"Option21", L"Hippo",     L"AgHSD80=",  5520, 480,  735,  255},
    {"Option22", L"Frog",      L"AgHSE5E=",  5520, 720,  735,  255},
    {"Option23", L"Hockey",    L"AgHSF5g=",  5520, 960,  855,  255},
    {"Option24", L"Skull",     L"AgHSF8c=",  5520, 1200, 735,  255},
    {"Option25", L"Cards",     L"AgHSGWI=",  5520, 1440, 735,  255},
    {"Option26", L"Dice",      L"AgHSF/U=",  5520, 1680, 735,  255},
    {"Option27", L"Cow",       L"AgHSHpI=",  6480, 240,  975,  255},
    {"Option28", L"MAD",       L"AgHSGds=",  6480, 480,  1095, 255},
    {"Option29", L"Snow Man",  L"AgHSH2U=",  6480, 720,  1095, 255},
    {"Option30", L"No Face",   L"AgHSH2o=",  6480, 960,  1095, 255},
    {"Option31", L"ALien",     L"AgHSHo0=",  6480, 1200, 1095, 255},
    {"Option32", L"Puppy",     L"AgHSHuY=",  6480, 1440, 1095, 255},
    {"Option33", L"Panda",     L"AgHSHuo=",  6480, 1680, 1215, 255},
};
// The face pictures, in the order of their ids.
inline constexpr Face kFaces[] = {
    // name      face      left  top
    {"Image1",   L":-D",   120,  120},
    {"Image2",   L"O:-)",  120,  480},
    {"Image3",   L"8-)",   120,  840},
    {"Image4",   L":-p",   120,  1200},
    {"Image5",   L":-X",   600,  480},
    {"Image6",   L":-[",   600,  120},
    {"Image7",   L">:o",   600,  840},
    {"Image8",   L";-)",   600,  1200},
    {"Image9",   L":'(",   1080, 120},
    {"Image10",  L":-!",   1080, 480},
    {"Image11",  L":-*",   1080, 840},
    {"Image12",  L":(",    1080, 1200},
    {"Image13",  L":-\\",  1560, 120},
    {"Image14",  L":-$",   1560, 480},
    {"Image15",  L"=-O",   1560, 840},
    {"Image16",  L":)",    1560, 1200},
};
// clang-format on

constexpr std::size_t kStyleCount = std::size(kStyles);
constexpr std::size_t kFaceCount = std::size(kFaces);

// The start value of the smiley window's code box: the "Blue" code in quotes.
std::wstring StartCode();

// character 34 + code + character 34
std::wstring QuotedCode(std::wstring_view code);
// ">" + emoticon + "</font>"
std::wstring TagTail(std::wstring_view emoticon);
// "<font sml=" + text1 + text2, taken as they stand: nothing is checked or trimmed.
std::wstring SmileyTag(std::wstring_view text1, std::wstring_view text2);

}  // namespace catalogue
