// The archive reader's debug log, "temp/debug_unrar.txt" below the working
// directory. It is created on the first call of a public entry and only where
// the "temp" folder exists; otherwise logging stays off for the whole run.
// Every message reopens the file in append mode, so the log survives a crash.
#pragma once

// Creates the log on the first call of the process; later calls do nothing.
void rar_log_start();

// Appends one printf-style message, stamped with the milliseconds since the
// log was created and the source line of the call.
void rar_log_message(unsigned line, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Lets a program see every message as well (the `ppd` tool prints the
// reason of a failed extraction); null removes the listener.
using rar_log_listener = void (*)(const char* message, void* context);
void rar_log_set_listener(rar_log_listener listener, void* context);

#define RAR_LOG(...) rar_log_message(__LINE__, __VA_ARGS__)
