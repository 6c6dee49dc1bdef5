// vantor-images: draws every picture the demo loads into a data folder.
#include "content/images/picture_set.h"
#include "libs/log/progress_log.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const char* const kUsage =
    "usage: vantor-images [--only PATH] [--list] OUTDIR\n"
    "\n"
    "Draws every picture and texture of the demo into OUTDIR, the folder that\n"
    "becomes the archive's root: data/images/..., data/textures/... and\n"
    "celpalette.pcx. The output is the same, byte for byte, on every run.\n"
    "\n"
    "options:\n"
    "  --only PATH  draw only the picture at PATH (as --list prints it)\n"
    "  --list       print the paths of all pictures and draw nothing\n"
    "  --help       this text\n";

}  // namespace

int main(int argc, char** argv) {
    std::string outDir, only;
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--list") {
            list = true;
        } else if (arg == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && outDir.empty()) {
            outDir = arg;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    // The generator is quiet: the picture writers' progress lines are off.
    vantor::log::setProgressQuiet(true);
    try {
        const auto files = vantor::pictures::pictureFiles();
        if (list) {
            for (const auto& f : files) std::printf("%s\n", f.path.c_str());
            return 0;
        }
        if (outDir.empty()) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        const bool progress = isatty(STDERR_FILENO);
        bool drawn = false;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const auto& f = files[i];
            if (!only.empty() && f.path != only) continue;
            const std::filesystem::path out = std::filesystem::path(outDir) / f.path;
            std::filesystem::create_directories(out.parent_path());
            if (progress) std::fprintf(stderr, "\rvantor-images: %zu/%zu %-40s", i + 1, files.size(), f.path.c_str());
            f.make(out.string());
            drawn = true;
        }
        if (progress) std::fputs("\n", stderr);
        if (!drawn) {
            std::fprintf(stderr, "vantor-images: no picture %s\n", only.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantor-images: %s\n", e.what());
        return 1;
    }
    return 0;
}
