#include "cli/commands/CheckOptions.h"

#include <CLI/CLI.hpp>

#include <cstdio>

#include "app/HexDigits.h"
#include "cli/commands/CommandLine.h"
#include "cli/text/Translate.h"
#include "firmware/FirmwareImage.h"

namespace velor::cli {

namespace {

const CommandText kCheckText{
    "check", Tr("Usage: velor-flash check [FILE] [--image-out BIN] [--size N]"),
    Tr("Loads an Intel HEX text the way the window does: upper case, the line checks, then the\n"
       "memory image. Without FILE it loads the release the program carries."),
    Tr("Prints the system's message and exits 1 when the text is refused; otherwise prints the\n"
       "address ranges the records cover, their byte count and the release stamp at F0E0, and\n"
       "exits 0. Usage errors exit 2.\n")};

int UsageError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return kExitUsage;
}

std::optional<int64_t> ParseSize(const std::string& text) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 10) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (char c : digits) {
        const int d = HexDigitValue(c);
        if (d < 0 || d >= (hex ? 16 : 10)) {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + d;
    }
    if (value > FirmwareImage::kByteCount) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::unique_ptr<CLI::App> CheckApp(CheckOptions& options) {
    auto app = MakeCommandApp(kCheckText);
    app->add_option_function<std::string>(
        "FILE", [&options](const std::string& file) { options.file = file; },
        Tr("the .hex file to load (read as 8-bit text)"));
    app->add_option_function<std::string>(
           "--image-out", [&options](const std::string& file) { options.imageOut = file; },
           Tr("write the image's bytes 0..N-1 to BIN as raw binary (0xFF where no record wrote), "
              "like objcopy -O binary --gap-fill 0xff but starting at address 0"))
        ->type_name("BIN")
        ->check(CLI::Validator(
            [](const std::string& v) {
                return v.empty() ? Tr("--image-out needs a file name") : "";
            },
            "", ""));
    app->add_option_function<std::string>(
           "--size",
           [&options](const std::string& text) {
               options.size = ParseSize(text);
               if (!options.size) {
                   throw CLI::ValidationError(Tr("--size needs a byte count from 0 to 20000000"));
               }
           },
           Tr("the number of bytes --image-out writes (decimal, or hex after 0x), 0 to 20000000; "
              "default: up to the last byte a record set"))
        ->type_name("N");
    return app;
}

std::optional<int> ParseOptions(const Args& args, CheckOptions& options) {
    const auto app = CheckApp(options);
    std::string error;
    if (!ParseInto(*app, options, args, error)) {
        return UsageError(error);
    }
    if (options.size && !options.imageOut) {
        return UsageError(UsageErrorLine(app->get_name(), Tr("--size needs --image-out")));
    }
    return std::nullopt;
}

std::string CheckHelp() {
    CheckOptions options;
    return HelpText(*CheckApp(options));
}

}  // namespace velor::cli
