#include "tools/meshcaster/import/model_reading.h"

#include "tools/meshcaster/import/import_report.h"

#include <assimp/DefaultLogger.hpp>
#include <assimp/LogStream.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <string>
#include <vector>

namespace meshimport {
namespace {

constexpr long long kLargestInput = 512LL << 20;
constexpr rlim_t kLargestAddressSpace = rlim_t(4) << 30;
constexpr rlim_t kLongestCpuSeconds = 120;

// Collects the reader's errors and warnings while one file is read.
class Messages : public Assimp::LogStream {
public:
    explicit Messages(std::vector<std::string>& lines) : lines_(lines) {}
    void write(const char* message) override {
        std::string line = message;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        lines_.push_back(line);
    }

private:
    std::vector<std::string>& lines_;
};

// The reader's log is process-wide: made for one read and removed after it.
class ScopedLog {
public:
    explicit ScopedLog(std::vector<std::string>& errors, std::vector<std::string>& warnings) {
        Assimp::DefaultLogger::create("", Assimp::Logger::NORMAL, 0);
        Assimp::DefaultLogger::get()->attachStream(new Messages(errors), Assimp::Logger::Err);
        Assimp::DefaultLogger::get()->attachStream(new Messages(warnings), Assimp::Logger::Warn);
    }
    ~ScopedLog() { Assimp::DefaultLogger::kill(); }
    ScopedLog(const ScopedLog&) = delete;
    ScopedLog& operator=(const ScopedLog&) = delete;
};

// The text after the reader's "Error, T0: " prefix.
std::string text(const std::string& line) {
    const std::size_t colon = line.find(": ");
    return colon == std::string::npos ? line : line.substr(colon + 2);
}

// Messages that mean the reader threw away part of the file's geometry
// (faces whose indices lead nowhere, faces without corners, vertices that
// make no whole primitive): what is left would be a plainly wrong model.
bool geometryLost(const std::string& message) {
    for (const char* sign : {"out-of-range", "out of range", "dropped", "empty face", "Invalid face"})
        if (message.find(sign) != std::string::npos) return true;
    return false;
}

}  // namespace

const aiScene& readModel(Assimp::Importer& importer, const std::string& path, ImportReport& report) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) throw ImportRefused("cannot open the file");
    if (!S_ISREG(info.st_mode)) throw ImportRefused("not a file");
    if (info.st_size > kLargestInput) throw ImportRefused("larger than 512 MiB");

    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    importer.SetPropertyBool(AI_CONFIG_PP_FD_REMOVE, true);
    importer.SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, 80.0f);
    const unsigned steps = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_JoinIdenticalVertices |
                           aiProcess_SortByPType | aiProcess_FindDegenerates | aiProcess_ValidateDataStructure;
    std::vector<std::string> errors, warnings;
    const aiScene* scene = nullptr;
    {
        ScopedLog log(errors, warnings);
        scene = importer.ReadFile(path, steps);
    }
    if (!scene) {
        const std::string reason = importer.GetErrorString();
        if (reason.find("bad_alloc") != std::string::npos)
            throw ImportRefused("the file asks for more memory than an import may take");
        throw ImportRefused(reason.empty() ? "the model reader refused the file" : reason);
    }
    for (const std::vector<std::string>* lines : {&errors, &warnings})
        for (const std::string& line : *lines)
            if (geometryLost(line)) throw ImportRefused(text(line));
    // Other errors are the reader's repairs (a default material for a missing
    // one, a track it cannot read): the user hears of each once.
    for (const std::string& line : errors) report.warnOnce("reader: " + text(line), "model reader: " + text(line));
    if (!scene->mRootNode) throw ImportRefused("the file has no scene");
    return *scene;
}

void limitReaderResources() {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // Sanitizers reserve far more address space than this for themselves.
    rlimit memory{kLargestAddressSpace, kLargestAddressSpace};
    setrlimit(RLIMIT_AS, &memory);
#endif
    rlimit time{kLongestCpuSeconds, kLongestCpuSeconds + 5};
    setrlimit(RLIMIT_CPU, &time);
    std::signal(SIGXCPU, [](int) {
        static const char text[] = "meshcaster: the import took longer than the time allowed\n";
        (void)!write(2, text, sizeof text - 1);
        _exit(1);
    });
}

}  // namespace meshimport
