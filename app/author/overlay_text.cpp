#include "app/author/overlay_text.h"

#include "runtime/script.h"

#include <algorithm>
#include <limits>
#include <cstdio>

namespace {

std::string printable(std::string text) {
    for (char& c : text)
        if (c < 32 || c > 126) c = '?';
    return text;
}

}  // namespace

std::string describeEvent(const ScriptEvent& event) {
    std::string text =
        std::to_string(event.time) + " " + ScriptEvent::kindWord(event.kind) + " " + std::to_string(event.effectId);
    if (event.kind == ScriptEvent::Signal) {
        text += " " + std::to_string(event.value.code) + " ";
        text += event.value.isString ? event.value.text : std::to_string(event.value.intValue);
    }
    return text;
}

int OverlayLine::columns() const {
    int count = 0;
    for (const OverlaySpan& span : spans) count += static_cast<int>(span.text.size());
    return count;
}

std::vector<OverlayLine> overlayPanelLines(const OverlayState& state, int maxEffects) {
    std::vector<OverlayLine> lines;
    char buffer[64];

    std::snprintf(buffer, sizeof buffer, "%d:%d", state.position.bar, state.position.beat);
    std::string fps = "--";
    if (state.framesPerSecond > 0) {
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.1f", state.framesPerSecond);
        fps = rate;
    }
    OverlayLine top{{{OverlayInk::Time, "  " + std::to_string(state.musicTime) + " ms"},
                     {OverlayInk::Value, "  " + std::string(buffer)},
                     {OverlayInk::Label, "  " + fps + " fps"}}};
    if (state.paused) top.spans.push_back({OverlayInk::Pause, "  PAUSED"});
    lines.push_back(top);

    if (state.loop) {
        lines.push_back({{{OverlayInk::Label, "loop   "},
                          {OverlayInk::Loop,
                           std::to_string(state.loop->start) + " - " + std::to_string(state.loop->end) + " ms"}}});
    }

    OverlayLine event{{{OverlayInk::Label, "event  "}}};
    if (state.lastEvent.empty()) {
        event.spans.push_back({OverlayInk::Label, "none yet"});
    } else {
        if (state.lastEventLine > 0)
            event.spans.push_back({OverlayInk::Label, "line " + std::to_string(state.lastEventLine) + "  "});
        event.spans.push_back({OverlayInk::Value, printable(state.lastEvent)});
    }
    lines.push_back(event);

    if (state.running.empty()) {
        lines.push_back({{{OverlayInk::Label, "running  nothing"}}});
        return lines;
    }
    lines.push_back({{{OverlayInk::Label, "running"}}});
    const int shown = static_cast<int>(state.running.size()) > maxEffects ? std::max(maxEffects - 1, 0)
                                                                          : static_cast<int>(state.running.size());
    for (int i = 0; i < shown; ++i) {
        const OverlayEffect& effect = state.running[static_cast<std::size_t>(i)];
        std::snprintf(buffer, sizeof buffer, "  %2d  ", effect.id);
        lines.push_back({{{OverlayInk::Time, buffer}, {OverlayInk::Value, printable(effect.className)}}});
    }
    const int rest = static_cast<int>(state.running.size()) - shown;
    if (rest > 0) lines.push_back({{{OverlayInk::Label, "  and " + std::to_string(rest) + " more"}}});
    return lines;
}

std::vector<std::string> wrapOverlayText(const std::string& text, int columns, int maxLines) {
    columns = std::max(columns, 8);
    std::vector<std::string> lines;
    bool cut = false;
    std::size_t start = 0;
    // Each line of the text on its own, wrapped after the last space that fits.
    while (start <= text.size() && !cut) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = printable(text.substr(start, end - start));
        std::size_t pos = 0;
        do {
            if (static_cast<int>(lines.size()) == maxLines) {
                cut = true;
                break;
            }
            std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(columns), line.size() - pos);
            if (pos + length < line.size()) {
                const std::size_t space = line.rfind(' ', pos + length);
                if (space != std::string::npos && space > pos) length = space - pos + 1;
            }
            lines.push_back(line.substr(pos, length));
            pos += length;
        } while (pos < line.size());
        if (end == text.size()) break;
        start = end + 1;
    }
    if (cut && !lines.empty()) {
        std::string& last = lines.back();
        last = last.substr(0, std::min<std::size_t>(last.size(), static_cast<std::size_t>(columns) - 3)) + "...";
    }
    return lines;
}

std::vector<OverlayLine> errorBoxLines(const std::string& text, int columns, int maxLines) {
    std::vector<OverlayLine> lines;
    bool cut = false;
    std::size_t start = 0;
    while (!cut) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string source = text.substr(start, end - start);
        const OverlayInk ink =
            source.find(": warning: ") != std::string::npos ? OverlayInk::Warning : OverlayInk::Error;
        for (std::string& line : wrapOverlayText(source, columns, std::numeric_limits<int>::max())) {
            if (static_cast<int>(lines.size()) >= maxLines) {
                cut = true;
                break;
            }
            lines.push_back({{{ink, std::move(line)}}});
        }
        if (end == text.size()) break;
        start = end + 1;
    }
    // More text than lines: the last one says so, as wrapOverlayText's does.
    if (cut && !lines.empty()) {
        std::string& last = lines.back().spans.front().text;
        last = last.substr(0, std::min<std::size_t>(last.size(), static_cast<std::size_t>(std::max(columns, 8)) - 3)) +
               "...";
    }
    return lines;
}

std::string errorBoxText(const std::string& error, const std::vector<std::string>& findings) {
    std::string text = error;
    for (const std::string& finding : findings) {
        if (!text.empty()) text += '\n';
        text += finding;
    }
    return text;
}
