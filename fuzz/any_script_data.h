// Data for the script checker that comes and goes with the names: pictures
// whose names have an even length exist, scenes whose file names have a
// length divisible by 3 are missing and every other scene has cameras 1 and
// 71. So a checker run on arbitrary scripts takes both ways of every lookup;
// the script fuzzer and the script reader's robustness test use it alike.
#pragma once

#include "app/script_check.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor::fuzz {

class AnyScriptData : public ScriptData {
public:
    bool hasPicture(const std::string& name) override { return name.size() % 2 == 0; }
    std::optional<std::vector<int>> sceneCameras(const std::string& file) override {
        if (file.size() % 3 == 0) return std::nullopt;
        return std::vector<int>{1, 71};
    }
};

}  // namespace vantor::fuzz
