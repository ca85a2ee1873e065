#include "Csv.h"

#include <algorithm>

namespace {

constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

bool CsvRecord::Blank() const {
    if (fieldCount != 1 || fields[0].quoted) return false;
    return fields[0].value.find_first_not_of(" \t") == std::string::npos;
}

std::string CsvRecord::RawWithField(std::size_t i, const std::string& value, char delimiter) const {
    const CsvField& f = fields[i];
    return raw.substr(0, f.begin) + CsvQuote(value, delimiter, f.quoted) + raw.substr(f.end);
}

CsvReader::CsvReader(std::istream& in, std::optional<char> delimiter, std::size_t maxRecordBytes)
    : mIn(in), mMax(maxRecordBytes), mBuffer(kChunk) {
    SetDelimiter(delimiter);
}

void CsvReader::SetDelimiter(std::optional<char> delimiter) {
    mDelimiter = delimiter;
    mSpecial.fill(false);
    for (const char c : {'\n', '\r'})
        mSpecial[static_cast<unsigned char>(c)] = true;
    if (delimiter)
        for (const char c : {'"', *delimiter})
            mSpecial[static_cast<unsigned char>(c)] = true;
}

bool CsvReader::Fill() {
    if (mEof) return false;
    // Keep what is not yet consumed at the front.
    std::copy(mBuffer.begin() + static_cast<long>(mPos), mBuffer.begin() + static_cast<long>(mEnd),
              mBuffer.begin());
    mEnd -= mPos;
    mPos = 0;
    mIn.read(mBuffer.data() + mEnd, static_cast<std::streamsize>(mBuffer.size() - mEnd));
    const auto got = static_cast<std::size_t>(mIn.gcount());
    if (got == 0) {
        if (mIn.bad()) throw CsvError("read error");
        mEof = true;
        return false;
    }
    mEnd += got;
    return true;
}

std::string_view CsvReader::Peek() {
    if (!mStarted) {
        mStarted = true;
        while (mEnd < 3 && Fill()) {
        }
        if (mEnd >= 3 && mBuffer[0] == '\xEF' && mBuffer[1] == '\xBB' && mBuffer[2] == '\xBF') {
            mBom = true;
            mPos = 3;
        }
        while (mEnd - mPos < kChunk / 2 && Fill()) {
        }
    }
    return {mBuffer.data() + mPos, mEnd - mPos};
}

int CsvReader::Get() {
    if (mPos == mEnd && !Fill()) return -1;
    ++mConsumed;
    return static_cast<unsigned char>(mBuffer[mPos++]);
}

int CsvReader::PeekByte() {
    if (mPos == mEnd && !Fill()) return -1;
    return static_cast<unsigned char>(mBuffer[mPos]);
}

bool CsvReader::Next(CsvRecord& record) {
    Peek();
    record.raw.clear();
    record.lineEnd = 0;
    record.fieldCount = 0;
    record.line = mLine;
    if (PeekByte() < 0) return false;

    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    State state = State::FieldStart;
    CsvField* field = nullptr;
    const auto startField = [&] {
        if (record.fieldCount == record.fields.size()) record.fields.emplace_back();
        field = &record.fields[record.fieldCount++];
        field->begin = record.raw.size();
        field->quoted = false;
        field->value.clear();
    };
    const auto checkLength = [&] {
        if (record.raw.size() > mMax)
            throw CsvError("line " + std::to_string(record.line) + ": a record longer than " +
                           std::to_string(mMax) + " bytes" +
                           (state == State::Quoted ? " (a quoted field that does not end?)" : ""));
    };
    // The delimiter just appended to raw ends the field and starts the next.
    const auto nextField = [&] {
        field->end = record.raw.size() - 1;
        startField();
        state = State::FieldStart;
    };
    const auto special = [this](char ch) { return mSpecial[static_cast<unsigned char>(ch)]; };
    startField();

    for (;;) {
        if (mPos == mEnd) Fill();
        // A run of plain field text is taken in one step; the bytes that need a decision go one
        // by one below. Runs never hold a line break, so the line count is not affected.
        if (state != State::QuoteInQuoted && mPos < mEnd) {
            const char* const begin = mBuffer.data() + mPos;
            const char* const end = mBuffer.data() + mEnd;
            const char* const stop = std::find_if(begin, end, special);
            if (stop != begin) {
                const auto n = static_cast<std::size_t>(stop - begin);
                record.raw.append(begin, n);
                field->value.append(begin, n);
                mPos += n;
                mConsumed += n;
                if (state == State::FieldStart) state = State::Unquoted;
                checkLength();
                continue;
            }
        }
        const int c = Get();
        if (c < 0) {
            if (state == State::Quoted)
                throw CsvError("line " + std::to_string(record.line) +
                               ": a quoted field does not end before the end of the input");
            field->end = record.raw.size();
            return true;
        }
        const char ch = static_cast<char>(c);
        const bool lineBreak = ch == '\n' || ch == '\r';
        if (lineBreak && state != State::Quoted) {
            field->end = record.raw.size();
            record.raw += ch;
            record.lineEnd = 1;
            if (ch == '\r' && PeekByte() == '\n') {
                record.raw += static_cast<char>(Get());
                record.lineEnd = 2;
            }
            ++mLine;
            return true;
        }
        record.raw += ch;
        checkLength();
        if (!mDelimiter) {
            field->value += ch;
            continue;
        }
        const bool delimiter = ch == *mDelimiter;
        switch (state) {
            case State::FieldStart:
                if (ch == '"') {
                    field->quoted = true;
                    state = State::Quoted;
                    break;
                }
                [[fallthrough]];
            case State::Unquoted:
                if (delimiter) {
                    nextField();
                } else {
                    field->value += ch;
                    state = State::Unquoted;
                }
                break;
            case State::Quoted:
                if (ch == '"') {
                    state = State::QuoteInQuoted;
                } else {
                    field->value += ch;
                    if (ch == '\n' || (ch == '\r' && PeekByte() != '\n')) ++mLine;
                }
                break;
            case State::QuoteInQuoted:
                if (ch == '"') {
                    field->value += '"';
                    state = State::Quoted;
                } else if (delimiter) {
                    nextField();
                } else {
                    // Text after the closing quote is kept, as spreadsheets do.
                    field->value += ch;
                    state = State::Unquoted;
                }
                break;
        }
    }
}

std::string CsvQuote(const std::string& value, char delimiter, bool force) {
    const bool needed =
        value.find_first_of(std::string{delimiter, '"', '\r', '\n'}) != std::string::npos;
    if (!needed && !force) return value;
    std::string out = "\"";
    for (const char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}
