#include "cli/output/TraceSummary.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/output/ControlEscapes.h"
#include "cli/production/SessionHost.h"

namespace velor::cli {

namespace {

constexpr int kSlowestShown = 3;
constexpr const char* kCommands[] = {"erase", "write", "program"};
constexpr const char* kVerdicts[] = {"accepted", "refused", "no reply"};

std::string Seconds(int64_t micros) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(micros) / 1e6);
    return text;
}

std::string Delays(const std::array<int64_t, 3>& d) {
    return std::to_string(d[0]) + "." + std::to_string(d[1]) + "." + std::to_string(d[2]);
}

// Frames and replies are wire bytes: shown with their controls escaped, long ones shortened.
std::string Wire(const std::string& bytes) {
    constexpr std::size_t kShown = 48;
    std::string shown = bytes.size() > kShown ? bytes.substr(0, kShown) + "..." : bytes;
    return bytes.empty() ? "(nothing)" : EscapeControls(shown);
}

std::vector<const TraceExchange*> Slowest(const TraceContent& t) {
    std::vector<const TraceExchange*> answered;
    for (const auto& e : t.exchanges) {
        if (e.repliedUs >= 0) {
            answered.push_back(&e);
        }
    }
    const auto took = [](const TraceExchange* e) { return e->repliedUs - e->sentUs; };
    std::stable_sort(answered.begin(), answered.end(),
                     [&](const auto* a, const auto* b) { return took(a) > took(b); });
    if (answered.size() > static_cast<std::size_t>(kSlowestShown)) {
        answered.resize(kSlowestShown);
    }
    return answered;
}

// The delays' course: every change of a short one, the first and last few of a long one.
std::string CalibrationCourse(const TraceContent& t) {
    constexpr std::size_t kEnds = 4;
    std::string course = "0.0.0";
    const std::size_t n = t.calibrations.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (n > 3 * kEnds && i == kEnds) {
            course += " -> ... (" + std::to_string(n - 2 * kEnds) + " more)";
            i = n - kEnds - 1;
            continue;
        }
        course += " -> " + Delays(t.calibrations[i]);
    }
    return course + " (" + std::to_string(n) + (n == 1 ? " change)" : " changes)");
}

std::string AdapterText(const TraceContent& t) {
    std::string text = t.adapter.empty() ? "not known" : t.adapter;
    if (!t.adapterVid.empty() && text.find(t.adapterVid) == std::string::npos) {
        text += " (" + t.adapterVid + ":" + t.adapterPid + ")";
    }
    return text;
}

}  // namespace

std::string TraceProblemText(const std::string& path, const TraceProblem& problem) {
    std::string text = EscapeControls(path);
    if (problem.line > 0) {
        text += ':';
        text += std::to_string(problem.line);
    }
    text += ": ";
    text += EscapeControls(problem.what);
    return text;
}

