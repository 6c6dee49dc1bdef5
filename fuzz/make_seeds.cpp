// Writes the committed seed files of the fuzz targets (fuzz/corpus/<target>/)
// with the same builders the reader tests use: small images of every kind the
// readers know, scenes with every chunk kind, archives in every packing mode,
// and the packed streams and encrypted data areas of those archives and of
// the test archives for the decompressor's and the cipher's targets.
//
//   cmake --build build/release --target fuzz_seed_maker
//   build/release/fuzz/fuzz_seed_maker fuzz/corpus tests/data/rar
#include "kpx/kpx.h"
#include "libs/ppd/pack/pack.h"
#include "libs/ppd/unrarlib/archive_headers.h"
#include "scene/format/scene_file_writer.h"
#include "tests/kpx/image_files.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace vantor::test;

namespace {

std::string root;
// The archive target's password (the test archives use "password"): short,
// since the key set-up's time grows with the password's length.
const char* const kPassword = "pw";

void write(const std::string& target, const std::string& name, const std::string& bytes) {
    const std::string path = root + "/" + target + "/" + name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

kpximage* record(const Picture& p, int bpp) {
    kpximage* img = kpx_create(static_cast<std::uint16_t>(p.width), static_cast<std::uint16_t>(p.height),
                               static_cast<std::uint16_t>(bpp), bpp == 8 ? 256 : 0);
    std::copy(p.pixels.begin(), p.pixels.end(), img->image);
    if (bpp == 8)
        for (int i = 0; i < 256 * 3; ++i) img->palette[i] = static_cast<unsigned char>(i * 5);
    return img;
}

// Writes through a KPX writer into a file, then returns its bytes.
template <class Save>
std::string saved(const char* name, Save save) {
    const std::string path = root + "/.tmp-" + name;
    save(path.c_str());
    std::string bytes = readFile(path);
    std::remove(path.c_str());
    return bytes;
}

GifFrame gifFrame(int width, int height, std::vector<std::uint8_t> indices) {
    GifFrame frame;
    frame.width = width, frame.height = height, frame.indices = std::move(indices);
    return frame;
}

void images() {
    kpximage* grey = record(testPicture(13, 7, 1, 1), 8);
    kpximage* colour = record(testPicture(11, 6, 3, 2), 24);
    write("pcx_fuzzer", "8bit_palette.pcx", saved("a.pcx", [&](const char* p) { kpx_save_pcx(p, grey); }));
    write("pcx_fuzzer", "24bit_planes.pcx", saved("b.pcx", [&](const char* p) { kpx_save_pcx(p, colour); }));
    write("tga_fuzzer", "24bit_raw.tga", saved("a.tga", [&](const char* p) { kpx_save_tga(p, colour, 0); }));
    write("tga_fuzzer", "24bit_rle.tga", saved("b.tga", [&](const char* p) { kpx_save_tga(p, colour, 1); }));
    kpx_free(grey);
    kpx_free(colour);

    const Picture p32 = testPicture(9, 5, 4, 3);
    TgaSpec rle32;
    rle32.type = 10, rle32.depth = 32, rle32.alphaBits = 8, rle32.topDown = true;
    write("tga_fuzzer", "32bit_rle_topdown.tga", tgaFile(rle32, 9, 5, p32.pixels));
    TgaSpec mapped;
    mapped.type = 9, mapped.depth = 8, mapped.mapFirst = 2, mapped.rightToLeft = true;
    for (int i = 0; i < 16 * 3; ++i) mapped.map.push_back(static_cast<std::uint8_t>(i * 11));
    std::vector<std::uint8_t> indices(7 * 4);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(2 + i % 16);
    write("tga_fuzzer", "mapped_rle.tga", tgaFile(mapped, 7, 4, indices));
    TgaSpec grey8;
    grey8.type = 3, grey8.depth = 8, grey8.footer = false;
    write("tga_fuzzer", "grey.tga", tgaFile(grey8, 6, 3, testPicture(6, 3, 1, 4).pixels));
    TgaSpec sixteen;
    sixteen.type = 2, sixteen.depth = 16;
    write("tga_fuzzer", "16bit.tga", tgaFile(sixteen, 5, 3, testPicture(5, 3, 2, 5).pixels));

    GifSpec plain;
    plain.frames.push_back(gifFrame(12, 7, testPicture(12, 7, 1, 6).pixels));
    write("gif_fuzzer", "plain89a.gif", gifFile(plain));
    GifSpec small;
    small.gif89 = false, small.tableSizeCode = 1, small.minCodeSize = 2;
    GifFrame f = gifFrame(10, 9, {});
    for (int i = 0; i < 90; ++i) f.indices.push_back(static_cast<std::uint8_t>((i / 3) % 4));
    f.interlaced = true;
    small.frames.push_back(f);
    write("gif_fuzzer", "interlaced87a.gif", gifFile(small));
    GifSpec animated;
    animated.graphicControl = true;
    animated.deferredClear = true;
    GifFrame first = gifFrame(8, 8, testPicture(8, 8, 1, 7).pixels);
    first.localTableSize = 7;
    GifFrame second = gifFrame(6, 4, testPicture(6, 4, 1, 8).pixels);
    second.localTableSize = 7;
    animated.frames = {first, second};
    write("gif_fuzzer", "animated_local_tables.gif", gifFile(animated));

    write("jpg_fuzzer", "baseline_colour.jpg", jpegFile(testPicture(24, 17, 3, 9), 80, false, true));
    write("jpg_fuzzer", "progressive_colour.jpg", jpegFile(testPicture(19, 16, 3, 10), 60, true));
    write("jpg_fuzzer", "grey.jpg", jpegFile(testPicture(16, 9, 1, 11), 90, false));
}

ppp::MeshRecord triangleMesh(std::int32_t id, std::int32_t parent, const char* name, std::int32_t material) {
    ppp::MeshRecord m;
    m.id = id, m.parentId = parent, m.name = name;
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    m.texCoords = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    FaceIndices a, b;
    a.vertex[0] = 0, a.vertex[1] = 1, a.vertex[2] = 2, a.materialId = material;
    b.vertex[0] = 1, b.vertex[1] = 3, b.vertex[2] = 2, b.materialId = -1;
    b.texCoord[0] = 1, b.texCoord[1] = 3, b.texCoord[2] = 2;
    m.faces = {a, b};
    return m;
}

void scenes() {
    SceneFileWriter w;
    w.material({0, {0.2f, 0.2f, 0.2f}, {0.8f, 0.1f, 0.1f}, {1, 1, 1}, 0.5f, 0.7f, 0, {"", "", ""}});
    w.mesh(triangleMesh(10, 0, "Body", 1));
    ppp::DummyRecord group;
    group.id = 20, group.parentId = 10, group.scale = {2, 2, 2};
    w.dummy(group);
    w.mesh(triangleMesh(30, 20, "Billboard", 2));
    w.target({40, {0, 0, -3}});
    w.camera({50, {0, 0, 10}, 40});
    w.camera({51, {3, 3, 3}, 10});
    w.light({60, {1, 2, 3}, {1, 0.5f, 0.25f}});
    w.material({1, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}, 0, 0, 1, {"a.tga", "", ""}});
    w.material({2, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}, 0, 0, 0, {"maps\\b.pcx", "c.jpg", ""}});
    w.material({3, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}, 0, 0, 0, {"", "", "a.tga"}});
    w.positionKeys(
        10, {{0, {0, 0, 0}, 0, 0, 0, 0, 0}, {50, {1, 2, 3}, 0.5f, 0, 0, 0, 0}, {100, {0, 1, 0}, 0, 0, 0, 0.3f, 0.3f}});
    w.rotationKeys(20, {{0, {0, 0, 0, 1}}, {40, {0, 0.7071f, 0, 0.7071f}}});
    w.samples(50, 10, {{{0, 0, 10}, {0, 0, 0, 1}}, {{1, 0, 10}, {0, 0, 0, 1}}, {{2, 0, 10}, {0, 0, 0, 1}}});
    w.positionKeys(60, {{0, {1, 2, 3}, 0, 0, 0, 0, 0}});
    w.unknown(99, {1, 2, 3, 4});
    w.end();
    write("scene_fuzzer", "every_chunk.ppp", std::string(w.bytes().begin(), w.bytes().end()));

    SceneFileWriter minimal;
    minimal.end(4);
    write("scene_fuzzer", "empty.ppp", std::string(minimal.bytes().begin(), minimal.bytes().end()));
}

