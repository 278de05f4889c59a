#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/settings.h"

namespace settings {

// Failures show the settings, not their bytes.
void PrintTo(const Settings& s, std::ostream* os) {
    *os << "{style ";
    if (s.style)
        *os << *s.style;
    else
        *os << "-";
    *os << ", place ";
    if (s.place)
        *os << s.place->left << "," << s.place->top;
    else
        *os << "-";
    *os << ", hotkey ";
    if (s.hotkey)
        *os << s.hotkey->key << "+" << s.hotkey->modifiers;
    else
        *os << "-";
    *os << "}";
}

}  // namespace settings

using settings::FormatSettings;
using settings::Hotkey;
using settings::ParseSettings;
using settings::Place;
using settings::Settings;

namespace {

// The catalogue's index of the style captioned exactly `caption`.
std::size_t StyleIndex(const wchar_t* caption) {
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i)
        if (std::wstring(catalogue::kStyles[i].caption) == caption) return i;
    ADD_FAILURE() << "no style so captioned";
    return 0;
}

Settings Make(std::optional<std::size_t> style, std::optional<Place> place,
              std::optional<Hotkey> hotkey) {
    Settings s;
    s.style = style;
    s.place = place;
    s.hotkey = hotkey;
    return s;
}

struct Row {
    const char* name;
    std::string bytes;
    Settings expected;
};

void CheckRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ParseSettings(row.bytes), row.expected);
    }
}

const std::string kHeader = "[Pallimo]\r\n";
const std::string kPlace = "WindowLeft=120\r\nWindowTop=-40\r\n";
const std::string kHotkey = "HotkeyKey=80\r\nHotkeyModifiers=3\r\n";
const std::string kKeys = "Style=Frog\r\n" + kPlace + kHotkey;
const std::string kFull = kHeader + kKeys;

}  // namespace

TEST(SettingsWriter, WritesTheSectionAndOneKeyALineWithCrLf) {
    const std::size_t frog = StyleIndex(L"Frog");
    EXPECT_EQ(FormatSettings(Make(frog, Place{120, -40}, Hotkey{80, 3})), kFull);
    EXPECT_EQ(FormatSettings(Settings{}), kHeader);
    EXPECT_EQ(FormatSettings(Make(std::nullopt, std::nullopt, Hotkey{0x70, 1})),
              kHeader + "HotkeyKey=112\r\nHotkeyModifiers=1\r\n");
    // What the reader would not take back stays out of the file.
    EXPECT_EQ(FormatSettings(Make(catalogue::kStyleCount, Place{40000, 0}, Hotkey{0, 3})), kHeader);
    EXPECT_EQ(FormatSettings(Make(std::nullopt, Place{0, -40000}, Hotkey{80, 0x10})), kHeader);
    EXPECT_EQ(FormatSettings(Make(std::nullopt, std::nullopt, Hotkey{80, 0x4})), kHeader);
}

TEST(SettingsRoundTrip, WhatIsWrittenIsReadBack) {
    std::vector<Settings> all = {
        Settings{},
        Make(std::nullopt, Place{0, 0}, std::nullopt),
        Make(std::nullopt, Place{settings::kMinCoordinate, settings::kMaxCoordinate}, std::nullopt),
        Make(std::nullopt, Place{-1920, 1080}, Hotkey{0x01, hotkey::kAllModifiers}),
        Make(std::nullopt, std::nullopt, Hotkey{0xFE, hotkey::kWin}),
    };
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i)
        all.push_back(Make(
            i, Place{static_cast<int>(i) * 37 - 500, 7},
            Hotkey{static_cast<unsigned>(0x41 + i % 26), static_cast<unsigned>(1 + i % 15) | 1u}));
    for (const Settings& s : all) {
        const std::string bytes = FormatSettings(s);
        SCOPED_TRACE(bytes);
        EXPECT_EQ(ParseSettings(bytes), s);
    }
}

