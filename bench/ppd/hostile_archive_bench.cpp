// The archive reader on 1 MB archives built to cost it the most, timed in the
// same run as lsar -t (the independent extractor's integrity test) on the same
// files; prints both times and the ratio.
//
//   expanding  one member whose packed stream is the RAR 2.0 code for "repeat
//              the last copy" over and over: every bit makes about 256 bytes,
//              so 1 MB decodes to the 2 GB the reader allows for it (its CRC
//              is wrong, so the work ends in a refusal)
//   headers    about 25 000 empty stored members: listing, extracting all and
//              extracting the last one by name
#include "libs/ppd/pack/archive_writer.h"
#include "libs/ppd/pack/rar20_encoder.h"
#include "libs/ppd/unrarlib/unrarlib.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kArchiveBytes = 1u << 20;

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void save(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The packed stream of a run of zeros is a short head (tables, the first
// copy) and then zero bytes (the one-bit code that repeats the last copy);
// the head with zeros up to the size gives the densest stream there is.
std::vector<std::uint8_t> expandingArchive() {
    const std::vector<std::uint8_t> zeros(16u << 20, 0);
    std::vector<std::uint8_t> stream = ppd_pack::compressMembers(zeros, {std::uint32_t(zeros.size())}, false)[0];
    // The head ends where the first long run of zero bytes begins.
    std::size_t head = 0, run = 0;
    for (std::size_t i = 0; i < stream.size() && run < 32; ++i) {
        run = stream[i] == 0 ? run + 1 : 0;
        head = i + 1 - run;
    }
    stream.resize(head);
    std::vector<std::uint8_t> archive;
    ppd_pack::writeMarker(archive);
    ppd_pack::writeMainHeader(archive, false);
    ppd_pack::FileHeaderFields h;
    h.name = "zeros.bin";
    h.method = ppd_pack::kMethodNormal;
    const std::size_t packed = kArchiveBytes - archive.size() - 40;
    stream.resize(packed, 0);
    h.packSize = std::uint32_t(packed);
    // The most the reader lets a member of this many packed bytes claim.
    const std::uint64_t most = std::uint64_t(packed) * 8 * 260 + 260;
    h.unpackedSize = std::uint32_t(std::min<std::uint64_t>(most, 0xFFFFFFFFu));
    h.fileCrc = 0;
    ppd_pack::writeFileHeader(archive, h);
    archive.insert(archive.end(), stream.begin(), stream.end());
    return archive;
}

std::vector<std::uint8_t> headersArchive(int* members) {
    std::vector<std::uint8_t> archive;
    ppd_pack::writeMarker(archive);
    ppd_pack::writeMainHeader(archive, false);
    *members = 0;
    while (archive.size() < kArchiveBytes - 64) {
        ppd_pack::FileHeaderFields h;
        h.name = "m" + std::to_string(*members);
        ppd_pack::writeFileHeader(archive, h);
        ++*members;
    }
    return archive;
}

double lsarSeconds(const std::string& path) {
    const std::string command = "lsar -t '" + path + "' >/dev/null 2>&1";
    return seconds([&] { (void)std::system(command.c_str()); });
}

void report(const char* name, double ours, double peer) {
    std::printf("%-10s  reader %8.3f s   lsar -t %8.3f s   ratio %.2f\n", name, ours, peer,
                peer > 0 ? ours / peer : 0.0);
}

}  // namespace

int main() {
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string expanding = dir + "/vantor-hostile-expanding.rar";
    const std::string headers = dir + "/vantor-hostile-headers.rar";
    save(expanding, expandingArchive());
    int members = 0;
    save(headers, headersArchive(&members));

    unsigned long length = 0;
    char* data = nullptr;
    const double expand = seconds([&] {
        if (unrarlib_extract(expanding.c_str(), "zeros.bin", &data, &length, nullptr)) std::free(data);
    });
    report("expanding", expand, lsarSeconds(expanding));

    const std::string last = "m" + std::to_string(members - 1);
    const double many = seconds([&] {
        unrarlib_list_entry* first = nullptr;
        unrarlib_list(headers.c_str(), &first);
        unrarlib_free_list(first);
        unrarlib_extract_all(headers.c_str(), nullptr, nullptr, nullptr);
        if (unrarlib_extract(headers.c_str(), last.c_str(), &data, &length, nullptr)) std::free(data);
    });
    report("headers", many, lsarSeconds(headers));
    std::printf("(%d members in the headers archive)\n", members);
    if (!std::getenv("KEEP")) std::remove(expanding.c_str());
    std::remove(headers.c_str());
    return 0;
}