// A member's data area as the decompressor's and the cipher's targets see it.
struct DataArea {
    std::string archive;  // the archive's file name
    rar_file_header header;
    std::string bytes;
};

std::vector<DataArea> dataAreas(const std::string& name, const std::string& archive) {
    std::vector<DataArea> areas;
    std::FILE* f = fmemopen(const_cast<char*>(archive.data()), archive.size(), "rb");
    rar_main_header main;
    if (!f || !rar_read_archive_start(f, main)) {
        if (f) std::fclose(f);
        return areas;
    }
    rar_file_header h;
    while (rar_next_file_header(f, h) == rar_search_result::file) {
        const std::size_t at = static_cast<std::size_t>(h.dataPos);
        const std::size_t size = (h.flags & kRarFlagLongBlock) ? h.packSize : 0;
        if (at + size > archive.size()) break;
        areas.push_back({name, h, archive.substr(at, size)});
        if (std::fseek(f, static_cast<long>(h.nextBlock), SEEK_SET) != 0) break;
    }
    std::fclose(f);
    return areas;
}

void le(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

std::string stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

// The unpack target's input: flags, two unpacked sizes, the first packed size.
std::string unpackInput(const DataArea& first, const DataArea* second) {
    std::string in;
    in.push_back(second ? 2 : 0);
    le(in, first.header.unpackedSize, 3);
    le(in, second ? second->header.unpackedSize : 0, 3);
    le(in, static_cast<std::uint32_t>(first.bytes.size()), 2);
    in += first.bytes;
    if (second) in += second->bytes;
    return in;
}

// Every packed (not stored) member on its own, and each solid member after
// the one before it; encrypted members go to the cipher's target, with the
// password and a few request sizes that fall across block edges.
void streams(const std::vector<std::pair<std::string, std::string>>& archives) {
    for (const auto& [name, bytes] : archives) {
        const std::vector<DataArea> areas = dataAreas(name, bytes);
        for (std::size_t i = 0; i < areas.size(); ++i) {
            const DataArea& a = areas[i];
            const std::string id = stem(name) + "_" + std::to_string(i);
            if (a.header.flags & kRarFlagEncrypted) {
                const char requests[] = {5, 4, 5, 11, 16, 33};  // their count, then the sizes
                const std::string password = name.compare(0, 8, "rarfile_") == 0 ? "password" : kPassword;
                std::string in = std::string(1, static_cast<char>(password.size())) + password +
                                 std::string(requests, sizeof requests);
                in += a.bytes.substr(0, 4096);
                write("cipher_fuzzer", id + ".bin", in);
                continue;
            }
            if (a.header.method == 0x30 || a.bytes.size() > 0xFFFF) continue;
            const bool solid = (a.header.flags & kRarFlagSolidMember) && i > 0;
            if (solid && !(areas[i - 1].header.flags & kRarFlagEncrypted) && areas[i - 1].header.method != 0x30)
                write("unpack_fuzzer", id + "_solid.bin", unpackInput(areas[i - 1], &a));
            else if (!solid)
                write("unpack_fuzzer", id + ".bin", unpackInput(a, nullptr));
        }
    }
}

std::vector<std::pair<std::string, std::string>> testArchives(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> archives;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".rar") == 0)
                archives.push_back({name, readFile(folder + "/" + name)});
        }
        closedir(dir);
    }
    std::sort(archives.begin(), archives.end());
    return archives;
}

