// vantor-scenes: writes the demo's scene files from their descriptions.
#include "content/scenes/scenes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: vantor-scenes [--stats] OUTDIR [FILE...]\n"
    "\n"
    "Writes the demo's scene files (vantor2.ppp, vantor.ppp, arm.ppp, modul2.ppp,\n"
    "boost.ppp, sputnik.ppp, metamove.ppp, sphere.ppp, steiner.ppp) into OUTDIR,\n"
    "or only the FILEs named. The same bytes on every run.\n"
    "\n"
    "  --stats   print each file's size and triangle count\n"
    "  --help    this text\n";

}  // namespace

int main(int argc, char** argv) {
    bool stats = false;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--stats") == 0)
            stats = true;
        else if (argv[i][0] == '-')
            return std::fprintf(stderr, "vantor-scenes: unknown option %s\n%s", argv[i], kUsage), 2;
        else
            positional.push_back(argv[i]);
    }
    if (positional.empty()) return std::fprintf(stderr, "vantor-scenes: no output folder\n%s", kUsage), 2;
    const std::string dir = positional[0] + (positional[0].back() == '/' ? "" : "/");
    std::vector<std::string> wanted(positional.begin() + 1, positional.end());
    for (const std::string& name : wanted) {
        bool known = false;
        for (const auto& scene : demoscenes::kDemoScenes) known = known || name == scene.file;
        if (!known) return std::fprintf(stderr, "vantor-scenes: no scene called %s\n", name.c_str()), 2;
    }

    for (const auto& scene : demoscenes::kDemoScenes) {
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), scene.file) == wanted.end()) continue;
        scenekit::SceneBuilder builder(scene.file);
        std::vector<unsigned char> bytes;
        try {
            scene.build(builder);
            bytes = builder.finish();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vantor-scenes: %s\n", e.what());
            return 1;
        }
        const std::string path = dir + scene.file;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "vantor-scenes: cannot write %s\n", path.c_str());
            return 1;
        }
        if (stats) std::printf("%-14s %8zu bytes %7zu triangles\n", scene.file, bytes.size(), builder.triangleCount());
    }
    return 0;
}
