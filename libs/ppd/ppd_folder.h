// Finding an archive member's name below a folder on disk.
#pragma once

#include <string>

namespace ppd_folder {

// The regular file below folder that the member name denotes, compared as the
// archive compares names: ASCII case ignored, / and \ alike, empty and "."
// parts skipped. A ".." part never matches. Empty when there is none.
std::string find(const std::string& folder, const std::string& name);

}  // namespace ppd_folder
