#pragma once
// A field of the station's CSV record. A cell that a spreadsheet would take for a formula (it
// begins with =, +, -, @, a tab or a CR) gets a leading apostrophe, as spreadsheet users expect;
// fields with commas, quotes or line breaks are quoted.

#include <string>

namespace velor::cli {

std::string CsvCell(const std::string& text);

}  // namespace velor::cli
