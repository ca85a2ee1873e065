// The tag-list reader of zorvikan check: records, their fields and exact bytes, line numbers.
#include <gtest/gtest.h>

#include <sstream>

#include "Csv.h"

namespace {

struct Read {
    std::vector<std::vector<std::string>> values;
    std::vector<std::int64_t> lines;
    std::string raw;  // every record's bytes, concatenated
    bool bom = false;
};

Read ReadAll(const std::string& input, std::optional<char> delimiter, std::size_t limit = 1 << 20) {
    std::istringstream in(input);
    CsvReader reader(in, delimiter, limit);
    Read read;
    CsvRecord record;
    while (reader.Next(record)) {
        std::vector<std::string> values;
        for (std::size_t i = 0; i < record.fieldCount; ++i)
            values.push_back(record.Field(i).value);
        read.values.push_back(values);
        read.lines.push_back(record.line);
        read.raw += record.raw;
    }
    read.bom = reader.HadByteOrderMark();
    return read;
}

using Values = std::vector<std::vector<std::string>>;

TEST(ZorvikanCsv, RecordsFieldsAndLines) {
    struct Case {
        const char* name;
        std::string input;
        Values values;
        std::vector<std::int64_t> lines;
    };
    const Case cases[] = {
        {"plain", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"no final line end", "a,b\nc", {{"a", "b"}, {"c"}}, {1, 2}},
        {"CRLF and lone CR", "a\r\nb\rc\n", {{"a"}, {"b"}, {"c"}}, {1, 2, 3}},
        {"empty fields", ",,\n", {{"", "", ""}}, {1}},
        {"blank line", "a\n\nb\n", {{"a"}, {""}, {"b"}}, {1, 2, 3}},
        {"quoted delimiter and quote",
         "\"a,b\",\"say \"\"hi\"\"\"\n",
         {{"a,b", "say \"hi\""}},
         {1}},
        {"line breaks inside quotes",
         "\"x\r\ny\nz\",w\nnext\n",
         {{"x\r\ny\nz", "w"}, {"next"}},
         {1, 4}},
        {"text after a closing quote", "\"ab\"cd,e\n", {{"abcd", "e"}}, {1}},
        {"quote inside an unquoted field", "a\"b,c\n", {{"a\"b", "c"}}, {1}},
        {"byte-order mark", "\xEF\xBB\xBFh\nv\n", {{"h"}, {"v"}}, {1, 2}},
        {"empty input", "", {}, {}},
    };
    for (const Case& c : cases) {
        const Read read = ReadAll(c.input, ',');
        EXPECT_EQ(read.values, c.values) << c.name;
        EXPECT_EQ(read.lines, c.lines) << c.name;
        // The records hold every byte of the input but the byte-order mark.
        EXPECT_EQ((read.bom ? "\xEF\xBB\xBF" : "") + read.raw, c.input) << c.name;
    }
}

TEST(ZorvikanCsv, LinesModeTakesQuotesAndDelimitersLiterally) {
    const Read read = ReadAll("\"a,b\nc\r\n", std::nullopt);
    EXPECT_EQ(read.values, (Values{{"\"a,b"}, {"c"}}));
}

TEST(ZorvikanCsv, ChunkBoundariesDoNotMatter) {
    // Records straddling the reader's 64 KiB chunks, a CR LF split between two of them included.
    std::string input;
    Values expected;
    for (int i = 0; input.size() < 200000; ++i) {
        const std::string field(static_cast<std::size_t>(i % 97), 'x');
        input += "\"" + field + "\"\"\"," + std::to_string(i) + "\r\n";
        expected.push_back({field + "\"", std::to_string(i)});
    }
    EXPECT_EQ(ReadAll(input, ',').values, expected);
}

TEST(ZorvikanCsv, MalformedInputIsRefusedWithItsLine) {
    struct Case {
        std::string input;
        std::size_t limit;
        const char* says;
    };
    const Case cases[] = {
        {"a\nb,\"open\n\n", 1 << 20, "line 2: a quoted field does not end"},
        {"ok\n" + std::string(100, 'x') + "\n", 64, "line 2: a record longer than 64 bytes"},
        {"\"" + std::string(100, 'x'), 64, "(a quoted field that does not end?)"},
    };
    for (const Case& c : cases) {
        try {
            ReadAll(c.input, ',', c.limit);
            ADD_FAILURE() << "accepted: " << c.input.substr(0, 20);
        } catch (const CsvError& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
}

TEST(ZorvikanCsv, ReplacingAFieldKeepsEveryOtherByte) {
    struct Case {
        std::string line;
        std::size_t field;
        std::string value;
        std::string expected;
    };
    const Case cases[] = {
        {"a, mw 1 ,c\r\n", 1, "MW1", "a,MW1,c\r\n"},
        {"a,\"mw1\",c\n", 1, "MW1", "a,\"MW1\",c\n"},
        {"x\n", 0, "a,b", "\"a,b\"\n"},
        {"x,y", 1, "say \"hi\"", "x,\"say \"\"hi\"\"\""},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.line);
        CsvReader reader(in, ',', 1 << 20);
        CsvRecord record;
        ASSERT_TRUE(reader.Next(record));
        EXPECT_EQ(record.RawWithField(c.field, c.value, ','), c.expected) << c.line;
    }
}

}  // namespace
