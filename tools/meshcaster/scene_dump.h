// meshcaster dump: a readable listing of a ".ppp" file, read with the same
// chunk decoder the demo's reader uses.
#pragma once

#include <cstdio>
#include <string>

// Prints the listing to out; on a damaged file prints what the reader would
// report to err and returns false.
bool dumpScene(const std::string& path, std::FILE* out, std::FILE* err);
