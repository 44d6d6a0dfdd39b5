#include "cli/production/CsvCell.h"

#include <string_view>

namespace velor::cli {

std::string CsvCell(const std::string& text) {
    const bool formula =
        !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
    const std::string cell = formula ? "'" + text : text;
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        return cell;
    }
    std::string out = "\"";
    for (const char c : cell) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

}  // namespace velor::cli
