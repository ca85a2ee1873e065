// Every family operation gives identical results on both text backends (util/TextBackend.h):
// each family, each terminal type 0-7, over the benchmarks' own corpus (valid and mistyped texts,
// typed texts, valid and refused records) plus every kind name with odd numbers. Every result
// code, text, record, flat address and dialog field is compared, so the benchmarks' ours/reference
// pairs are known to do the same work.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/Corpus.h"
#include "plc/CPlcObject.h"
#include "support/Printers.h"
#include "util/TextBackend.h"

namespace {

using pqcore::PqDevice;
using util::TextBackend;
using zv_bench::FamilyCorpus;

#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kCorpusSize = 300;
#else
constexpr std::size_t kCorpusSize = 2000;
#endif

std::string Narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end());
}

// Everything an operation gives back, appended to one line per input. Values are shown after
// all arguments are evaluated, so each call logs one operation and its out-arguments.
struct Log {
    std::string line;

    static std::string Show(const CString& s) { return "'" + s.str() + "' "; }
    template <class T>
    static std::string Show(const T& value) {
        return testing::PrintToString(value) + ' ';
    }
    template <class... T>
    Log& operator()(const T&... values) {
        ((line += Show(values)), ...);
        return *this;
    }
};

// Parsing a typed text, as the editor does it for a keystroke and as the dialog composes it.
void TextOperations(pqcore::PqPlcIF& plc, CPlcObject& editor, const zv_bench::TextItem& item,
                    Log& log) {
    PqDevice d, t;
    d.mChannel = 2;
    std::wstring out, tag;
    log(plc.StringToDevice(item.text, item.dataType, d), d);
    log(plc.DeviceToString(d, out), out);
    log(plc.TypedStringToDevice(item.text, t, tag, item.detailed), t, tag);
    DeviceFields fields;
    fields.prefix = Narrow(item.text.substr(0, 2)).c_str();
    fields.number = Narrow(item.text.size() > 2 ? item.text.substr(2) : L"").c_str();
    log(editor.FieldsToDevice(d, fields), d);
}

// Printing, checking and converting a record, and the dialog's view of it.
void DeviceOperations(pqcore::PqPlcIF& plc, CPlcObject& editor, const PqDevice& d,
                      const PqDevice& neighbour, Log& log) {
    std::wstring text;
    log(plc.DeviceToLocalString(d, text), text);
    log(plc.DeviceToString(d, text), text);
    log(plc.NetworkToString(d, text), text);
    log(plc.DeviceToTypedString(d, text, false), text);
    log(plc.DeviceToTypedString(d, text, true), text);
    log(plc.CheckDeviceRange(d, 1), plc.CheckDeviceRange(d, 3), plc.IsBitDevice(d),
        plc.IsWordDevice(d), plc.CompareDevices(d, neighbour, false),
        plc.CompareDevices(d, neighbour, true));
    PlcAddress a;
    PqDevice back, composed = d, before = d, checked = d;
    log(plc.DeviceToPlcAddress(d, a), a);
    log(plc.PlcAddressToDevice(a, back), back);

    DeviceFields fields;
    log(editor.DeviceToFields(d, fields), fields.prefix, fields.number, fields.bit, fields.network,
        fields.station, fields.useNetwork);
    log(editor.FieldsToDevice(composed, fields), composed);
    std::vector<std::wstring> lows, highs;
    log(editor.GetNumberRangeTexts(d, lows, highs), lows, highs);
    std::wstring prefix;
    log(editor.GetDevicePrefix(d, prefix), prefix);
    log(editor.CheckDeviceFields(fields, checked, 1, before), checked);
}

// One line per input, on the given backend.
std::vector<std::string> RunAll(TextBackend backend, const FamilyCorpus& corpus, int terminal,
                                const std::vector<zv_bench::TextItem>& extra) {
    const util::ScopedTextBackend scoped(backend);
    const zv_bench::PlcPtr plc = zv_bench::CreateFamily(corpus.name, terminal);
    auto* editor = dynamic_cast<CPlcObject*>(plc.get());
    std::vector<std::string> lines;
    const auto record = [&lines](auto&& body) {
        Log log;
        try {
            body(log);
        } catch (const std::exception& e) {
            log("threw", e.what());
        }
        lines.push_back(log.line);
    };
    for (const auto* list : {&corpus.texts, &corpus.typed, &extra})
        for (const zv_bench::TextItem& item : *list)
            record([&](Log& log) { TextOperations(*plc, *editor, item, log); });
    for (const auto* list : {&corpus.valid, &corpus.devices})
        for (std::size_t i = 0; i < list->size(); ++i)
            record([&](Log& log) {
                DeviceOperations(*plc, *editor, (*list)[i], (*list)[(i + 1) % list->size()], log);
            });
    return lines;
}

class BackendFamily : public testing::TestWithParam<std::string> {};

TEST_P(BackendFamily, EveryOperationGivesTheSameResultOnBothBackends) {
    const FamilyCorpus corpus = zv_bench::MakeCorpus(GetParam(), kCorpusSize);
    // Texts the corpus does not have: every kind name with odd numbers, signs, bases and suffixes.
    std::vector<zv_bench::TextItem> extra;
    for (const char* kind : {"MB", "IB", "IW", "MW", "OB", "OW", "DW", "ZD", "I",  "O",  "D", "Z",
                             "W",  "SW", "R",  "SR", "K",  "M",  "o",  "GB", "GD", "GS", "EG"})
        for (const char* number :
             {"0", "1", "-1", "+7", "0x1F", "1F", "2147483647", "2147483648", "4294967296",
              "99999999", "00000000001", "7FFF.b15", "12.B3", "12.16", "100 ", " 5"})
            for (const int type : {'b', 'i', 'I'}) {
                const std::string text = std::string(kind) + number;
                extra.push_back({std::wstring(text.begin(), text.end()), type, type == 'I'});
                extra.push_back({L"1-3 " + extra.back().text, type, false});
                extra.push_back({L"0-FF " + extra[extra.size() - 2].text, type, false});
                extra.push_back({L"s32:" + extra[extra.size() - 3].text, type, true});
            }

    long compared = 0;
    for (int terminal = 0; terminal <= 7; ++terminal) {
        const std::vector<std::string> ours = RunAll(TextBackend::Ours, corpus, terminal, extra);
        const std::vector<std::string> clib =
            RunAll(TextBackend::CLibrary, corpus, terminal, extra);
        ASSERT_EQ(ours.size(), clib.size());
        for (std::size_t i = 0; i < ours.size(); ++i)
            ASSERT_EQ(ours[i], clib[i]) << "terminal " << terminal << ", input " << i;
        compared += static_cast<long>(ours.size());
    }
    RecordProperty("inputs", static_cast<int>(compared));
    EXPECT_GT(compared,
              8L * (4 * static_cast<long>(kCorpusSize) + static_cast<long>(extra.size())) - 1);
}

INSTANTIATE_TEST_SUITE_P(AllFamilies, BackendFamily, testing::ValuesIn(zv_bench::FamilyNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
