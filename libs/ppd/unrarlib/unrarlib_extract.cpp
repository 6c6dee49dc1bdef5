// Placeholder until the archive reader lands: every extraction fails cleanly.
#include "libs/ppd/unrarlib/unrarlib.h"

int unrarlib_extract(const char*, const char*, char** data, unsigned long* length, const char*) {
    if (data) *data = nullptr;
    if (length) *length = 0;
    return 0;
}
