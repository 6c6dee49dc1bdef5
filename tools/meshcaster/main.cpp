// meshcaster: looks at ".ppp" scene files — lists what they hold, and draws
// them the way the demo draws them.
#include "runtime/startup_files.h"
#include "libs/log/progress_log.h"
#include "libs/ppd/ppd.h"
#include "tools/meshcaster/import/scene_import.h"
#include "tools/meshcaster/scene_check.h"
#include "tools/meshcaster/scene_dump.h"
#include "tools/meshcaster/scene_render.h"
#include "tools/meshcaster/scene_sheet.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kUsage =
    "usage: meshcaster dump FILE.ppp [--textures DIR] [--archive FILE.ppd [--password PW]]\n"
    "       meshcaster render FILE.ppp OUT.png [--time T] [--camera ID] [--size WxH]\n"
    "                 [--textures DIR] [--cel ID]... [--no-culling] [--metaballs]\n"
    "                 [--archive FILE.ppd [--password PW]] [--verbose]\n"
    "       meshcaster sheet OUT.png FILE.ppp... [--seconds S,S,...] [--speed NAME=MS]...\n"
    "                 [--no-culling NAME]... [--cell WxH] [--textures DIR]\n"
    "       meshcaster import IN OUT.ppp [--textures DIR] [--scale S] [--fps N]\n"
    "\n"
    "  dump     the objects as an indented tree (kind, id, name, vertex, coordinate\n"
    "           and face counts, position, rotation quaternion, scale), the cameras,\n"
    "           lights, materials and animation controllers; then reads the file\n"
    "           as the demo does and ends with \"ok\" or the reader's message\n"
    "           (exit 1 when the demo would refuse the file). Texture files are\n"
    "           checked when --textures or --archive says where they are\n"
    "  render   draws the scene at scene time T in an offscreen OpenGL context,\n"
    "           as the demo draws it, and writes OUT.png\n"
    "  sheet    previews of several scenes on one PNG: a row for each scene and\n"
    "           camera, a column for each moment, every cell labelled\n"
    "  import   makes a scene file from a model (glTF 2.0 .gltf/.glb, OBJ + MTL,\n"
    "           Collada, 3DS, FBX): nodes, triangles, materials, textures, cameras\n"
    "           (or two that frame the model), lights (or one key light) and the\n"
    "           first animation; +y up, one unit a centimetre. What scene files\n"
    "           cannot hold is one warning each; a broken file writes nothing\n"
    "\n"
    "options of dump:\n"
    "  --textures DIR  check that every texture loads from DIR (with --archive:\n"
    "                  \"data/textures/\" inside the archive unless given)\n"
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
    "                  CEL signal does (may be repeated)\n"
    "  --no-culling    draw back faces too, as the scene effects' CULLING 0 does\n"
    "  --metaballs     hang the metamove effect's metaball surface under object 6\n"
    "                  (textures \"galakse.jpg\" and \"blank metall.jpg\" from the\n"
    "                  texture directory), posed at scene time T as the effect does\n"
    "  --verbose       show the image cache's lines on standard output\n"
    "\n"
    "options of sheet:\n"
    "  --seconds S,... music seconds after the scene's start, one column each\n"
    "                  (default 0,4,20,90)\n"
    "  --speed NAME=MS music ms per scene frame for the file with base name NAME\n"
    "                  (default 10, as the scene effects play; may be repeated)\n"
    "  --no-culling NAME  draw that file's back faces too (may be repeated)\n"
    "  --cell WxH      size of one preview (default 256x192)\n"
    "  --textures DIR  as for render\n"
    "\n"
    "options of import:\n"
    "  --textures DIR  where the textures go, as JPEG pictures named by base name\n"
    "                  (default: \"textures/\" next to OUT.ppp, as the demo keeps\n"
    "                  \"data/textures/\" next to its scenes)\n"
    "  --scale S       size factor on top of the unit conversion (default 1)\n"
    "  --fps N         samples a second for animation the scene file cannot keep\n"
    "                  as keys (default 25)\n"
    "\n"
    "options of dump and render:\n"
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
    bool hasTextures = false;
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
        } else if (arg == "--textures") {
            const char* v = value();
            if (!v) return usageError("--textures needs a directory");
            options.textures = v;
            c.hasTextures = true;
            if (!options.textures.empty() && options.textures.back() != '/') options.textures += '/';
        } else if (isRender && arg == "--cel") {
            const char* v = value();
            int id = 0;
            if (!v || !parseInt(v, -2147483647L - 1, 2147483647L, id)) return usageError("--cel needs an object id");
            options.celObjects.push_back(id);
        } else if (isRender && arg == "--no-culling") {
            options.noCulling = true;
        } else if (isRender && arg == "--metaballs") {
            options.metaballs = true;
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

// Parses the arguments of sheet. Returns 0 when the line is good, else the usage status.
int parseSheet(int argc, char** argv, SheetOptions& options) {
    int positional = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--seconds") {
            const char* v = value();
            if (!v) return usageError("--seconds needs a list of numbers");
            options.seconds.clear();
            std::string list = v;
            for (std::size_t start = 0; start <= list.size();) {
                const std::size_t comma = std::min(list.find(',', start), list.size());
                float seconds = 0;
                if (!parseFloat(list.substr(start, comma - start).c_str(), seconds) || seconds < 0 || seconds > 1e6f)
                    return usageError("--seconds needs numbers from 0, separated by commas");
                options.seconds.push_back(seconds);
                start = comma + 1;
            }
        } else if (arg == "--speed") {
            const char* v = value();
            const std::string text = v ? v : "";
            const std::size_t equals = text.find('=');
            float speed = 0;
            if (equals == std::string::npos || equals == 0 || !parseFloat(text.substr(equals + 1).c_str(), speed) ||
                !(speed > 0))
                return usageError("--speed needs NAME=MS with MS above 0");
            options.speed[text.substr(0, equals)] = speed;
        } else if (arg == "--no-culling") {
            const char* v = value();
            if (!v) return usageError("--no-culling needs a file name");
            options.noCulling.push_back(v);
        } else if (arg == "--cell") {
            const char* v = value();
            if (!v || !parseSize(v, options.cellWidth, options.cellHeight))
                return usageError("--cell needs WxH, each side 1 to 8192");
        } else if (arg == "--textures") {
            const char* v = value();
            if (!v) return usageError("--textures needs a directory");
            options.textures = v;
            if (!options.textures.empty() && options.textures.back() != '/') options.textures += '/';
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return usageError("unknown option " + arg);
        } else if (positional++ == 0) {
            options.output = arg;
        } else {
            options.scenes.push_back(arg);
        }
    }
    if (options.scenes.empty()) return usageError("sheet needs OUT.png and at least one FILE.ppp");
    return 0;
}

