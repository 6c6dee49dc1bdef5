// vantor-script check: the script checker on a file, with the data looked up
// as author mode reads it: the folder first, then the archive.
#include "app/script_check.h"
#include "runtime/startup_files.h"
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

// The shipped archive: in the working directory, else next to the program;
// empty when there is none.
std::string shippedArchive() {
    std::error_code ec;
    if (fs::is_regular_file(kDemoFiles.archive, ec)) return kDemoFiles.archive;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && fs::is_regular_file(program.parent_path() / kDemoFiles.archive, ec))
        return (program.parent_path() / kDemoFiles.archive).string();
    return {};
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

    const std::string archive = options.archive ? options.archive : shippedArchive();
    if (!archive.empty()) ppd_set_archive(archive.c_str(), options.password);
    if (options.data) ppd_set_folder(options.data);

    FileLayerScriptData data;
    const std::vector<CheckDiagnostic> found = checkScriptText(text.str(), data);
    if (found.empty()) return 0;
    for (const CheckDiagnostic& d : found) std::fprintf(stderr, "%s\n", d.located(options.file).c_str());
    std::fprintf(stderr, "%s: %s\n", options.file, checkSummary(found).c_str());
    return hasErrors(found) ? 1 : 0;
}
