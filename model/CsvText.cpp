#include "model/CsvText.h"

namespace stelmar {
namespace {

void Field(std::string& out, const std::string& field)
{
    if (field.find_first_of(";\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

std::string CsvText(const std::vector<std::vector<std::string>>& rows)
{
    std::string out = "\xEF\xBB\xBF";
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) out += ';';
            Field(out, row[i]);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace stelmar
