// ppd: packs, lists and extracts the RAR 2.x archives the demo reads its data
// from.
#include "tools/ppd/ppd_commands.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage =
    "usage: ppd COMMAND [OPTIONS] ...\n"
    "\n"
    "Packs and reads RAR 2.x archives (RAR 2.0 compression and cipher), the\n"
    "format of the demo's data archive.\n"
    "\n"
    "commands:\n"
    "  pack [--solid] [--store] [--password P] ARCHIVE FILE...\n"
    "        write ARCHIVE from the files (folders are added with everything\n"
    "        below them; members keep the paths as given, e.g. data/script.scr)\n"
    "        --solid     one compression stream through all members (smaller)\n"
    "        --store     no compression\n"
    "        --password  encrypt every member with the RAR 2.0 cipher\n"
    "  list [--password P] ARCHIVE\n"
    "        every member with sizes, method, version and flags\n"
    "  cat [--password P] ARCHIVE MEMBER\n"
    "        the member's bytes on stdout (names ignore case; / and \\ alike)\n"
    "  extract [--password P] ARCHIVE [DIR]\n"
    "  extract [--password P] [-C DIR] ARCHIVE\n"
    "        every member into DIR (default: the current folder), e.g. the\n"
    "        shipped show into a folder to play and edit with vantor --data DIR\n"
    "\n"
    "cat and extract read encrypted members with the demo's password unless\n"
    "--password gives another.\n"
    "\n"
    "Errors go to stderr and end with exit status 1.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const ppd_tool::Args args(argv + 2, argv + argc);
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (command == "pack") return ppd_tool::packCommand(args);
    if (command == "list") return ppd_tool::listCommand(args);
    if (command == "cat") return ppd_tool::catCommand(args);
    if (command == "extract") return ppd_tool::extractCommand(args);
    std::fprintf(stderr, "ppd: unknown command \"%s\" (try ppd --help)\n", command.c_str());
    return 2;
}
