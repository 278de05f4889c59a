// libFuzzer target for the program's two file readers, each given every input.
// The code list reader: any bytes, split at any points, give the same fields,
// every read ends, and lists the writer wrote from items without commas,
// quotes or line breaks come back exactly. The settings reader: any bytes give
// settings the program can use, which the writer puts back as they are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/catalogue.h"
#include "app/settings.h"
#include "custom/listfile.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// Reads `bytes` fed in pieces whose sizes come from `seed`, with a bound on
// the number of Next() calls: a reader that never ends trips it.
std::vector<std::string> ReadInPieces(std::string_view bytes, std::uint8_t seed) {
    listfile::FieldReader reader;
    std::vector<std::string> fields;
    std::string field;
    std::size_t calls = 0;
    const std::size_t bound = bytes.size() + 2;  // at most one field per byte, plus the last
    std::size_t at = 0;
    std::size_t piece = seed % 17 + 1;
    while (at < bytes.size()) {
        const std::size_t n = piece < bytes.size() - at ? piece : bytes.size() - at;
        reader.Feed(bytes.substr(at, n));
        at += n;
        piece = piece * 5 % 23 + 1;
        while (reader.Next(field)) {
            fields.push_back(field);
            Check(++calls <= bound);
        }
    }
    reader.Finish();
    while (reader.Next(field)) {
        fields.push_back(field);
        Check(++calls <= bound);
    }
    Check(reader.Done());
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> whole = listfile::ReadListFields(bytes);
    Check(whole.size() <= size + 1);
    std::size_t textBytes = 0;
    for (const std::string& f : whole) textBytes += f.size();
    Check(textBytes <= size);  // fields only ever hold bytes of the file
    Check(ReadInPieces(bytes, size > 0 ? data[0] : 0) == whole);

    // The same bytes as a list of items: cut at every comma, quote and line end.
    std::vector<std::string> items(1);
    for (char c : bytes) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            items.emplace_back();
        else
            items.back() += c;
    }
    // The writer ends every line, so even an item of blanks alone comes back.
    const std::vector<std::string> back = listfile::ReadListFields(listfile::ListFileBytes(items));
    Check(back == items);

    const settings::Settings read = settings::ParseSettings(bytes);
    Check(!read.style || *read.style < catalogue::kStyleCount);
    Check(!read.hotkey || hotkey::IsUsable(*read.hotkey));
    Check(settings::ParseSettings(settings::FormatSettings(read)) == read);
    return 0;
}