// Parses the arguments of import. Returns 0 when the line is good, else the usage status.
int parseImport(int argc, char** argv, meshimport::ImportOptions& options) {
    int positional = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--textures") {
            const char* v = value();
            if (!v || !*v) return usageError("--textures needs a directory");
            options.textures = v;
        } else if (arg == "--scale") {
            const char* v = value();
            if (!v || !parseFloat(v, options.scale) || !(options.scale > 0) || options.scale > 1e6f)
                return usageError("--scale needs a number above 0");
        } else if (arg == "--fps") {
            const char* v = value();
            if (!v || !parseInt(v, 1, 100, options.fps)) return usageError("--fps needs a whole number from 1 to 100");
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return usageError("unknown option " + arg);
        } else if (positional == 0) {
            options.input = arg, ++positional;
        } else if (positional == 1) {
            options.output = arg, ++positional;
        } else {
            return usageError("too many arguments");
        }
    }
    if (positional != 2) return usageError("import needs IN and OUT.ppp");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Standard output carries the tool's own listings; the libraries'
    // progress lines (the image cache, the picture writers) stay off it
    // unless render --verbose asks for them.
    vantor::log::setProgressQuiet(true);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    if (argc < 2) return usageError("no command given");
    const std::string command = argv[1];
    if (command == "sheet") {
        SheetOptions sheet;
        if (const int status = parseSheet(argc, argv, sheet)) return status;
        return renderSheet(sheet);
    }
    if (command == "import") {
        meshimport::ImportOptions options;
        if (const int status = parseImport(argc, argv, options)) return status;
        return meshimport::importSceneIsolated(options, stderr);
    }
    if (command != "dump" && command != "render") return usageError("unknown command " + command);
    const bool isRender = command == "render";
    Command parsed;
    if (const int status = parse(argc, argv, isRender, parsed)) return status;
    if (isRender) return renderScene(parsed.render);
    if (!dumpScene(parsed.render.scene, stdout, stderr)) return 1;
    // The listing ends with what the demo's reader says of the file.
    const bool texturesKnown = parsed.hasTextures || parsed.hasArchive;
    std::string message;
    const bool accepted =
        checkScene(parsed.render.scene, texturesKnown ? parsed.render.textures.c_str() : nullptr, &message);
    std::fflush(stdout);
    if (accepted) {
        std::printf("ok\n");
        return 0;
    }
    std::printf("%s\n", message.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "meshcaster: %s\n", message.c_str());
    return 1;
}
