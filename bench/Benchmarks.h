// Registration of the benchmark groups. Pairs differ only in their last name component:
// ".../ours" runs on our scanner and formatter, ".../reference" on the C library's
// (util/TextBackend.h), same code path, same inputs. Every benchmark reports items per second.
#pragma once

#include <cstddef>

namespace zv_bench {

// Items in each per-family list of inputs; a power of two, so the input index wraps with a mask.
inline constexpr std::size_t kCorpusSize = 4096;

// Devices sorted by the CompareDevices benchmark.
inline constexpr std::size_t kSortSize = 100'000;

// scan/, parse/, format/, typed/, cycle/ pairs and the unpaired range/, address/, sort/ per
// family. Returns false (after saying why on stderr) when the two backends disagree on the corpus,
// which would make the pairs compare unequal work.
bool RegisterFamilyBenchmarks();

// record/ pairs (record text forms: our escaping against a per-character reference) and the
// format/util/ pair (util::Format alone on the module's formats).
bool RegisterRecordBenchmarks();

// check/MP/<rows>: the built `zorvikan check` on a generated tag list, when the tool is built.
bool RegisterCheckBenchmarks();

}  // namespace zv_bench
