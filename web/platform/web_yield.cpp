#include "web_yield.h"

#include <emscripten.h>

// Listed in ASYNCIFY_IMPORTS: the program's stack is saved while it waits.
EM_JS(void, vantor_yield_frame, (), {
    Asyncify.handleSleep(function(wakeUp) {
        var woken = false;
        var wake = function() {
            if (woken) return;
            woken = true;
            wakeUp();
        };
        // After the frame, one more turn of the event loop: the page's
        // timers and network callbacks run too, not only its painting.
        requestAnimationFrame(function() { setTimeout(wake, 0); });
        setTimeout(wake, 100);
    });
});

namespace vantor::web {

void yieldToBrowser() { vantor_yield_frame(); }

}  // namespace vantor::web
