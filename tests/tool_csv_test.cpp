// The tag-list reader of zorvikan check: records, their fields and exact bytes, line numbers.
#include <gtest/gtest.h>

#include <sstream>

#include "Csv.h"

namespace {

using Values = std::vector<std::vector<std::string>>;

struct Read {
    Values values;
    std::vector<std::int64_t> lines;
    std::string bytes;  // the byte-order mark, if any, then every record's bytes
};

Read ReadAll(const std::string& input, std::optional<char> delimiter, std::size_t limit = 1 << 20) {
    std::istringstream in(input);
    CsvReader reader(in, delimiter, limit);
    Read read;
    for (CsvRecord record; reader.Next(record);) {
        read.values.emplace_back();
        for (std::size_t i = 0; i < record.fieldCount; ++i)
            read.values.back().push_back(std::string(record.Field(i).value));
        read.lines.push_back(record.line);
        read.bytes += record.raw;
    }
    if (reader.HadByteOrderMark()) read.bytes.insert(0, "\xEF\xBB\xBF");
    return read;
}

TEST(ZorvikanCsv, RecordsFieldsAndLinesKeepEveryByte) {
    struct Case {
        std::string input;
        Values values;
        std::vector<std::int64_t> lines;
        std::optional<char> delimiter = ',';
    };
    const Case cases[] = {
        {"a,b\nc", {{"a", "b"}, {"c"}}, {1, 2}},  // no final line end
        {"a\r\nb\rc\n", {{"a"}, {"b"}, {"c"}}, {1, 2, 3}},
        {",,\n\nb\n", {{"", "", ""}, {""}, {"b"}}, {1, 2, 3}},
        {"\"a,b\",\"say \"\"hi\"\"\"\n", {{"a,b", "say \"hi\""}}, {1}},
        {"\"x\r\ny\nz\",w\nnext\n", {{"x\r\ny\nz", "w"}, {"next"}}, {1, 4}},
        {"\"ab\"cd,e\n", {{"abcd", "e"}}, {1}},  // text after a closing quote
        {"a\"b,c\n", {{"a\"b", "c"}}, {1}},      // a quote inside an unquoted field
        {"\xEF\xBB\xBFh\nv\n", {{"h"}, {"v"}}, {1, 2}},
        {"", {}, {}},
        {"\"a,b\nc\r\n", {{"\"a,b"}, {"c"}}, {1, 2}, std::nullopt},  // lines: all literal
    };
    for (const Case& c : cases) {
        const Read read = ReadAll(c.input, c.delimiter);
        EXPECT_EQ(read.values, c.values) << c.input;
        EXPECT_EQ(read.lines, c.lines) << c.input;
        EXPECT_EQ(read.bytes, c.input);
    }
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
    const std::tuple<std::string, std::size_t, const char*> cases[] = {
        {"a\nb,\"open\n\n", 1 << 20, "line 2: a quoted field does not end"},
        {"ok\n" + std::string(100, 'x') + "\n", 64, "line 2: a record longer than 64 bytes"},
        {"\"" + std::string(100, 'x'), 64, "(a quoted field that does not end?)"},
    };
    for (const auto& [input, limit, says] : cases) {
        try {
            ReadAll(input, ',', limit);
            ADD_FAILURE() << "accepted: " << input.substr(0, 20);
        } catch (const CsvError& e) {
            EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
        }
    }
}

TEST(ZorvikanCsv, ReplacingAFieldKeepsEveryOtherByte) {
    const std::tuple<std::string, std::size_t, std::string, std::string> cases[] = {
        {"a, mw 1 ,c\r\n", 1, "MW1", "a,MW1,c\r\n"},
        {"a,\"mw1\",c\n", 1, "MW1", "a,\"MW1\",c\n"},
        {"x\n", 0, "a,b", "\"a,b\"\n"},
        {"x,y", 1, "say \"hi\"", "x,\"say \"\"hi\"\"\""},
    };
    for (const auto& [line, field, value, expected] : cases) {
        std::istringstream in(line);
        CsvReader reader(in, ',', 1 << 20);
        CsvRecord record;
        ASSERT_TRUE(reader.Next(record));
        EXPECT_EQ(record.RawWithField(field, value, ','), expected) << line;
    }
}

}  // namespace
