#pragma once
// The random fault mix of one run of the matrix, drawn from the run's seed alone, and the
// velor-devsim options that set it.

#include <cstdint>
#include <string>
#include <vector>

namespace faults {

enum Kind { kDrop, kGarbage, kLate, kNoise, kDup, kUnplug, kKindCount };
extern const char* const kKindNames[kKindCount];

struct Mix {
    std::uint64_t seed = 0;
    bool has[kKindCount] = {};
    double dropProb = 0, garbageProb = 0, lateProb = 0, noiseProb = 0, dupProb = 0;
    int lateMs = 0;
    long unplugAfter = 0;

    std::vector<std::string> DevsimArgs() const;
    std::string Describe() const;
};

// commands: the erase, write and program frames a clean write sends.
Mix DrawMix(std::uint64_t seed, long commands);

}  // namespace faults
