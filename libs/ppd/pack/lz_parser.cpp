#include "libs/ppd/pack/lz_parser.h"

namespace ppd_pack {

namespace {

// Length added by the decoder for far copies coded with a length symbol.
std::uint32_t lengthBonus(std::uint32_t distance) { return (distance >= 0x2000) + (distance >= 0x40000); }
// The same for copies coded with one of the last four distances.
std::uint32_t repeatBonus(std::uint32_t distance) {
    return (distance >= 0x101) + (distance >= 0x2000) + (distance >= 0x40000);
}

bool worthAsNewMatch(const Match& m) {
    if (m.length < 3 + lengthBonus(m.distance)) return false;
    // Three bytes far away cost more as a copy than as literals.
    if (m.length == 3 && m.distance > 2048) return false;
    return true;
}

bool encodableAsRepeat(std::uint32_t length, std::uint32_t distance) {
    return distance != 0 && length >= 2 + repeatBonus(distance);
}

class Parser {
public:
    Parser(MatchFinder& finder, const std::uint8_t* data, std::uint32_t begin, DistanceState& state,
           std::vector<LzSymbol>& out)
        : finder_(finder), data_(data), inserted_(begin), state_(state), out_(out) {}

    void insertUpTo(std::uint32_t pos) {
        while (inserted_ < pos) finder_.insert(inserted_++);
    }

    void literal(std::uint32_t pos) { out_.push_back({data_[pos], 0, 0}); }

    // Codes a copy with the cheapest symbol that expresses it and updates the
    // distance state exactly as the decoder will.
    void copy(std::uint32_t pos, std::uint32_t length, std::uint32_t distance) {
        std::uint16_t main = 0;
        if (length == state_.lastLength && distance == state_.lastDist) {
            main = 256;
        } else {
            for (unsigned r = 1; r <= 4 && main == 0; ++r)
                if (state_.oldDist[(state_.counter - r) & 3] == distance && encodableAsRepeat(length, distance))
                    main = static_cast<std::uint16_t>(256 + r);
        }
        if (main == 0) {
            if (length == 2 && distance <= 256) {
                unsigned slot = 0;
                while (slot < 7 && distance - 1 >= kShortBase[slot + 1]) ++slot;
                main = static_cast<std::uint16_t>(261 + slot);
            } else if (length >= 3 + lengthBonus(distance)) {
                main = 270;  // the length slot is chosen when the symbol is written
            } else {
                for (std::uint32_t i = 0; i < length; ++i) literal(pos + i);
                return;
            }
        }
        out_.push_back({main, static_cast<std::uint16_t>(length), distance});
        state_.oldDist[state_.counter++ & 3] = distance;
        state_.lastDist = distance;
        state_.lastLength = length;
    }

    // Longest copy with one of the last four distances.
    Match bestRepeat(std::uint32_t pos, std::uint32_t end) const {
        Match best;
        for (unsigned r = 1; r <= 4; ++r) {
            const std::uint32_t distance = state_.oldDist[(state_.counter - r) & 3];
            if (distance == 0 || distance > MatchFinder::kMaxDistance) continue;
            const std::uint32_t len = finder_.matchLength(pos, distance, end);
            if (len > best.length && encodableAsRepeat(len, distance)) best = {len, distance};
        }
        return best;
    }

    static constexpr std::uint32_t kShortBase[8] = {0, 4, 8, 16, 32, 64, 128, 192};

private:
    MatchFinder& finder_;
    const std::uint8_t* data_;
    std::uint32_t inserted_;
    DistanceState& state_;
    std::vector<LzSymbol>& out_;
};

}  // namespace

void parseLz(MatchFinder& finder, const std::uint8_t* data, std::uint32_t begin, std::uint32_t end,
             DistanceState& state, std::vector<LzSymbol>& out) {
    Parser parser(finder, data, begin, state, out);
    constexpr std::uint32_t kGoodEnough = 48;
    std::uint32_t pos = begin;
    while (pos < end) {
        parser.insertUpTo(pos);
        const Match repeat = parser.bestRepeat(pos, end);
        if (repeat.length >= kGoodEnough) {
            parser.copy(pos, repeat.length, repeat.distance);
            pos += repeat.length;
            continue;
        }
        Match m = finder.longest(pos, end);
        if (!worthAsNewMatch(m)) m = {};

        // A repeated distance saves the distance code: worth a byte or so.
        if (repeat.length >= 2 && repeat.length + 1 >= m.length) {
            parser.copy(pos, repeat.length, repeat.distance);
            pos += repeat.length;
            continue;
        }
        if (m.length == 0) {
            const std::uint32_t pair = finder.pairDistance(pos, end);
            if (pair != 0 && pair <= 256) {
                parser.copy(pos, 2, pair);
                pos += 2;
            } else {
                parser.literal(pos);
                ++pos;
            }
            continue;
        }
        // One step of lazy evaluation: a longer match one byte later wins.
        if (m.length < kGoodEnough && pos + 1 < end) {
            parser.insertUpTo(pos + 1);
            // A good match already: look for a better one less thoroughly.
            Match next = finder.longest(pos + 1, end, m.length >= 8 ? 8 : 0);
            if (worthAsNewMatch(next) && next.length > m.length + 1) {
                parser.literal(pos);
                ++pos;
                continue;
            }
        }
        parser.copy(pos, m.length, m.distance);
        pos += m.length;
    }
    parser.insertUpTo(end);
}

}  // namespace ppd_pack
