// velor-flash check: the firmware load of the window (upper case, check pass, build) on a file or
// on the embedded release, with a report of what the image holds.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "app/Conversions.h"
#include "app/FileNames.h"
#include "app/MainWindowModel.h"
#include "cli/Commands.h"
#include "cli/SystemErrors.h"
#include "cli/TerminalHost.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/FirmwareImage.h"
#include "firmware/HexChecks.h"
#include "firmware/HexDigits.h"
#include "firmware/PrepareFirmware.h"
#include "firmware/ReadTextFile.h"
#include "protocol/Texts.h"

namespace velor::cli {

namespace {

constexpr const char* kCheckHelp =
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

constexpr int64_t kStampAddress = 0xF0E0;
constexpr int64_t kStampLength = 6;

struct CheckOptions {
    std::optional<std::string> file;
    std::optional<std::string> imageOut;
    std::optional<int64_t> size;
    bool help = false;
};

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

// Returns the exit code of a usage error, or nullopt when the options are sound.
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

// The byte a pair of image characters stands for; a pair that isn't hex (possible only when a
// record carried such characters with a matching checksum) becomes 0, as HexByteSum counts it.
unsigned char PairByte(char high, char low) {
    const int h = HexDigitValue(high);
    const int l = HexDigitValue(low);
    return h < 0 || l < 0 ? 0 : static_cast<unsigned char>(h * 16 + l);
}

bool WriteImage(const FirmwareImage& image, const std::string& path, int64_t size,
                std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "Cannot create file \"" + std::filesystem::absolute(path).string() + "\". " +
                std::strerror(errno);
        return false;
    }
    constexpr int64_t kSlice = 64 * 1024;
    std::string bytes;
    for (int64_t address = 0; address < size; address += kSlice) {
        const std::string chars = image.Read(address, std::min(kSlice, size - address));
        bytes.resize(chars.size() / 2);
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            bytes[k] = static_cast<char>(PairByte(chars[2 * k], chars[2 * k + 1]));
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    out.close();
    if (!out) {
        error = "Cannot write file \"" + std::filesystem::absolute(path).string() + "\".";
        return false;
    }
    return true;
}

std::string StampText(const FirmwareImage& image) {
    const std::string chars = image.Read(kStampAddress, kStampLength);
    std::string text;
    for (std::size_t k = 0; k + 1 < chars.size(); k += 2) {
        const unsigned char byte = PairByte(chars[k], chars[k + 1]);
        if (byte < 0x20 || byte > 0x7E) {
            return "none (bytes " + chars + ")";
        }
        text += static_cast<char>(byte);
    }
    return text;
}

void PrintReport(const FirmwareImage& image, const std::string& source, std::size_t lineCount) {
    std::printf("Firmware: %s, %zu lines\n", source.c_str(), lineCount);
    const auto ranges = image.CoveredRanges();
    int64_t total = 0;
    std::printf("Data ranges:%s\n", ranges.empty() ? " none" : "");
    for (const auto& range : ranges) {
        std::printf("  %04llX-%04llX  %lld bytes\n", static_cast<unsigned long long>(range.First),
                    static_cast<unsigned long long>(range.Last),
                    static_cast<long long>(range.Size()));
        total += range.Size();
    }
    std::printf("Data bytes: %lld\n", static_cast<long long>(total));
    std::printf("Release stamp at F0E0: %s\n", StampText(image).c_str());
}

}  // namespace

int RunCheck(const Args& args) {
    CheckOptions options;
    if (const auto usage = ParseOptions(args, options)) {
        return *usage;
    }
    if (options.help) {
        std::fputs(kCheckHelp, stdout);
        return kExitDone;
    }

    MainWindowModel form;
    TerminalHost host(&form);
    std::string source;
    std::shared_ptr<const FirmwareImage> image;
    const int loaded = ExitCodeOfErrors(host, [&] {
        if (options.file) {
            form.TextTerminal.SetText(ReadTextFile(*options.file));
            source = *options.file;
        } else {
            form.TextTerminal.SetText(std::string(EmbeddedReleaseText()));
            source = "embedded release " + std::string(kEmbeddedReleaseName);
        }
        return PrepareFirmware(form, host, image) ? kExitDone : kExitRefused;
    });
    if (loaded != kExitDone) {
        return loaded;
    }

    form.LabelNameOfHex =
        options.file ? texts::StatusFileOpened(FileNameOf(*options.file)) : texts::kStatusReady;
    std::printf("%s\n", form.LabelNameOfHex.c_str());
    PrintReport(*image, source, CountLines(form.TextTerminal.Text()));

    if (options.imageOut) {
        const auto ranges = image->CoveredRanges();
        const int64_t size =
            options.size ? *options.size : (ranges.empty() ? 0 : ranges.back().Last + 1);
        std::string error;
        if (!WriteImage(*image, *options.imageOut, size, error)) {
            host.ShowError(ErrorBoxText(error));
            return kExitRefused;
        }
        std::printf("Image: %s, %lld bytes\n", options.imageOut->c_str(),
                    static_cast<long long>(size));
    }
    std::fflush(stdout);
    return kExitDone;
}

}  // namespace velor::cli
