#include "app/effect_reference.h"

#include "app/effect_protocol.h"

namespace {

// Table cells hold no pipes and no line ends.
std::string cell(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '|' ? '/' : c;
    return out;
}

std::string codeSummary(const SignalCodeInfo& c) {
    return "`" + std::string(c.name) + "` " + std::to_string(c.code) + " " + c.meaning + " (" + signalUnitName(c.unit) +
           ")";
}

// "draws SOURCE; blends WIPE_FROM", or "" for an effect that draws no other.
std::string links(const EffectProtocol& e) {
    std::string out;
    for (const SignalCodeInfo& c : e.codes) {
        if (c.link == EffectLink::None) continue;
        if (!out.empty()) out += "; ";
        out += std::string(effectLinkName(c.link)) + " `" + c.name + "`";
    }
    return out;
}

std::string unitText(const SignalCodeInfo& c) {
    switch (c.unit) {
    case SignalUnit::Hundredths: return "hundredths (100 = 1)";
    case SignalUnit::Level255: return "0 to 255";
    case SignalUnit::Switch: return "0 or 1";
    case SignalUnit::BlendFactor:
        return "10 one, 11 source alpha, 12 destination alpha, 13 one minus source alpha, "
               "14 one minus destination alpha";
    case SignalUnit::Picture: return "a picture's file name (text)";
    case SignalUnit::Ignored: return "any (write 0)";
    default: return signalUnitName(c.unit);
    }
}

const char* const kLanguage = R"(# The timeline script

What the demo shows and when is not compiled in: the plain-text script
`data/script.scr` names effects by their id and says, in music milliseconds,
when each is initialised, started, stopped or sent a value. This page is
generated from the effect table in the code (`vantor-script reference
--manual`); a test fails when it differs from what the code says.

Check a script with `vantor-script check FILE [--data DIR]`: besides reading
it as the demo does, it knows every effect below and the data the script
names. Where the demo stops at the first error, the checker reads on and
reports every error and warning of the file in one run, each with its line
and the word at fault. `vantor-script list FILE` prints its events as you wrote them,
each with its line and its time in ms (`BAR9 + BEAT1  SIGNAL FLASH ONCE`),
with the names below for ids and codes the script wrote as numbers.

## Words and lines

The script is read as words: runs of characters other than space, tab, line
feed, carriage return, vertical tab and form feed. Words and lines of any
length are kept whole; a NUL byte ends the text.

- `// …` as the **first word of a line** makes the line a comment. After
  other words it is not a comment: the word `//` is read as the next entry's
  time.
- `DEFINE NAME WORD` (anywhere, also below its uses): every word `NAME` of the
  script becomes `WORD`, keywords included. The first DEFINE of a name wins;
  the replacement is not substituted again. At most 400 DEFINEs; words after
  the replacement on the same line are read as a line of their own.

## Sections

```
// header
DEMOSTART 0
DEMOEND BAR120
BPM 125
BEATS 4
MARK drop 61440
SETUP
0 SIGNAL 0 31 title.pcx
TIMELINE
1000 INIT 22
1000 START 22
BAR1 + BEAT1 SIGNAL 22 90 2
5000 END 22
LINETIME
```

**Header**, up to `SETUP`:

| word | meaning |
|---|---|
| `DEMOSTART ms` | the music position playback starts at (0 when absent; the last one wins) |
| `DEMOEND time` | the music time the show ends at, a time expression after DEMOSTART and at most 240000 (the last one wins); without it the show ends at 240000 or where a shorter soundtrack ends |
| `BPM n` | beats a minute of the music's grid, for the grid names and author mode's beat and bar steps (120 when absent) |
| `BEATS n` | beats a bar (4 when absent) |
| `MARK name time` | a named position (a time expression) author mode can jump to |

The demo itself keeps only DEMOSTART and DEMOEND (and BPM and BEATS for the
grid names); every other header word is ignored. The frame at the end time is the show's last; `vantor-capture` ends
its capture there and author mode holds the music there.

**Setup**, up to `TIMELINE`: entries `0 SIGNAL id code text`, delivered once
before the show starts, each followed by `INIT` of every effect at time 0. A
setup value must be text (a file name); an integer value there is an error.

**Timeline**, up to `LINETIME`: entries

| entry | event |
|---|---|
| `time START id` | the effect draws every frame from now on |
| `time END id` | it stops drawing |
| `time INIT id` | it starts over: the time it plays from is this one |
| `time SIGNAL id code value` | the effect gets the value under the code (below) |

Entries are dispatched in file order as the music passes their time: keep
them in time order. The time of a timeline entry must not be 0. Anything
after `LINETIME` is ignored; a missing closing word ends the section at the
end of the text.

## Numbers and time expressions

- A **time** is read like C's `atoi`: optional sign, decimal digits, anything
  else ends the number (`1500ms` is 1500, `abc` is 0).
- A **time expression** adds words after a `+` standing as a word of its
  own: `61440 + 480 + 120` is 62040. A word in a time that is neither a
  number nor a name reads as 0 (the checker warns).
- **Grid names**: with `BPM` in the header, `BARn` and `BEATn` (n a whole
  number) are the times of the music's grid, n bars or n beats from music
  time 0 (bars counted from 0, as author mode's overlay counts them), each
  rounded to the millisecond from the exact grid: at `BPM 128` a beat is
  468.75 ms, so `BAR9` is 16875, `BEAT1` 469 and `BAR8 + BEAT2` 15938. They
  work in every time expression: timeline entries, `MARK`, `DEMOEND`. A
  script's own `DEFINE` of such a name is substituted first and so wins (the
  shipped show defines its own bars); a DEFINE may name a grid time
  (`DEFINE DROP BAR32`). Without `BPM` there is no grid: `BAR9` reads as 0.
- **Ids and codes** may be written in hexadecimal (`0x1e`) or octal (`010` is
  8).
- A **value** is an integer when it reads as a number other than 0 or begins
  with the digit 0 (`0`, `-3`, `12ab`); any other word (`abc`, `-0`) is text,
  except that in the timeline, with `BPM`, a grid name is the integer of its
  time (`SIGNAL FADE CLEAR_AT BAR2`).

## Capacities

| what | at most | beyond it |
|---|---|---|
| DEFINEs | 400 | ignored |
| setup entries | 1000 | dropped |
| timeline entries | 1000 | dropped |
| effect ids | 0 to 31 | only the ids below are registered |
| music time | 240000 ms | the show ends there (or earlier: DEMOEND, a shorter soundtrack) |

)";

}  // namespace

