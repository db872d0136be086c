#pragma once

// Tables as CSV text that LibreOffice Calc and Excel open as they are:
// UTF-8 with a byte-order mark, fields separated by ";", lines ending in
// CR LF, a field holding ";", a quote or a line break put in quotes.

#include <string>
#include <vector>

namespace stelmar {

std::string CsvText(const std::vector<std::vector<std::string>>& rows);

}  // namespace stelmar
