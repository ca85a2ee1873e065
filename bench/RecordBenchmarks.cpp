// The record text forms (PqDevice::ToString/FromString) and the escaping under them, ours against
// a straightforward per-character reference written here; and util::Format alone on the module's
// formats, on our formatter and on swprintf.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "Benchmarks.h"
#include "pqcore/PqDevice.h"
#include "util/Escape.h"
#include "util/Format.h"
#include "util/FormatEngine.h"
#include "util/StaticFormat.h"
#include "util/TextBackend.h"
#include "util/TextConvert.h"

namespace zv_bench {
namespace {

using pqcore::PqDevice;
using util::TextBackend;

constexpr std::size_t kMask = kCorpusSize - 1;

// ---- The reference: one character at a time, the C library for every number ---------------

void AppendUnicode(std::string& out, unsigned c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04X", c);
    out += buffer;
}

std::string ReferenceEscape(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\v':
                out += "\\v";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\a':
                out += "\\a";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '&':
            case ',':
            case ';':
            case '{':
            case '}':
                AppendUnicode(out, c);
                break;
            default:
                if (c < 32)
                    AppendUnicode(out, c);
                else
                    out += ch;
        }
    }
    return out;
}

std::string ReferenceUnescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char e = text[++i];
        switch (e) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'v':
                out += '\v';
                break;
            case 'b':
                out += '\b';
                break;
            case 'r':
                out += '\r';
                break;
            case 'f':
                out += '\f';
                break;
            case 'a':
                out += '\a';
                break;
            case 'u':
                out += static_cast<char>(
                    std::strtoul(std::string(text.substr(i + 1, 4)).c_str(), nullptr, 16));
                i += 4;
                break;
            default:
                out += e;
                break;
        }
    }
    return out;
}

void ReferenceDeviceString(const PqDevice& d, std::string& out) {
    char buffer[100];
    const std::uint32_t first =
        (static_cast<std::uint32_t>(d.mChannel) << 16) + static_cast<std::uint32_t>(d.mCode);
    int n = std::snprintf(buffer, sizeof buffer, "%X.%X", first, static_cast<unsigned>(d.mNumber));
    if (!d.mSegment.IsNull()) {
        n += std::snprintf(buffer + n, sizeof buffer - n, "@%X.%X",
                           static_cast<unsigned>(d.mSegment.mNetworkNo),
                           static_cast<unsigned>(d.mSegment.mStationNo));
        if (d.mSegment.mExtNo != 0)
            n += std::snprintf(buffer + n, sizeof buffer - n, ".%X",
                               static_cast<unsigned>(d.mSegment.mExtNo));
    }
    n += std::snprintf(buffer + n, sizeof buffer - n, "/%c", d.mType);
    out.assign(buffer, static_cast<std::size_t>(n));
}

void ReferenceToString(const PqDevice& d, std::string& out) {
    if (PqDevice::mLabelMap == nullptr || d.mName.empty()) {
        ReferenceDeviceString(d, out);
        return;
    }
    PqDevice::mLabelMap->UpdateLabel(const_cast<PqDevice*>(&d));
    char id[16];
    std::snprintf(id, sizeof id, "%X", d.mLabelId);
    out = "&N=" + ReferenceEscape(util::WStringToUtf8(d.mName)) + "&A=" + id + "&&";
}

std::uint32_t Hex(std::string_view text, std::size_t& i) {
    std::uint32_t v = 0;
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i)
        v = v * 16 + static_cast<std::uint32_t>(util::HexDigitValue(text[i]));
    return v;
}

// "first.number[@network.station[.ext]]/type" of a valid text.
void ReferenceParseDevice(std::string_view text, PqDevice& d) {
    std::size_t i = 0;
    const auto first = static_cast<std::int32_t>(Hex(text, i));
    ++i;
    d.mNumber = static_cast<std::int32_t>(Hex(text, i));
    d.mChannel = first >> 16;
    d.mCode = first & 0xFFFF;
    if (i < text.size() && text[i] == '@') {
        ++i;
        d.mSegment.mNetworkNo = static_cast<std::int16_t>(Hex(text, i));
        ++i;
        d.mSegment.mStationNo = static_cast<std::int16_t>(Hex(text, i));
        if (text[i] == '.') {
            ++i;
            d.mSegment.mExtNo = static_cast<std::int16_t>(Hex(text, i));
        }
    }
    d.mType = static_cast<unsigned char>(text[i + 1]);
}

