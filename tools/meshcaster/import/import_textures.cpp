#include "tools/meshcaster/import/import_textures.h"

#include "kpx/kpx.h"
#include "tools/meshcaster/import/import_report.h"

#include <assimp/scene.h>
#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace meshimport {
namespace {

constexpr std::size_t kMaximumSourceBytes = std::size_t(64) << 20;
constexpr int kMaximumSourceSide = 8192;
constexpr int kLargestSavedSide = 1024;
constexpr int kJpegQuality = 90;
// Stems are cut to this length: the material's name field holds 99 characters.
constexpr std::size_t kLongestStem = 60;
// Texture files are looked for this deep below the model's folder, among at
// most this many entries.
constexpr int kDeepestScan = 3;
constexpr std::size_t kLargestScan = 20000;

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

bool decode(const unsigned char* data, std::size_t size, Picture& out, std::string* why) {
    if (size == 0 || size > kMaximumSourceBytes) return *why = "empty or larger than 64 MiB", false;
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, int(size), &w, &h, &channels)) return *why = stbi_failure_reason(), false;
    if (w <= 0 || h <= 0 || w > kMaximumSourceSide || h > kMaximumSourceSide)
        return *why = "larger than 8192 x 8192 pixels", false;
    unsigned char* pixels = stbi_load_from_memory(data, int(size), &w, &h, &channels, 3);
    if (!pixels) return *why = stbi_failure_reason(), false;
    out.width = w;
    out.height = h;
    out.rgb.assign(pixels, pixels + std::size_t(w) * h * 3);
    stbi_image_free(pixels);
    return true;
}

// An embedded picture kept as pixels (blue, green, red, alpha per texel).
bool fromTexels(const aiTexture& texture, Picture& out, std::string* why) {
    if (texture.mWidth > unsigned(kMaximumSourceSide) || texture.mHeight > unsigned(kMaximumSourceSide) ||
        texture.mWidth == 0 || !texture.pcData)
        return *why = "an empty picture or one larger than 8192 x 8192 pixels", false;
    out.width = int(texture.mWidth);
    out.height = int(texture.mHeight);
    out.rgb.resize(std::size_t(out.width) * out.height * 3);
    for (std::size_t i = 0; i < std::size_t(out.width) * out.height; ++i) {
        out.rgb[3 * i] = texture.pcData[i].r;
        out.rgb[3 * i + 1] = texture.pcData[i].g;
        out.rgb[3 * i + 2] = texture.pcData[i].b;
    }
    return true;
}

bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bytes.clear();
    unsigned char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (bytes.size() + n > kMaximumSourceBytes) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    std::fclose(file);
    return true;
}

bool isFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

std::string lowerCase(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// How many '/'-separated parts the two paths share at their ends.
std::size_t matchingTail(const std::string& a, const std::string& b) {
    std::size_t parts = 0;
    std::size_t i = a.size(), j = b.size();
    while (i > 0 && j > 0) {
        const std::size_t ai = a.rfind('/', i - 1), bj = b.rfind('/', j - 1);
        const std::size_t aStart = ai == std::string::npos ? 0 : ai + 1, bStart = bj == std::string::npos ? 0 : bj + 1;
        if (a.compare(aStart, i - aStart, b, bStart, j - bStart) != 0) break;
        ++parts;
        if (ai == std::string::npos || bj == std::string::npos) break;
        i = ai;
        j = bj;
    }
    return parts;
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A stem the demo can look up: no directory separators or control
// characters, nothing the image cache would read as an extension.
std::string cleanStem(const std::string& name) {
    std::string stem = name;
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) stem.erase(dot);
    for (char& c : stem)
        if (std::iscntrl(static_cast<unsigned char>(c)) || c == '/' || c == '\\' || c == ':' || c == '*' || c == '"')
            c = '_';
    while (!stem.empty() && (stem.front() == ' ' || stem.front() == '.')) stem.erase(stem.begin());
    if (stem.size() > kLongestStem) stem.resize(kLongestStem);
    return stem.empty() ? "texture" : stem;
}

// Writes the picture as JPEG, scaled down to the largest side the import keeps.
bool savePicture(Picture picture, const std::string& path, std::string* why) {
    const int longest = std::max(picture.width, picture.height);
    if (longest > kLargestSavedSide) {
        const int w = std::max(1, picture.width * kLargestSavedSide / longest);
        const int h = std::max(1, picture.height * kLargestSavedSide / longest);
        std::vector<unsigned char> smaller(std::size_t(w) * h * 3);
        if (!stbir_resize_uint8(picture.rgb.data(), picture.width, picture.height, 0, smaller.data(), w, h, 0, 3))
            return *why = "could not scale the picture", false;
        picture.width = w;
        picture.height = h;
        picture.rgb.swap(smaller);
    }
    kpximage* image = kpx_create(std::uint16_t(picture.width), std::uint16_t(picture.height), 24, 0);
    if (!image) return *why = "out of memory", false;
    std::memcpy(image->image, picture.rgb.data(), picture.rgb.size());
    kpx_error_clear();
    kpx_set_jpg_quality(kJpegQuality);
    kpx_save_jpg(path.c_str(), image);
    kpx_free(image);
    if (kpx_error_count() > 0) return *why = kpx_error_last(), false;
    return true;
}

}  // namespace

