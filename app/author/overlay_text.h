// The overlay's words: the lines of the panel and of the error box, each a
// run of spans in the overlay's inks, laid out in character cells. No GL, so
// the layout is tested on its own.
#pragma once

#include "app/author/overlay_state.h"

#include <string>
#include <vector>

enum class OverlayInk { Label, Value, Time, Pause, Loop, Error, Warning };

struct OverlaySpan {
    OverlayInk ink;
    std::string text;
};

struct OverlayLine {
    std::vector<OverlaySpan> spans;
    int columns() const;
};

// The panel: time, bar:beat, frame rate and pause state; the loop; the last
// event; the running effects (at most maxEffects lines, then a count of the
// rest). The first line leaves two cells free at its start for the play or
// pause sign.
std::vector<OverlayLine> overlayPanelLines(const OverlayState& state, int maxEffects);

// The error wrapped to lines of at most `columns` characters (at least 8),
// at most maxLines (the last one ends in "..." when the text is longer).
// Characters outside printable ASCII show as '?'.
std::vector<std::string> wrapOverlayText(const std::string& text, int columns, int maxLines);

// What the error box says: the error, then the script checker's findings, one
// a line; empty when there are neither.
std::string errorBoxText(const std::string& error, const std::vector<std::string>& findings);

// The error box's text wrapped as wrapOverlayText does, each line in one
// span: in the Warning ink when the line of the text it comes from is a
// warning ("...: warning: ..."), else in the Error ink.
std::vector<OverlayLine> errorBoxLines(const std::string& text, int columns, int maxLines);
