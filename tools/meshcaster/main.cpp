// meshcaster: looks at ".ppp" scene files — lists what they hold, and draws
// them the way the demo draws them.
#include "app/startup_files.h"
#include "libs/ppd/ppd.h"
#include "tools/meshcaster/scene_dump.h"
#include "tools/meshcaster/scene_render.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kUsage =
    "usage: meshcaster dump FILE.ppp [--archive FILE.ppd [--password PW]]\n"
    "       meshcaster render FILE.ppp OUT.png [--time T] [--camera ID] [--size WxH]\n"
    "                 [--textures DIR] [--cel ID]... [--no-culling]\n"
    "                 [--archive FILE.ppd [--password PW]] [--verbose]\n"
    "\n"
    "  dump     the objects as an indented tree (kind, id, name, vertex, coordinate\n"
    "           and face counts, position, rotation quaternion, scale), the cameras,\n"
    "           lights, materials and animation controllers\n"
    "  render   draws the scene at scene time T in an offscreen OpenGL context,\n"
    "           as the demo draws it, and writes OUT.png\n"
    "\n"
    "options of render:\n"
    "  --time T        scene time in the exporter's frame units (default 0; the\n"
    "                  demo plays 1 unit per 10 ms of music by default)\n"
    "  --camera ID     draw through the camera with this id (default: the first)\n"
    "  --size WxH      picture size (default 640x480)\n"
    "  --textures DIR  where texture base names are looked up (default\n"
    "                  \"data/textures/\", as the demo); the shade ramp\n"
    "                  \"celpalette.pcx\" is read from the working directory\n"
    "  --cel ID        cel shading with black outlines for the materials of object\n"
    "                  ID, its descendants and later siblings, as the scene effects'\n"
    "                  signal 122 does (may be repeated)\n"
    "  --no-culling    draw back faces too, as the scene effects' signal 123 with 0\n"
    "  --verbose       show the image cache's lines on standard output\n"
    "\n"
    "options of both:\n"
    "  --archive FILE  read the scene and its images as members of this packed\n"
    "                  archive (as the demo reads \"vantor.ppd\"), with the demo's\n"
    "                  password unless --password gives another\n"
    "  --help          this text\n";

int usageError(const std::string& text) {
    std::fprintf(stderr, "meshcaster: %s\n%s", text.c_str(), kUsage);
    return 2;
}

bool parseFloat(const char* text, float& out) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (end == text || *end || errno || !std::isfinite(value) || std::fabs(value) > 1e30) return false;
    out = float(value);
    return true;
}

bool parseInt(const char* text, long low, long high, int& out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end || errno || value < low || value > high) return false;
    out = int(value);
    return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) return false;
    return parseInt(text.substr(0, x).c_str(), 1, 8192, width) && parseInt(text.substr(x + 1).c_str(), 1, 8192, height);
}

struct Command {
    RenderOptions render;
    std::string archive;
    std::string password = kDemoFiles.password;
    bool hasArchive = false;
    int positional = 0;
};

// Parses the arguments after the command name; render options are accepted
// only for render. Returns 0 when the line is good, else the usage status.
int parse(int argc, char** argv, bool isRender, Command& c) {
    RenderOptions& options = c.render;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        // The value after an option, or none at the end of the line.
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--archive") {
            const char* v = value();
            if (!v) return usageError("--archive needs a file");
            c.archive = v;
            c.hasArchive = true;
        } else if (arg == "--password") {
            const char* v = value();
            if (!v) return usageError("--password needs a text");
            c.password = v;
        } else if (isRender && arg == "--time") {
            const char* v = value();
            if (!v || !parseFloat(v, options.time)) return usageError("--time needs a number");
        } else if (isRender && arg == "--camera") {
            const char* v = value();
            if (!v || !parseInt(v, -2147483647L - 1, 2147483647L, options.camera))
                return usageError("--camera needs an integer id");
            options.selectCamera = true;
        } else if (isRender && arg == "--size") {
            const char* v = value();
            if (!v || !parseSize(v, options.width, options.height))
                return usageError("--size needs WxH, each side 1 to 8192");
        } else if (isRender && arg == "--textures") {
            const char* v = value();
            if (!v) return usageError("--textures needs a directory");
            options.textures = v;
            if (!options.textures.empty() && options.textures.back() != '/') options.textures += '/';
        } else if (isRender && arg == "--cel") {
            const char* v = value();
            int id = 0;
            if (!v || !parseInt(v, -2147483647L - 1, 2147483647L, id)) return usageError("--cel needs an object id");
            options.celObjects.push_back(id);
        } else if (isRender && arg == "--no-culling") {
            options.noCulling = true;
        } else if (isRender && arg == "--verbose") {
            options.verbose = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return usageError("unknown option " + arg);
        } else if (c.positional == 0) {
            options.scene = arg, ++c.positional;
        } else if (isRender && c.positional == 1) {
            options.output = arg, ++c.positional;
        } else {
            return usageError("too many arguments");
        }
    }
    if (isRender && c.positional != 2) return usageError("render needs FILE.ppp and OUT.png");
    if (!isRender && c.positional != 1) return usageError("dump needs one FILE.ppp");
    if (c.hasArchive) {
        std::FILE* archive = std::fopen(c.archive.c_str(), "rb");
        if (!archive) {
            std::fprintf(stderr, "meshcaster: %s: cannot open the archive\n", c.archive.c_str());
            return 1;
        }
        std::fclose(archive);
        ppd_set_archive(c.archive.c_str(), c.password.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    if (argc < 2) return usageError("no command given");
    const std::string command = argv[1];
    if (command != "dump" && command != "render") return usageError("unknown command " + command);
    const bool isRender = command == "render";
    Command parsed;
    if (const int status = parse(argc, argv, isRender, parsed)) return status;
    if (isRender) return renderScene(parsed.render);
    return dumpScene(parsed.render.scene, stdout, stderr) ? 0 : 1;
}
