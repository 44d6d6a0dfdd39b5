// velor-flash report SOURCE and velor-flash records init|push: the record databases from a
// terminal.

#include <cstdio>

#include "cli/Commands.h"
#include "cli/records/ConnectionUrl.h"
#include "cli/records/RecordReport.h"
#include "cli/records/RecordStore.h"

namespace velor::cli {

namespace {

constexpr const char* kReportUsage =
    "Usage: velor-flash report SOURCE [--since TIME] [--until TIME] [--release R] [--slot S]\n"
    "                          [--json]\n"
    "Yield per day, slot and release, first-pass yield, cycle-time percentiles and the failed\n"
    "devices with their messages and traces, from a record database.\n"
    "  SOURCE          a .db or .sqlite file, or a postgresql:// URL\n"
    "  --since TIME    records from this UTC time on (2026-12-09 or 2026-12-09T08:00:00Z)\n"
    "  --until TIME    records up to this time; a day includes the whole day\n"
    "  --release R     only this release (241004)\n"
    "  --slot S        only this slot\n"
    "  --json          one JSON object on stdout\n";

constexpr const char* kRecordsUsage =
    "Usage: velor-flash records init TARGET   create the record schema (a .db file or a URL)\n"
    "       velor-flash records push URL      send the records waiting in this user's spool\n";

void WarnOfPassword(const std::string& target) {
    if (IsPostgresUrl(target) && UrlHasPassword(target)) {
        std::fprintf(stderr, "velor-flash: warning: %s\n", PasswordInUrlWarning().c_str());
    }
}

std::unique_ptr<RecordStore> OpenStore(const std::string& target, bool create, int& code) {
    std::string error;
    if (!IsDatabaseTarget(target)) {
        std::fprintf(stderr, "velor-flash: '%s' is no .db or .sqlite file nor postgresql:// URL\n",
                     target.c_str());
        code = kExitUsage;
        return nullptr;
    }
    WarnOfPassword(target);
    auto store = MakeRecordStore(target, create, error);
    if (!store || !store->Open(error)) {
        std::fprintf(stderr, "velor-flash: %s\n", error.c_str());
        code = kExitRefused;
        return nullptr;
    }
    return store;
}

}  // namespace

int RunReport(const Args& args) {
    RecordFilter filter;
    std::string source;
    bool json = false;
    bool help = false;
    std::string error;
    // The source comes first; the options after it.
    const bool sourceGiven = !args.empty() && !args[0].starts_with("-");
    const Args options(args.begin() + (sourceGiven ? 1 : 0), args.end());
    const OptionHandlers handlers{
        .IsFlag = [](const std::string& name) { return name == "--json"; },
        .TakesValue =
            [](const std::string& name) {
                return name == "--since" || name == "--until" || name == "--release" ||
                       name == "--slot";
            },
        .Flag = [&](const std::string&) { json = true; },
        .Value =
            [&](const std::string& name, const std::string& value) {
                (name == "--since"     ? filter.since
                 : name == "--until"   ? filter.until
                 : name == "--release" ? filter.release
                                       : filter.slot) = value;
                return true;
            },
    };
    if (!WalkOptions(options, handlers, help, error) || (!help && !sourceGiven)) {
        std::fprintf(stderr, "velor-flash: %s\n%s",
                     error.empty() ? "give one record database" : error.c_str(), kReportUsage);
        return kExitUsage;
    }
    if (help) {
        std::fputs(kReportUsage, stdout);
        return kExitDone;
    }
    source = args[0];
    int code = kExitDone;
    const auto store = OpenStore(source, false, code);
    if (!store) {
        return code;
    }
    std::vector<DeviceRecord> records;
    if (!store->Read(filter, records, error)) {
        std::fprintf(stderr, "velor-flash: %s\n", error.c_str());
        return kExitRefused;
    }
    const std::string text = json ? ReportJson(records) : ReportText(records);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitDone;
}

int RunRecords(const Args& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kRecordsUsage, stdout);
        return kExitDone;
    }
    if (args.size() != 2 || (args[0] != "init" && args[0] != "push")) {
        std::fputs(kRecordsUsage, stderr);
        return kExitUsage;
    }
    int code = kExitDone;
    const auto store = OpenStore(args[1], args[0] == "init", code);
    if (!store) {
        return code;
    }
    std::string error;
    const bool sent = store->Push(error);
    if (args[0] == "init") {
        std::printf("the record schema is ready in %s\n",
                    args[1].starts_with("postgres") ? "the server" : args[1].c_str());
    }
    if (!sent) {
        std::fprintf(stderr, "velor-flash: %s (%zu records wait)\n", error.c_str(),
                     store->Waiting());
        return kExitRefused;
    }
    if (args[0] == "push") {
        std::printf("no record waits\n");
    }
    return kExitDone;
}

}  // namespace velor::cli
