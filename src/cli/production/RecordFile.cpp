#include "cli/production/RecordFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/output/GangTable.h"
#include "cli/output/JsonEvents.h"
#include "cli/output/OutputFile.h"
#include "cli/production/CsvCell.h"

namespace velor::cli {

namespace {

void ForceToDisk(std::FILE* file) {
#ifdef _WIN32
    _commit(_fileno(file));
#else
    fsync(fileno(file));
#endif
}

}  // namespace

bool NameEndsWith(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size()) {
        return false;
    }
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char c = text[text.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != tail[i]) {
            return false;
        }
    }
    return true;
}

std::optional<RecordFormat> RecordFormatOf(const std::string& path) {
    if (NameEndsWith(path, ".csv")) {
        return RecordFormat::Csv;
    }
    if (NameEndsWith(path, ".jsonl") || NameEndsWith(path, ".ndjson") ||
        NameEndsWith(path, ".json")) {
        return RecordFormat::JsonLines;
    }
    return std::nullopt;
}

std::string CsvHeader() {
    return "time,port,adapter_serial,release,image_sha256,outcome,reason,message_number,message,"
           "seconds,failed_attempts,calibration,version,trace_file\n";
}

std::string CsvLine(const DeviceRecord& r) {
    return CsvCell(r.time) + "," + CsvCell(r.port) + "," + CsvCell(r.adapterSerial) + "," +
           CsvCell(r.release) + "," + CsvCell(r.imageSha256) + "," + CsvCell(r.outcome) + "," +
           CsvCell(r.reason) + "," + std::to_string(r.messageNumber) + "," + CsvCell(r.message) +
           "," + SecondsText(r.seconds) + "," + std::to_string(r.failedAttempts) + "," +
           CsvCell(r.calibration) + "," + CsvCell(r.version) + "," + CsvCell(r.traceFile) + "\n";
}

std::string JsonLine(const DeviceRecord& r) {
    return "{\"time\":" + JsonString(r.time) + ",\"port\":" + JsonString(r.port) +
           ",\"adapter_serial\":" + JsonString(r.adapterSerial) +
           ",\"release\":" + JsonString(r.release) +
           ",\"image_sha256\":" + JsonString(r.imageSha256) +
           ",\"outcome\":" + JsonString(r.outcome) + ",\"reason\":" + JsonString(r.reason) +
           ",\"message_number\":" + std::to_string(r.messageNumber) +
           ",\"message\":" + JsonString(r.message) + ",\"seconds\":" + SecondsText(r.seconds) +
           ",\"failed_attempts\":" + std::to_string(r.failedAttempts) +
           ",\"calibration\":" + JsonString(r.calibration) +
           ",\"version\":" + JsonString(r.version) + ",\"trace_file\":" + JsonString(r.traceFile) +
           "}\n";
}

RecordFile::RecordFile(std::string path, RecordFormat format)
    : m_path(std::move(path)), m_format(format) {}

bool RecordFile::CanAppend(std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::string reason;
    if (!OpenForAppending(m_path, reason)) {
        error = "cannot open the record file '" + m_path + "': " + reason;
        return false;
    }
    return true;
}

bool RecordFile::Append(const DeviceRecord& record, std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    // Opened for each record: nothing of it stays in a buffer between devices.
    std::string reason;
    OutputFile opened = OpenForAppending(m_path, reason);
    if (!opened) {
        error = "cannot open the record file '" + m_path + "': " + reason;
        return false;
    }
    std::FILE* file = opened.get();
    std::string text;
    if (m_format == RecordFormat::Csv) {
        std::fseek(file, 0, SEEK_END);
        if (std::ftell(file) == 0) {
            text = std::string(kUtf8ByteOrderMark) + CsvHeader();
        }
        text += CsvLine(record);
    } else {
        text = JsonLine(record);
    }
    errno = 0;
    const bool written =
        std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
    if (written) {
        ForceToDisk(file);
    }
    const int writeError = errno != 0 ? errno : EIO;
    const bool closed = CloseChecked(std::move(opened), reason);
    if (!written || !closed) {
        error = "cannot write the record file '" + m_path +
                "': " + (written ? reason : std::string(std::strerror(writeError)));
        return false;
    }
    return true;
}

}  // namespace velor::cli
