#pragma once
// What the tests of several devices at once look at: the release's bytes as objcopy reads the
// HEX text, the row of a port in velor-flash's table, and waits on a simulator's traffic.

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "DevsimProcess.h"

#include "TempFolder.h"

namespace velor::testing {

// The first `size` bytes of the carried release, 0xFF past its end.
inline std::vector<uint8_t> ReleaseBytes(std::size_t size) {
    char name[] = "/tmp/velor-release-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) {
        close(fd);
    }
    const std::string command = std::string("objcopy -I ihex -O binary --gap-fill 0xff '") +
                                VELOR_RELEASE_HEX + "' " + name;
    std::vector<uint8_t> bytes;
    if (std::system(command.c_str()) == 0) {
        std::ifstream in(name, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::remove(name);
    bytes.resize(size, 0xFF);
    return bytes;
}

// Waits until `done` holds; false if it never did within two minutes.
inline bool WaitUntil(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

inline bool Received(const DevsimProcess& devsim, const std::string& prefix) {
    for (const auto& frame : devsim.LogLines("rx")) {
        if (frame.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The line of text that begins with `head`, or "".
inline std::string LineStarting(const std::string& text, const std::string& head) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(head, 0) == 0) {
            return line;
        }
    }
    return "";
}

// The blank-separated words of a line.
inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

}  // namespace velor::testing