TEST(SettingsReader, GoodFiles) {
    const std::size_t frog = StyleIndex(L"Frog");
    const Settings full = Make(frog, Place{120, -40}, Hotkey{80, 3});
    CheckRows({
        {"the writer's file", kFull, full},
        {"no line end after the last line",
         kHeader + "Style=Frog\r\n" + kPlace + "HotkeyKey=80\r\nHotkeyModifiers=3", full},
        {"LF line ends",
         "[Pallimo]\nStyle=Frog\nWindowLeft=120\nWindowTop=-40\nHotkeyKey=80\n"
         "HotkeyModifiers=3\n",
         full},
        {"CR line ends",
         "[Pallimo]\rStyle=Frog\rWindowLeft=120\rWindowTop=-40\rHotkeyKey=80\r"
         "HotkeyModifiers=3\r",
         full},
        {"Notepad's byte order mark", "\xEF\xBB\xBF" + kFull, full},
        {"keys in another order", kHeader + kHotkey + kPlace + "Style=Frog\r\n", full},
        {"blanks around lines, keys and values, and other case",
         " \t[ pallimo ] \r\n  style =  FROG\t\r\nwindowleft= 120\r\nWINDOWTOP =-40 \r\n"
         "hotkeykey\t=\t80\r\nHotKeyModifiers=3\r\n",
         full},
        {"comments, empty lines and other sections",
         "; written by hand\r\n\r\n[Other]\r\nStyle=Panda\r\n[Pallimo]\r\n# the style\r\n"
         "Style=Frog\r\n\r\n[More]\r\nWindowLeft=5\r\n[Pallimo]\r\n" +
             kPlace + kHotkey,
         full},
        {"a caption with a space", kHeader + "Style=Purple 2\r\n",
         Make(StyleIndex(L"Purple 2"), std::nullopt, std::nullopt)},
        {"a caption in other case", kHeader + "Style=alien\r\n",
         Make(StyleIndex(L"ALien"), std::nullopt, std::nullopt)},
        {"leading zeros and minus zero", kHeader + "WindowLeft=007\r\nWindowTop=-0\r\n",
         Make(std::nullopt, Place{7, 0}, std::nullopt)},
        {"a value holding '='", kHeader + "Style=Frog=\r\n" + kPlace,
         Make(std::nullopt, Place{120, -40}, std::nullopt)},
        {"a hotkey with Alt alone", kHeader + "HotkeyKey=112\r\nHotkeyModifiers=1\r\n",
         Make(std::nullopt, std::nullopt, Hotkey{112, 1})},
        {"the limits",
         kHeader + "WindowLeft=-32768\r\nWindowTop=32767\r\nHotkeyKey=254\r\n"
                   "HotkeyModifiers=15\r\n",
         Make(std::nullopt, Place{-32768, 32767}, Hotkey{254, 15})},
    });
}

