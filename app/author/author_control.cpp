#include "app/author/author_control.h"

#include "app/author/author_session.h"
#include "app/demo.h"
#include "platform/gl_api.h"
#include "libs/png/png_writer.h"
#include "runtime/typed_time.h"

#include <algorithm>

#include <cstdint>
#include <cstdio>
#include <vector>

AuthorControl::AuthorControl(AuthorSession& session, Demo& demo, Answer answer, FrameWriter writeFrame)
    : session_(session), demo_(demo), answer_(std::move(answer)), writeFrame_(std::move(writeFrame)) {}

void AuthorControl::frameDrawn() {
    if (shotFile_.empty()) return;
    std::string file;
    file.swap(shotFile_);
    std::string error;
    answer_(writeFrame_(file, &error) ? "ok" : "error: " + error);
}

void AuthorControl::frameFailed(const std::string& error) {
    if (shotFile_.empty()) return;
    shotFile_.clear();
    answer_("error: no frame drawn: " + error);
}

void AuthorControl::handle(const std::string& line) {
    try {
        carryOut(parseControlCommand(line));
    } catch (const std::exception& e) {
        // An effect that gives up during a seek or a reload: the session plays on.
        answer_(std::string("error: ") + e.what());
    }
}

void AuthorControl::carryOut(const ControlCommand& command) {
    DemoMusic& music = demo_.music();
    using Kind = ControlCommand::Kind;
    switch (command.kind) {
    case Kind::Invalid: answer_("error: " + command.error); return;
    case Kind::Seek:
        if (!command.time.empty()) {
            // A time in the script's names, read in the script that plays.
            const TypedTime time = readTypedTime(command.time, demo_.loop().script());
            if (!time.ms) {
                answer_("error: " + time.error);
                return;
            }
            session_.seek(std::max(*time.ms, 0));
            break;
        }
        session_.seek(command.from);
        break;
    case Kind::Pause: session_.play(false); break;
    case Kind::Play: session_.play(true); break;
    case Kind::Loop:
        if (!session_.setLoop(command.from, command.to)) {
            answer_("error: the loop must lie within the show (0 to " + std::to_string(session_.transport().endTime()) +
                    ")");
            return;
        }
        break;
    case Kind::LoopOff: session_.clearLoop(); break;
    case Kind::Reload: answer_(session_.reload() ? "ok" : "error: " + session_.error()); return;
    case Kind::Time: answer_(std::to_string(music.musicTime())); return;
    case Kind::Shot: shotFile_ = command.file; return;  // answered when the frame is written
    case Kind::StepBeats: session_.seek(session_.transport().stepBeats(music.musicTime(), command.from)); break;
    case Kind::StepBars: session_.seek(session_.transport().stepBars(music.musicTime(), command.from)); break;
    case Kind::MarkNext:
        if (!moveTo(session_.transport().nextMark(music.musicTime()), "no mark after the current time")) return;
        break;
    case Kind::MarkPrevious:
        if (!moveTo(session_.transport().previousMark(music.musicTime()), "no mark before the current time")) return;
        break;
    case Kind::MarkNamed:
        if (!moveTo(session_.transport().markTime(command.file), "the script has no mark " + command.file)) return;
        break;
    case Kind::Overlay:
        if (showOverlay_) showOverlay_(command.from != 0);
        break;
    case Kind::Status: answer_(status()); return;
    case Kind::Quit: quit_ = true; break;
    }
    answer_("ok");
}

bool AuthorControl::moveTo(std::optional<int> target, const std::string& none) {
    if (!target) {
        answer_("error: " + none);
        return false;
    }
    session_.seek(*target);
    return true;
}

std::string AuthorControl::status() {
    DemoMusic& music = demo_.music();
    const int now = music.musicTime();
    const BarBeat at = session_.transport().barBeat(now);
    std::string line = std::to_string(now) + " ms, bar " + std::to_string(at.bar) + ":" + std::to_string(at.beat) +
                       (music.musicPaused() ? ", paused" : ", playing");
    if (const auto& loop = session_.transport().loop())
        line += ", loop " + std::to_string(loop->start) + "-" + std::to_string(loop->end);
    else
        line += ", no loop";
    char rate[32];
    std::snprintf(rate, sizeof rate, ", %.1f fps, ", frameRate_ ? frameRate_() : 0.0);
    line += rate;
    // The error on one line, as the answer channel carries one line an answer.
    std::string error = session_.error().empty() ? "ok" : session_.error();
    for (char& c : error)
        if (c == '\n' || c == '\r') c = ' ';
    return line + error;
}

bool writeCurrentFrame(const std::string& file, std::string* error) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    if (width <= 0 || height <= 0) {
        if (error) *error = "no frame to write";
        return false;
    }
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(viewport[0], viewport[1], width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    // GL gives the bottom row first; pictures start at the top.
    std::vector<std::uint8_t> top(rows.size());
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::copy_n(rows.data() + static_cast<std::size_t>(height - 1 - y) * stride, stride, top.data() + y * stride);
    return writePng(file, width, height, top, error);
}
