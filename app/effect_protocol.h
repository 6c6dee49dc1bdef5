// The protocol between the timeline script and the effects of the start-up,
// as data: for every id the start-up registers, the effect's class, what it
// draws, the signal codes it takes (named as the show's DEFINEs spell them,
// from the constants in each effect's header) and which codes make it draw
// other effects of the table.
//
// `vantor-script reference` prints it, docs/script.md is generated from it,
// and the script checker judges scripts against it.
#pragma once

#include <string>
#include <vector>

// What the integer (or text) of a signal means to the effect.
enum class SignalUnit {
    Number,        // a plain number
    Hundredths,    // value / 100 (a layer's width is 100)
    Milliseconds,  // a duration in ms
    MusicTime,     // a music position in ms
    Level255,      // 0 to 255
    Switch,        // 0 off, anything else on
    Choice,        // one of the values listed with the code
    BlendFactor,   // FACTOR_ONE 10 ... FACTOR_INV_DST_ALPHA 14
    EffectId,      // the id of another effect of the table
    ObjectId,      // the id of an object of the effect's scene
    CameraId,      // the id of a camera of the effect's scene
    Picture,       // text: the name of a picture below data/images/
    Ignored,       // any value; the code acts by itself
};

// How an effect id sent with a code ties the two effects together.
enum class EffectLink {
    None,
    Captures,  // the receiver draws the named effect itself every frame (its run), started or not
    Blends,    // the receiver draws the named layer through its mask with blending it sets
};

struct SignalCodeInfo {
    int code = 0;
    const char* name = "";  // as the show's DEFINEs spell it
    SignalUnit unit = SignalUnit::Number;
    const char* meaning = "";  // one line
    EffectLink link = EffectLink::None;
};

struct EffectProtocol {
    int id = 0;
    const char* className = "";
    const char* draws = "";             // one line
    std::vector<SignalCodeInfo> codes;  // in code order
    // init records the music time the effect plays from: started without an
    // INIT it plays as if it had begun at music time 0.
    bool playsFromInit = false;
    const char* sceneFile = nullptr;  // the scene it plays, for scene effects
    // The code that switches the scene to its next camera (0: none), which
    // effects driving this one's cameras must send.
    int nextCameraCode = 0;

    const SignalCodeInfo* findCode(int code) const;
};

// Every registered effect, in id order.
const std::vector<EffectProtocol>& effectProtocols();
// The entry for an id; null when the start-up registers nothing under it.
const EffectProtocol* findEffectProtocol(int id);

// Short names of units and links, as the reference prints them.
const char* signalUnitName(SignalUnit unit);
const char* effectLinkName(EffectLink link);
