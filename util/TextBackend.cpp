#include "util/TextBackend.h"

namespace util::detail {

TextBackend gTextBackend = TextBackend::Ours;

}  // namespace util::detail
