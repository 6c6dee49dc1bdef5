// ppd pack: gathers the files, packs them in memory and writes the archive.
#include "libs/ppd/pack/archive_writer.h"
#include "libs/ppd/pack/pack.h"
#include "tools/ppd/ppd_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ppd_tool {

int fail(const std::string& message) {
    std::fprintf(stderr, "ppd: %s\n", message.c_str());
    return 1;
}

namespace {

// The member name of a path as given: relative, '/'-separated, no "." or
// ".." steps (an extractor must never be led outside its folder).
std::string memberName(const fs::path& path) {
    std::string name;
    for (const fs::path& part : path.relative_path()) {
        const std::string p = part.string();
        if (p.empty() || p == ".") continue;
        if (p == "..") throw std::invalid_argument("\"..\" is not allowed in member paths: " + path.string());
        if (!name.empty()) name += '/';
        name += p;
    }
    return name;
}

void addFile(const fs::path& path, std::vector<ppd_pack::Member>& members) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    ppd_pack::Member m;
    m.name = memberName(path);
    m.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("cannot read " + path.string());
    const auto mtime = fs::last_write_time(path);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        mtime - fs::file_time_type::clock::now() + std::chrono::system_clock::now().time_since_epoch());
    m.dosTime = ppd_pack::dosTime(seconds.count());
    members.push_back(std::move(m));
}

void addPath(const fs::path& path, std::vector<ppd_pack::Member>& members) {
    if (fs::is_directory(path)) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(path))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& f : files) addFile(f, members);
    } else if (fs::exists(path)) {
        addFile(path, members);
    } else {
        throw std::runtime_error("no such file: " + path.string());
    }
}

// Shows how far packing has come once it has taken more than two seconds.
class Progress {
public:
    void operator()(std::uint64_t done, std::uint64_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::seconds(2) || now - last_ < std::chrono::milliseconds(500)) return;
        last_ = now;
        shown_ = true;
        std::fprintf(stderr, "\rppd: packing %3u%%", total ? static_cast<unsigned>(done * 100 / total) : 100u);
        std::fflush(stderr);
    }
    ~Progress() {
        if (shown_) std::fputs("\n", stderr);
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_{};
    bool shown_ = false;
};

}  // namespace

int packCommand(const Args& args) {
    ppd_pack::PackOptions options;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--solid")
            options.solid = true;
        else if (a == "--store")
            options.store = true;
        else if (a == "--password") {
            if (++i == args.size()) return fail("--password needs a value");
            options.password = args[i];
        } else if (a.size() > 1 && a[0] == '-') {
            return fail("unknown option " + a + " for pack");
        } else {
            rest.push_back(a);
        }
    }
    if (rest.size() < 2) return fail("pack needs an archive and at least one file (see ppd --help)");
    if (options.password.size() > 255) return fail("the password may have at most 255 bytes");

    try {
        std::vector<ppd_pack::Member> members;
        for (std::size_t i = 1; i < rest.size(); ++i) addPath(rest[i], members);
        Progress progress;
        if (isatty(2)) options.progress = [&progress](std::uint64_t d, std::uint64_t t) { progress(d, t); };
        const std::vector<std::uint8_t> archive = ppd_pack::packArchive(members, options);
        const std::string temporary = rest[0] + ".part";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
            if (!out.flush()) {
                std::remove(temporary.c_str());
                return fail("cannot write " + rest[0]);
            }
        }
        std::error_code error;
        fs::rename(temporary, rest[0], error);
        if (error) {
            std::remove(temporary.c_str());
            return fail("cannot write " + rest[0] + ": " + error.message());
        }
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return 0;
}

}  // namespace ppd_tool
