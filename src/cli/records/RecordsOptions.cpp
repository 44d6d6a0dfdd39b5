#include "cli/records/RecordsOptions.h"

#include <CLI/CLI.hpp>

#include "cli/commands/CommandLine.h"
#include "cli/text/Translate.h"

namespace velor::cli {

std::unique_ptr<CLI::App> ReportApp(ReportOptions& options) {
    auto app = MakeCommandApp(
        {"report",
         Tr("Usage: velor-flash report SOURCE [--since TIME] [--until TIME] [--release R]\n"
            "                          [--slot S] [--json]"),
         Tr("Yield per day, slot and release, first-pass yield, cycle-time percentiles and the\n"
            "failed devices with their messages and traces, from the station's records in an "
            "SQLite\n"
            "file or on a PostgreSQL server. A record that follows a record of the same station "
            "and\n"
            "slot which did not end done, within 10 minutes, counts as that device tried again."),
         Tr("Exit codes: 0 done, 1 the records cannot be read, 2 usage.\n")});
    app->add_option("source", options.source, Tr("a .db or .sqlite file, or a postgresql:// URL"))
        ->required()
        ->type_name("SOURCE");
    app->add_option("--since", options.filter.since,
                    Tr("records from this UTC time on (2026-12-09 or 2026-12-09T08:00:00Z)"))
        ->type_name("TIME");
    app->add_option("--until", options.filter.until,
                    Tr("records up to this UTC time; a day takes in the whole day"))
        ->type_name("TIME");
    app->add_option("--release", options.filter.release, Tr("only this release (241004)"))
        ->type_name("R");
    app->add_option("--slot", options.filter.slot, Tr("only this slot"))->type_name("S");
    app->add_flag("--json", options.json, Tr("one JSON object on stdout"));
    return app;
}

std::unique_ptr<CLI::App> RecordsApp(RecordsOptions& options) {
    auto app =
        MakeCommandApp({"records", Tr("Usage: velor-flash records init TARGET | records push URL"),
                        Tr("init creates the record schema in an SQLite file or on a PostgreSQL "
                           "server (a station\n"
                           "also does it at its first record); push sends the records waiting in "
                           "this user's spool\n"
                           "for the server."),
                        Tr("Exit codes: 0 done, 1 the database cannot be reached or records still "
                           "wait, 2 usage.\n")});
    app->add_option("action", options.action, Tr("init or push"))
        ->required()
        ->check(CLI::IsMember({"init", "push"}))
        ->type_name("ACTION");
    app->add_option("target", options.target, Tr("a .db or .sqlite file, or a postgresql:// URL"))
        ->required()
        ->type_name("TARGET");
    return app;
}

std::optional<ReportOptions> ParseReportOptions(const Args& args, std::string& error) {
    ReportOptions options;
    const auto app = ReportApp(options);
    if (!ParseInto(*app, options, args, error)) {
        return std::nullopt;
    }
    return options;
}

std::optional<RecordsOptions> ParseRecordsOptions(const Args& args, std::string& error) {
    RecordsOptions options;
    const auto app = RecordsApp(options);
    if (!ParseInto(*app, options, args, error)) {
        return std::nullopt;
    }
    return options;
}

std::string ReportHelp() {
    ReportOptions options;
    return HelpText(*ReportApp(options));
}

std::string RecordsHelp() {
    RecordsOptions options;
    return HelpText(*RecordsApp(options));
}

}  // namespace velor::cli
