// Where the files the demo ships (vantor.ppd, soundtrack.mp3) are found: in
// the working directory, else next to the program, else in the installed
// share/vantor/ folder beside the program's bin/ folder (an install by
// `cmake --install`), so installed tools run from any folder.
#pragma once

#include "runtime/startup_files.h"

#include <string>

// The path of the shipped file `name`; `name` itself (the working directory's,
// for the error message) when none of the places holds it.
std::string findShippedFile(const char* name);

// The demo's start-up files with the archive and the soundtrack looked up as
// findShippedFile does.
class ShippedDemoFiles {
public:
    ShippedDemoFiles();
    ShippedDemoFiles(const ShippedDemoFiles&) = delete;
    ShippedDemoFiles& operator=(const ShippedDemoFiles&) = delete;

    // Valid while this object lives.
    const StartupFiles& files() const { return files_; }

private:
    std::string archive_;
    std::string soundtrack_;
    StartupFiles files_;
};
