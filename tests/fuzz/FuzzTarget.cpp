// One libFuzzer target; FUZZ_ENTRY names its entry point.
#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::FUZZ_ENTRY(data, size);
}
