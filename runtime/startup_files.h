// The files the demo starts from, in one place: the data archive and its
// password, the soundtrack, the timeline script and the image directory.
//
// The demo always reads its data from the archive; tests and tools run the
// same start-up on loose files in the working directory.
#pragma once

struct StartupFiles {
    const char* archive;  // null: data files are read loose from the working directory
    const char* password;
    const char* soundtrack;  // always a loose file in the working directory
    const char* script;
    const char* imagePath;             // base directory of the image cache
    const char* dataFolder = nullptr;  // files here win over the archive's (null: none)
};

inline constexpr StartupFiles kDemoFiles{"vantor.ppd", "quorbel", "soundtrack.mp3", "data/script.scr", "data/images/"};

// The same start-up, reading every data file loose from the working directory.
inline constexpr StartupFiles kLooseDemoFiles{nullptr, nullptr, kDemoFiles.soundtrack, kDemoFiles.script,
                                              kDemoFiles.imagePath};
