#include "app/author/data_change.h"

#include <cctype>

namespace {

std::string folded(const std::string& path) {
    std::string out;
    for (char c : path) out += c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool isPictureName(const std::string& name) {
    return endsWith(name, ".jpg") || endsWith(name, ".pcx") || endsWith(name, ".tga") || endsWith(name, ".gif");
}

}  // namespace

DataChange dataChangeOf(const std::string& path) {
    const std::string p = folded(path);
    if (p.empty() || p == "data") return DataChange::Effects;
    if (p == "data/script.scr") return DataChange::Script;
    if (p == "soundtrack.mp3") return DataChange::Soundtrack;
    if (p == "celpalette.pcx" || p == "data/images" || p == "data/textures") return DataChange::Effects;
    if ((startsWith(p, "data/images/") || startsWith(p, "data/textures/")) && isPictureName(p))
        return DataChange::Effects;
    if (startsWith(p, "data/") && p.find('/', 5) == std::string::npos && endsWith(p, ".ppp"))
        return DataChange::Effects;
    return DataChange::None;
}

DataChanges dataChangesOf(const std::vector<std::string>& paths) {
    DataChanges changes;
    for (const std::string& path : paths) {
        switch (dataChangeOf(path)) {
        case DataChange::Script: changes.script = true; break;
        case DataChange::Effects: changes.effects = true; break;
        case DataChange::Soundtrack: changes.soundtrack = true; break;
        case DataChange::None: break;
        }
        if (path.empty()) changes = {true, true, true};
    }
    return changes;
}
