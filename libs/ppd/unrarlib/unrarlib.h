// Reader of RAR 2.x archives (format versions 1.3 to 2.0, normal or solid,
// optionally encrypted with the RAR 2.0 cipher). Extracts one named member into
// a newly allocated buffer. Failures return 0; the reason goes to the module's
// debug log only.
#pragma once

// A member as listed by unrarlib_list.
struct unrarlib_list_entry;

// Extracts member `name` of `archive`. On success returns 1 and sets *data to a
// buffer of *length bytes that the caller releases with free(); on failure
// returns 0 with *data null and *length 0. password may be null.
int unrarlib_extract(const char* archive, const char* name, char** data, unsigned long* length,
                     const char* password);
