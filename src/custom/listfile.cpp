#include "custom/listfile.h"

#include <utility>

namespace listfile {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kDosEof = '\x1a';

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == kDosEof; }

}  // namespace

void AppendListLine(std::string& out, std::string_view item) {
    out.append(item.data(), item.size());
    out += "\r\n";
}

std::string ListFileBytes(const std::vector<std::string>& items) {
    std::size_t total = 0;
    for (const std::string& item : items) total += item.size() + 2;
    std::string out;
    out.reserve(total);
    for (const std::string& item : items) AppendListLine(out, item);
    return out;
}

void FieldReader::Feed(std::string_view bytes) {
    // Drop what was consumed once it is the larger part, so that feeding
    // stays linear however the caller interleaves Feed and Next.
    if (pos_ > 0 && pos_ * 2 >= buffer_.size()) {
        buffer_.erase(0, pos_);
        pos_ = 0;
    }
    buffer_.append(bytes.data(), bytes.size());
}

void FieldReader::Finish() { finished_ = true; }

bool FieldReader::Next(std::string& field) {
    if (!have_) Scan();
    if (!have_) return false;
    field = std::move(out_);
    out_.clear();
    have_ = false;
    return true;
}

bool FieldReader::Done() const {
    return finished_ && finalDone_ && !have_ && pos_ == buffer_.size();
}

void FieldReader::Scan() {
    while (!have_ && pos_ < buffer_.size()) Step(buffer_[pos_++]);
    if (!have_ && finished_ && !finalDone_ && pos_ == buffer_.size()) EndOfFile();
}

void FieldReader::Emit(std::string& text) {
    out_ = std::move(text);
    text.clear();
    have_ = true;
}

void FieldReader::EndLine(char c) {
    lineStarted_ = false;
    lineHasData_ = false;
    state_ = c == kCR ? State::LineStartCR : State::FieldStart;
}

void FieldReader::Step(char c) {
    switch (state_) {
        case State::LineStartCR:
            state_ = State::FieldStart;
            if (c == kLF) return;  // the second half of CR LF
            [[fallthrough]];
        case State::FieldStart:
            if (c == kQuote) {
                raw_.assign(1, c);
                lineStarted_ = lineHasData_ = true;
                state_ = State::Quoted;
                return;
            }
            state_ = State::Plain;
            [[fallthrough]];
        case State::Plain:
        case State::AfterQuote:
            if (c == kComma) {
                lineStarted_ = lineHasData_ = true;
                state_ = State::FieldStart;
                Emit(field_);
            } else if (c == kCR || c == kLF) {
                EndLine(c);
                Emit(field_);
            } else {
                lineStarted_ = true;
                if (!IsBlank(c)) lineHasData_ = true;
                field_ += c;
            }
            return;
        case State::Quoted:
            if (c == kQuote) {
                field_.assign(raw_, 1, std::string::npos);
                raw_.clear();
                state_ = State::AfterQuote;
            } else if (c == kCR || c == kLF) {
                // No closing quote on this line: the field is the line's rest as it stands.
                EndLine(c);
                Emit(raw_);
            } else {
                raw_ += c;
            }
            return;
    }
}

void FieldReader::EndOfFile() {
    finalDone_ = true;
    switch (state_) {
        case State::LineStartCR:
            return;
        case State::FieldStart:
            // Only a comma leaves a started line here: it ends with an empty field.
            if (lineStarted_) Emit(field_);
            return;
        case State::Plain:
            // Blanks after the last line end are an editor's leftovers, not an item.
            if (lineHasData_) Emit(field_);
            field_.clear();
            return;
        case State::Quoted:
            Emit(raw_);
            return;
        case State::AfterQuote:
            Emit(field_);
            return;
    }
}

std::vector<std::string> ReadListFields(std::string_view bytes) {
    FieldReader reader;
    reader.Feed(bytes);
    reader.Finish();
    std::vector<std::string> fields;
    std::string field;
    while (reader.Next(field)) fields.push_back(std::move(field));
    return fields;
}

}  // namespace listfile
