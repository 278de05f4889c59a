// The code list file: the writer and the comma/quote field reader, over the
// file's bytes (the ANSI code page; conversion happens at the caller).
//
// The writer puts every item on a line of its own, exactly as it stands,
// followed by CR LF. The reader splits the bytes into fields. For everything
// the writer produces from items without commas or line breaks it gives back
// one field per line and nothing after the last line. Its rules:
//
//   - A field ends at a comma or at a line end; the comma or line end is
//     consumed with it. CR LF, a lone CR and a lone LF are each one line end.
//   - An empty line, ",," and a comma right before a line end give an empty
//     field; a comma right before the end of the file gives one too.
//   - Spaces and tabs belong to the field, at its start and end as anywhere:
//     items are written raw and must come back so.
//   - Only a double quote that is the very first byte of a field opens a
//     quoted field. The field's text runs to the next double quote; commas in
//     between are kept, the two quotes are dropped. Whatever follows the
//     closing quote up to the comma or line end is kept after the text, with
//     any further quotes as they stand, so nothing is lost.
//   - A double quote anywhere else is an ordinary character: an item holding a
//     smiley tag such as <font sml="AgHSBfc=">:-D</font> comes back unchanged.
//   - A quoted field never spans a line: when its line (or the file) ends
//     before the closing quote, the field is the rest of that line exactly as
//     it stands, opening quote and commas included. So an item that begins
//     with a quote and has no closing one also comes back unchanged, and a
//     stray quote cannot swallow the rest of the file.
//   - The end of the file ends the last field. A last line without a line end
//     gives its fields like any other line, except when it holds nothing but
//     spaces, tabs and DOS end-of-file marks (0x1A): such a tail, left by an
//     editor, adds no item.
//   - Fields are only produced once they are complete. A caller whose read
//     fails in the middle of the file simply never calls Finish(): the fields
//     read before the failure stay, the one cut off by it is dropped.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace listfile {

// Appends one item as a line of the file: its bytes, then CR LF.
void AppendListLine(std::string& out, std::string_view item);
// The whole file for a list: one line per item; an empty list is 0 bytes.
std::string ListFileBytes(const std::vector<std::string>& items);

// An incremental field reader. Bytes are fed in pieces of any size (the split
// points never change the result); Next() hands out each field as soon as it
// is complete, so the caller can do other work between fields. Time and memory
// are linear in the input: no byte is looked at twice.
class FieldReader {
  public:
    // Adds the next piece of the file.
    void Feed(std::string_view bytes);
    // Marks the end of the file: the field in progress becomes complete.
    void Finish();
    // The next complete field, if there is one.
    bool Next(std::string& field);
    // True once Finish() was called and every field has been handed out.
    bool Done() const;

  private:
    enum class State {
        FieldStart,   // nothing of the current field seen yet
        Plain,        // in a field without quotes
        Quoted,       // after an opening quote
        AfterQuote,   // after the closing quote, up to the comma or line end
        LineStartCR,  // a CR ended a line; a LF right after belongs to it
    };

    // Consumes buffered bytes until a field is complete or the bytes run out.
    void Scan();
    void Step(char c);
    void EndLine(char c);
    void EndOfFile();
    void Emit(std::string& text);

    std::string buffer_;
    std::size_t pos_ = 0;
    State state_ = State::FieldStart;
    std::string field_;         // the current field's text so far
    std::string raw_;           // a quoted field's bytes as they stand, opening quote included
    bool lineHasData_ = false;  // the current line holds bytes that aren't blanks or 0x1A
    bool lineStarted_ = false;  // the current line has any byte at all
    bool finished_ = false;
    bool finalDone_ = false;
    bool have_ = false;  // out_ holds a complete field not handed out yet
    std::string out_;
};

// Every field of a whole file, in order.
std::vector<std::string> ReadListFields(std::string_view bytes);

}  // namespace listfile