std::string TraceSummaryText(const TraceContent& t) {
    std::string out;
    const auto row = [&out](const char* name, const std::string& value) {
        char head[16];
        std::snprintf(head, sizeof head, "%-13s", name);
        out += head;
        out += value;
        out += '\n';
    };
    row("Recorded:",
        EscapeControls(t.program + " " + t.programVersion + " on " + t.os + ", " + t.started));
    row("Operation:",
        EscapeControls(t.operation + " on " + t.port + " at " + std::to_string(t.baud) + " baud"));
    row("Adapter:", EscapeControls(AdapterText(t)));
    if (t.identified) {
        row("Device:",
            EscapeControls("bootloader " + t.bootloader + ", " + std::to_string(t.pages) +
                           " pages of " + std::to_string(t.blocksPerPage) + " blocks of " +
                           std::to_string(t.blockSize) + " bytes"));
        row("Description:", EscapeControls(t.description));
    } else {
        row("Device:", "not identified");
    }
    if (t.imageSize >= 0) {
        row("Image:",
            std::to_string(t.imageSize) + " bytes, SHA-256 " + EscapeControls(t.imageSha256));
    }
    row("Duration:", Seconds(t.lastUs));
    if (t.operation == "write") {
        row("Pages:", std::to_string(t.pagesDone) + " of " + std::to_string(t.pages) + " (" +
                          std::to_string(t.bytes) + " bytes)");
    }
    std::string attempts;
    for (std::size_t c = 0; c < 3; ++c) {
        int64_t all = 0;
        std::string failed;
        for (std::size_t v = 0; v < 3; ++v) {
            all += t.attempts[c][v];
            if (v > 0 && t.attempts[c][v] > 0) {
                failed += (failed.empty() ? "" : ", ") + std::to_string(t.attempts[c][v]) + " " +
                          kVerdicts[v];
            }
        }
        attempts += (c > 0 ? "; " : "") + std::string(kCommands[c]) + " " + std::to_string(all) +
                    (failed.empty() ? "" : " (" + failed + ")");
    }
    row("Attempts:", attempts);
    row("Calibration:", CalibrationCourse(t));
    row("Exchanges:", std::to_string(t.exchanges.size()) + " frames sent");
    for (const TraceExchange* e : Slowest(t)) {
        row("Slowest:", Seconds(e->repliedUs - e->sentUs) + " at line " + std::to_string(e->line) +
                            ": " + Wire(e->frame) + " -> " + Wire(e->reply));
    }
    for (const auto& e : t.portErrors) {
        row("Port error:", "at " + Seconds(e.atUs) + " (line " + std::to_string(e.line) +
                               "): message " + std::to_string(e.message) + ", " +
                               EscapeControls(e.text.substr(0, e.text.find('\n'))));
    }
    if (t.lostEvents > 0) {
        row("Lost:", std::to_string(t.lostEvents) + " events the recorder could not keep");
    }
    if (t.ended) {
        row("Outcome:", EscapeControls(t.outcome + " (" + t.reason + ")"));
        row("Message:", EscapeControls(OneLine(t.headline.empty() ? t.message : t.headline)));
    } else {
        row("Outcome:", "none: the trace ends before the operation did");
    }
    return out;
}

std::string TraceSummaryJson(const TraceContent& t) {
    nlohmann::ordered_json j;
    j["program"] = t.program;
    j["programVersion"] = t.programVersion;
    j["os"] = t.os;
    j["started"] = t.started;
    j["operation"] = t.operation;
    j["port"] = t.port;
    j["baud"] = t.baud;
    j["adapter"] = {{"description", t.adapter},
                    {"vid", t.adapterVid},
                    {"pid", t.adapterPid},
                    {"serial", t.adapterSerial}};
    if (t.identified) {
        j["device"] = {{"bootloader", t.bootloader},
                       {"pages", t.pages},
                       {"blocksPerPage", t.blocksPerPage},
                       {"blockSize", t.blockSize},
                       {"description", t.description}};
    }
    if (t.imageSize >= 0) {
        j["image"] = {{"sha256", t.imageSha256}, {"size", t.imageSize}};
    }
    j["seconds"] = static_cast<double>(t.lastUs) / 1e6;
    j["pagesDone"] = t.pagesDone;
    j["bytes"] = t.bytes;
    nlohmann::ordered_json attempts;
    for (std::size_t c = 0; c < 3; ++c) {
        attempts[kCommands[c]] = {{"accepted", t.attempts[c][0]},
                                  {"refused", t.attempts[c][1]},
                                  {"noReply", t.attempts[c][2]}};
    }
    j["attempts"] = attempts;
    auto steps = nlohmann::ordered_json::array();
    for (const auto& step : t.calibrations) {
        steps.push_back(Delays(step));
    }
    j["calibrations"] = steps;
    j["frames"] = t.exchanges.size();
    auto slowest = nlohmann::ordered_json::array();
    for (const TraceExchange* e : Slowest(t)) {
        slowest.push_back({{"line", e->line},
                           {"seconds", static_cast<double>(e->repliedUs - e->sentUs) / 1e6},
                           {"frame", EscapeControls(e->frame)},
                           {"reply", EscapeControls(e->reply)}});
    }
    j["slowest"] = slowest;
    auto errors = nlohmann::ordered_json::array();
    for (const auto& e : t.portErrors) {
        errors.push_back({{"line", e.line},
                          {"seconds", static_cast<double>(e.atUs) / 1e6},
                          {"message", e.message},
                          {"text", e.text}});
    }
    j["portErrors"] = errors;
    j["lostEvents"] = t.lostEvents;
    j["ended"] = t.ended;
    if (t.ended) {
        j["outcome"] = t.outcome;
        j["reason"] = t.reason;
        j["message"] = t.message;
        j["calibration"] = Delays(t.calibration);
        j["failedAttempts"] = t.failed;
    }
    return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace velor::cli
