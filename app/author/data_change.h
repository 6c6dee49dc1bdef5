// What a changed path below the data folder means for the running show.
#pragma once

#include <string>
#include <vector>

enum class DataChange {
    None,        // not a file the demo reads (editor backups, notes, ...)
    Script,      // the timeline script: read it again
    Effects,     // a picture, texture, scene or the cel palette: build the effects anew
    Soundtrack,  // the soundtrack: open it again at the current position
};

// The meaning of one path (relative to the data folder, '/' between parts),
// compared as the archive compares names. An empty path (the whole folder, or
// changes that were lost) means everything.
DataChange dataChangeOf(const std::string& path);

// What a batch of changed paths asks for.
struct DataChanges {
    bool script = false;
    bool effects = false;
    bool soundtrack = false;

    bool any() const { return script || effects || soundtrack; }
};
DataChanges dataChangesOf(const std::vector<std::string>& paths);
