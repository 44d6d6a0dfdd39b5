#include "cli/commands/FirmwareLoad.h"

#include "app/Conversions.h"
#include "cli/text/Translate.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/PrepareFirmware.h"
#include "firmware/ReadTextFile.h"
#include "skin/TsGauge.h"

namespace velor::cli {

namespace {

bool HasRecordLine(const std::string& text) {
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t start = text.find_first_not_of(" \t", begin);
        if (start != std::string::npos && text[start] == ':') {
            return true;
        }
        const std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            break;
        }
        begin = end + 1;
    }
    return false;
}

// The window's answer to an empty file is its gauge's range error, to another file's bytes a
// failed line: the terminal says what the file is.
std::string FileHint(const std::string& file, const std::string& text) {
    if (text.empty()) {
        return file + Tr(" is empty: there is no firmware in it.");
    }
    if (!HasRecordLine(text)) {
        return file + Tr(" is not an Intel HEX text: no line of it is a record (\":...\").");
    }
    return {};
}

// The system's error with the hint on a line of its own, as the same error.
template <typename Error>
[[noreturn]] void RethrowWith(const Error& e, const std::string& hint) {
    throw Error(ErrorBoxText(e.what()) + "\n" + hint);
}

}  // namespace

bool LoadFirmware(const std::string& file, MainWindowModel& form, IHost& host,
                  std::shared_ptr<const FirmwareImage>& image) {
    if (file.empty()) {
        form.TextTerminal.SetText(std::string(EmbeddedReleaseText()));
        return PrepareFirmware(form, host, image);
    }
    form.TextTerminal.SetText(ReadTextFile(file));
    form.OpenDialogFileName = file;
    const std::string hint = FileHint(file, form.TextTerminal.Text());
    bool loaded = false;
    try {
        loaded = PrepareFirmware(form, host, image);
    } catch (const ERangeError& e) {
        if (hint.empty()) {
            throw;
        }
        RethrowWith(e, hint);
    } catch (const EConvertError& e) {
        if (hint.empty()) {
            throw;
        }
        RethrowWith(e, hint);
    }
    if (!loaded && !hint.empty()) {
        host.ShowError(hint);
    }
    return loaded;
}

}  // namespace velor::cli
