// Author mode's error line names the file first: "FILE[:LINE]: message".
//
// The demo's own texts name the file somewhere inside ("Error in parsing
// data/arm.ppp: could not open file", "could not load image rotule.pcx",
// "scene data/arm.ppp has no object 23"), as the plain demo shows them. For
// an author that file leads, in the name of the file to edit: the data
// folder's copy when the folder has one, else the archive's member. Texts
// that name no file, or already begin with one, stay as they are.
#pragma once

#include <functional>
#include <string>

// Where a data path (an archive member name) is edited.
using EditedFile = std::function<std::string(const std::string& dataPath)>;

// text: the demo's message. imagePath: the directory an image name without
// one is looked up in.
std::string locatedError(const std::string& text, const std::string& imagePath, const EditedFile& edited);
