#include "app/script_check.h"

#include "app/effect_protocol.h"
#include "app/frame_loop.h"
#include "app/script_names.h"
#include "runtime/startup_files.h"
#include "effects/layer_effect.h"
#include "libs/ppd/ppd.h"
#include "platform/mp3_decoder.h"
#include "scene/format/scene_chunk_decoder.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace {

using Severity = CheckDiagnostic::Severity;

class Checker {
public:
    Checker(ScriptData& data, std::vector<CheckDiagnostic>& out) : data_(data), out_(out) {}

    void check(const Script& script) {
        script_ = &script;
        for (const ScriptEvent& event : script.setupEvents()) checkEvent(event);
        const std::optional<std::int64_t> soundtrack = data_.soundtrackLength();
        const int end = script.endTime(soundtrack.value_or(0));
        std::string endName = "the end of the show";
        if (script.demoEnd() != 0) {
            endName = "DEMOEND";
            if (soundtrack && *soundtrack < script.demoEnd())
                warn(script.demoEndLine(), "the soundtrack ends at " + std::to_string(*soundtrack) +
                                               " ms, before DEMOEND (" + std::to_string(script.demoEnd()) +
                                               " ms): the show plays on in silence");
        } else if (end < FrameLoop::kEndTime) {
            endName = "the end of the soundtrack, where the show ends";
        }
        for (const ScriptEvent& event : script.timelineEvents()) {
            if (event.time > end)
                warn(event.line, "event at " + std::to_string(event.time) + " ms comes after " + endName + " (" +
                                     std::to_string(end) + " ms)");
            checkEvent(event);
        }
    }

private:
    // An effect in the script's own name for it ("FLASH"), else its id and
    // class in the effect table ("effect 30 (FlashEffect)").
    std::string describe(int id, const ScriptEvent* event = nullptr) const {
        std::string name = scriptEffectWord(*script_, id, event);
        if (!name.empty()) return name;
        const EffectProtocol* e = findEffectProtocol(id);
        return "effect " + std::to_string(id) + (e ? std::string(" (") + e->className + ")" : std::string());
    }
    // A code in the script's own name for it ("NEXT_CAMERA"), else the
    // effect table's with its number ("SHOW (110)").
    std::string codeName(int id, const SignalCodeInfo& c, const ScriptEvent* event = nullptr) const {
        std::string name = scriptCodeWord(*script_, id, c.code, event);
        if (!name.empty()) return name;
        return std::string(c.name) + " (" + std::to_string(c.code) + ")";
    }

    void error(int line, std::string text) { out_.push_back({Severity::Error, line, std::move(text)}); }
    void warn(int line, std::string text) { out_.push_back({Severity::Warning, line, std::move(text)}); }

    void checkEvent(const ScriptEvent& event) {
        const EffectProtocol* effect = findEffectProtocol(event.effectId);
        if (!effect) {
            const std::string name = scriptEffectWord(*script_, event.effectId, &event);
            error(event.line, (name.empty() ? "effect " : name + " (effect ") + std::to_string(event.effectId) +
                                  (name.empty() ? "" : ")") + " is never registered by the start-up");
            return;
        }
        switch (event.kind) {
        case ScriptEvent::Init: initialised_.insert(event.effectId); break;
        case ScriptEvent::Start: checkStart(event, *effect); break;
        case ScriptEvent::End: started_.erase(event.effectId); break;
        case ScriptEvent::Signal: checkSignal(event, *effect); break;
        default: break;
        }
    }

    void checkStart(const ScriptEvent& event, const EffectProtocol& effect) {
        if (effect.playsFromInit && !initialised_.count(event.effectId))
            warn(event.line, "START of " + describe(event.effectId, &event) +
                                 " with no INIT before it: it plays as if it had begun at music time 0");
        const auto running = started_.find(event.effectId);
        if (running != started_.end())
            warn(event.line, "START of " + describe(event.effectId, &event) +
                                 " while it still runs from the START on line " + std::to_string(running->second) +
                                 " (no END between)");
        else
            started_[event.effectId] = event.line;
    }

