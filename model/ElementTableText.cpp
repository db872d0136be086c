#include "model/ElementTableText.h"

namespace stelmar {
namespace {

void AppendCell(std::string& out, const std::string& cell)
{
    const bool quote = cell.find_first_of("\t\r\n") != std::string::npos || (!cell.empty() && cell.front() == '"');
    if (!quote) {
        out += cell;
        return;
    }
    out += '"';
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

std::string TabSeparatedRows(const std::vector<std::vector<std::string>>& rows)
{
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) out += '\t';
            AppendCell(out, row[i]);
        }
        out += '\n';
    }
    return out;
}

std::vector<std::vector<std::string>> SplitTabSeparated(std::string_view text)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string cell;
    bool rowStarted = false;  // some character of the current row was read
    std::size_t i = 0;
    auto endCell = [&] {
        row.push_back(std::move(cell));
        cell.clear();
    };
    while (i < text.size()) {
        // A quotation mark opens a quoted cell only at the start of a cell,
        // and only when the closing one ends the cell; otherwise it is an
        // ordinary character.
        if (text[i] == '"' && cell.empty()) {
            std::string quoted;
            std::size_t j = i + 1;
            bool closed = false;
            while (j < text.size() && !closed) {
                if (text[j] == '"' && j + 1 < text.size() && text[j + 1] == '"') {
                    quoted += '"';
                    j += 2;
                } else if (text[j] == '"') {
                    closed = true;
                    ++j;
                } else {
                    quoted += text[j++];
                }
            }
            if (closed && (j == text.size() || text[j] == '\t' || text[j] == '\r' || text[j] == '\n')) {
                cell = std::move(quoted);
                rowStarted = true;
                i = j;
                continue;
            }
        }
        const char c = text[i++];
        rowStarted = true;
        if (c == '\t') {
            endCell();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
            endCell();
            rows.push_back(std::move(row));
            row.clear();
            rowStarted = false;
        } else {
            cell += c;
        }
    }
    if (rowStarted) {
        endCell();
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace stelmar
