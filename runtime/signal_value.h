// The value a SIGNAL event carries to an effect. Effects receive copies.
#pragma once

#include <cstdint>
#include <string>

struct SignalValue {
    std::int32_t code = 0;      // meaning is defined by the receiving effect
    std::int32_t isString = 0;  // 1: text holds the value; 0: intValue does
    std::int32_t intValue = 0;
    std::string text;

    SignalValue() = default;
    // An integer value, as the main routine sends directly to effects.
    SignalValue(std::int32_t c, std::int32_t value) : code(c), intValue(value) {}
    // A string value.
    SignalValue(std::int32_t c, std::string value) : code(c), isString(1), text(std::move(value)) {}
};
