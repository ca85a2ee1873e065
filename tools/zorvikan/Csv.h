// Streaming reader of tag lists: CSV records (quoted fields with "" escapes, delimiters and line
// breaks inside quotes, CRLF, LF or CR line ends, a UTF-8 byte-order mark) or plain lines. It
// keeps one record at a time together with its exact bytes, so that a list can be written back
// with only chosen fields changed.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class CsvError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CsvField {
    std::size_t begin = 0;  // the field's bytes within the record's raw text, quotes included
    std::size_t end = 0;
    bool quoted = false;
    std::string value;  // unquoted and unescaped
};

struct CsvRecord {
    std::string raw;          // every byte of the record, its line end included
    std::size_t lineEnd = 0;  // bytes of the line end at the back of raw (0 at the end of input)
    std::vector<CsvField> fields;  // the first fieldCount are in use; the rest keep their storage
    std::size_t fieldCount = 0;
    std::int64_t line = 0;  // the line on which the record starts, from 1

    const CsvField& Field(std::size_t i) const { return fields[i]; }
    // A line with nothing on it (blanks and tabs count as nothing).
    bool Blank() const;
    // The raw text with field i replaced by `value`, quoted when it needs to be or was.
    std::string RawWithField(std::size_t i, const std::string& value, char delimiter) const;
};

class CsvReader {
public:
    // With a delimiter: CSV. Without: every line is one field and quotes mean nothing.
    CsvReader(std::istream& in, std::optional<char> delimiter, std::size_t maxRecordBytes);

    // Chooses the format after a look at the input (before the first record is read).
    void SetDelimiter(std::optional<char> delimiter);

    // The first bytes of the input (after a byte-order mark), without consuming them.
    std::string_view Peek();
    // The next record; false at the end of the input. Throws CsvError for a record longer than
    // the limit or a quoted field that never closes.
    bool Next(CsvRecord& record);

    bool HadByteOrderMark() {
        Peek();
        return mBom;
    }
    std::uint64_t BytesRead() const { return mConsumed; }

private:
    int Get();  // next byte, or -1 at the end
    int PeekByte();
    bool Fill();

    std::istream& mIn;
    std::optional<char> mDelimiter;
    // Bytes that end a run of field text: line breaks, and in CSV quotes and the delimiter.
    std::array<bool, 256> mSpecial{};
    std::size_t mMax;
    std::vector<char> mBuffer;
    std::size_t mPos = 0;
    std::size_t mEnd = 0;
    bool mEof = false;
    bool mStarted = false;
    bool mBom = false;
    std::uint64_t mConsumed = 0;
    std::int64_t mLine = 1;
};

// A field value as CSV writes it: quoted (with "" for a quote) when it holds the delimiter, a
// quote or a line break, or when `force` is set.
std::string CsvQuote(const std::string& value, char delimiter, bool force = false);
