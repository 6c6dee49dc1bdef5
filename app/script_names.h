// A script's events as the author reads them: the script's own names for
// times, ids, codes and values where it has them, the effect table's names
// otherwise.
//
// A word the entry itself wrote as a name ("BAR9 + BEAT1", "FLASH", "ONCE")
// is shown as written. An id or code written as a number takes the name the
// script gives it elsewhere (another entry for the same effect that wrote a
// name), else the start-up's: the effect's class ("30 (FlashEffect)") and
// the code's name in the effect table ("ONCE"). A time written as a number is
// its ms. A value the code ignores is left out.
//
//   BAR9 + BEAT1  SIGNAL FLASH ONCE
//   17813  SIGNAL 30 (FlashEffect) ONCE
#pragma once

#include "runtime/script.h"

#include <cstdint>
#include <string>

// The name the script gives effect `effectId`: the word an entry for it
// wrote as a name ("FLASH"), `event`'s own first when given; empty when every
// entry wrote the number.
std::string scriptEffectWord(const Script& script, std::int32_t effectId, const ScriptEvent* event = nullptr);
// The name the script gives code `code` of effect `effectId` in a SIGNAL
// ("ONCE"), `event`'s own first when given; empty when it never names it.
std::string scriptCodeWord(const Script& script, std::int32_t effectId, std::int32_t code,
                           const ScriptEvent* event = nullptr);

// The time as written, or the ms.
std::string scriptTimeName(const ScriptEvent& event);
// "START FLASH", "SIGNAL FLASH ONCE", "SIGNAL LOADING APPEND kake2.jpg".
std::string scriptActionName(const Script& script, const ScriptEvent& event);
// The time, two spaces, the action.
std::string scriptEventName(const Script& script, const ScriptEvent& event);
