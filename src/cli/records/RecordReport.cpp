#include "cli/records/RecordReport.h"

#include <cstdio>
#include <map>

#include "cli/output/ControlEscapes.h"
#include "cli/output/JsonEvents.h"
#include "cli/records/YieldFigures.h"

namespace velor::cli {

namespace {

std::string Fixed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

double Percent(long part, long whole) {
    return whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0;
}

using Groups = ReportTally::Groups;

// The groupings in the order a report shows them.
std::vector<std::pair<const char*, const Groups*>> Groupings(const ReportTally& t) {
    return {{"day", &t.byDay}, {"slot", &t.bySlot}, {"release", &t.byRelease}};
}

void Count(Groups& groups, const std::string& key, bool done) {
    auto& g = groups[key];
    ++g.records;
    g.done += done;
}

std::string Cell(const std::string& text, std::size_t width) {
    std::string cell = EscapeControls(text);
    if (cell.size() < width) {
        cell.append(width - cell.size(), ' ');
    }
    return cell;
}

}  // namespace

void ReportTally::Add(const DeviceRecord& r) {
    figures.Add(r);
    const bool done = r.outcome == "done";
    Count(byDay, r.time.substr(0, 10), done);
    Count(bySlot, r.station + "/" + r.slot, done);
    Count(byRelease, r.release, done);
    if (!done) {
        failed.push_back(r);
    }
}

std::string ReportText(const ReportTally& tally) {
    const YieldFigures f = tally.figures.Figures();
    std::string text = "records " + std::to_string(f.records) + ", done " + std::to_string(f.done) +
                       " (" + Fixed(f.Yield()) + " %); devices " + std::to_string(f.devices) +
                       ", first-pass yield " + Fixed(f.FirstPassYield()) + " %, retries " +
                       std::to_string(f.retries) + "\n";
    text += "cycle time: mean " + Fixed(f.meanSeconds) + " s, p50 " + Fixed(f.p50Seconds) +
            " s, p90 " + Fixed(f.p90Seconds) + " s, p95 " + Fixed(f.p95Seconds) + " s, max " +
            Fixed(f.maxSeconds) + " s\n";
    for (const auto& [name, groupsOf] : Groupings(tally)) {
        const Groups& groups = *groupsOf;
        std::size_t width = std::string(name).size();
        for (const auto& [value, g] : groups) {
            width = std::max(width, EscapeControls(value).size());
        }
        text += '\n';
        text += Cell(std::string("BY ") + name, width + 3);
        text += "  RECORDS     DONE  YIELD\n";
        for (const auto& [value, g] : groups) {
            char figures[64];
            std::snprintf(figures, sizeof figures, "  %7ld  %7ld  %5.1f %%", g.records, g.done,
                          Percent(g.done, g.records));
            text += Cell(value, width + 3) + figures + "\n";
        }
    }
    if (!f.failuresByMessage.empty()) {
        text += "\nFAILURES BY MESSAGE\n";
        for (const auto& [message, count] : f.failuresByMessage) {
            text += "  " + std::to_string(count) + "  " + EscapeControls(message) + "\n";
        }
        text += "\nFAILED DEVICES\n";
        for (const auto& r : tally.failed) {
            text += "  " +
                    EscapeControls(r.time + "  " + r.station + "  " + r.slot + "  " + r.port +
                                   "  " + r.outcome + "  " + r.message +
                                   (r.traceFile.empty() ? "" : "  trace " + r.traceFile)) +
                    "\n";
        }
    }
    return text;
}

std::string ReportJson(const ReportTally& tally) {
    const YieldFigures f = tally.figures.Figures();
    std::string json =
        "{\"records\":" + std::to_string(f.records) + ",\"done\":" + std::to_string(f.done) +
        ",\"devices\":" + std::to_string(f.devices) +
        ",\"first_pass\":" + std::to_string(f.firstPass) +
        ",\"retries\":" + std::to_string(f.retries) + ",\"yield_percent\":" + Fixed(f.Yield()) +
        ",\"first_pass_yield_percent\":" + Fixed(f.FirstPassYield()) +
        ",\"cycle_seconds\":{\"mean\":" + Fixed(f.meanSeconds) + ",\"p50\":" + Fixed(f.p50Seconds) +
        ",\"p90\":" + Fixed(f.p90Seconds) + ",\"p95\":" + Fixed(f.p95Seconds) +
        ",\"max\":" + Fixed(f.maxSeconds) + "}";
    for (const auto& [name, groups] : Groupings(tally)) {
        json += ",\"by_" + std::string(name) + "\":[";
        bool first = true;
        for (const auto& [value, g] : *groups) {
            if (!first) {
                json += ',';
            }
            json += std::string("{\"") + name + "\":" + JsonString(value) +
                    ",\"records\":" + std::to_string(g.records) +
                    ",\"done\":" + std::to_string(g.done) + "}";
            first = false;
        }
        json += "]";
    }
    json += ",\"failed\":[";
    bool first = true;
    for (const auto& r : tally.failed) {
        if (!first) {
            json += ',';
        }
        json += "{\"id\":" + JsonString(r.id) + ",\"time\":" + JsonString(r.time) +
                ",\"station\":" + JsonString(r.station) + ",\"slot\":" + JsonString(r.slot) +
                ",\"port\":" + JsonString(r.port) + ",\"outcome\":" + JsonString(r.outcome) +
                ",\"reason\":" + JsonString(r.reason) +
                ",\"message_number\":" + std::to_string(r.messageNumber) +
                ",\"message\":" + JsonString(r.message) +
                ",\"trace_file\":" + JsonString(r.traceFile) + "}";
        first = false;
    }
    return json + "]}\n";
}

}  // namespace velor::cli
