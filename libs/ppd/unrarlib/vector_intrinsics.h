// The processor's vector instructions for the decoder's wide paths. Each
// path is compiled for its instruction set with a target attribute and taken
// only when the running processor has it (__builtin_cpu_supports), so the
// library itself still runs on any x86-64 processor, and elsewhere the
// plain paths serve alone.
#pragma once

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define RAR_VECTOR_INTRINSICS 1
// GCC 12 takes the deliberately undefined pass-through operand of some of
// these intrinsics for an uninitialised variable.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif
#endif
