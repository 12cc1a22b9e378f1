// The reading rules of the string-resource text file.
#include <gtest/gtest.h>

#include <string>

#include "app/CTarnStringTable.h"
#include "support/RecordingTraceSink.h"

namespace {

using Table = CTarnStringTable::Table;

Table Read(const std::string& text) {
    Table table;
    EXPECT_TRUE(CTarnStringTable::ReadText(text, table)) << text;
    return table;
}

TEST(StringTableReading, LineEndsAndBlankLinesGiveTheSameLists) {
    const Table lf = Read("*OnOff\nOff\nOn\n*Clock\nInternal\nExternal\nAuto\n");
    const Table crlf =
        Read("*OnOff\r\nOff\r\nOn\r\n\r\n\r\n*Clock\r\nInternal\r\nExternal\r\nAuto");
    const Table cr = Read("\r*OnOff\rOff\r\rOn\r*Clock\rInternal\rExternal\rAuto\r");
    const Table mixed =
        Read("\n\n  *OnOff\n\tOff\r\n\n   On\r*Clock\n\nInternal\r\nExternal\nAuto\n\n");
    const Table expected = {{"OnOff", {"Off", "On"}}, {"Clock", {"Internal", "External", "Auto"}}};
    EXPECT_EQ(lf, expected);
    EXPECT_EQ(crlf, expected);
    EXPECT_EQ(cr, expected);
    EXPECT_EQ(mixed, expected);
}

TEST(StringTableReading, LeadingBlanksDroppedInnerAndTrailingBlanksKept) {
    const Table table = Read("*Notes\n   C  -1\nD# 4 \r\n\tC  -  \t\n");
    ASSERT_EQ(table.at("Notes").size(), 3u);
    EXPECT_EQ(table.at("Notes")[0], "C  -1");
    EXPECT_EQ(table.at("Notes")[1], "D# 4 ");
    EXPECT_EQ(table.at("Notes")[2], "C  -  \t");
}

TEST(StringTableReading, CommentsAreSkippedWherever) {
    const Table table =
        Read("; first line names the file\n; another\n*A\n;not a text\none\n   ; indented\ntwo\n");
    EXPECT_EQ(table, (Table{{"A", {"one", "two"}}}));
}

TEST(StringTableReading, LongCommentLineIsIgnoredWhole) {
    const std::string comment = ";" + std::string(600, 'x') + "\n";
    EXPECT_EQ(Read(comment + "*A\none\n"), (Table{{"A", {"one"}}}));
}

TEST(StringTableReading, LinesLongerThan255ContinueAsTheNextItem) {
    const std::string first(255, 'a');
    const Table table = Read("*Long\n" + first + "bcd\nnext\n");
    ASSERT_EQ(table.at("Long").size(), 3u);
    EXPECT_EQ(table.at("Long")[0], first);
    EXPECT_EQ(table.at("Long")[1], "bcd");
    EXPECT_EQ(table.at("Long")[2], "next");
    // Exactly 255 characters stay one item.
    EXPECT_EQ(Read("*L\n" + first + "\n").at("L").size(), 1u);
}

TEST(StringTableReading, KeywordsTake255CharactersAfterTheStar) {
    const std::string keyword(255, 'k');
    const Table table = Read("*" + keyword + "extra\n");
    ASSERT_EQ(table.count(keyword), 1u);
    EXPECT_EQ(table.at(keyword), std::vector<std::string>{"extra"});
}

TEST(StringTableReading, SplitRemainderStartingWithAKeywordSignNamesAKeyword) {
    const Table table = Read("*A\n" + std::string(255, 'a') + "*B\nb\n");
    EXPECT_EQ(table.at("A").size(), 1u);
    EXPECT_EQ(table.at("B"), std::vector<std::string>{"b"});
}

TEST(StringTableReading, DuplicateKeywordExtendsItsFirstList) {
    const Table table = Read("*A\none\n*B\nx\n*A\ntwo\nthree\n");
    EXPECT_EQ(table.at("A"), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(table.at("B"), std::vector<std::string>{"x"});
}

TEST(StringTableReading, KeywordWithoutTextsExistsEmpty) {
    const Table table = Read("*Empty\n*A\na\n");
    ASSERT_EQ(table.count("Empty"), 1u);
    EXPECT_TRUE(table.at("Empty").empty());
}

TEST(StringTableReading, EmptyAndCommentOnlyTextsReadAsEmptyTables) {
    EXPECT_TRUE(Read("").empty());
    EXPECT_TRUE(Read("\r\n  \n; nothing here\n").empty());
}

TEST(StringTableReading, TextBeforeAnyKeywordFails) {
    RecordingTraceSink trace;
    Table table = {{"keep", {"me"}}};
    EXPECT_FALSE(CTarnStringTable::ReadText("; comment\nstray\n*A\na\n", table));
    EXPECT_TRUE(trace.Contains("CEfStringTable::LoadFromFile - Keyword undefined..."));
    EXPECT_EQ(table, (Table{{"keep", {"me"}}}));
}

TEST(StringTableReading, LoneStarFails) {
    for (const char* text : {"*A\na\n*\nb\n", "*A\na\n*", "*A\r\n*\r\n", "*  \n"}) {
        RecordingTraceSink trace;
        Table table;
        const bool ok = CTarnStringTable::ReadText(text, table);
        if (std::string(text) == "*  \n") {
            // Blanks after the star are the keyword's own characters.
            EXPECT_TRUE(ok);
            EXPECT_EQ(table.count("  "), 1u);
            continue;
        }
        EXPECT_FALSE(ok) << text;
        EXPECT_TRUE(trace.Contains("zero length keyword.")) << text;
        EXPECT_TRUE(table.empty());
    }
}

TEST(StringTableReading, MidiChannelListHas17Texts) {
    std::string text = "*MidiCh\n";
    for (int i = 1; i <= 16; ++i) {
        text += std::to_string(i) + "\r\n";
    }
    text += "Global\r\n";
    const Table table = Read(text);
    ASSERT_EQ(table.at("MidiCh").size(), 17u);
    EXPECT_EQ(table.at("MidiCh").front(), "1");
    EXPECT_EQ(table.at("MidiCh").back(), "Global");
}

TEST(StringTableReading, ByteOrderMarkBeforeTheFirstItemIsSkipped) {
    EXPECT_EQ(Read("\xEF\xBB\xBF; comment\n*A\na\n"), (Table{{"A", {"a"}}}));
}

TEST(StringTableReading, EightBitTextIsKeptByteForByte) {
    const Table table = Read("*A\n\xE9t\xE9 \x80\xFF\n");
    EXPECT_EQ(table.at("A")[0], "\xE9t\xE9 \x80\xFF");
}

} // namespace
