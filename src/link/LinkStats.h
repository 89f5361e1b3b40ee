#pragma once
// How well the line carries monitor frames, so a bad cable can be told from a silent
// drive.
#include <cstdint>

struct LinkStats {
    std::uint64_t frames = 0;           // good frames
    std::uint64_t checksumFailures = 0; // frames whose checksum did not match
    std::uint64_t resyncs = 0;          // times the reader had to find a start byte again
    std::uint64_t bytesSkipped = 0;     // bytes thrown away: noise, or more than a tick uses
    double framesPerSecond = 0.0;       // over the last whole second or more
};
