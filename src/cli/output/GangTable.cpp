#include "cli/output/GangTable.h"

#include <algorithm>
#include <cstdio>

namespace velor::cli {

namespace {

std::string Pad(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string PadLeft(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

}  // namespace

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

std::string PortHead(const std::string& port, std::size_t portWidth) {
    return Pad(port, portWidth) + "  ";
}

std::string ProgressLine(const std::string& port, std::size_t portWidth,
                         const DeviceProgress& progress) {
    // Identification runs the gauge to 50 of 100 of its own: no page of the write.
    if (!progress.writing) {
        return Pad(port, portWidth) + "        identifying";
    }
    const WriteProgress& write = progress.write;
    std::string line =
        PortHead(port, portWidth) + PadLeft(std::to_string(write.Percent()) + "%", 4) + "  page " +
        std::to_string(write.PagesDone) + "/" + std::to_string(write.Pages) + "  writing";
    if (write.FailedAttempts > 0) {
        line += "  failed attempts " + std::to_string(write.FailedAttempts) + "  calibration " +
                write.Calibration;
    }
    return line;
}

std::string ReportTable(const std::vector<DeviceReport>& reports) {
    std::size_t portWidth = 4;
    for (const auto& r : reports) {
        portWidth = std::max(portWidth, r.port.size());
    }
    std::string table =
        Pad("PORT", portWidth) + "  OUTCOME     SECONDS  FAILED  CALIBRATION  MESSAGE\n";
    for (const auto& r : reports) {
        table += Pad(r.port, portWidth) + "  " + Pad(OutcomeWord(r), 10) + "  " +
                 PadLeft(SecondsText(r.seconds), 7) + "  " +
                 PadLeft(std::to_string(r.failedAttempts), 6) + "  " + Pad(r.calibration, 11) +
                 "  " + r.message + "\n";
    }
    return table;
}

}  // namespace velor::cli
