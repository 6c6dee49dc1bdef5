// ppd list, cat and extract: thin wrappers over the archive reader. The
// reader explains failures only in its log, so these commands listen to the
// log messages and print the reason of a failure on stderr.
#include "runtime/startup_files.h"
#include "libs/ppd/unrarlib/debug_log.h"
#include "libs/ppd/unrarlib/unrarlib.h"
#include "tools/ppd/ppd_commands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace ppd_tool {

namespace {

// Without --password the demo's own password is used: members that are not
// encrypted ignore it, so every archive the demo can read opens as it is.
struct ReadArgs {
    std::string password = kDemoFiles.password;
    std::string directory = ".";
    std::vector<std::string> rest;
};

bool parseReadArgs(const Args& args, bool allowDirectory, ReadArgs& out, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--password" || (allowDirectory && a == "-C")) {
            if (i + 1 == args.size()) {
                error = a + " needs a value";
                return false;
            }
            (a == "-C" ? out.directory : out.password) = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            out.rest.push_back(a);
        }
    }
    return true;
}

// Collects the reader's messages of one call; the last one that is not the
// generic "couldn't extract" line is the reason.
struct Reasons {
    std::string reason;
    Reasons() { rar_log_set_listener(&Reasons::listen, this); }
    ~Reasons() { rar_log_set_listener(nullptr, nullptr); }
    static void listen(const char* message, void* context) {
        const std::string m = message;
        if (m.rfind("Extracting ", 0) == 0 || m.rfind("Error - couldn't extract", 0) == 0) return;
        static_cast<Reasons*>(context)->reason = m;
    }
};

const char* methodName(unsigned method) {
    switch (method) {
    case 0x30: return "stored";
    case 0x31: return "fastest";
    case 0x32: return "fast";
    case 0x33: return "normal";
    case 0x34: return "good";
    case 0x35: return "best";
    default: return "unknown";
    }
}

std::string flagText(unsigned flags) {
    std::string text;
    if (flags & 0x0004) text += " encrypted";
    if (flags & 0x0010) text += " solid";
    if ((flags & 0x00E0) == 0x00E0) text += " folder";
    if (flags & 0x0008) text += " comment";
    return text.empty() ? "-" : text.substr(1);
}

bool isFolder(const unrarlib_list_entry& e) {
    return (e.flags & 0x00E0) == 0x00E0 || (e.attributes & 0x10 && e.hostOs == 0 && e.unpackedSize == 0);
}

// The place of a member below the target folder, or empty for a name that
// would lead outside it.
fs::path safeTarget(const std::string& directory, const std::string& name) {
    fs::path relative;
    std::string part;
    auto push = [&](const std::string& p) {
        if (p.empty() || p == ".") return true;
        if (p == "..") return false;
        relative /= p;
        return true;
    };
    for (char c : name) {
        if (c == '/' || c == '\\') {
            if (!push(part)) return {};
            part.clear();
        } else {
            part += c;
        }
    }
    if (!push(part) || relative.empty()) return {};
    return fs::path(directory) / relative;
}

}  // namespace

int listCommand(const Args& args) {
    ReadArgs a;
    std::string error;
    if (!parseReadArgs(args, false, a, error)) return fail(error);
    if (a.rest.size() != 1) return fail("list needs exactly one archive (see ppd --help)");
    if (!fs::is_regular_file(a.rest[0])) return fail("cannot open " + a.rest[0]);
    Reasons reasons;
    unrarlib_list_entry* first = nullptr;
    const int count = unrarlib_list(a.rest[0].c_str(), &first);
    if (count == 0 && reasons.reason != "Couldn't read next filename from archive (I/O error).")
        return fail(a.rest[0] + ": " + reasons.reason);
    std::printf("%10s %10s %-8s %3s %8s  %-18s %s\n", "size", "packed", "method", "ver", "crc32", "flags", "name");
    for (const unrarlib_list_entry* e = first; e; e = e->next) {
        std::printf("%10lu %10lu %-8s %u.%u %08lx  %-18s %s\n", e->unpackedSize, e->packSize, methodName(e->method),
                    e->unpackVersion / 10, e->unpackVersion % 10, e->fileCrc, flagText(e->flags).c_str(), e->name);
    }
    unrarlib_free_list(first);
    return 0;
}

int catCommand(const Args& args) {
    ReadArgs a;
    std::string error;
    if (!parseReadArgs(args, false, a, error)) return fail(error);
    if (a.rest.size() != 2) return fail("cat needs an archive and a member name (see ppd --help)");
    Reasons reasons;
    char* data = nullptr;
    unsigned long length = 0;
    if (!unrarlib_extract(a.rest[0].c_str(), a.rest[1].c_str(), &data, &length, a.password.c_str())) {
        const std::string reason = reasons.reason.empty() ? "no member named " + a.rest[1] : reasons.reason;
        return fail(a.rest[1] + ": " + reason);
    }
    const bool written = std::fwrite(data, 1, length, stdout) == length && std::fflush(stdout) == 0;
    std::free(data);
    return written ? 0 : fail("cannot write to stdout");
}

namespace {

// Writes the members extract_all hands over, below the target folder.
struct ExtractJob {
    std::string directory;
    Reasons* reasons;
    int status = 0;

    static void deliver(const unrarlib_list_entry* e, const char* data, unsigned long length, void* context) {
        auto& job = *static_cast<ExtractJob*>(context);
        const std::string reason = job.reasons->reason;
        job.reasons->reason.clear();
        const fs::path target = safeTarget(job.directory, e->name);
        if (target.empty()) {
            job.status = fail(std::string("refusing member name ") + e->name);
            return;
        }
        std::error_code ec;
        if (isFolder(*e)) {
            fs::create_directories(target, ec);
            if (ec) job.status = fail("cannot create " + target.string());
            return;
        }
        if (!data) {
            job.status = fail(std::string(e->name) + ": " + reason);
            return;
        }
        if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(data, static_cast<std::streamsize>(length));
        if (!out.flush()) job.status = fail("cannot write " + target.string());
    }
};

}  // namespace

int extractCommand(const Args& args) {
    ReadArgs a;
    std::string error;
    if (!parseReadArgs(args, true, a, error)) return fail(error);
    // The target folder may follow the archive instead of coming with -C.
    if (a.rest.size() == 2) a.directory = a.rest[1];
    if (a.rest.empty() || a.rest.size() > 2)
        return fail("extract needs one archive and at most one folder (see ppd --help)");
    const std::string& archive = a.rest[0];
    if (!fs::is_regular_file(archive)) return fail("cannot open " + archive);

    Reasons reasons;
    ExtractJob job{a.directory, &reasons};
    unrarlib_extract_all(archive.c_str(), a.password.c_str(), &ExtractJob::deliver, &job);
    if (!reasons.reason.empty() && reasons.reason != "Couldn't read next filename from archive (I/O error).")
        job.status = fail(archive + ": " + reasons.reason);
    return job.status;
}

}  // namespace ppd_tool
