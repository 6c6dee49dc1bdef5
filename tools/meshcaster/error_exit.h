// How meshcaster's drawing commands end on a scene error: the message on
// stderr (never a box), exit status 1. Installed as the scene library's fatal
// error sink.
#pragma once

#include <string>

[[noreturn]] void reportSceneErrorAndExit(const std::string& message);
