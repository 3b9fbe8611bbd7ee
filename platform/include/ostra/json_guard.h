/* A cheap scan of untrusted JSON before it reaches json-glib, which recurses
 * once per nesting level: a body nested tens of thousands of levels deep
 * overflows the stack. */
#ifndef OSTRA_JSON_GUARD_H
#define OSTRA_JSON_GUARD_H

#include <stdbool.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* True when the length bytes at data are at most max_bytes long and nest
 * objects and arrays at most max_depth deep (brackets inside strings do not
 * count). Says nothing about whether the text is valid JSON. */
bool ostra_json_within_limits(const char* data, size_t length, size_t max_bytes, int max_depth);

#ifdef __cplusplus
}
#endif

#endif
