// The commands of the control channel, one a line:
//
//   seek T       move the music to T: ms, or a time in the script's names
//                (BAR9, BAR8+BEAT2, a MARK, a DEFINE; see runtime/typed_time.h)
//   pause        stop the music (the picture keeps being drawn)
//   play         play on
//   loop A B     play A..B over and over
//   loop off     end the loop
//   reload       read the folder again now
//   time         answer the music position in ms
//   shot FILE    write the next drawn frame to FILE (PNG)
//   step beat N  move N beats on (back when N is negative)
//   step bar N   move N bars on (back when N is negative)
//   mark next    move to the next MARK of the script
//   mark prev    move to the previous one
//   mark NAME    move to the mark of that name
//   overlay on   show the overlay (off: hide it)
//   status       answer one line: time, bar:beat, paused or playing, loop,
//                frames a second, the current error or "ok"
//   quit         end the demo
//
// The parser is a plain function of one line: any bytes give a command or
// an Invalid one with its reason.
#pragma once

#include <string>

struct ControlCommand {
    enum class Kind {
        Seek,
        Pause,
        Play,
        Loop,
        LoopOff,
        Reload,
        Time,
        Shot,
        StepBeats,
        StepBars,
        MarkNext,
        MarkPrevious,
        MarkNamed,
        Overlay,
        Status,
        Quit,
        Invalid
    };

    Kind kind = Kind::Invalid;
    int from = 0;       // Seek: the time; Loop: the start; Step*: the count; Overlay: 1 on, 0 off
    int to = 0;         // Loop: the end
    std::string file;   // Shot: the file; MarkNamed: the mark's name
    std::string time;   // Seek: the time as written when it names times of the script (from is 0 then)
    std::string error;  // Invalid: what is wrong (the answer after "error: ")
};

// Reads one line (without its line end; a trailing carriage return and
// surrounding blanks are ignored).
ControlCommand parseControlCommand(const std::string& line);