    void checkSignal(const ScriptEvent& event, const EffectProtocol& effect) {
        const SignalValue& value = event.value;
        const SignalCodeInfo* code = effect.findCode(value.code);
        if (!code) {
            {
                const std::string name = scriptCodeWord(*script_, event.effectId, value.code, &event);
                warn(event.line,
                     describe(event.effectId, &event) + " ignores code " +
                         (name.empty() ? std::to_string(value.code) : name + " (" + std::to_string(value.code) + ")"));
            }
            return;
        }
        if (code->unit == SignalUnit::Picture) {
            if (!value.isString)
                warn(event.line, describe(event.effectId, &event) + " takes a picture's name for " +
                                     codeName(event.effectId, *code, &event) + "; an integer does nothing");
            else if (!data_.hasPicture(value.text))
                error(event.line, "picture " + value.text + " is not there (" +
                                      codeName(event.effectId, *code, &event) + " of " +
                                      describe(event.effectId, &event) + ")");
            return;
        }
        // Every other code acts on the integer; a text value counts as 0.
        if (value.isString && code->unit != SignalUnit::Ignored)
            warn(event.line, describe(event.effectId, &event) + " takes a number for " +
                                 codeName(event.effectId, *code, &event) + "; text \"" + value.text + "\" counts as 0");
        const int v = value.isString ? 0 : value.intValue;
        if (code->unit == SignalUnit::CameraId) checkCamera(event, effect, v);
        if (code->unit == SignalUnit::EffectId) checkLink(event, effect, *code, v);
    }

    void checkCamera(const ScriptEvent& event, const EffectProtocol& effect, int camera) {
        const int line = event.line;
        if (!effect.sceneFile) return;
        const auto cameras = data_.sceneCameras(effect.sceneFile);
        if (!cameras) {
            error(line, std::string("scene ") + effect.sceneFile + " of " + describe(effect.id, &event) +
                            " cannot be read to find camera " + std::to_string(camera));
            return;
        }
        if (std::find(cameras->begin(), cameras->end(), camera) != cameras->end()) return;
        std::string list;
        for (int id : *cameras) list += (list.empty() ? "" : ", ") + std::to_string(id);
        error(line, std::string("scene ") + effect.sceneFile + " has no camera " + std::to_string(camera) +
                        (list.empty() ? std::string(" (it has none)") : " (its cameras: " + list + ")"));
    }

    void checkLink(const ScriptEvent& event, const EffectProtocol& effect, const SignalCodeInfo& code, int target) {
        const int line = event.line;
        auto& links = links_[effect.id];
        if (!findEffectProtocol(target)) {
            error(line, codeName(effect.id, code, &event) + " of " + describe(effect.id, &event) + " names effect " +
                            std::to_string(target) + ", which the start-up never registers");
            links.erase(code.code);
            return;
        }
        const auto old = links.find(code.code);
        const int previous = old == links.end() ? kNoLink : old->second;
        links[code.code] = target;
        checkBlendable(event, effect, code, target);
        std::vector<int> path{effect.id};
        if (!leadsBack(target, effect.id, path)) return;
        std::string text;
        for (int id : path) text += chainName(id, effect.id, event) + " -> ";
        text += chainName(effect.id, effect.id, event);
        error(line, "effects draw each other without end: " + text + " (" + codeName(effect.id, code, &event) + " of " +
                        describe(effect.id, &event) + ")");
        // Reported once: the effect refuses the link that would close the
        // cycle and keeps the one it had.
        if (previous != kNoLink)
            links[code.code] = previous;
        else
            links.erase(code.code);
    }

    // An effect drawn through blending the drawer sets (the wipe's layer) must
    // take that blending, or it covers the screen instead of being blended.
    void checkBlendable(const ScriptEvent& event, const EffectProtocol& effect, const SignalCodeInfo& code,
                        int target) {
        if (code.link != EffectLink::Blends) return;
        const EffectProtocol& drawn = *findEffectProtocol(target);
        if (drawn.findCode(LayerEffect::BLEND_SRC) && drawn.findCode(LayerEffect::BLEND_DST)) return;
        warn(event.line, codeName(effect.id, code, &event) + " of " + describe(effect.id, &event) + " names " +
                             describe(target) +
                             ", which takes no blend factors: it is drawn over the screen, not blended");
    }

    // An effect of a drawing cycle: the script's name for it, else its id.
    std::string chainName(int id, int drawer, const ScriptEvent& event) const {
        const std::string name = scriptEffectWord(*script_, id, id == drawer ? &event : nullptr);
        return name.empty() ? std::to_string(id) : name;
    }

    // Whether the links from `from` lead to `to`; path gets the ids on the way.
    bool leadsBack(int from, int to, std::vector<int>& path) {
        path.push_back(from);
        if (from == to) {
            path.pop_back();
            return true;
        }
        if (std::find(path.begin(), path.end() - 1, from) == path.end() - 1) {
            for (const auto& link : links_[from])
                if (leadsBack(link.second, to, path)) return true;
        }
        path.pop_back();
        return false;
    }