// The plain form or the keyed form "&K=value...&&" of a valid text; returns the characters read.
int ReferenceFromString(const std::string& text, PqDevice& d) {
    d.Clear();
    d.mLabelId = 0;
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i == text.size() || text[i] != '&') {
        ReferenceParseDevice(std::string_view(text).substr(i), d);
        return static_cast<int>(text.size());
    }
    ++i;
    std::string_view values[128];
    bool present[128] = {};
    while (i < text.size()) {
        const char key = text[i++];
        if (key == '&') break;
        std::size_t end = text.find('&', i);
        if (end == std::string::npos) end = text.size();
        if (text[i] == '=' && static_cast<unsigned char>(key) < 128) {
            values[static_cast<unsigned char>(key)] =
                std::string_view(text).substr(i + 1, end - i - 1);
            present[static_cast<unsigned char>(key)] = true;
        }
        i = std::min(end + 1, text.size());
    }
    if (present[std::size_t{'D'}]) ReferenceParseDevice(values[std::size_t{'D'}], d);
    if (present[std::size_t{'A'}]) {
        std::size_t k = 0;
        d.mLabelId = Hex(values[std::size_t{'A'}], k);
    }
    if (present[std::size_t{'N'}])
        d.mName = util::Utf8ToWString(ReferenceUnescape(values[std::size_t{'N'}]));
    if (present[std::size_t{'L'}])
        d.mAuxText = util::Utf8ToWString(ReferenceUnescape(values[std::size_t{'L'}]));
    return static_cast<int>(i);
}

// ---- The corpus ------------------------------------------------------------------------------

// A host's label map that knows no labels: printing keeps the record's number.
class NoLabels final : public pqcore::project::PqLabelMapIF {
public:
    bool ResolveLabel(const std::wstring&, PqDevice*) override { return false; }
    bool UpdateLabel(PqDevice*) override { return false; }
};

// Function-local: the benchmarks register (and print records) before main.
NoLabels& NoLabelMap() {
    static NoLabels map;
    return map;
}

// Installs the label map for the labelled form while a ToString benchmark runs.
class WithLabelMap {
public:
    WithLabelMap() { PqDevice::mLabelMap = &NoLabelMap(); }
    ~WithLabelMap() { PqDevice::mLabelMap = nullptr; }
    WithLabelMap(const WithLabelMap&) = delete;
    WithLabelMap& operator=(const WithLabelMap&) = delete;
};

struct RecordCorpus {
    std::vector<PqDevice> records;   // half of them named (the labelled form)
    std::vector<std::string> texts;  // plain, labelled and keyed forms of them
    std::vector<std::string> names;  // the UTF-8 names, for the escaping alone
    std::vector<std::string> escaped;
};

// Names with everything the escaping has a rule for: separators, quotes, backslashes,
// control characters and non-ASCII characters.
std::wstring Name(std::mt19937_64& rng) {
    static const std::wstring kAlphabet =
        L"MotorPumpValveTankLevel_0123456789 :-&,;{}\"\\\n\t\x01\x1F\xE9\xFC\x20AC\x3042";
    std::wstring name;
    for (std::size_t n = 1 + rng() % 24; n > 0; --n)
        name += kAlphabet[rng() % kAlphabet.size()];
    return name;
}

RecordCorpus MakeRecords() {
    std::mt19937_64 rng(977);
    RecordCorpus c;
    constexpr int kCodes[] = {156, 157, 168, 175, 180, 204, 12289, 12290, 46100};
    constexpr int kTypes[] = {'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F'};
    for (std::size_t i = 0; i < kCorpusSize; ++i) {
        PqDevice d;
        d.mChannel = static_cast<std::int32_t>(rng() % 4);
        d.mCode = kCodes[rng() % std::size(kCodes)];
        d.mNumber = static_cast<std::int32_t>(rng() % 1048576);
        d.mType = kTypes[rng() % std::size(kTypes)];
        if (rng() % 2) {
            d.mSegment.mNetworkNo = static_cast<std::int16_t>(1 + rng() % 239);
            d.mSegment.mStationNo = static_cast<std::int16_t>(1 + rng() % 65);
        }
        if (rng() % 2) {
            d.mName = Name(rng);
            d.mLabelId = static_cast<std::uint32_t>(1 + rng() % 100000);
            if (rng() % 2) d.mAuxText = Name(rng);
        }
        c.records.push_back(d);
    }
    const WithLabelMap labels;
    for (std::size_t i = 0; i < kCorpusSize; ++i) {
        const PqDevice& d = c.records[i];
        std::string text;
        if (i % 3 == 2)
            d.ToKeyedString(text);
        else
            d.ToString(text);
        c.texts.push_back(text);
        const std::string name = util::WStringToUtf8(d.mName.empty() ? Name(rng) : d.mName);
        c.names.push_back(name);
        c.escaped.push_back(util::Escape(name, false, true));
    }
    return c;
}

