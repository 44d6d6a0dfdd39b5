#pragma once
// The production record: one line per device written, appended and forced to the disk before
// the next device, so that a power cut loses nothing already written. CSV when the file's name
// ends in ".csv", JSON Lines when it ends in ".jsonl", ".ndjson" or ".json".

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace velor::cli {

struct DeviceRecord {
    std::string time;  // UTC, ISO 8601
    std::string port;
    std::string adapterSerial;  // the USB adapter's serial number; empty when not known
    std::string release;
    std::string imageSha256;
    std::string outcome;    // OutcomeName's word: done, refused, failed, stopped, port-error, error
    std::string reason;     // OutcomeReasonName's word
    int messageNumber = 0;  // the system's port error message number; 0 for none
    std::string message;
    double seconds = 0;
    int64_t failedAttempts = 0;
    std::string calibration;
    std::string version;  // velor-flash's
    // The record databases' columns beyond the files' (kept last: a short brace list stays
    // valid).
    std::string id = {};  // unique, made once by the station: a resend never writes it twice
    std::string station = {};
    std::string slot = {};       // the slot's name; the port's name where no slot was named
    std::string traceFile = {};  // the trace of a device that did not end done; empty for none
};

enum class RecordFormat { Csv, JsonLines };

// Whether a file's name ends in tail (lower case), whatever the case of its letters.
bool NameEndsWith(const std::string& text, const std::string& tail);

// The format a file's name asks for; nullopt when it names none.
std::optional<RecordFormat> RecordFormatOf(const std::string& path);

// A CSV file begins with it: spreadsheet programs read a .csv as UTF-8 only when they see it
// (Excel otherwise takes the system's code page and garbles the Cyrillic). Never mid-file.
inline constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

std::string CsvHeader();
std::string CsvLine(const DeviceRecord& record);
std::string JsonLine(const DeviceRecord& record);

class RecordFile {
  public:
    RecordFile(std::string path, RecordFormat format);

    // Whether the file can be opened for appending (it is created when missing): checked before
    // the first device, so that no device is written without its record. False with error set.
    bool CanAppend(std::string& error);

    // Appends the record (a CSV file that is new or empty gets the byte-order mark and the header
    // first; one that has lines, with or without the mark, gets neither) and flushes it
    // to the disk; any thread. The file is a regular file, never written through a link. False
    // with error set when the file cannot be written.
    bool Append(const DeviceRecord& record, std::string& error);

  private:
    std::string m_path;
    RecordFormat m_format;
    std::mutex m_mutex;
};

}  // namespace velor::cli
