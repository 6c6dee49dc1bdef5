// Reader of RAR 2.x archives (format versions 1.3 to 2.0, normal or solid,
// optionally encrypted with the RAR 2.0 cipher). Extracts one named member into
// a newly allocated buffer. Failures return 0; the reason goes to the module's
// debug log only ("temp/debug_unrar.txt", written where that folder exists).
#pragma once

// A member as listed by unrarlib_list.
struct unrarlib_list_entry {
    char* name;         // owned copy, NUL-terminated, at most 259 bytes kept
    unsigned nameSize;  // name size as stored in the header
    unsigned long packSize;
    unsigned long unpackedSize;
    unsigned hostOs;
    unsigned long fileCrc;
    unsigned long fileTime;  // MS-DOS date and time
    unsigned unpackVersion;
    unsigned method;  // 0x30 stored ... 0x35 best
    unsigned long attributes;
    unsigned flags;  // header flags (encrypted 0x0004, solid 0x0010, ...)
    unrarlib_list_entry* next;
};

// Extracts member `name` of `archive`. On success returns 1 and sets *data to a
// buffer of *length bytes that the caller releases with free(); on failure
// returns 0 with *data null and *length 0. password may be null.
int unrarlib_extract(const char* archive, const char* name, char** data, unsigned long* length, const char* password);

// Lists every member header up to the end of the archive (or the first
// sub-block). Returns the number of entries; *first receives the chain, to be
// released with unrarlib_free_list.
int unrarlib_list(const char* archive, unrarlib_list_entry** first);
void unrarlib_free_list(unrarlib_list_entry* first);

// Extracts every member in archive order, decoding each one once (in a solid
// archive too, where extracting members one by one decodes all earlier
// members again each time). deliver gets each member's header fields (name
// and entry valid only during the call) and its bytes, or null data when the
// member failed (the reason is in the log). Returns the number of members
// extracted correctly.
using unrarlib_member_callback = void (*)(const unrarlib_list_entry* member, const char* data, unsigned long length,
                                          void* context);
int unrarlib_extract_all(const char* archive, const char* password, unrarlib_member_callback deliver, void* context);
