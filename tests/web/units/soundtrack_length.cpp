// Prints the length the platform gives each soundtrack file, in ms, or
// "refused": natively from the decoder, in the web build from the frame
// headers. Used by soundtrack_length_test.mjs to hold the two together.
#include "platform/soundtrack_length.h"

#include <cstdio>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::int64_t ms = -1;
        if (vantor::platform::soundtrackLengthMs(argv[i], &ms))
            std::printf("%lld\n", static_cast<long long>(ms));
        else
            std::printf("refused\n");
    }
    return 0;
}