std::vector<std::pair<std::string, std::string>> archives() {
    std::vector<std::pair<std::string, std::string>> written;
    std::vector<ppd_pack::Member> members;
    const std::string text = "DEMOSTART 0\nTIMELINE\n100 START 1\n100 START 1\n100 START 1\nLINETIME\n";
    members.push_back({"data/script.scr", std::vector<std::uint8_t>(text.begin(), text.end())});
    std::vector<std::uint8_t> sound(6000);
    for (std::size_t i = 0; i < sound.size(); ++i)
        sound[i] = static_cast<std::uint8_t>(128 + 60 * ((i / 37) % 2 ? 1 : -1) + i % 7);
    members.push_back({"data/tone.raw", sound});
    const Picture picture = testPicture(32, 16, 3, 12);
    members.push_back({"data/images/pic.raw", picture.pixels});

    auto pack = [&](const char* name, bool solid, bool store, const char* password) {
        ppd_pack::PackOptions options;
        options.solid = solid, options.store = store, options.password = password;
        const std::vector<std::uint8_t> bytes = ppd_pack::packArchive(members, options);
        written.push_back({name, std::string(bytes.begin(), bytes.end())});
        write("archive_fuzzer", name, written.back().second);
    };
    pack("compressed.rar", false, false, "");
    pack("solid.rar", true, false, "");
    pack("stored_encrypted.rar", false, true, kPassword);
    pack("solid_encrypted.rar", true, false, kPassword);
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seed_maker CORPUS_DIR TEST_ARCHIVE_DIR\n");
        return 2;
    }
    root = argv[1];
    kpx_verbose_off();
    images();
    scenes();
    std::vector<std::pair<std::string, std::string>> packed = archives();
    const std::vector<std::pair<std::string, std::string>> tests = testArchives(argv[2]);
    packed.insert(packed.end(), tests.begin(), tests.end());
    streams(packed);
    return 0;
}
