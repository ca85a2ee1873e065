// zorvikan check: validates a tag list row by row through the module, streaming, so that memory
// stays flat however long the list is.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fstream>
#include <iostream>
#include <memory>

#include "Commands.h"
#include "Csv.h"
#include "JsonForms.h"
#include "Progress.h"
#include "Session.h"
#include "Texts.h"
#include "util/TextConvert.h"

namespace {

constexpr std::size_t kMaxRecordBytes = 1 << 20;
// Rows looked at to find the device column, and the bytes they may hold.
constexpr std::size_t kSampleRows = 64;
constexpr std::size_t kSampleRecords = 1024;  // blank lines included
constexpr std::size_t kSampleBytes = 1 << 20;

struct CheckOptions {
    PlcOptions plc;
    std::string input;
    std::string column;
    std::string typeColumn;
    std::string normalize;
    std::string format = "auto";
    char delimiter = ',';
    bool noProgress = false;
};

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Tag lists come from many tools; a byte that is not UTF-8 must not stop the check. The module
// reads such characters as '?', which no device name has.
std::wstring WidenLenient(const std::string& text) {
    try {
        return util::Utf8ToWString(text);
    } catch (const std::exception&) {
        std::wstring wide;
        for (const char c : text)
            wide += static_cast<unsigned char>(c) < 0x80 ? static_cast<wchar_t>(c) : L'\uFFFD';
        return wide;
    }
}

// A text for a report line: quoted, with control characters and invalid bytes escaped.
std::string Shown(const std::string& text) {
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first = {};
    struct stat second = {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

class Checker {
public:
    Checker(const CheckOptions& options, const pqcore::PqPlcIF& plc, const ModuleTexts& texts)
        : mOptions(options), mPlc(plc), mTexts(texts), mDefaultType(DataTypeOf(options.plc)) {}

    int Run(std::istream& in, std::uint64_t size) {
        CsvReader reader(in, std::nullopt, kMaxRecordBytes);
        mCsv = IsCsv(reader.Peek());
        if (mCsv) reader.SetDelimiter(mOptions.delimiter);
        return Process(reader, size);
    }

    // Chooses the format from the options, the file name and the first line.
    bool IsCsv(std::string_view head) const {
        if (mOptions.format == "csv") return true;
        if (mOptions.format == "lines") return false;
        if (!mOptions.column.empty() || !mOptions.typeColumn.empty()) return true;
        const std::string& name = mOptions.input;
        if (name.size() >= 4 && EqualNoCase(name.substr(name.size() - 4), ".csv")) return true;
        const std::string_view firstLine = head.substr(0, head.find_first_of("\r\n"));
        return firstLine.find(mOptions.delimiter) != std::string_view::npos;
    }

    int Process(CsvReader& reader, std::uint64_t size) {
        OpenOutput(reader.HadByteOrderMark());
        Progress progress(!mOptions.noProgress, size);
        mProgress = &progress;
        BeginReport();

        CsvRecord record;
        if (mCsv) {
            if (!ReadHeader(reader, record)) return Finish(reader, progress);
            // Blank lines are kept in the sample but do not count as rows of it; when the
            // sample holds no row, the input has none and no device column is needed.
            std::deque<CsvRecord> sample;
            std::size_t sampleRows = 0, sampleBytes = 0;
            bool more = true;
            while (sampleRows < kSampleRows && sample.size() < kSampleRecords &&
                   sampleBytes < kSampleBytes && (more = reader.Next(record))) {
                sampleBytes += record.raw.size();
                if (!record.Blank()) ++sampleRows;
                sample.push_back(record);
            }
            ChooseDeviceColumn(sample);
            PrintHeading();
            for (const CsvRecord& r : sample)
                Row(r, reader.BytesRead());
            sample.clear();
            if (more)
                while (reader.Next(record))
                    Row(record, reader.BytesRead());
        } else {
            PrintHeading();
            while (reader.Next(record))
                Row(record, reader.BytesRead());
        }
        return Finish(reader, progress);
    }

    bool ReadHeader(CsvReader& reader, CsvRecord& record) {
        // Blank lines before the header are kept but are not the header.
        while (reader.Next(record)) {
            Write(record.raw);
            if (record.Blank()) continue;
            for (std::size_t i = 0; i < record.fieldCount; ++i)
                mHeader.push_back(Trimmed(record.Field(i).value));
            if (!mOptions.typeColumn.empty()) mTypeColumn = ColumnNamed(mOptions.typeColumn);
            if (!mOptions.column.empty()) mDeviceColumn = ColumnNamed(mOptions.column);
            return true;
        }
        return false;
    }

    std::size_t ColumnNamed(const std::string& name) const {
        for (std::size_t i = 0; i < mHeader.size(); ++i)
            if (mHeader[i] == name) return i;
        std::size_t found = mHeader.size(), matches = 0;
        for (std::size_t i = 0; i < mHeader.size(); ++i)
            if (EqualNoCase(mHeader[i], name)) found = i, ++matches;
        if (matches == 1) return found;
        throw UsageError("no column named '" + name + "' (columns: " + ColumnList() + ")");
    }

    std::string ColumnList() const {
        std::string list;
        for (const std::string& h : mHeader)
            list += (list.empty() ? "" : ", ") + Shown(h);
        return list;
    }

    // The first column in which most of the sampled values read as devices, even if out of
    // range: only "no such name" and "not this syntax" say that a value is no device at all.
    void ChooseDeviceColumn(const std::deque<CsvRecord>& sample) {
        if (mDeviceColumn) return;
        if (std::all_of(sample.begin(), sample.end(), [](const CsvRecord& r) { return r.Blank(); }))
            return;
        for (std::size_t column = 0; column < mHeader.size(); ++column) {
            if (mTypeColumn && column == *mTypeColumn) continue;
            std::size_t values = 0, devices = 0;
            for (const CsvRecord& r : sample) {
                if (r.Blank() || column >= r.fieldCount || Trimmed(r.Field(column).value).empty())
                    continue;
                ++values;
                pqcore::PqDevice device;
                const int type = RowType(r).value_or(mDefaultType);
                const DeviceResult result =
                    mPlc.StringToDevice(WidenLenient(r.Field(column).value), type, device);
                if (result != DeviceResult::InvalidDeviceName &&
                    result != DeviceResult::InvalidDeviceFormat)
                    ++devices;
            }
            if (values > 0 && devices * 2 >= values) {
                mDeviceColumn = column;
                return;
            }
        }
        throw UsageError("no column looks like device addresses; name it with --column (columns: " +
                         ColumnList() + ")");
    }

    // The row's data type; nullopt when its type field is neither empty nor a data type.
    std::optional<int> RowType(const CsvRecord& r) const {
        if (!mTypeColumn || *mTypeColumn >= r.fieldCount) return mDefaultType;
        const std::string tag = Trimmed(r.Field(*mTypeColumn).value);
        if (tag.empty()) return mDefaultType;
        return ParseDataType(tag);
    }

    void Row(const CsvRecord& r, std::uint64_t bytes) {
        if (r.Blank()) {
            Write(r.raw);
            return;
        }
        if (mCsv && !mDeviceColumn)
            throw UsageError("no device column found in the first lines; name it with --column");
        ++mRows;
        const std::size_t column = mCsv ? *mDeviceColumn : 0;
        // A row too short for the device column has an empty device text.
        static const std::string kNone;
        const std::string& text = column < r.fieldCount ? r.Field(column).value : kNone;
        std::string shownText = text;
        if (!mCsv) {
            // A line's text without the blanks around it, as a list author means it.
            shownText = Trimmed(text);
        }
        const std::optional<int> type = RowType(r);
        DeviceResult result = DeviceResult::InvalidDeviceType;
        pqcore::PqDevice device;
        if (type) result = mPlc.StringToDevice(WidenLenient(text), *type, device);
        if (result == DeviceResult::Ok) {
            ++mValid;
            Normalized(r, column, shownText, device);
        } else {
            ++mByResult[Slot(result)];
            Write(r.raw);
            Report(r.line, shownText, result);
        }
        mProgress->Update(bytes, mRows);
    }

    void Normalized(const CsvRecord& r, std::size_t column, const std::string& text,
                    const pqcore::PqDevice& device) {
        if (!mOut) return;
        const std::optional<std::string> canonical = CanonicalText(device);
        if (!canonical) {
            Write(r.raw);
            return;
        }
        const std::string& canonicalText = *canonical;
        if (canonicalText == text && (mCsv || text == r.Field(0).value)) {
            Write(r.raw);
            return;
        }
        ++mNormalized;
        if (mCsv && column < r.fieldCount) {
            Write(r.RawWithField(column, canonicalText, mOptions.delimiter));
        } else if (!mCsv) {
            Write(canonicalText + r.raw.substr(r.raw.size() - r.lineEnd));
        } else {
            Write(r.raw);
        }
    }

    // The device's full text (DeviceToString), provided it reads back as the same device;
    // otherwise its local text on the same condition. A full text need not read back: the
    // network family writes a network prefix in terminal types whose texts may not carry one.
    std::optional<std::string> CanonicalText(const pqcore::PqDevice& device) const {
        using Format =
            DeviceResult (pqcore::PqPlcIF::*)(const pqcore::PqDevice&, std::wstring&) const;
        for (const Format format :
             {&pqcore::PqPlcIF::DeviceToString, &pqcore::PqPlcIF::DeviceToLocalString}) {
            std::wstring text;
            if ((mPlc.*format)(device, text) != DeviceResult::Ok) continue;
            pqcore::PqDevice back;
            back.mChannel = device.mChannel;
            if (mPlc.StringToDevice(text, device.mType, back) == DeviceResult::Ok && back == device)
                return Utf8Of(text);
        }
        return std::nullopt;
    }

    static std::size_t Slot(DeviceResult result) {
        const auto value = static_cast<int>(result);
        return value > 0 && value < 10 ? static_cast<std::size_t>(value) : 10;
    }

    void OpenOutput(bool byteOrderMark) {
        if (mOptions.normalize.empty()) return;
        if (mOptions.input != "-" && SameFile(mOptions.input, mOptions.normalize))
            throw UsageError("--normalize must not name the input file");
        mOut =
            std::make_unique<std::ofstream>(mOptions.normalize, std::ios::binary | std::ios::trunc);
        if (!*mOut)
            throw UsageError("cannot write " + mOptions.normalize + ": " + std::strerror(errno));
        if (byteOrderMark) Write("\xEF\xBB\xBF");
    }

    void Write(const std::string& bytes) {
        if (mOut) mOut->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    void BeginReport() {
        if (!mOptions.plc.json) return;
        std::cout << "{\"input\":" << Shown(mOptions.input)
                  << ",\"plc\":" << Shown(mOptions.plc.plc)
                  << ",\"terminal\":" << mOptions.plc.terminal
                  << ",\"format\":" << (mCsv ? "\"csv\"" : "\"lines\"");
    }

    void PrintHeading() {
        const std::string device = mDeviceColumn ? Shown(mHeader[*mDeviceColumn]) : "null";
        const std::string type = mTypeColumn ? Shown(mHeader[*mTypeColumn]) : "null";
        if (mOptions.plc.json) {
            std::cout << ",\"deviceColumn\":" << device << ",\"typeColumn\":" << type
                      << ",\"failures\":[";
            return;
        }
        std::cout << "checking " << (mOptions.input == "-" ? "standard input" : mOptions.input)
                  << " as " << mOptions.plc.plc << " (terminal " << mOptions.plc.terminal << ")";
        if (mDeviceColumn) std::cout << ", device column " << device;
        if (mTypeColumn) std::cout << ", data types from " << type;
        std::cout << "\n";
    }

    void Report(std::int64_t row, const std::string& text, DeviceResult result) {
        mProgress->Hide();
        const std::string message = mTexts.ResultMessage(result);
        if (mOptions.plc.json) {
            const Json failure{{"row", row},
                               {"text", text},
                               {"result", static_cast<int>(result)},
                               {"resultName", ResultName(result)},
                               {"message", message}};
            std::cout << (mFailures++ == 0 ? "\n" : ",\n")
                      << failure.dump(-1, ' ', false, Json::error_handler_t::replace);
            return;
        }
        ++mFailures;
        std::cout << "row " << row << ": " << Shown(text) << ": " << message << " ("
                  << ResultName(result) << ")\n";
    }

    int Finish(CsvReader& reader, Progress& progress) {
        progress.Finish(reader.BytesRead(), mRows);
        if (mOut) {
            mOut->close();
            if (!*mOut) throw UsageError("cannot write " + mOptions.normalize);
        }
        const std::uint64_t invalid = mRows - mValid;
        Json byResult = Json::array();
        for (std::size_t slot = 1; slot < mByResult.size(); ++slot) {
            if (mByResult[slot] == 0) continue;
            const auto result = static_cast<DeviceResult>(slot);
            byResult.push_back({{"result", static_cast<int>(slot)},
                                {"resultName", ResultName(result)},
                                {"message", mTexts.ResultMessage(result)},
                                {"count", mByResult[slot]}});
        }
        if (mOptions.plc.json) {
            if (mHeader.empty() && mCsv)
                std::cout << ",\"deviceColumn\":null,\"typeColumn\":null,\"failures\":[";
            Json summary{
                {"rows", mRows}, {"valid", mValid}, {"invalid", invalid}, {"byResult", byResult}};
            if (mOut) summary["normalized"] = mNormalized;
            std::cout << (mFailures ? "\n" : "") << "],\"summary\":" << summary.dump() << "}\n";
        } else {
            std::cout << mRows << (mRows == 1 ? " row: " : " rows: ") << mValid << " valid, "
                      << invalid << " invalid\n";
            for (const Json& entry : byResult)
                std::cout << "  " << entry["count"].get<std::uint64_t>() << " "
                          << entry["resultName"].get<std::string>() << ": "
                          << entry["message"].get<std::string>() << "\n";
            if (mOut)
                std::cout << mNormalized << (mNormalized == 1 ? " row" : " rows")
                          << " rewritten in canonical form into " << mOptions.normalize << "\n";
        }
        std::cout.flush();
        return invalid == 0 ? kExitOk : kExitInvalid;
    }

private:
    const CheckOptions& mOptions;
    const pqcore::PqPlcIF& mPlc;
    const ModuleTexts& mTexts;
    const int mDefaultType;
    bool mCsv = false;
    std::vector<std::string> mHeader;
    std::optional<std::size_t> mDeviceColumn;
    std::optional<std::size_t> mTypeColumn;
    std::unique_ptr<std::ofstream> mOut;
    Progress* mProgress = nullptr;
    std::uint64_t mRows = 0;
    std::uint64_t mValid = 0;
    std::uint64_t mNormalized = 0;
    std::uint64_t mFailures = 0;
    std::array<std::uint64_t, 11> mByResult{};  // by result 1..9, 10 for any other
};

int RunCheck(const GlobalOptions& global, const CheckOptions& options) {
    const ModuleHost host(ModulePath(global));
    const ModuleTexts texts(host);
    const auto plc = CreateSessionPlc(host, options.plc.plc, options.plc.terminal);

    std::ifstream file;
    std::istream* in = &std::cin;
    std::uint64_t size = 0;
    if (options.input != "-") {
        file.open(options.input, std::ios::binary);
        if (!file) throw UsageError("cannot read " + options.input + ": " + std::strerror(errno));
        struct stat info {};
        if (stat(options.input.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            size = static_cast<std::uint64_t>(info.st_size);
        in = &file;
    }
    Checker checker(options, *plc, texts);
    return checker.Run(*in, size);
}

}  // namespace

void RegisterCheckCommand(CLI::App& app, const GlobalOptions& global, int& status) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* cmd = app.add_subcommand(
        "check", "Check a tag list (CSV with a header, or one device text per line)");
    cmd->add_option("file", options->input, "The tag list; - reads standard input")->required();
    AddPlcOptions(*cmd, options->plc, true);
    cmd->add_option("--column", options->column,
                    "Header of the device column (default: the first column of device texts)");
    cmd->add_option("--type-column", options->typeColumn,
                    "Header of a data-type column (characters or tags; empty cells take --type)");
    cmd->add_option("--normalize", options->normalize,
                    "Write the list to this file with every valid device in its canonical text");
    cmd->add_option("--format", options->format,
                    "csv, lines, or auto (CSV for --column/--type-column, a .csv name, or a "
                    "delimiter in the first line)")
        ->capture_default_str()
        ->check(CLI::IsMember({"auto", "csv", "lines"}));
    cmd->add_option("--delimiter", options->delimiter, "CSV field delimiter")
        ->capture_default_str();
    cmd->add_flag("--no-progress", options->noProgress, "Never show the progress bar");
    cmd->callback([&global, &status, options] { status = RunCheck(global, *options); });
}