// The reference must do exactly what ours does on every input, or the pair compares nothing.
bool Agree(const RecordCorpus& c) {
    for (std::size_t i = 0; i < kCorpusSize; ++i) {
        if (util::Escape(c.names[i], false, true) != ReferenceEscape(c.names[i])) return false;
        if (util::Unescape(c.escaped[i]) != ReferenceUnescape(c.escaped[i])) return false;
        PqDevice ours, reference;
        if (ours.FromString(c.texts[i]) != ReferenceFromString(c.texts[i], reference)) return false;
        if (!(ours == reference) || ours.mLabelId != reference.mLabelId) return false;
    }
    const WithLabelMap labels;
    for (const PqDevice& d : c.records) {
        std::string ours, reference;
        d.ToString(ours);
        ReferenceToString(d, reference);
        if (ours != reference) return false;
    }
    return true;
}

const RecordCorpus& Records() {
    static const RecordCorpus corpus = MakeRecords();
    return corpus;
}

void Register(const std::string& name, void (*body)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) {
        body(state);
        state.SetItemsProcessed(state.iterations());
    });
}

// ---- Benchmarks ------------------------------------------------------------------------------

void ToStringOurs(benchmark::State& state) {
    const WithLabelMap labels;
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        Records().records[i].ToString(out);
        benchmark::DoNotOptimize(out.data());
        i = (i + 1) & kMask;
    }
}

void ToStringReference(benchmark::State& state) {
    const WithLabelMap labels;
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        ReferenceToString(Records().records[i], out);
        benchmark::DoNotOptimize(out.data());
        i = (i + 1) & kMask;
    }
}

void FromStringOurs(benchmark::State& state) {
    PqDevice d;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(d.FromString(Records().texts[i]));
        i = (i + 1) & kMask;
    }
}

void FromStringReference(benchmark::State& state) {
    PqDevice d;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReferenceFromString(Records().texts[i], d));
        i = (i + 1) & kMask;
    }
}

void EscapeOurs(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(util::Escape(Records().names[i], false, true));
        i = (i + 1) & kMask;
    }
}

void EscapeReference(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReferenceEscape(Records().names[i]));
        i = (i + 1) & kMask;
    }
}

void UnescapeOurs(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(util::Unescape(Records().escaped[i]));
        i = (i + 1) & kMask;
    }
}

void UnescapeReference(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReferenceUnescape(Records().escaped[i]));
        i = (i + 1) & kMask;
    }
}

// The formats and argument types the module prints with, in turn, as the module keeps them
// (util::StaticFormat); `f` gets the format (an empty object: its type is the format) and the
// arguments.
template <class F>
auto WithModuleFormat(std::size_t i, long v, F&& f) {
    using util::StaticFormat;
    const auto hex = static_cast<unsigned long>(static_cast<std::uint32_t>(v));
    switch (i % 10) {
        case 0:
            return f(StaticFormat<L"IB%05lX">{}, hex);
        case 1:
            return f(StaticFormat<L"MB%05ld%lX">{}, v / 16, hex % 16);
        case 2:
            return f(StaticFormat<L"MW%ld">{}, v);
        case 3:
            return f(StaticFormat<L".b%d">{}, static_cast<int>(v % 16));
        case 4:
            return f(StaticFormat<L"%d-%d">{}, static_cast<int>(v % 240), static_cast<int>(v % 64));
        case 5:
            return f(StaticFormat<L"IW%04lX">{}, hex);
        case 6:
            return f(StaticFormat<L"GD%ld">{}, v);
        case 7:
            return f(StaticFormat<L"I%ld">{}, v + 1);
        case 8:
            return f(StaticFormat<L"&A=%X">{}, static_cast<unsigned>(v));
        default:
            return f(StaticFormat<L"SR%ld">{}, v);
    }
}

// A new string with the text, as util::Format returns one.
std::wstring ModuleFormat(std::size_t i, long v) {
    return WithModuleFormat(i, v, [](auto format, auto... args) {
        std::wstring text;
        decltype(format)::Append(text, args...);
        return text;
    });
}

std::vector<long> FormatValues() {
    std::mt19937_64 rng(31);
    std::vector<long> values;
    for (std::size_t i = 0; i < kCorpusSize; ++i)
        values.push_back(static_cast<long>(rng() % 1048576));
    return values;
}

