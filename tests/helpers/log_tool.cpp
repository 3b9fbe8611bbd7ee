// Prints how many of four log lines (debug, info, warn, error) pass the
// level filter the environment sets.
#include <ostra/dlog.h>

#include <cstdio>

namespace {
int gPassed = 0;
void count(log_priority, const char*, const char*, void*) {
    ++gPassed;
}
}  // namespace

int main() {
    ostra_log_set_sink(count, nullptr);
    dlog_print(DLOG_DEBUG, "T", "d");
    dlog_print(DLOG_INFO, "T", "i");
    dlog_print(DLOG_WARN, "T", "w");
    dlog_print(DLOG_ERROR, "T", "e");
    printf("%d\n", gPassed);
    return 0;
}
