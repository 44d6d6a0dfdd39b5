// velor-flash report SOURCE and velor-flash records init|push: the record databases from a
// terminal.

#include <cstdio>

#include "cli/Commands.h"
#include "cli/commands/CommandLine.h"
#include "cli/records/ConnectionUrl.h"
#include "cli/records/RecordReport.h"
#include "cli/records/RecordStore.h"
#include "cli/records/RecordsOptions.h"
#include "cli/text/Translate.h"

namespace velor::cli {

namespace {

void WarnOfPassword(const std::string& target) {
    if (IsPostgresUrl(target) && UrlHasPassword(target)) {
        std::fprintf(stderr, "velor-flash: warning: %s\n", PasswordInUrlWarning().c_str());
    }
}

std::unique_ptr<RecordStore> OpenStore(const std::string& target, bool create, int& code) {
    std::string error;
    if (!IsDatabaseTarget(target)) {
        std::fprintf(stderr,
                     Tr("velor-flash: '%s' is no .db or .sqlite file nor postgresql:// URL\n"),
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
    std::string error;
    const auto options = ParseReportOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    if (options->help || options->version) {
        PrintHelpOrVersion(options->help, ReportHelp());
        return kExitDone;
    }
    int code = kExitDone;
    const auto store = OpenStore(options->source, false, code);
    if (!store) {
        return code;
    }
    ReportTally tally;
    if (!store->Scan(
            options->filter, [&tally](const DeviceRecord& r) { tally.Add(r); }, error)) {
        std::fprintf(stderr, "velor-flash: %s\n", error.c_str());
        return kExitRefused;
    }
    const std::string text = options->json ? ReportJson(tally) : ReportText(tally);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitDone;
}

int RunRecords(const Args& args) {
    std::string error;
    const auto options = ParseRecordsOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    if (options->help || options->version) {
        PrintHelpOrVersion(options->help, RecordsHelp());
        return kExitDone;
    }
    const bool init = options->action == "init";
    int code = kExitDone;
    const auto store = OpenStore(options->target, init, code);
    if (!store) {
        return code;
    }
    const bool sent = store->Push(error);
    if (init) {
        std::printf(Tr("the record schema is ready in %s\n"),
                    IsPostgresUrl(options->target) ? Tr("the server") : options->target.c_str());
    }
    if (!sent) {
        std::fprintf(stderr, Tr("velor-flash: %s (%zu records wait)\n"), error.c_str(),
                     store->Waiting());
        return kExitRefused;
    }
    if (!init) {
        std::fputs(Tr("no record waits\n"), stdout);
    }
    return kExitDone;
}

}  // namespace velor::cli
