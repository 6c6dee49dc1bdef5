// vantor (or any program) run as a child with a pipe to its standard input
// and one from its standard output, for the tests that drive author mode
// through its control channel; and reading the PNG shots it writes.
#pragma once

#include <png.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantor::test {

class AuthorChild {
public:
    // Starts arguments[0] in directory; its standard error goes to /dev/null
    // when quiet, else to ours.
    AuthorChild(const std::string& directory, const std::vector<std::string>& arguments, bool quiet = false) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            if (quiet) {
                const int null = ::open("/dev/null", O_WRONLY);
                if (null >= 0) ::dup2(null, STDERR_FILENO);
            }
            ::close(in[1]);
            ::close(out[0]);
            if (::chdir(directory.c_str()) != 0) ::_exit(127);
            std::vector<char*> argv;
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        toChild_ = in[1];
        fromChild_ = out[0];
    }
    ~AuthorChild() {
        if (toChild_ >= 0) ::close(toChild_);
        if (fromChild_ >= 0) ::close(fromChild_);
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    AuthorChild(const AuthorChild&) = delete;
    AuthorChild& operator=(const AuthorChild&) = delete;

    // Sends one command and waits up to `seconds` for its answer line:
    // "<timeout>", or "<closed>" when the pipe broke. slowest() keeps the
    // longest wait for an answer.
    std::string ask(const std::string& command, int seconds = 60) {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        const std::string line = command + "\n";
        if (::write(toChild_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return "<closed>";
        const auto until = start + std::chrono::seconds(seconds);
        for (;;) {
            const std::size_t end = buffered_.find('\n');
            if (end != std::string::npos) {
                std::string answer = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                const double waited = std::chrono::duration<double>(Clock::now() - start).count();
                if (waited > slowest_) slowest_ = waited;
                return answer;
            }
            if (Clock::now() >= until) return "<timeout>";
            pollfd p{fromChild_, POLLIN, 0};
            if (::poll(&p, 1, 200) <= 0) continue;
            char chunk[512];
            const ssize_t got = ::read(fromChild_, chunk, sizeof chunk);
            if (got <= 0) return "<closed>";
            buffered_.append(chunk, static_cast<std::size_t>(got));
        }
    }

    // The exit code once the program has ended: 128 + the signal when one
    // ended it, -1 when it still runs after a minute.
    int wait() {
        for (int i = 0; i < 600 && pid_ > 0; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

    // Resident memory in kB (-1 when it cannot be read).
    long residentKb() const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
        return -1;
    }
    double slowest() const { return slowest_; }

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffered_;
    double slowest_ = 0;
};

// A PNG file's pixels as RGB, top row first; empty when it does not read.
inline std::vector<std::uint8_t> readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    return pixels;
}

}  // namespace vantor::test
