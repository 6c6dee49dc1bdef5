// Judges a timeline script against the effect table of the start-up and the
// data it names, beyond what reading it finds:
//
// errors (the show would crash, stop or draw the wrong thing):
//   - the script cannot be read (each of the reader's errors, at its line and
//     naming its word: the checker reads on past them);
//   - an event for an id the start-up never registers, or a code that names
//     such an id as the effect to draw;
//   - effects that draw each other (SOURCE, WIPE_FROM and the like) in a
//     cycle of any length, itself included;
//   - a text signal naming a picture that is not there;
//   - a scene camera id that none of the scene's cameras has;
// warnings (it plays, but probably not as meant):
//   - the reader's own warnings (header words it could not use, a word in a
//     time that is neither a number nor a name, a NUL byte, no TIMELINE);
//   - a code the effect ignores, or a text value where it takes a number
//     (and the other way round);
//   - a START with no INIT before it for an effect that plays from its INIT;
//   - events after the end of the show (DEMOEND, else 240000 ms or the
//     soundtrack's end); a soundtrack that ends before DEMOEND;
//   - a START of an effect that is still running from an earlier START;
//   - a layer to be blended by another effect (the wipe's WIPE_FROM) that
//     takes no blend factors.
//
// Every diagnostic carries the line of the file it is about. The checker is a
// library, so author mode can show its findings next to the picture.
#pragma once

#include "runtime/script.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CheckDiagnostic {
    enum class Severity { Error, Warning };
    Severity severity = Severity::Error;
    int line = 0;  // the line of the file; 0: about the whole file
    std::string message;

    // "FILE:LINE: error: message" ("FILE: error: message" without a line).
    std::string located(std::string_view file) const;
};

// Where the checker looks up the data a script names.
class ScriptData {
public:
    // Whether the image cache would find a picture of that name.
    virtual bool hasPicture(const std::string& name) = 0;
    // The camera ids of a scene file, in file order; none when the file cannot
    // be read as a scene.
    virtual std::optional<std::vector<int>> sceneCameras(const std::string& sceneFile) = 0;
    // The soundtrack's length in ms; none when it is not known.
    virtual std::optional<std::int64_t> soundtrackLength() { return std::nullopt; }

protected:
    ScriptData() = default;
    ~ScriptData() = default;
};

// The data as the demo reads it: through the ppd_ file layer with whatever
// folder and archive are selected, pictures below "data/images/".
class FileLayerScriptData : public ScriptData {
public:
    // soundtrack: the MP3 file the show plays (empty: not known).
    explicit FileLayerScriptData(std::string soundtrack = {}) : soundtrack_(std::move(soundtrack)) {}

    bool hasPicture(const std::string& name) override;
    std::optional<std::vector<int>> sceneCameras(const std::string& sceneFile) override;
    std::optional<std::int64_t> soundtrackLength() override;

private:
    struct Scene {
        std::string file;
        std::optional<std::vector<int>> cameras;
    };
    std::vector<Scene> scenes_;  // each scene is read once
    std::string soundtrack_;
    std::optional<std::int64_t> soundtrackMs_;  // 0: unreadable
};

// The findings for a read script, in line order (errors of the reader first).
std::vector<CheckDiagnostic> checkScript(const ScriptReadResult& read, ScriptData& data);
// Reads the text as the demo does, but on past every error, then checks it.
std::vector<CheckDiagnostic> checkScriptText(std::string_view text, ScriptData& data);

// "N errors, M warnings" (with singulars as they fall).
std::string checkSummary(const std::vector<CheckDiagnostic>& diagnostics);
bool hasErrors(const std::vector<CheckDiagnostic>& diagnostics);
