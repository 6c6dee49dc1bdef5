// Thousands of damaged scene files: the reader must load them or report them
// through SceneError, never crash or read outside the data (run under
// AddressSanitizer by the asan preset). Scenes that load are also updated and
// drawn, and every file is also listed by meshcaster's dump.
#include "scene/scene_error.h"
#include "tests/scene/scene_fixture.h"
#include "tools/meshcaster/scene_dump.h"

#include <random>

namespace vantor::test {
namespace {

using ReaderMutationTest = SceneTest;

std::vector<unsigned char> richScene() {
    const float s = 0.70710678f;
    SceneFileWriter w;
    w.material(plainMaterial(0, {0.5f, 0.5f, 0.5f}));
    ppp::MaterialRecord textured = plainMaterial(1, {1, 1, 1});
    textured.textures[0] = "a\\b.tga";
    textured.textures[2] = "b.tga";
    w.material(textured);
    ppp::MeshRecord quad = quadMesh(1);
    quad.faces[0].materialId = -1;
    w.mesh(quad);
    ppp::DummyRecord dummy;
    dummy.id = 2;
    dummy.parentId = 1;
    dummy.rotation = {0, s, 0, s};
    w.dummy(dummy);
    ppp::MeshRecord cube = cubeMesh(3, 0.5f);
    cube.parentId = 2;
    w.mesh(cube);
    ppp::MeshRecord board = quadMesh(4);
    board.name = "Bill";
    w.mesh(board);
    w.target({5, {0, 0, -1}});
    w.camera({6, {0, 2, 8}, 5});
    w.camera({7, {3, 0, 8}, 0});
    w.light({8, {0, 5, 5}, {1, 1, 1}});
    ppp::PositionKeyRecord a, b, c;
    a.frame = 0, b.frame = 10, c.frame = 20;
    b.position = {1, 0, 0}, c.position = {0, 1, 0};
    b.continuity = 0.5f, c.easeTo = 1;
    w.positionKeys(2, {a, b, c});
    w.rotationKeys(3, {{0, {0, 0, 0, 1}}, {10, {0, 0, s, s}}});
    w.samples(8, 5, {{{0, 5, 5}, {0, 0, 0, 1}}, {{5, 5, 0}, {0, 0, s, s}}});
    w.unknown(42, {9, 9, 9});
    w.end(4);
    return w.bytes();
}

std::vector<unsigned char> mutate(std::vector<unsigned char> bytes, std::mt19937& random) {
    auto pick = [&](std::size_t n) { return n ? std::uniform_int_distribution<std::size_t>(0, n - 1)(random) : 0; };
    static const std::uint32_t interesting[] = {0,       1,          2,          3,          4,          5,      7,
                                                8,       0x7F,       0x80,       0xFF,       0x7FFF,     0x8000, 0xFFFF,
                                                0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 1000000};
    const int rounds = 1 + int(pick(3));
    for (int round = 0; round < rounds && !bytes.empty(); ++round) {
        switch (pick(6)) {
        case 0:  // random bytes
            for (std::size_t n = 1 + pick(8); n > 0; --n)
                bytes[pick(bytes.size())] = static_cast<unsigned char>(pick(256));
            break;
        case 1: {  // an aligned 32-bit field set to an interesting value
            const std::size_t at = pick(bytes.size() / 4) * 4;
            const std::uint32_t v = interesting[pick(std::size(interesting))];
            for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
            break;
        }
        case 2:  // truncation
            bytes.resize(pick(bytes.size()));
            break;
        case 3: {  // a span removed
            const std::size_t at = pick(bytes.size());
            bytes.erase(bytes.begin() + at, bytes.begin() + std::min(bytes.size(), at + 1 + pick(64)));
            break;
        }
        case 4: {  // a span repeated
            const std::size_t at = pick(bytes.size());
            const std::size_t end = std::min(bytes.size(), at + 1 + pick(200));
            std::vector<unsigned char> span(bytes.begin() + at, bytes.begin() + end);
            bytes.insert(bytes.begin() + pick(bytes.size()), span.begin(), span.end());
            break;
        }
        default: {  // random bytes inserted
            std::vector<unsigned char> noise(1 + pick(40));
            for (auto& byte : noise) byte = static_cast<unsigned char>(pick(256));
            bytes.insert(bytes.begin() + pick(bytes.size()), noise.begin(), noise.end());
            break;
        }
        }
    }
    return bytes;
}

TEST_F(ReaderMutationTest, DamagedFilesAreLoadedOrReported) {
    writeTexture("b.tga", 64, 64, [](int x, int y) {
        return Rgb{static_cast<unsigned char>(x * 4), static_cast<unsigned char>(y * 4), 0};
    });
    const std::vector<unsigned char> original = richScene();
    {
        std::unique_ptr<Scene> scene = loadBytes(original);
        ASSERT_TRUE(scene && scene->objects && scene->currentCamera);
    }

    std::mt19937 random(20261208);
    int loaded = 0, reported = 0;
    std::FILE* listing = std::fopen("/dev/null", "w");
    ASSERT_TRUE(listing);
    ScopedSceneErrorCapture capture;
    for (int i = 0; i < 3000; ++i) {
        const std::vector<unsigned char> bytes = mutate(original, random);
        std::unique_ptr<Scene> scene;
        try {
            scene = loadBytes(bytes);
        } catch (const SceneErrorRaised& error) {
            ++reported;
            EXPECT_FALSE(std::string(error.what()).empty());
            dumpScene(sceneFile(), listing, listing);
            continue;
        }
        // Whatever the reader accepts, the listing accepts too.
        EXPECT_TRUE(dumpScene(sceneFile(), listing, listing)) << "mutant " << i;
        ASSERT_TRUE(scene);
        ++loaded;
        try {
            demoProjection();
            scene->update(float(i % 30));
            scene->draw();
        } catch (const SceneErrorRaised&) {
            // no objects, no camera: reported, not crashed
        }
    }
    // Both outcomes must really occur, or the mutations test nothing.
    EXPECT_GT(loaded, 100);
    EXPECT_GT(reported, 100);
    std::fclose(listing);
    std::printf("damaged scene files: %d loaded, %d reported\n", loaded, reported);
}

TEST_F(ReaderMutationTest, RandomChunkStreamsAreLoadedOrReported) {
    std::mt19937 random(7);
    ScopedSceneErrorCapture capture;
    std::FILE* listing = std::fopen("/dev/null", "w");
    ASSERT_TRUE(listing);
    for (int i = 0; i < 500; ++i) {
        // The lead word 0, then chunk headers of known types with random payloads.
        std::vector<unsigned char> bytes(4, 0);
        for (int chunk = 0; chunk < 4; ++chunk) {
            const std::uint32_t type = 1 + random() % 9;
            const std::uint32_t size = random() % 400;
            for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<unsigned char>(type >> (8 * k)));
            for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<unsigned char>(size >> (8 * k)));
            for (std::uint32_t k = 0; k < size; ++k)
                bytes.push_back(static_cast<unsigned char>(random() % 4 == 0 ? random() : 0));
        }
        try {
            std::unique_ptr<Scene> scene = loadBytes(bytes);
        } catch (const SceneErrorRaised&) {}
        dumpScene(sceneFile(), listing, listing);
    }
    std::fclose(listing);
}

}  // namespace
}  // namespace vantor::test
