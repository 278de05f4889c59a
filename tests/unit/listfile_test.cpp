#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "custom/listfile.h"

using listfile::FieldReader;
using listfile::ListFileBytes;
using listfile::ReadListFields;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Items = std::vector<std::string>;

// Feeds `bytes` in pieces of `piece` bytes, taking fields out between pieces.
Items ReadInPieces(const std::string& bytes, std::size_t piece) {
    FieldReader reader;
    Items fields;
    std::string field;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        reader.Feed(std::string_view(bytes).substr(at, piece));
        while (reader.Next(field)) fields.push_back(field);
    }
    reader.Finish();
    while (reader.Next(field)) fields.push_back(field);
    EXPECT_TRUE(reader.Done());
    return fields;
}

const std::string kTag = "<font sml=\"AgHSBfc=\">:-D</font>";

TEST(ListFileWriter, WritesEachItemRawWithCrLfAndNothingElse) {
    EXPECT_EQ(ListFileBytes({"a", "", "b"}), std::string("a\r\n\r\nb\r\n"));
    EXPECT_EQ(ListFileBytes({"a", "", "b"}).size(), 8u);
    EXPECT_EQ(ListFileBytes({}), std::string());
    // No quoting or escaping of any kind.
    EXPECT_EQ(ListFileBytes({"x,y", "\"q\"", kTag}), "x,y\r\n\"q\"\r\n" + kTag + "\r\n");
}

TEST(ListFileRoundTrip, ItemsWithoutCommasComeBackAsSaved) {
    const std::vector<Items> lists = {
        {"a", "", "b"},
        {""},
        {"", "", ""},
        {kTag, "AgHSBfc=", "<font sml=\"AgHSE5E=\">;-)</font> and more"},
        {"  leading", "trailing\t", " \t ", "in the middle"},
        {"say \"hi\" there", "ends with a quote\"", "\"opens and never closes"},
        {std::string("\xe9t\xe9", 3), "\x1a", "tab\there"},
    };
    for (const Items& items : lists) {
        EXPECT_EQ(ReadListFields(ListFileBytes(items)), items);
    }
    // The smiley window's quoted code: saved with its quotes, back without them.
    EXPECT_THAT(ReadListFields(ListFileBytes({"\"AgHSBfc=\""})), ElementsAre("AgHSBfc="));
}

TEST(ListFileReader, SplitsAtCommasAndLineEnds) {
    EXPECT_THAT(ReadListFields("one,two\r\nthree\r\n"), ElementsAre("one", "two", "three"));
    EXPECT_THAT(ReadListFields("a,\r\n"), ElementsAre("a", ""));
    EXPECT_THAT(ReadListFields("a,,b\r\n"), ElementsAre("a", "", "b"));
    EXPECT_THAT(ReadListFields(",\r\n"), ElementsAre("", ""));
    EXPECT_THAT(ReadListFields("\r\n\r\n"), ElementsAre("", ""));
    EXPECT_THAT(ReadListFields(""), IsEmpty());
}

TEST(ListFileReader, QuotedFields) {
    // Quotes dropped, commas inside kept.
    EXPECT_THAT(ReadListFields("\"a,b\",c\r\n"), ElementsAre("a,b", "c"));
    EXPECT_THAT(ReadListFields("\"\"\r\n"), ElementsAre(""));
    // What follows the closing quote stays with the field, quotes included.
    EXPECT_THAT(ReadListFields("\"a\"b\"c\",d\r\n"), ElementsAre("ab\"c\"", "d"));
    EXPECT_THAT(ReadListFields("\"x\" \r\n"), ElementsAre("x "));
    // Only the first byte of a field opens a quote.
    EXPECT_THAT(ReadListFields(" \"a,b\"\r\n"), ElementsAre(" \"a", "b\""));
    EXPECT_THAT(ReadListFields(kTag + "\r\n"), ElementsAre(kTag));
}

