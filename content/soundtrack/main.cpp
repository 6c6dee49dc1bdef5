// vantor-synth: renders the demo's soundtrack from its score into a WAV file.
#include "content/soundtrack/mixer.h"
#include "content/soundtrack/score.h"
#include "content/soundtrack/synth_dsp.h"
#include "content/soundtrack/wav_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

const char* const kUsage =
    "usage: vantor-synth [--levels] OUTPUT.wav\n"
    "\n"
    "Renders the demo soundtrack (241.92 s, 44100 Hz, 16-bit stereo) from the\n"
    "score built into the program and writes it as a WAV file. The result is\n"
    "the same on every run.\n"
    "\n"
    "options:\n"
    "  --levels     print the peak and RMS level of every section afterwards\n"
    "  -h, --help   show this help\n";

struct Section {
    const char* name;
    int firstBar, endBar;
};
const Section kSections[] = {{"intro", 0, 16},      {"build-up 1", 16, 32}, {"drop 1", 32, 64},
                             {"breakdown", 64, 80}, {"drop 2", 80, 112},    {"outro", 112, 126}};

double decibels(double x) { return x > 0 ? 20.0 * std::log10(x) : -200.0; }

void printLevels(const vantor::synth::StereoTrack& track) {
    const double perBar = vantor::synth::kBeatsPerBar * vantor::synth::samplesPerBeat();
    for (const Section& section : kSections) {
        const auto first = static_cast<std::size_t>(section.firstBar * perBar);
        const auto end = std::min(track.frames(), static_cast<std::size_t>(section.endBar * perBar));
        double sum = 0.0, peak = 0.0;
        for (std::size_t i = first; i < end; ++i) {
            sum += track.left[i] * track.left[i] + track.right[i] * track.right[i];
            peak = std::max(peak, static_cast<double>(std::max(std::fabs(track.left[i]), std::fabs(track.right[i]))));
        }
        const double rms = end > first ? std::sqrt(sum / (2.0 * (end - first))) : 0.0;
        std::printf("%-11s bars %3d-%3d  peak %6.1f dBFS  rms %6.1f dBFS\n", section.name, section.firstBar,
                    section.endBar, decibels(peak), decibels(rms));
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool levels = false;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--levels")) {
            levels = true;
        } else if (argv[i][0] == '-' || !output.empty()) {
            std::fprintf(stderr, "vantor-synth: unexpected argument '%s'\n%s", argv[i], kUsage);
            return 2;
        } else {
            output = argv[i];
        }
    }
    if (output.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // Fail before seconds of rendering when the output cannot be written.
    if (std::FILE* probe = std::fopen(output.c_str(), "wb")) {
        std::fclose(probe);
    } else {
        std::fprintf(stderr, "vantor-synth: %s: %s\n", output.c_str(), std::strerror(errno));
        return 1;
    }

    const bool terminal = isatty(STDERR_FILENO);
    std::fprintf(stderr, "vantor-synth: rendering the soundtrack to %s%s", output.c_str(), terminal ? "" : "\n");
    const auto progress = [terminal, &output](double done) {
        if (terminal)
            std::fprintf(stderr, "\rvantor-synth: rendering the soundtrack to %s: %3d%%", output.c_str(),
                         static_cast<int>(done * 100));
    };

    const vantor::synth::Score score = vantor::synth::composeSoundtrack();
    vantor::synth::StereoTrack track = vantor::synth::renderBars(score, 0, score.bars, progress);
    vantor::synth::master(score, track);
    std::string error;
    const bool written = vantor::synth::writeWav(output, track, vantor::synth::kSampleRate, &error);
    progress(1.0);
    if (terminal) std::fputc('\n', stderr);
    if (!written) {
        std::fprintf(stderr, "vantor-synth: %s\n", error.c_str());
        return 1;
    }
    if (levels) printLevels(track);
    return 0;
}
