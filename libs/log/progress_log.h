// Where the libraries' progress lines go. The image readers, writers and
// converters (while the kpx verbose switch is on) and the image cache print
// what they are doing ("PCX: Loading file ...", "loading ... from disk"); every
// such line is printed through progress(), which writes it to standard output
// exactly as printf would. That is where the demo wants them.
//
// A tool whose standard output carries its own results (a table, a listing)
// turns the lines off with one call, setProgressQuiet(true), before it loads
// anything; its own output is untouched. One whose standard output is an
// answer channel (author mode's --control) keeps them, on standard error:
// setProgressStream(ProgressStream::StandardError). The switch is process-wide and read
// on every line, so it may be flipped at any time. Failures are not progress:
// the libraries report those their own way (kpx's error list, exceptions).
#pragma once

namespace vantor::log {

// printf-style; the text goes to the progress stream unless progress is quiet.
void progress(const char* format, ...) __attribute__((format(printf, 1, 2)));

// true: progress text is dropped from here on; false: standard output again
// (the start-up state).
void setProgressQuiet(bool quiet);
bool progressQuiet();

// Where the lines go while progress is not quiet; standard output at start-up.
enum class ProgressStream { StandardOutput, StandardError };
void setProgressStream(ProgressStream stream);

}  // namespace vantor::log
