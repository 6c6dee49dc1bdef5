#include "tools/meshcaster/scene_sheet.h"

#include "imglib/image_library.h"
#include "platform/gl_api.h"
#include "platform/offscreen_gl.h"
#include "tools/meshcaster/demo_frame.h"
#include "scene/scene_error.h"
#include "scene/scene_file_reader.h"
#include "tools/meshcaster/error_exit.h"

#include <cairo.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kMargin = 4;

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Loaded {
    std::string file;
    std::unique_ptr<ImageLibrary> images;
    std::unique_ptr<Scene> scene;
    std::vector<int> cameras;
    float speed;
};

void drawLabel(cairo_t* cr, double x, double y, const std::string& text) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 11);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, x + 1, y + 1);
    cairo_show_text(cr, text.c_str());
    cairo_set_source_rgb(cr, 0.9, 0.95, 1.0);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

std::string clock(float seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%04.1f", int(seconds) / 60, seconds - 60 * (int(seconds) / 60));
    return text;
}

}  // namespace

int renderSheet(const SheetOptions& options) {
    std::string error;
    const std::unique_ptr<vantor::platform::OffscreenGL> gl =
        vantor::platform::OffscreenGL::create(options.cellWidth, options.cellHeight, &error);
    if (!gl) return std::fprintf(stderr, "meshcaster: cannot create an offscreen GL context: %s\n", error.c_str()), 1;
    setFatalErrorSink(reportSceneErrorAndExit);

    // Every scene with every camera: one row each.
    std::vector<Loaded> loaded;
    int rows = 0;
    for (const std::string& file : options.scenes) {
        Loaded l{file, std::make_unique<ImageLibrary>(), nullptr, {}, 10.0f};
        {
            SceneFileReader reader;
            l.scene.reset(reader.load(file.c_str(), options.textures.c_str(), l.images.get()));
        }
        const std::string name = baseName(file);
        if (std::find(options.noCulling.begin(), options.noCulling.end(), name) != options.noCulling.end())
            l.scene->setCulling(false);
        if (const auto s = options.speed.find(name); s != options.speed.end()) l.speed = s->second;
        for (SceneObject* c = l.scene->cameras; c; c = c->next) l.cameras.push_back(c->id);
        if (l.cameras.empty()) return std::fprintf(stderr, "meshcaster: %s: no camera\n", file.c_str()), 1;
        rows += int(l.cameras.size());
        loaded.push_back(std::move(l));
    }

    const int columns = int(options.seconds.size());
    const int width = kMargin + columns * (options.cellWidth + kMargin);
    const int height = kMargin + rows * (options.cellHeight + kMargin);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.16, 0.17, 0.2);
    cairo_paint(cr);
    cairo_surface_flush(surface);

    const bool progress = isatty(STDERR_FILENO);
    const int total = rows * columns;
    int r = -1;
    for (const Loaded& l : loaded)
        for (int camera : l.cameras) {
            ++r;
            Scene* scene = l.scene.get();
            scene->selectCamera(camera);
            for (int c = 0; c < columns; ++c) {
                if (progress) std::fprintf(stderr, "\rmeshcaster: drawing %d of %d", r * columns + c + 1, total);
                beginDemoFrame(options.cellWidth, options.cellHeight);
                scene->update(options.seconds[c] * 1000.0f / l.speed);
                scene->draw();
                glFinish();
                const std::vector<std::uint8_t> rgba = gl->readPixels();

                const int x0 = kMargin + c * (options.cellWidth + kMargin);
                const int y0 = kMargin + r * (options.cellHeight + kMargin);
                unsigned char* data = cairo_image_surface_get_data(surface);
                const int stride = cairo_image_surface_get_stride(surface);
                for (int y = 0; y < options.cellHeight; ++y) {
                    auto* out = reinterpret_cast<std::uint32_t*>(data + std::size_t(y0 + y) * stride) + x0;
                    const std::uint8_t* in = &rgba[std::size_t(y) * options.cellWidth * 4];
                    for (int x = 0; x < options.cellWidth; ++x, in += 4)
                        out[x] = (std::uint32_t(in[0]) << 16) | (std::uint32_t(in[1]) << 8) | in[2];
                }
                cairo_surface_mark_dirty(surface);
                drawLabel(cr, x0 + 5, y0 + 14,
                          baseName(l.file) + "  cam " + std::to_string(camera) + "  " + clock(options.seconds[c]));
                cairo_surface_flush(surface);
            }
        }
    if (progress) std::fputc('\n', stderr);
    const cairo_status_t status = cairo_surface_write_to_png(surface, options.output.c_str());
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        return std::fprintf(stderr, "meshcaster: %s: %s\n", options.output.c_str(), cairo_status_to_string(status)), 1;
    return 0;
}