TextureExport::TextureExport(const aiScene& scene, std::string directory, std::string modelDirectory,
                             OutputFiles& files, ImportReport& report)
    : scene_(scene),
      directory_(std::move(directory)),
      modelDirectory_(std::move(modelDirectory)),
      files_(files),
      report_(report) {}

void TextureExport::setModelName(const std::string& modelPath) { modelStem_ = cleanStem(baseName(modelPath)); }

void TextureExport::scanModelDirectory() {
    scanned_ = true;
    namespace fs = std::filesystem;
    std::error_code failure;
    const fs::path root = modelDirectory_.empty() ? fs::path(".") : fs::path(modelDirectory_);
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, failure), end;
    for (std::size_t seen = 0; !failure && it != end && seen < kLargestScan; it.increment(failure), ++seen) {
        if (it.depth() >= kDeepestScan) it.disable_recursion_pending();
        if (it->is_directory(failure)) {
            folders_.push_back(it->path().string() + "/");
        } else {
            const std::string lower = lowerCase(it->path().filename().string());
            byLowerName_.emplace(lower, it->path().string());
        }
    }
    std::sort(folders_.begin(), folders_.end(), [](const std::string& a, const std::string& b) {
        const auto depth = [](const std::string& p) { return std::count(p.begin(), p.end(), '/'); };
        return depth(a) != depth(b) ? depth(a) < depth(b) : a < b;
    });
}

std::string TextureExport::findFile(const std::string& path) {
    // As written: absolute, or relative to the model.
    if (!path.empty() && path[0] == '/') return isFile(path) ? path : "";
    if (isFile(modelDirectory_ + path)) return modelDirectory_ + path;
    // Relative to a folder below the model's (where its material library
    // may be), then the base name anywhere below it in any case (paths from
    // another machine, names written in capitals).
    if (!scanned_) scanModelDirectory();
    for (const std::string& folder : folders_)
        if (isFile(folder + path)) return folder + path;
    // Of several files of that name, the one whose folders match most of
    // the path's last folders; the first in name order of those.
    const std::string wanted = lowerCase(path);
    std::string best;
    std::size_t bestMatch = 0;
    const auto [from, to] = byLowerName_.equal_range(lowerCase(baseName(path)));
    for (auto it = from; it != to; ++it) {
        const std::size_t match = matchingTail(wanted, lowerCase(it->second));
        if (best.empty() || match > bestMatch || (match == bestMatch && it->second < best))
            best = it->second, bestMatch = match;
    }
    return best;
}

std::string TextureExport::uniqueName(const std::string& source, const std::string& sourceFile) {
    // Names that differ only in case count as the same: the archive and
    // some file systems do not tell them apart. A source picture that is
    // itself in the texture directory under the name is never written over.
    const auto isSource = [&](const std::string& name) {
        std::error_code failure;
        return !sourceFile.empty() && std::filesystem::equivalent(directory_ + name, sourceFile, failure);
    };
    const std::string stem = cleanStem(source);
    std::string name = stem + ".jpg";
    for (int n = 2; used_.count(lowerCase(name)) || isSource(name); ++n) name = stem + "-" + std::to_string(n) + ".jpg";
    used_.insert(lowerCase(name));
    return name;
}

std::string TextureExport::save(const std::string& reference) {
    const auto known = byReference_.find(reference);
    if (known != byReference_.end()) return known->second;

    Picture picture;
    std::string why, source, sourceFile;
    // Embedded: "*N", or a name the file's reader matched to an embedded picture.
    const aiTexture* embedded = scene_.GetEmbeddedTexture(reference.c_str());
    if (embedded) {
        const std::string own = embedded->mFilename.length ? baseName(embedded->mFilename.C_Str()) : "";
        source = !own.empty()          ? own
                 : reference[0] != '*' ? baseName(reference)
                                       : modelStem_ + "-" + reference.substr(1);
        const bool decoded = embedded->mHeight == 0 ? decode(reinterpret_cast<const unsigned char*>(embedded->pcData),
                                                             embedded->mWidth, picture, &why)
                                                    : fromTexels(*embedded, picture, &why);
        if (!decoded) {
            report_.warn("embedded texture " + reference + " skipped: " + why);
            return byReference_[reference] = "";
        }
    } else {
        std::string path = reference;
        std::replace(path.begin(), path.end(), '\\', '/');
        const std::string found = findFile(path);
        std::vector<unsigned char> bytes;
        if (found.empty() || !readFile(found, bytes)) {
            report_.warn("texture \"" + reference + "\" not found: its material is drawn without it");
            return byReference_[reference] = "";
        }
        if (!decode(bytes.data(), bytes.size(), picture, &why)) {
            report_.warn("texture \"" + reference + "\" skipped: " + why);
            return byReference_[reference] = "";
        }
        source = baseName(path);
        sourceFile = found;
    }

    std::string error;
    if (!directoryMade_) {
        if (!files_.makeDirectory(directory_, &error)) throw ImportRefused(error);
        directoryMade_ = true;
    }
    const std::string name = uniqueName(source, sourceFile);
    if (!savePicture(std::move(picture), files_.stage(directory_ + name), &why))
        throw ImportRefused(directory_ + name + ": " + why);
    return byReference_[reference] = name;
}

}  // namespace meshimport