void FormatModule(benchmark::State& state, TextBackend backend) {
    static const std::vector<long> values = FormatValues();
    const util::ScopedTextBackend scoped(backend);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ModuleFormat(i, values[i]));
        i = (i + 1) & kMask;
    }
}

// The formatting alone, into a buffer, no string made: util::FormatTo on the selected backend
// (ours, or swprintf on the format's text).
int ModuleFormatInto(wchar_t* buffer, std::size_t i, long v) {
    return WithModuleFormat(i, v, [buffer](auto format, auto... args) {
        return decltype(format)::To(buffer, 64, args...);
    });
}

// The same through the va_list entry, which parses the format on every call: for formats made at
// run time.
int FormatVaList(bool ours, wchar_t* buffer, const wchar_t* format, ...) {
    std::va_list args;
    va_start(args, format);
    const int length =
        ours ? util::FormatTo(buffer, 64, format, args) : std::vswprintf(buffer, 64, format, args);
    va_end(args);
    return length;
}

void FormatVaListModule(benchmark::State& state, bool ours) {
    static const std::vector<long> values = FormatValues();
    wchar_t buffer[64];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            WithModuleFormat(i, values[i], [ours, &buffer](auto format, auto... args) {
                return FormatVaList(ours, buffer, decltype(format)::kCompiled.Text(), args...);
            }));
        benchmark::ClobberMemory();
        i = (i + 1) & kMask;
    }
}

void FormatToModule(benchmark::State& state, bool ours) {
    static const std::vector<long> values = FormatValues();
    const util::ScopedTextBackend scoped(ours ? TextBackend::Ours : TextBackend::CLibrary);
    wchar_t buffer[64];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ModuleFormatInto(buffer, i, values[i]));
        benchmark::ClobberMemory();
        i = (i + 1) & kMask;
    }
}

void FormatToOurs(benchmark::State& state) {
    FormatToModule(state, true);
}
void FormatToReference(benchmark::State& state) {
    FormatToModule(state, false);
}

void FormatVaListOurs(benchmark::State& state) {
    FormatVaListModule(state, true);
}
void FormatVaListReference(benchmark::State& state) {
    FormatVaListModule(state, false);
}

void FormatOurs(benchmark::State& state) {
    FormatModule(state, TextBackend::Ours);
}
void FormatReference(benchmark::State& state) {
    FormatModule(state, TextBackend::CLibrary);
}

}  // namespace

bool RegisterRecordBenchmarks() {
    if (!Agree(Records())) {
        std::fprintf(stderr, "zv_bench: the record reference differs from PqDevice's text forms\n");
        return false;
    }
    const std::vector<long> values = FormatValues();
    for (std::size_t i = 0; i < kCorpusSize; ++i) {
        wchar_t buffer[64], viaList[64], referenceBuffer[64];
        const int length = ModuleFormatInto(buffer, i, values[i]);
        const int listLength =
            WithModuleFormat(i, values[i], [&viaList](auto format, auto... args) {
                return FormatVaList(true, viaList, decltype(format)::kCompiled.Text(), args...);
            });
        const std::wstring ours = ModuleFormat(i, values[i]);
        const util::ScopedTextBackend scoped(TextBackend::CLibrary);
        if (length < 0 || length != ModuleFormatInto(referenceBuffer, i, values[i]) ||
            length != listLength ||
            std::wmemcmp(buffer, referenceBuffer, static_cast<std::size_t>(length)) != 0 ||
            std::wmemcmp(buffer, viaList, static_cast<std::size_t>(length)) != 0) {
            std::fprintf(stderr, "zv_bench: util::FormatTo differs from swprintf\n");
            return false;
        }
        if (ours != ModuleFormat(i, values[i])) {
            std::fprintf(stderr, "zv_bench: util::Format differs per backend\n");
            return false;
        }
    }
    Register("record/ToString/ours", &ToStringOurs);
    Register("record/ToString/reference", &ToStringReference);
    Register("record/FromString/ours", &FromStringOurs);
    Register("record/FromString/reference", &FromStringReference);
    Register("record/Escape/ours", &EscapeOurs);
    Register("record/Escape/reference", &EscapeReference);
    Register("record/Unescape/ours", &UnescapeOurs);
    Register("record/Unescape/reference", &UnescapeReference);
    Register("format/util/Format/ours", &FormatOurs);
    Register("format/util/Format/reference", &FormatReference);
    Register("format/util/FormatTo/ours", &FormatToOurs);
    Register("format/util/FormatTo/reference", &FormatToReference);
    Register("format/util/FormatVaList/ours", &FormatVaListOurs);
    Register("format/util/FormatVaList/reference", &FormatVaListReference);
    return true;
}

}  // namespace zv_bench
