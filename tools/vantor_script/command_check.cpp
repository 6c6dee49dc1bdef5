// vantor-script check: the script checker on a file, with the data looked up
// as author mode reads it: the folder first, then the archive; the soundtrack
// the folder's own, else the shipped one. Every error and warning of the file
// is reported in one run.
#include "app/script_check.h"
#include "runtime/shipped_files.h"
#include "libs/ppd/ppd.h"
#include "tools/vantor_script/script_commands.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct CheckOptions {
    const char* file = nullptr;
    const char* data = nullptr;
    const char* archive = nullptr;
    const char* password = kDemoFiles.password;
};

bool parseCheckArguments(int argc, char** argv, CheckOptions& options) {
    for (int i = 2; i < argc; ++i) {
        const char* arg = argv[i];
        const char** value = std::strcmp(arg, "--data") == 0       ? &options.data
                             : std::strcmp(arg, "--archive") == 0  ? &options.archive
                             : std::strcmp(arg, "--password") == 0 ? &options.password
                                                                   : nullptr;
        if (value) {
            if (i + 1 >= argc) return false;
            *value = argv[++i];
        } else if ((arg[0] == '-' && arg[1] != '\0') || options.file) {
            return false;
        } else {
            options.file = arg;
        }
    }
    return options.file != nullptr;
}

// A shipped file (the archive, the soundtrack) where findShippedFile finds
// it; empty when there is none.
std::string shippedFile(const char* name) {
    const std::string found = findShippedFile(name);
    std::error_code ec;
    return fs::is_regular_file(found, ec) ? found : std::string();
}

// The soundtrack the show plays: the folder's own, else the shipped one.
std::string soundtrackOf(const char* folder) {
    std::error_code ec;
    if (folder && fs::is_regular_file(fs::path(folder) / kDemoFiles.soundtrack, ec))
        return (fs::path(folder) / kDemoFiles.soundtrack).string();
    return shippedFile(kDemoFiles.soundtrack);
}

}  // namespace

int runCheck(int argc, char** argv) {
    CheckOptions options;
    if (!parseCheckArguments(argc, argv, options)) {
        std::fputs("usage: vantor-script check FILE [--data DIR] [--archive ARCHIVE] [--password P]\n", stderr);
        return 2;
    }
    std::ifstream in(options.file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "%s: error: cannot read the file\n", options.file);
        return 1;
    }

    const std::string archive = options.archive ? options.archive : shippedFile(kDemoFiles.archive);
    if (!archive.empty()) ppd_set_archive(archive.c_str(), options.password);
    if (options.data) ppd_set_folder(options.data);

    FileLayerScriptData data(soundtrackOf(options.data));
    const std::vector<CheckDiagnostic> found = checkScriptText(text.str(), data);
    if (found.empty()) return 0;
    for (const CheckDiagnostic& d : found) std::fprintf(stderr, "%s\n", d.located(options.file).c_str());
    std::fprintf(stderr, "%s: %s\n", options.file, checkSummary(found).c_str());
    return hasErrors(found) ? 1 : 0;
}
