#include "FaultMix.h"

#include <random>

namespace faults {

const char* const kKindNames[kKindCount] = {"drop", "garbage", "late", "noise", "dup", "unplug"};

Mix DrawMix(std::uint64_t seed, long commands) {
    Mix m;
    m.seed = seed;
    std::mt19937_64 random(seed * 0x9E3779B97F4A7C15ull + 1);
    auto chance = [&](double p) {
        return std::uniform_real_distribution<double>(0, 1)(random) < p;
    };
    auto between = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(random);
    };
    // Each kind in about half the runs, with a density from sparse to dense.
    m.has[kDrop] = chance(0.5);
    m.dropProb = between(0.01, 0.15);
    m.has[kGarbage] = chance(0.5);
    m.garbageProb = between(0.01, 0.15);
    m.has[kLate] = chance(0.5);
    m.lateProb = between(0.01, 0.10);
    m.lateMs = static_cast<int>(between(25, 150));
    m.has[kNoise] = chance(0.5);
    m.noiseProb = between(0.01, 0.15);
    m.has[kUnplug] = chance(0.15);
    m.unplugAfter = std::uniform_int_distribution<long>(1, commands)(random);
    // Drawn last, so that the kinds above keep the mixes they had before it.
    m.has[kDup] = chance(0.5);
    m.dupProb = between(0.01, 0.15);
    return m;
}

std::vector<std::string> Mix::DevsimArgs() const {
    std::vector<std::string> args = {"--seed", std::to_string(seed)};
    auto add = [&](const char* name, const std::string& value) {
        args.push_back(name);
        args.push_back(value);
    };
    if (has[kDrop])
        add("--drop-prob", std::to_string(dropProb));
    if (has[kGarbage])
        add("--garbage-prob", std::to_string(garbageProb));
    if (has[kLate]) {
        add("--late-prob", std::to_string(lateProb));
        add("--late-ms", std::to_string(lateMs));
    }
    if (has[kNoise])
        add("--noise-prob", std::to_string(noiseProb));
    if (has[kDup])
        add("--dup-prob", std::to_string(dupProb));
    if (has[kUnplug])
        add("--unplug-after", std::to_string(unplugAfter));
    return args;
}

std::string Mix::Describe() const {
    std::string text;
    for (const auto& arg : DevsimArgs()) {
        text += (text.empty() ? "" : " ") + arg;
    }
    return text;
}

}  // namespace faults
