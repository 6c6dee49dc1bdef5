// Message boxes of the demo: an informational/error/warning box and the yes/no
// question. Every box also prints its caption and text to stderr, so a log shows
// what the user saw. With VANTOR_HEADLESS=1 or without a display no box is shown
// and nothing can block; the yes/no question then answers Yes.
#pragma once

#include <string>

namespace vantor::platform {

enum class BoxIcon { Information, Warning, Error };

void showMessageBox(const std::string& caption, const std::string& text, BoxIcon icon);

// Returns true for Yes.
bool askYesNo(const std::string& caption, const std::string& text);

// True when boxes are suppressed (VANTOR_HEADLESS set to a non-empty value other
// than "0", or no display to show them on).
bool boxesSuppressed();

}  // namespace vantor::platform
