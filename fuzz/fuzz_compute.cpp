// libFuzzer target: an arbitrary reply stream through the Compute action, checked as
// reply_stream.h describes. A fault prints its description and aborts, so that
// libFuzzer keeps the input that caused it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/reply_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fault =
        trelvan::fuzzing::runStream(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!fault.empty()) {
        std::fprintf(stderr, "fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