std::string effectReferenceTable() {
    std::string out =
        "| id | class | draws | codes | draws other effects | plays from INIT |\n"
        "|---|---|---|---|---|---|\n";
    for (const EffectProtocol& e : effectProtocols()) {
        std::string codes;
        for (const SignalCodeInfo& c : e.codes) codes += (codes.empty() ? "" : "<br>") + codeSummary(c);
        std::string draws = e.draws;
        if (e.sceneFile) draws += std::string(" (") + e.sceneFile + ")";
        out += "| " + std::to_string(e.id) + " | " + e.className + " | " + cell(draws) + " | " +
               cell(codes.empty() ? "none" : codes) + " | " + cell(links(e)) + " | " +
               (e.playsFromInit ? "yes" : "no") + " |\n";
    }
    return out;
}

std::string scriptManual() {
    std::string out = kLanguage;
    out +=
        "## Effects\n\n"
        "Every id the start-up registers; the others stay empty. Codes are named as the shipped show's "
        "DEFINEs name them. An effect that *draws other effects* runs the named effect itself every frame, "
        "whether or not that one is started; two effects must never draw each other. An effect that *plays "
        "from INIT* counts its time from its last INIT: give it one before its START.\n\n";
    out += effectReferenceTable();
    for (const EffectProtocol& e : effectProtocols()) {
        std::string draws = e.draws;
        if (!draws.empty() && draws[0] >= 'a' && draws[0] <= 'z') draws[0] = static_cast<char>(draws[0] - 'a' + 'A');
        out += "\n### " + std::to_string(e.id) + ": " + e.className + "\n\n" + draws;
        if (e.sceneFile) out += std::string(", playing `") + e.sceneFile + "`";
        out += ".\n\n";
        if (e.codes.empty()) {
            out += "It takes no signals.\n";
            continue;
        }
        out += "| code | name | value | meaning |\n|---|---|---|---|\n";
        for (const SignalCodeInfo& c : e.codes)
            out += "| " + std::to_string(c.code) + " | `" + c.name + "` | " + cell(unitText(c)) + " | " +
                   cell(c.meaning) + " |\n";
    }
    return out;
}
