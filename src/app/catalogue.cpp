#include "app/catalogue.h"

namespace catalogue {

const Style kStyles[kStyleCount] = {
    {"op1", L"Blue", L"AgHSBfc="},          {"op2", L"Red", L"AgHSBjw="},
    {"Option1", L"Yellow", L"AgHSBxo="},    {"Option5", L"Green", L"AgHSBdo="},
    {"Option4", L"Purple", L"AgHSBxZ="},    {"Option2", L"Purple 2", L"AgHSBxI="},
    {"Option3", L"RainBow", L"AgHSBx4="},   {"Option6", L"Blue2", L"AgHSBdQ="},
    {"Option7", L"Clown", L"AgHSByY="},     {"Option8", L"Monkey", L"AgHSBcg="},
    {"Option9", L"Mustash", L"AgHSBdA="},   {"Option10", L"Pig", L"AgHSD9A="},
    {"Option11", L"Gold", L"AgHSENQ="},     {"Option12", L"X-masTree", L"AgHSED8="},
    {"Option13", L"Egg", L"AgHSEQ8="},      {"Option14", L"B Square", L"AgHSEtI="},
    {"Option15", L"USA", L"AgHSEMw="},      {"Option16", L"Pirate", L"AgHSETY="},
    {"Option17", L"Football", L"AgHSE6U="}, {"Option18", L"Star Fish", L"AgHSEWU="},
    {"Option19", L"Hand", L"AgHSETI="},     {"Option20", L"Heart", L"AgHSEMI="},
    {"Option21", L"Hippo", L"AgHSD80="},    {"Option22", L"Frog", L"AgHSE5E="},
    {"Option23", L"Hockey", L"AgHSF5g="},   {"Option24", L"Skull", L"AgHSF8c="},
    {"Option25", L"Cards", L"AgHSGWI="},    {"Option26", L"Dice", L"AgHSF/U="},
    {"Option27", L"Cow", L"AgHSHpI="},      {"Option28", L"MAD", L"AgHSGds="},
    {"Option29", L"Snow Man", L"AgHSH2U="}, {"Option30", L"No Face", L"AgHSH2o="},
    {"Option31", L"ALien", L"AgHSHo0="},    {"Option32", L"Puppy", L"AgHSHuY="},
    {"Option33", L"Panda", L"AgHSHuo="},
};

const Face kFaces[kFaceCount] = {
    {"Image1", L":-D"},   {"Image2", L"O:-)"}, {"Image3", L"8-)"},  {"Image4", L":-p"},
    {"Image5", L":-X"},   {"Image6", L":-["},  {"Image7", L">:o"},  {"Image8", L";-)"},
    {"Image9", L":'("},   {"Image10", L":-!"}, {"Image11", L":-*"}, {"Image12", L":("},
    {"Image13", L":-\\"}, {"Image14", L":-$"}, {"Image15", L"=-O"}, {"Image16", L":)"},
};

std::wstring StartCode() { return QuotedCode(kStyles[0].code); }

std::wstring QuotedCode(std::wstring_view code) {
    std::wstring out;
    out.reserve(code.size() + 2);
    out += L'"';
    out += code;
    out += L'"';
    return out;
}

std::wstring TagTail(std::wstring_view emoticon) {
    std::wstring out = L">";
    out += emoticon;
    out += L"</font>";
    return out;
}

std::wstring SmileyTag(std::wstring_view text1, std::wstring_view text2) {
    std::wstring out = L"<font sml=";
    out += text1;
    out += text2;
    return out;
}

}  // namespace catalogue
