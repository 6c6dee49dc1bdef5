#include "app/author/author_control.h"

#include "app/author/author_session.h"
#include "app/demo.h"
#include "platform/gl_api.h"
#include "libs/png/png_writer.h"

#include <cstdint>
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
    case Kind::Seek: session_.seek(command.from); break;
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
    case Kind::Quit: quit_ = true; break;
    }
    answer_("ok");
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
