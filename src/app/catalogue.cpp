#include "app/catalogue.h"

namespace catalogue {

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
