#pragma once
// The options of velor-flash report and velor-flash records.

#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/records/RecordStore.h"

namespace CLI {
class App;
}

namespace velor::cli {

struct ReportOptions {
    std::string source;  // a .db or .sqlite file, or a postgresql:// URL
    RecordFilter filter;
    bool json = false;
    bool help = false;
    bool version = false;
};

struct RecordsOptions {
    std::string action;  // init or push
    std::string target;
    bool help = false;
    bool version = false;
};

std::unique_ptr<CLI::App> ReportApp(ReportOptions& options);
std::unique_ptr<CLI::App> RecordsApp(RecordsOptions& options);

// nullopt with error set (the line to show) on a usage error.
std::optional<ReportOptions> ParseReportOptions(const Args& args, std::string& error);
std::optional<RecordsOptions> ParseRecordsOptions(const Args& args, std::string& error);

std::string ReportHelp();
std::string RecordsHelp();

}  // namespace velor::cli