    static constexpr int kNoLink = -1;  // links hold registered ids only

    ScriptData& data_;
    const Script* script_ = nullptr;
    std::vector<CheckDiagnostic>& out_;
    std::set<int> initialised_;
    std::map<int, int> started_;               // effect -> line of its START
    std::map<int, std::map<int, int>> links_;  // effect -> code -> effect it draws
};

}  // namespace

std::string CheckDiagnostic::located(std::string_view file) const {
    std::string out(file);
    if (line > 0) out += ":" + std::to_string(line);
    out += severity == Severity::Error ? ": error: " : ": warning: ";
    return out + message;
}

bool FileLayerScriptData::hasPicture(const std::string& name) {
    if (name.empty()) return false;
    ppd_file* file = ppd_open((std::string(kDemoFiles.imagePath) + name).c_str());
    if (!file) return false;
    ppd_close(file);
    return true;
}

std::optional<std::vector<int>> FileLayerScriptData::sceneCameras(const std::string& sceneFile) {
    for (const Scene& s : scenes_)
        if (s.file == sceneFile) return s.cameras;
    Scene scene{sceneFile, std::nullopt};
    if (ppd_file* file = ppd_open(sceneFile.c_str())) {
        ppp::ChunkDecoder decoder(file);
        std::vector<int> cameras;
        bool whole = decoder.readLeadWord();
        ppp::Chunk chunk;
        while (whole) {
            const auto result = decoder.next(chunk);
            if (result == ppp::ChunkDecoder::Result::Error) whole = false;
            if (result != ppp::ChunkDecoder::Result::Chunk || chunk.type == ppp::kEndChunk) break;
            if (chunk.type == ppp::kCameraChunk) cameras.push_back(chunk.camera.id);
        }
        ppd_close(file);
        if (whole) scene.cameras = std::move(cameras);
    }
    scenes_.push_back(scene);
    return scene.cameras;
}

std::optional<std::int64_t> FileLayerScriptData::soundtrackLength() {
    if (soundtrack_.empty()) return std::nullopt;
    if (!soundtrackMs_) {
        vantor::platform::Mp3Decoder decoder;
        soundtrackMs_ = decoder.open(soundtrack_) && decoder.rate() > 0 ? decoder.lengthFrames() * 1000 / decoder.rate()
                                                                        : std::int64_t{0};
    }
    if (*soundtrackMs_ <= 0) return std::nullopt;
    return soundtrackMs_;
}

std::vector<CheckDiagnostic> checkScript(const ScriptReadResult& read, ScriptData& data) {
    std::vector<CheckDiagnostic> out;
    for (const ScriptDiagnostic& e : read.errors) out.push_back({Severity::Error, e.line, e.described()});
    if (read.errors.empty() && read.error) out.push_back({Severity::Error, read.error->line, read.error->described()});
    for (const ScriptDiagnostic& w : read.warnings) out.push_back({Severity::Warning, w.line, w.described()});
    if (const Script* script = read.script ? read.script.get() : read.partial.get()) Checker(data, out).check(*script);
    std::stable_sort(out.begin(), out.end(),
                     [](const CheckDiagnostic& a, const CheckDiagnostic& b) { return a.line < b.line; });
    // A finding said twice on one line (two entries on it, a word repeated in
    // a time) is said once.
    std::set<std::tuple<int, Severity, std::string>> seen;
    out.erase(std::remove_if(out.begin(), out.end(),
                             [&](const CheckDiagnostic& d) {
                                 return !seen.insert({d.line, d.severity, d.message}).second;
                             }),
              out.end());
    return out;
}

std::vector<CheckDiagnostic> checkScriptText(std::string_view text, ScriptData& data) {
    return checkScript(Script::parseTextPastErrors(text), data);
}

bool hasErrors(const std::vector<CheckDiagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const CheckDiagnostic& d) { return d.severity == Severity::Error; });
}

std::string checkSummary(const std::vector<CheckDiagnostic>& diagnostics) {
    const auto errors = std::count_if(diagnostics.begin(), diagnostics.end(),
                                      [](const CheckDiagnostic& d) { return d.severity == Severity::Error; });
    const auto warnings = static_cast<long>(diagnostics.size()) - errors;
    return std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") + std::to_string(warnings) +
           (warnings == 1 ? " warning" : " warnings");
}
