// Node animation as scene-file tracks. Scene time runs at 100 frames a
// second (the scene effects play one frame per 10 ms of music).
//
// Keys are kept when the format can replay them as the file means them:
// times that round to distinct frames from 0 to 32766 and at most 32000 keys.
// Positions between keys are linear in the file; the format's position keys
// are splines, which pass straight from key to key with continuity -1 on
// every key, once each end of the track has a guard key (a copy of the end
// position at the first or last frame of the range, with tension 1). Rotations are spherical
// between keys in both. Otherwise the node's position and rotation are
// sampled every 100 / fps frames into one sampled track, at most 100000
// samples long and at most 4 million samples in all the tracks of a file (the
// interval grows where a track would be longer). Scale is not animated in
// scene files.
#pragma once

#include "scene/format/scene_file_format.h"

#include <assimp/anim.h>
#include <assimp/matrix4x4.h>

#include <vector>

namespace meshimport {

class ImportReport;

constexpr double kFramesPerSecond = 100;
constexpr std::size_t kMaximumSamples = 100000;
constexpr std::size_t kMaximumSamplesInFile = 4000000;

// The longest sampled track each of `tracks` sampled tracks may have.
std::size_t samplesPerTrack(std::size_t tracks);

struct NodeTracks {
    bool sampled = false;
    std::vector<ppp::PositionKeyRecord> positions;
    std::vector<ppp::RotationKeyRecord> rotations;
    std::int32_t interval = 0;
    std::vector<ppp::SampleRecord> samples;
};

// The local transform the channel gives at `ticks` (linear positions and
// scales, spherical rotations, ends held); parts without keys come from
// `rest`, the node's own transform.
aiMatrix4x4 channelTransform(const aiNodeAnim& channel, double ticks, const aiMatrix4x4& rest);

// Tracks for one node. `ticksPerSecond` and `durationTicks` are the
// animation's; `fps` the sampling rate for what keys cannot express.
NodeTracks nodeTracks(const aiNodeAnim& channel, double ticksPerSecond, double durationTicks, int fps,
                      std::size_t maximumSamples, const aiMatrix4x4& rest, ImportReport& report);

// The interval (in frames) and count of samples over an animation of
// `durationFrames`: every 100 / fps frames, or wider to stay within
// `maximumSamples`.
std::int32_t sampleInterval(double durationFrames, int fps, std::size_t maximumSamples, std::size_t* count);

}  // namespace meshimport