TEST(ListFileReader, UnclosedQuoteEndsWithItsLine) {
    EXPECT_THAT(ReadListFields("\"a,b\r\nc\r\n"), ElementsAre("\"a,b", "c"));
    EXPECT_THAT(ReadListFields("x,\"open\r\n"), ElementsAre("x", "\"open"));
    EXPECT_THAT(ReadListFields("\"to the end"), ElementsAre("\"to the end"));
    EXPECT_THAT(ReadListFields("\""), ElementsAre("\""));
}

TEST(ListFileReader, LoneCrAndLoneLfEndLines) {
    EXPECT_THAT(ReadListFields("a\rb\nc\r\nd"), ElementsAre("a", "b", "c", "d"));
    EXPECT_THAT(ReadListFields("a\r\rb"), ElementsAre("a", "", "b"));
    // LF CR is two line ends, so an empty line between.
    EXPECT_THAT(ReadListFields("a\n\rb\n"), ElementsAre("a", "", "b"));
    EXPECT_THAT(ReadListFields("\"q\r\nz"), ElementsAre("\"q", "z"));
}

TEST(ListFileReader, EndOfFile) {
    // The end of the file ends the last field.
    EXPECT_THAT(ReadListFields("a\r\nb"), ElementsAre("a", "b"));
    EXPECT_THAT(ReadListFields("a,"), ElementsAre("a", ""));
    EXPECT_THAT(ReadListFields("\"a\"x"), ElementsAre("ax"));
    // Blanks and DOS end marks after the last line end add nothing...
    EXPECT_THAT(ReadListFields("a\r\n  \t"), ElementsAre("a"));
    EXPECT_THAT(ReadListFields("a\r\n\x1a"), ElementsAre("a"));
    EXPECT_THAT(ReadListFields(" "), IsEmpty());
    // ...but blank lines inside the file are items, and a blank tail with
    // anything else in it is a field like any other.
    EXPECT_THAT(ReadListFields("  \r\na\r\n"), ElementsAre("  ", "a"));
    EXPECT_THAT(ReadListFields("a\r\n ,"), ElementsAre("a", " ", ""));
    EXPECT_THAT(ReadListFields("a\r\n x"), ElementsAre("a", " x"));
}

TEST(ListFileReader, PieceSizesNeverChangeTheFields) {
    const std::string file = "one,\"two, three\"x\r\n\r\n" + kTag + "\r\"open,\nlast,\r\n \t";
    const Items whole = ReadListFields(file);
    EXPECT_THAT(whole, ElementsAre("one", "two, threex", "", kTag, "\"open,", "last", ""));
    for (std::size_t piece = 1; piece <= file.size(); ++piece)
        EXPECT_EQ(ReadInPieces(file, piece), whole) << "pieces of " << piece;
}

TEST(ListFileReader, FieldsAreHandedOutOnlyWhenComplete) {
    FieldReader reader;
    std::string field;
    reader.Feed("a,b");
    ASSERT_TRUE(reader.Next(field));
    EXPECT_EQ(field, "a");
    // "b" may go on in the next piece.
    EXPECT_FALSE(reader.Next(field));
    EXPECT_FALSE(reader.Done());
    reader.Feed("c\r");
    ASSERT_TRUE(reader.Next(field));
    EXPECT_EQ(field, "bc");
    // A read that fails here never calls Finish(): "d" is cut off and dropped.
    reader.Feed("\nd");
    EXPECT_FALSE(reader.Next(field));
    reader.Finish();
    ASSERT_TRUE(reader.Next(field));
    EXPECT_EQ(field, "d");
    EXPECT_FALSE(reader.Next(field));
    EXPECT_TRUE(reader.Done());
}

TEST(ListFileReader, LargeListRoundTripsInOrder) {
    Items items;
    for (int i = 0; i < 20000; ++i) items.push_back(i % 7 == 0 ? "" : "item " + std::to_string(i));
    EXPECT_EQ(ReadInPieces(ListFileBytes(items), 4096), items);
}

}  // namespace
