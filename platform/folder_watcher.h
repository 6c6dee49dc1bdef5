// Changes to the files below a folder, for playing a show while it is edited.
//
// The watcher reports every path below the folder that was written, created,
// deleted or renamed (either side of the rename), relative to the folder and
// with '/' between its parts. Editors that save by writing a temporary file
// and renaming it show up as the renamed-to name. Folders created later are
// watched too, so a file that appears in a folder that did not exist yet is
// seen as well.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vantor::platform {

class FolderWatcher {
public:
    virtual ~FolderWatcher() = default;
    // The paths changed since the last call, oldest first (a path may repeat).
    // Never waits.
    virtual std::vector<std::string> takeChanges() = 0;

protected:
    FolderWatcher() = default;
};

// Watches folder and everything below it with the kernel's change
// notification. Null (with the reason in *error) when it cannot.
std::unique_ptr<FolderWatcher> watchFolder(const std::string& folder, std::string* error = nullptr);

}  // namespace vantor::platform
