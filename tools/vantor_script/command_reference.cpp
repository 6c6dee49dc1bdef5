#include "app/effect_reference.h"
#include "tools/vantor_script/script_commands.h"

#include <cstdio>
#include <cstring>
#include <string>

int runReference(int argc, char** argv) {
    bool manual = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--manual") == 0) {
            manual = true;
        } else {
            std::fprintf(stderr, "vantor-script reference: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    const std::string text = manual ? scriptManual() : effectReferenceTable();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
