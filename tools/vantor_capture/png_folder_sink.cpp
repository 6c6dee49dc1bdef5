#include "tools/vantor_capture/png_folder_sink.h"

#include "libs/png/png_writer.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

PngFolderSink::PngFolderSink(std::string folder, int width, int height, Naming naming)
    : folder_(std::move(folder)), width_(width), height_(height), naming_(naming) {}

bool PngFolderSink::open(std::string* error) {
    std::error_code code;
    std::filesystem::create_directories(folder_, code);
    if (std::filesystem::is_directory(folder_)) return true;
    if (error) *error = "cannot create the folder " + folder_ + (code ? " (" + code.message() + ")" : "");
    return false;
}

bool PngFolderSink::write(int time, std::vector<std::uint8_t> rgba, std::string* error) {
    char name[32];
    if (naming_ == Naming::Numbered)
        std::snprintf(name, sizeof name, "%06d.png", written_);
    else
        std::snprintf(name, sizeof name, "%d.png", time);
    const std::string path = (std::filesystem::path(folder_) / name).string();
    std::string reason;
    if (!writePng(path, width_, height_, rgba, &reason)) {
        if (error) *error = path + ": " + reason;
        return false;
    }
    ++written_;
    return true;
}

bool PngFolderSink::finish(std::string* error) {
    (void)error;
    return true;
}
