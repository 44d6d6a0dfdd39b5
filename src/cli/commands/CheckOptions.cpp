#include "cli/commands/CheckOptions.h"

#include <cstdio>

#include "app/HexDigits.h"
#include "firmware/FirmwareImage.h"

namespace velor::cli {

const char* const kCheckHelp =
    "Usage: velor-flash check [FILE] [--image-out BIN] [--size N]\n"
    "Loads an Intel HEX text the way the window does: upper case, the line checks, then the\n"
    "memory image. Without FILE it loads the release the program carries.\n"
    "\n"
    "  FILE             the .hex file to load (read as 8-bit text)\n"
    "  --image-out BIN  write the image's bytes 0..N-1 to BIN as raw binary (0xFF where no record\n"
    "                   wrote), like objcopy -O binary --gap-fill 0xff but starting at address 0\n"
    "  --size N         the number of bytes --image-out writes (decimal, or hex after 0x),\n"
    "                   0 to 20000000; default: up to the last byte a record set\n"
    "  -h, --help       show this help\n"
    "\n"
    "Prints the system's message and exits 1 when the text is refused; otherwise prints the\n"
    "address ranges the records cover, their byte count and the release stamp at F0E0, and\n"
    "exits 0. Usage errors exit 2.\n";

namespace {

int UsageError(const std::string& problem) {
    std::fprintf(stderr, "velor-flash check: %s (try 'velor-flash check --help')\n",
                 problem.c_str());
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

std::optional<int> ParseOptions(const Args& args, CheckOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* name) -> std::optional<std::string> {
            const std::string prefix = std::string(name) + "=";
            if (arg.starts_with(prefix)) {
                return arg.substr(prefix.size());
            }
            if (i + 1 < args.size()) {
                return args[++i];
            }
            return std::nullopt;
        };
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--image-out" || arg.starts_with("--image-out=")) {
            options.imageOut = value("--image-out");
            if (!options.imageOut || options.imageOut->empty()) {
                return UsageError("--image-out needs a file name");
            }
        } else if (arg == "--size" || arg.starts_with("--size=")) {
            const auto text = value("--size");
            options.size = text ? ParseSize(*text) : std::nullopt;
            if (!options.size) {
                return UsageError("--size needs a byte count from 0 to 20000000");
            }
        } else if (arg.size() > 1 && arg.starts_with('-')) {
            return UsageError("unknown option '" + arg + "'");
        } else if (options.file) {
            return UsageError("only one FILE may be given");
        } else {
            options.file = arg;
        }
    }
    if (options.size && !options.imageOut) {
        return UsageError("--size needs --image-out");
    }
    return std::nullopt;
}
}  // namespace velor::cli
