// Giving the browser its turn in the middle of long work: the demo's start-up
// builds its effects group by group in one go, and the page must show the
// loading screen between groups and stay responsive.
//
// The program is compiled with asyncify (the `vantor_web_yield` target adds
// it): the call unwinds the program's stack back to the browser and rewinds it
// when the browser calls back, so the start-up code stays as the native
// program has it.
#pragma once

namespace vantor::web {

// Returns at the page's next animation frame, after the browser has shown the
// canvas as it stands and handled its events (or after a tenth of a second
// in a hidden tab, which has no animation frames).
void yieldToBrowser();

}  // namespace vantor::web
