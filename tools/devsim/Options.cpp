#include "Options.h"

#include <cerrno>
#include <cstdlib>

namespace devsim {

const char* const kUsage =
    "Usage: velor-devsim [OPTIONS]\n"
    "Simulates a KALMIRA-5K-2 bootloader on a pseudo-terminal. Prints the terminal's path, then\n"
    "serves until SIGTERM or SIGINT.\n"
    "\n"
    "  --link PATH                 also make PATH a symlink to the terminal\n"
    "  --geometry BPP:SIZE:PAGES   blocks per page, block size, page count (default 16:64:64)\n"
    "  --version VV                bootloader version in the identify reply (default 02)\n"
    "  --description TEXT          description while memory holds no release stamp at F0E0\n"
    "                              (default 241003; \\n stands for a line feed)\n"
    "  --ignore CODE               never answer command CODE (01..06); may be repeated\n"
    "  --dump FILE                 write memory as raw binary at every reset and at exit\n"
    "  --reply-delay-ms N          answer N ms after a frame has arrived\n"
    "  --drop-first N              lose the first N frames on the line\n"
    "  --drop-every K              lose every K-th frame on the line\n"
    "  --garbage-every K           garble every K-th reply on the line\n"
    "  --seed S                    seed of the random faults below (default 1)\n"
    "  --drop-prob P               lose a frame with probability P (no effect, no reply)\n"
    "  --garbage-prob P            garble one character of a reply (the effect is applied)\n"
    "  --late-prob P               delay a reply by --late-ms; later replies queue behind it\n"
    "  --late-ms MS                the delay of a late reply (default 200)\n"
    "  --noise-prob P              send stray characters before or inside a reply\n"
    "  --dup-prob P                send a reply twice in one piece\n"
    "  --unplug-after N            vanish at the N-th erase/write/program frame (hang up)\n"
    "  --leave-at-reset            vanish at the first reset frame, after saving the dump\n"
    "                              (a device whose own USB port re-enumerates)\n"
    "  --adapter-latency-ms N      hand replies over only on N ms ticks, like a USB adapter's\n"
    "                              latency timer (FTDI: 16 by default)\n"
    "  --fault N:KIND              script a fault for the N-th frame (counted from 1): drop,\n"
    "                              garble:P:C (the reply's P-th character arrives as C),\n"
    "                              late:MS, dup (the reply twice) or noise:P:TEXT (TEXT before\n"
    "                              the reply's P-th character); may be repeated\n"
    "  --unsigned                  end replies with \"**\" instead of their check digits\n"
    "  --baud B                    pace both directions like a line at B baud (10 bits a char)\n"
    "  --log FILE                  log frames, replies and refusals\n"
    "  --replay TRACE              play the device's side of a wire trace (velor-flash --trace):\n"
    "                              each host frame is answered with the recorded bytes after\n"
    "                              the recorded delay; a frame that differs from the recording\n"
    "                              is reported (exit 1); the fault options do not apply\n"
    "  --help                      show this text\n";

namespace {

bool ToLong(const std::string& text, long low, long high, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) {
        return false;
    }
    value = v;
    return true;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool ParseGeometry(const std::string& text, Geometry& g) {
    const auto a = text.find(':');
    const auto b = a == std::string::npos ? a : text.find(':', a + 1);
    if (b == std::string::npos) {
        return false;
    }
    long bpp, size, pages;
    if (!ToLong(text.substr(0, a), 0, 255, bpp) ||
        !ToLong(text.substr(a + 1, b - a - 1), 0, 255, size) ||
        !ToLong(text.substr(b + 1), 0, 65535, pages)) {
        return false;
    }
    g = {static_cast<int>(bpp), static_cast<int>(size), static_cast<int>(pages)};
    return true;
}

bool ToProbability(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(v >= 0.0 && v <= 1.0)) {
        return false;
    }
    value = v;
    return true;
}

// N:drop, N:garble:P:C, N:late:MS, N:dup or N:noise:P:TEXT.
bool ParseScriptedFault(const std::string& text, std::map<long, ScriptedFault>& script) {
    const auto a = text.find(':');
    if (a == std::string::npos) {
        return false;
    }
    long frame = 0;
    if (!ToLong(text.substr(0, a), 1, 100000000, frame)) {
        return false;
    }
    const std::string kind = text.substr(a + 1);
    ScriptedFault& fault = script[frame];
    if (kind == "drop") {
        fault.drop = true;
    } else if (kind.rfind("garble:", 0) == 0 && kind.size() >= 10 && kind[kind.size() - 2] == ':') {
        long at = 0;
        if (!ToLong(kind.substr(7, kind.size() - 9), 1, 100000, at)) {
            return false;
        }
        fault.garbleAt = static_cast<std::size_t>(at);
        fault.garbleTo = kind.back();
    } else if (kind == "dup") {
        fault.dup = true;
    } else if (kind.rfind("noise:", 0) == 0) {
        const auto colon = kind.find(':', 6);
        long at = 0;
        if (colon == std::string::npos || colon + 1 == kind.size() ||
            !ToLong(kind.substr(6, colon - 6), 1, 100000, at)) {
            return false;
        }
        fault.noiseAt = static_cast<std::size_t>(at);
        fault.noise = Unescape(kind.substr(colon + 1));
    } else if (kind.rfind("late:", 0) == 0) {
        long ms = 0;
        if (!ToLong(kind.substr(5), 0, 60000, ms)) {
            return false;
        }
        fault.lateMs = static_cast<int>(ms);
    } else {
        return false;
    }
    return true;
}

bool IsHexPair(const std::string& text) {
    auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    return text.size() == 2 && hex(text[0]) && hex(text[1]);
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--unsigned") {
            o.model.signReplies = false;
            continue;
        }
        if (name == "--leave-at-reset") {
            o.leaveAtReset = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = name == "" ? "empty option" : "unknown option or missing value: " + name;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        long n = 0;
        bool ok = true;
        if (name == "--link") {
            o.link = value;
        } else if (name == "--geometry") {
            ok = ParseGeometry(value, o.model.geometry);
        } else if (name == "--version") {
            o.model.version = value;
        } else if (name == "--description") {
            o.model.description = Unescape(value);
        } else if (name == "--ignore") {
            ok = IsHexPair(value);
            o.model.ignored.insert(value);
        } else if (name == "--dump") {
            o.dump = value;
        } else if (name == "--log") {
            o.log = value;
        } else if (name == "--replay") {
            o.replay = value;
        } else if (name == "--reply-delay-ms") {
            ok = ToLong(value, 0, 60000, n);
            o.replyDelayMs = static_cast<int>(n);
        } else if (name == "--drop-first") {
            ok = ToLong(value, 0, 1000000, n);
            o.dropFirst = static_cast<int>(n);
        } else if (name == "--drop-every") {
            ok = ToLong(value, 0, 1000000, n);
            o.dropEvery = static_cast<int>(n);
        } else if (name == "--garbage-every") {
            ok = ToLong(value, 0, 1000000, n);
            o.garbageEvery = static_cast<int>(n);
        } else if (name == "--seed") {
            ok = ToLong(value, 0, 4294967295L, n);
            o.faults.seed = static_cast<std::uint64_t>(n);
        } else if (name == "--drop-prob") {
            ok = ToProbability(value, o.faults.dropProb);
        } else if (name == "--garbage-prob") {
            ok = ToProbability(value, o.faults.garbageProb);
        } else if (name == "--late-prob") {
            ok = ToProbability(value, o.faults.lateProb);
        } else if (name == "--late-ms") {
            ok = ToLong(value, 0, 60000, n);
            o.faults.lateMs = static_cast<int>(n);
        } else if (name == "--noise-prob") {
            ok = ToProbability(value, o.faults.noiseProb);
        } else if (name == "--dup-prob") {
            ok = ToProbability(value, o.faults.dupProb);
        } else if (name == "--unplug-after") {
            ok = ToLong(value, 0, 100000000, n);
            o.faults.unplugAfter = n;
        } else if (name == "--adapter-latency-ms") {
            ok = ToLong(value, 0, 255, n);
            o.adapterLatencyMs = static_cast<int>(n);
        } else if (name == "--fault") {
            ok = ParseScriptedFault(value, o.faults.scripted);
        } else if (name == "--baud") {
            ok = ToLong(value, 0, 4000000, o.baud);
        } else {
            error = "unknown option: " + name;
            return std::nullopt;
        }
        if (!ok) {
            error = "bad value for " + name + ": " + value;
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace devsim
