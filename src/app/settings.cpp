#include "app/settings.h"

#include "app/catalogue.h"

namespace settings {

namespace {

constexpr std::string_view kSection = "Pallimo";
constexpr std::string_view kStyleKey = "Style";
constexpr std::string_view kLeftKey = "WindowLeft";
constexpr std::string_view kTopKey = "WindowTop";
constexpr std::string_view kHotkeyKeyKey = "HotkeyKey";
constexpr std::string_view kHotkeyModifiersKey = "HotkeyModifiers";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A decimal number from `min` to `max`: an optional minus, then digits only.
std::optional<long> Number(std::string_view text, long min, long max) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    // Compared as it grows, so a long run of digits cannot overflow.
    const long limit = negative ? -min : max;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit) return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<int> Coordinate(std::string_view text) {
    const std::optional<long> n = Number(text, kMinCoordinate, kMaxCoordinate);
    if (!n) return std::nullopt;
    return static_cast<int>(*n);
}

// One known key's lines under the section: how many there were, and the value
// of the last. Only a key given exactly once is taken.
struct Entry {
    explicit Entry(std::string_view name) : key(name) {}

    std::string_view key;
    int count = 0;
    std::string_view value;

    bool Once() const { return count == 1; }
};

}  // namespace

bool operator==(const Place& a, const Place& b) { return a.left == b.left && a.top == b.top; }

bool operator==(const Settings& a, const Settings& b) {
    return a.style == b.style && a.place == b.place && a.hotkey == b.hotkey;
}

std::optional<std::size_t> StyleByCaption(std::string_view caption) {
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i) {
        const wchar_t* c = catalogue::kStyles[i].caption;
        std::size_t at = 0;
        // The captions are plain ASCII; any other byte ends the match.
        while (c[at] != L'\0' && c[at] < 0x80 && at < caption.size() &&
               Lower(static_cast<char>(c[at])) == Lower(caption[at]))
            ++at;
        if (c[at] == L'\0' && at == caption.size()) return i;
    }
    return std::nullopt;
}

Settings ParseSettings(std::string_view bytes) {
    Settings result;
    if (bytes.size() > kMaxFileBytes) return result;
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());

    Entry style{kStyleKey}, left{kLeftKey}, top{kTopKey}, key{kHotkeyKeyKey},
        modifiers{kHotkeyModifiersKey};
    Entry* const entries[] = {&style, &left, &top, &key, &modifiers};
    bool inSection = false;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        std::string_view line = Trim(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);

        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            // A header that does not close is some section, just not ours.
            inSection = line.size() >= 2 && line.back() == ']' &&
                        SameWord(Trim(line.substr(1, line.size() - 2)), kSection);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        const std::string_view name = Trim(line.substr(0, equals));
        for (Entry* entry : entries) {
            if (SameWord(name, entry->key)) {
                ++entry->count;
                entry->value = Trim(line.substr(equals + 1));
            }
        }
    }

    if (style.Once()) result.style = StyleByCaption(style.value);

    if (left.Once() && top.Once()) {
        const std::optional<int> x = Coordinate(left.value);
        const std::optional<int> y = Coordinate(top.value);
        if (x && y) result.place = Place{*x, *y};
    }

    if (key.Once() && modifiers.Once()) {
        const std::optional<long> k = Number(key.value, 0, 0xFF);
        const std::optional<long> m = Number(modifiers.value, 0, hotkey::kAllModifiers);
        if (k && m) {
            const Hotkey hotkey{static_cast<unsigned>(*k), static_cast<unsigned>(*m)};
            if (hotkey::IsUsable(hotkey)) result.hotkey = hotkey;
        }
    }
    return result;
}

std::string FormatSettings(const Settings& settings) {
    std::string out = "[";
    out += kSection;
    out += "]\r\n";
    const auto line = [&out](std::string_view key, const std::string& value) {
        out += key;
        out += '=';
        out += value;
        out += "\r\n";
    };
    if (settings.style && *settings.style < catalogue::kStyleCount) {
        std::string caption;
        for (const wchar_t* c = catalogue::kStyles[*settings.style].caption; *c != L'\0'; ++c)
            caption += static_cast<char>(*c);
        line(kStyleKey, caption);
    }
    if (const auto& place = settings.place) {
        const auto inRange = [](int v) { return v >= kMinCoordinate && v <= kMaxCoordinate; };
        if (inRange(place->left) && inRange(place->top)) {
            line(kLeftKey, std::to_string(place->left));
            line(kTopKey, std::to_string(place->top));
        }
    }
    if (settings.hotkey && hotkey::IsUsable(*settings.hotkey)) {
        line(kHotkeyKeyKey, std::to_string(settings.hotkey->key));
        line(kHotkeyModifiersKey, std::to_string(settings.hotkey->modifiers));
    }
    return out;
}

}  // namespace settings