TEST(SettingsReader, EachSpoiledSettingFallsBackAndTheRestIsKept) {
    const std::size_t frog = StyleIndex(L"Frog");
    const Place place{120, -40};
    const Hotkey hotkey{80, 3};
    const Settings none;
    CheckRows({
        {"no bytes", "", none},
        {"only the header", kHeader, none},
        {"not a settings file", std::string("\x00\xff\x89PNG\r\n\x1a\n=\x00", 12), none},
        {"lines without '='", kHeader + "Style\r\nFrog\r\n" + kPlace + kHotkey,
         Make(std::nullopt, place, hotkey)},
        {"unknown keys", kHeader + "Colour=Frog\r\nStyle=Frog\r\nWindowRight=3\r\n" + kPlace,
         Make(frog, place, std::nullopt)},
        {"keys before any header", "Style=Frog\r\n" + kPlace + kHeader + kHotkey,
         Make(std::nullopt, std::nullopt, hotkey)},
        {"a header that does not close", "[Pallimo\r\n" + kKeys, none},
        {"another section's keys", "[Pallimo2]\r\n" + kKeys, none},
        {"a key given twice", kFull + "Style=Frog\r\n", Make(std::nullopt, place, hotkey)},
        {"a key given twice in two sections", kFull + "[Pallimo]\r\nwindowtop=-40\r\n",
         Make(frog, std::nullopt, hotkey)},
        {"a style no longer there", kHeader + "Style=Purple 3\r\n" + kPlace + kHotkey,
         Make(std::nullopt, place, hotkey)},
        {"an empty style", kHeader + "Style=\r\n" + kPlace,
         Make(std::nullopt, place, std::nullopt)},
        {"a style's first letters", kHeader + "Style=Blu\r\n", none},
        {"a style with more letters", kHeader + "Style=Blue22\r\n", none},
        {"a style with a byte after it", kHeader + std::string("Style=Frog\0\r\n", 13), none},
        {"a coordinate with junk after it",
         kHeader +
             "Style=Frog\r\nWindowLeft=120px\r\n"
             "WindowTop=-40\r\n" +
             kHotkey,
         Make(frog, std::nullopt, hotkey)},
        {"a coordinate with a plus", kHeader + "WindowLeft=+120\r\nWindowTop=-40\r\n", none},
        {"a coordinate in hex", kHeader + "WindowLeft=0x78\r\nWindowTop=-40\r\n", none},
        {"two numbers", kHeader + "WindowLeft=1 2\r\nWindowTop=-40\r\n", none},
        {"a lone minus", kHeader + "WindowLeft=-\r\nWindowTop=-40\r\n", none},
        {"an empty coordinate", kHeader + "WindowLeft=\r\nWindowTop=-40\r\n", none},
        {"a coordinate past the right", kHeader + "WindowLeft=32768\r\nWindowTop=0\r\n", none},
        {"a coordinate past the left", kHeader + "WindowLeft=-32769\r\nWindowTop=0\r\n", none},
        {"a number longer than any integer",
         kHeader + "WindowLeft=99999999999999999999999999\r\nWindowTop=0\r\n", none},
        {"only the left", kHeader + "Style=Frog\r\nWindowLeft=120\r\n", Make(frog, {}, {})},
        {"only the top", kHeader + "WindowTop=120\r\n" + kHotkey, Make({}, {}, hotkey)},
        {"a hotkey without its modifiers", kHeader + "Style=Frog\r\nHotkeyKey=80\r\n" + kPlace,
         Make(frog, place, std::nullopt)},
        {"modifiers without a key", kHeader + "HotkeyModifiers=3\r\n", none},
        {"key 0", kHeader + "HotkeyKey=0\r\nHotkeyModifiers=3\r\n", none},
        {"key 255", kHeader + "HotkeyKey=255\r\nHotkeyModifiers=3\r\n", none},
        {"a negative key", kHeader + "HotkeyKey=-80\r\nHotkeyModifiers=3\r\n", none},
        {"an unknown modifier", kHeader + "HotkeyKey=80\r\nHotkeyModifiers=16\r\n", none},
        {"Shift alone", kHeader + "HotkeyKey=80\r\nHotkeyModifiers=4\r\n", none},
        {"no modifier at all", kHeader + "HotkeyKey=80\r\nHotkeyModifiers=0\r\n", none},
        {"the no-repeat flag", kHeader + "HotkeyKey=80\r\nHotkeyModifiers=16387\r\n", none},
        {"a key with junk", kHeader + "HotkeyKey=80;\r\nHotkeyModifiers=3\r\n", none},
    });
}

TEST(SettingsReader, AFileOverTheLimitGivesEveryDefault) {
    // Padded with comment lines to exactly `size` bytes.
    const auto padded = [](std::size_t size) {
        std::string bytes = kFull;
        while (bytes.size() + 66 <= size) bytes += ";" + std::string(63, 'x') + "\r\n";
        bytes += std::string(size - bytes.size(), ' ');
        return bytes;
    };
    EXPECT_EQ(padded(settings::kMaxFileBytes).size(), settings::kMaxFileBytes);
    EXPECT_EQ(ParseSettings(padded(settings::kMaxFileBytes)), ParseSettings(kFull));
    EXPECT_EQ(ParseSettings(padded(settings::kMaxFileBytes + 1)), Settings{});
}

TEST(SettingsStyles, EveryCaptionNamesItsOwnStyleInAnyCase) {
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i) {
        std::string caption, lower;
        for (const wchar_t* c = catalogue::kStyles[i].caption; *c != L'\0'; ++c) {
            caption += static_cast<char>(*c);
            lower += static_cast<char>(*c >= L'A' && *c <= L'Z' ? *c - L'A' + L'a' : *c);
        }
        EXPECT_EQ(settings::StyleByCaption(caption), i) << caption;
        EXPECT_EQ(settings::StyleByCaption(lower), i) << caption;
    }
    EXPECT_EQ(settings::StyleByCaption(""), std::nullopt);
    EXPECT_EQ(settings::StyleByCaption("Frog "), std::nullopt);
}
