#include "tools/meshcaster/import/import_report.h"

namespace meshimport {

void ImportReport::warnOnce(const std::string& kind, const std::string& text) {
    if (kinds_.insert(kind).second) warn(text);
}

void ImportReport::warn(const std::string& text) {
    ++warnings_;
    if (out_) std::fprintf(out_, "meshcaster: warning: %s\n", text.c_str());
}

}  // namespace meshimport
