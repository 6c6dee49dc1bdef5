#include "libs/ppd/ppd.h"

#include "libs/ppd/ppd_folder.h"

#include "libs/ppd/unrarlib/unrarlib.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Process-wide archive selection: off at start, switched on by the main program.
bool archiveMode = false;
std::string archivePath;
std::string archivePassword;
// Data folder looked at before the mode's own source; empty: none.
std::string dataFolder;

ppd_file* openOnDisk(const char* path) {
    std::FILE* disk = std::fopen(path, "rb");
    if (!disk) return nullptr;
    long length = -1;
    if (std::fseek(disk, 0, SEEK_END) == 0) length = std::ftell(disk);
    // A handle addresses at most 4 GiB; anything larger (or unseekable) is refused.
    if (length < 0 || static_cast<unsigned long long>(length) > 0xFFFFFFFFull || std::fseek(disk, 0, SEEK_SET) != 0) {
        std::fclose(disk);
        return nullptr;
    }
    const std::size_t size = static_cast<std::size_t>(length);
    unsigned char* data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (!data || std::fread(data, 1, size, disk) != size) {
        std::free(data);
        std::fclose(disk);
        return nullptr;
    }
    std::fclose(disk);
    auto* file = static_cast<ppd_file*>(std::malloc(sizeof(ppd_file)));
    if (!file) {
        std::free(data);
        return nullptr;
    }
    *file = {static_cast<std::uint32_t>(size), 0, data};
    return file;
}

ppd_file* openInArchive(const char* path) {
    char* data = nullptr;
    unsigned long size = 0;
    if (!unrarlib_extract(archivePath.c_str(), path, &data, &size, archivePassword.c_str())) return nullptr;
    auto* file = static_cast<ppd_file*>(std::malloc(sizeof(ppd_file)));
    if (!file || size > 0xFFFFFFFFul) {
        std::free(data);
        std::free(file);
        return nullptr;
    }
    *file = {static_cast<std::uint32_t>(size), 0, reinterpret_cast<unsigned char*>(data)};
    return file;
}

}  // namespace

void ppd_set_archive(const char* path, const char* password) {
    archivePath = path ? path : "";
    archivePassword = password ? password : "";
    archiveMode = true;
}

void ppd_clear_archive() { archiveMode = false; }

void ppd_set_folder(const char* dir) { dataFolder = dir ? dir : ""; }

std::string ppd_folder_file(const char* path) { return path ? ppd_folder::find(dataFolder, path) : std::string(); }

ppd_file* ppd_open(const char* path) {
    if (!path) return nullptr;
    if (!dataFolder.empty()) {
        const std::string inFolder = ppd_folder::find(dataFolder, path);
        if (!inFolder.empty()) return openOnDisk(inFolder.c_str());
    }
    return archiveMode ? openInArchive(path) : openOnDisk(path);
}

std::size_t ppd_read(void* dest, std::size_t elementSize, std::size_t count, ppd_file* file) {
    auto* out = static_cast<unsigned char*>(dest);
    std::size_t copied = 0;
    while (copied < count) {
        // Compared as "room left >= element size": pos + size could wrap after a
        // seek far outside the file and let the copy read outside data.
        if (file->pos > file->size || file->size - file->pos < elementSize) break;
        std::memcpy(out, file->data + file->pos, elementSize);
        out += elementSize;
        file->pos += static_cast<std::uint32_t>(elementSize);
        ++copied;
    }
    return copied;
}

int ppd_getc(ppd_file* file) {
    if (file->pos >= file->size) return -1;
    return file->data[file->pos++];
}

int ppd_seek(ppd_file* file, std::int32_t offset, int origin) {
    switch (origin) {
    case 0: file->pos = static_cast<std::uint32_t>(offset); break;
    case 1: file->pos += static_cast<std::uint32_t>(offset); break;
    case 2: file->pos = file->size + static_cast<std::uint32_t>(offset); break;
    default: break;
    }
    return 0;
}

std::uint32_t ppd_tell(ppd_file* file) { return file->pos; }

void ppd_close(ppd_file* file) {
    if (!file) return;
    std::free(file->data);
    std::free(file);
}
