#include "web/show/page_request.h"

#include <cstdlib>

namespace {

// A whole decimal number in [low, high], nothing else.
bool readNumber(const std::string& text, long low, long high, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    const long n = std::strtol(text.c_str(), nullptr, 10);
    if (n < low || n > high) return false;
    value = static_cast<int>(n);
    return true;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

}  // namespace

bool readPageRequest(const std::string& fragment, PageRequest& request, std::string* error) {
    request = PageRequest{};
    std::string text = fragment;
    if (!text.empty() && text[0] == '#') text.erase(0, 1);
    if (text.empty()) return true;
    auto refuse = [&](const std::string& why) {
        if (error) *error = "The page's address asks for " + why + ".";
        return false;
    };
    for (const std::string& part : split(text, '&')) {
        const std::size_t equals = part.find('=');
        const std::string key = part.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : part.substr(equals + 1);
        if (key == "at") {
            for (const std::string& time : split(value, ',')) {
                int ms = 0;
                if (!readNumber(time, 0, 100000000, ms)) return refuse("a time that is no number of ms: \"" + time + "\"");
                if (!request.at.empty() && ms < request.at.back()) return refuse("times out of order");
                request.at.push_back(ms);
            }
        } else if (key == "fps") {
            if (!readNumber(value, 1, 1000, request.fps)) return refuse("frames a second out of 1..1000: \"" + value + "\"");
        } else if (key == "size") {
            const std::size_t x = value.find('x');
            if (x == std::string::npos || !readNumber(value.substr(0, x), 1, 4096, request.width) ||
                !readNumber(value.substr(x + 1), 1, 4096, request.height))
                return refuse("a size that is not WxH up to 4096: \"" + value + "\"");
        } else {
            return refuse("\"" + key + "\", which it does not know");
        }
    }
    return true;
}
