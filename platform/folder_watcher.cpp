#include "platform/folder_watcher.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <map>
#include <sys/inotify.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vantor::platform {

namespace {

constexpr std::uint32_t kFileEvents =
    IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB;
constexpr std::uint32_t kFolderEvents = kFileEvents | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

class InotifyWatcher : public FolderWatcher {
public:
    explicit InotifyWatcher(int fd) : fd_(fd) {}
    ~InotifyWatcher() override { ::close(fd_); }

    // Watches folder (relative path below the root: relative) and every folder
    // below it. New folders found on the way are reported as changes.
    void watchTree(const fs::path& root, const std::string& relative, std::vector<std::string>* found) {
        addWatch(root, relative);
        std::error_code ec;
        const fs::path start = relative.empty() ? root : root / relative;
        for (fs::recursive_directory_iterator it(start, fs::directory_options::skip_permission_denied, ec), end;
             !ec && it != end; it.increment(ec)) {
            const std::string below = fs::relative(it->path(), root, ec).generic_string();
            if (it->is_directory(ec)) addWatch(root, below);
            if (found) found->push_back(below);
        }
    }

    std::vector<std::string> takeChanges() override {
        std::vector<std::string> changes;
        alignas(inotify_event) char buffer[64 * (sizeof(inotify_event) + NAME_MAX + 1)];
        for (;;) {
            const ssize_t length = ::read(fd_, buffer, sizeof buffer);
            if (length <= 0) break;
            for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                handle(*event, changes);
            }
        }
        return changes;
    }

    fs::path root;

private:
    void addWatch(const fs::path& rootPath, const std::string& relative) {
        const fs::path folder = relative.empty() ? rootPath : rootPath / relative;
        const int wd = ::inotify_add_watch(fd_, folder.c_str(), kFolderEvents);
        if (wd >= 0) folders_[wd] = relative;
    }

    void handle(const inotify_event& event, std::vector<std::string>& changes) {
        if (event.mask & IN_Q_OVERFLOW) {
            // Events were lost: report the whole folder as changed.
            changes.push_back("");
            return;
        }
        if (event.mask & IN_IGNORED) {
            folders_.erase(event.wd);
            return;
        }
        const auto folder = folders_.find(event.wd);
        if (folder == folders_.end()) return;
        if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
            changes.push_back(folder->second);
            return;
        }
        if (event.len == 0) return;
        const std::string name(event.name, ::strnlen(event.name, event.len));
        const std::string path = folder->second.empty() ? name : folder->second + "/" + name;
        changes.push_back(path);
        // A folder created or moved in: watch it and report what it holds.
        if ((event.mask & IN_ISDIR) && (event.mask & (IN_CREATE | IN_MOVED_TO))) watchTree(root, path, &changes);
    }

    int fd_;
    std::map<int, std::string> folders_;  // watch descriptor -> folder below the root
};

}  // namespace

std::unique_ptr<FolderWatcher> watchFolder(const std::string& folder, std::string* error) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        if (error) *error = folder + " is not a folder";
        return nullptr;
    }
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        if (error) *error = std::string("cannot watch for changes: ") + std::strerror(errno);
        return nullptr;
    }
    auto watcher = std::make_unique<InotifyWatcher>(fd);
    watcher->root = folder;
    watcher->watchTree(watcher->root, "", nullptr);
    return watcher;
}

}  // namespace vantor::platform
