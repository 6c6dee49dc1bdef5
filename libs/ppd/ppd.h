// The data-file layer: every data file of the demo (script, scenes, images) is
// loaded whole into memory and then read like a standard file stream.
//
// With no archive selected, paths are opened on disk. With an archive selected
// (ppd_set_archive), every path names a member of that RAR archive, extracted
// into memory with the stored password; loose files in the working directory
// are not used.
//
// A data folder (ppd_set_folder) lies over either mode: a path is first looked
// for below the folder, with the archive's name rule (case ignored, slash and
// backslash alike), and only a path the folder lacks is opened as the mode
// says. An
// author edits a copy of some of the archive's members while the rest still
// come from the archive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct ppd_file {
    std::uint32_t size;   // bytes in the file
    std::uint32_t pos;    // read position; may lie outside the file after a seek
    unsigned char* data;  // the file's bytes, owned by the handle
};

void ppd_set_archive(const char* archivePath, const char* password);
void ppd_clear_archive();

// Looks every path up below dir first (null or empty: no folder). Only regular
// files count: a folder or anything else of that name is passed over.
void ppd_set_folder(const char* dir);
// Where path lies below the folder set with ppd_set_folder, or an empty
// string when there is no folder or it has no regular file of that name.
std::string ppd_folder_file(const char* path);

ppd_file* ppd_open(const char* path);
// Copies whole elements only; returns how many were copied.
std::size_t ppd_read(void* dest, std::size_t elementSize, std::size_t count, ppd_file* file);
// Next byte 0..255, or -1 at (or beyond) the end.
int ppd_getc(ppd_file* file);
// origin 0: from the start, 1: from the current position, 2: from the end. Returns 0.
int ppd_seek(ppd_file* file, std::int32_t offset, int origin);
std::uint32_t ppd_tell(ppd_file* file);
void ppd_close(ppd_file* file);
