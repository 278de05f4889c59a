#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/catalogue.h"

using namespace catalogue;

namespace {

std::wstring Quoted(const wchar_t* code) { return L"\"" + std::wstring(code) + L"\""; }

std::wstring CodeOf(const wchar_t* caption) {
    for (const Style& s : kStyles)
        if (std::wstring(s.caption) == caption) return s.code;
    return L"";
}

std::wstring EmoticonOf(const char* control) {
    for (const Face& f : kFaces)
        if (std::string(f.control) == control) return f.emoticon;
    return L"";
}

// What a face click sends after the given Text1.
std::wstring Click(const std::wstring& text1, const char* face) {
    return SmileyTag(text1, TagTail(EmoticonOf(face)));
}

}  // namespace

TEST(Catalogue, ThirtyFiveDistinctStylesWithEightCharacterCodes) {
    std::set<std::wstring> codes, captions;
    std::set<std::string> controls;
    for (const Style& s : kStyles) {
        const std::wstring code = s.code;
        EXPECT_EQ(code.size(), 8u) << s.control;
        EXPECT_EQ(code.substr(0, 4), L"AgHS") << s.control;
        EXPECT_EQ(code.back(), L'=') << s.control;
        codes.insert(code);
        captions.insert(s.caption);
        controls.insert(s.control);
    }
    EXPECT_EQ(codes.size(), 35u);
    EXPECT_EQ(captions.size(), 35u);
    EXPECT_EQ(controls.size(), 35u);
}

TEST(Catalogue, OddCaptionsAndCodesStandAsTheProgramHasThem) {
    EXPECT_EQ(CodeOf(L"Purple"), L"AgHSBxZ=");
    EXPECT_EQ(CodeOf(L"Dice"), L"AgHSF/U=");
    EXPECT_EQ(CodeOf(L"Frog"), L"AgHSE5E=");
    for (const wchar_t* caption :
         {L"Blue2", L"Purple 2", L"RainBow", L"ALien", L"MAD", L"Mustash", L"X-masTree",
          L"B Square", L"Star Fish", L"Snow Man", L"No Face"})
        EXPECT_FALSE(CodeOf(caption).empty()) << caption;
    EXPECT_STREQ(kStyles[0].control, "op1");
    EXPECT_STREQ(kStyles[1].control, "op2");
    EXPECT_STREQ(kStyles[34].caption, L"Panda");
}

TEST(Catalogue, SixteenDistinctFacesInImageOrder) {
    std::set<std::wstring> texts;
    for (std::size_t i = 0; i < kFaceCount; ++i) {
        EXPECT_EQ(std::string(kFaces[i].control), "Image" + std::to_string(i + 1));
        const std::wstring t = kFaces[i].emoticon;
        EXPECT_GE(t.size(), 2u);
        EXPECT_LE(t.size(), 4u);
        texts.insert(t);
    }
    EXPECT_EQ(texts.size(), 16u);
    EXPECT_EQ(EmoticonOf("Image2"), L"O:-)");
    EXPECT_EQ(EmoticonOf("Image7"), L">:o");
    EXPECT_EQ(EmoticonOf("Image9"), L":'(");
    EXPECT_EQ(EmoticonOf("Image13"), L":-\\");
}

TEST(Composition, StartValueAndFirstFaceGiveTheThirtyOneCharacterTag) {
    EXPECT_EQ(StartCode(), L"\"AgHSBfc=\"");
    const std::wstring tag = Click(StartCode(), "Image1");
    EXPECT_EQ(tag, L"<font sml=\"AgHSBfc=\">:-D</font>");
    EXPECT_EQ(tag.size(), 31u);
    EXPECT_EQ(Click(StartCode(), "Image16"), L"<font sml=\"AgHSBfc=\">:)</font>");
}

TEST(Composition, SlashesBackslashesAndTheOddPurpleCodePassUnchanged) {
    EXPECT_EQ(Click(Quoted(CodeOf(L"Dice").c_str()), "Image13"),
              L"<font sml=\"AgHSF/U=\">:-\\</font>");
    EXPECT_EQ(Click(Quoted(CodeOf(L"Purple").c_str()), "Image2"),
              L"<font sml=\"AgHSBxZ=\">O:-)</font>");
    EXPECT_EQ(Click(Quoted(CodeOf(L"Frog").c_str()), "Image8"),
              L"<font sml=\"AgHSE5E=\">;-)</font>");
}

TEST(Composition, FieldsAreTakenAsTheyStand) {
    // Command3 before any face: the tail is still empty.
    EXPECT_EQ(SmileyTag(StartCode(), L""), L"<font sml=\"AgHSBfc=\"");
    // Whatever the user typed into the fields goes out unchanged.
    EXPECT_EQ(SmileyTag(L" typed ", L"<b>"), L"<font sml= typed <b>");
    EXPECT_EQ(QuotedCode(L""), L"\"\"");
    EXPECT_EQ(TagTail(L""), L"></font>");
}
