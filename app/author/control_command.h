// The commands of the control channel, one a line:
//
//   seek MS      move the music to MS
//   pause        stop the music (the picture keeps being drawn)
//   play         play on
//   loop A B     play A..B over and over
//   loop off     end the loop
//   reload       read the folder again now
//   time         answer the music position in ms
//   shot FILE    write the next drawn frame to FILE (PNG)
//   quit         end the demo
#pragma once

#include <string>

struct ControlCommand {
    enum class Kind { Seek, Pause, Play, Loop, LoopOff, Reload, Time, Shot, Quit, Invalid };

    Kind kind = Kind::Invalid;
    int from = 0;       // Seek: the time; Loop: the start
    int to = 0;         // Loop: the end
    std::string file;   // Shot
    std::string error;  // Invalid: what is wrong (the answer after "error: ")
};

// Reads one line (without its line end; a trailing carriage return and
// surrounding blanks are ignored).
ControlCommand parseControlCommand(const std::string& line);
