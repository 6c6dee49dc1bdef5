// The contact sheet of `kpx montage`: every image as a thumbnail with its name
// and size under it, in a grid, written as one PNG.
#pragma once

#include <string>
#include <vector>

// Reads every file as the image cache would and writes the sheet to `out`.
// Returns 0, or 1 after printing the reason on stderr when a file cannot be
// read or the sheet cannot be written.
int writeMontage(const std::string& out, const std::vector<std::string>& files);
