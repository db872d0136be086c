#include "service/MultipartForm.h"

#include <algorithm>
#include <string>

namespace stelmar {

namespace {

constexpr std::size_t kMaxBoundary = 70;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The value of parameter `name` in "type; a=1; b=\"x y\"", or nullopt.
// Quoted values end at the next quote: browsers send a quote inside a
// name as %22.
std::optional<std::string_view> Parameter(std::string_view header, std::string_view name)
{
    constexpr std::size_t npos = std::string_view::npos;
    std::size_t pos = header.find(';');  // always at a ';' or npos
    while (pos != npos) {
        const std::size_t keyStart = ++pos;
        while (pos < header.size() && header[pos] != '=' && header[pos] != ';') ++pos;
        if (pos >= header.size()) break;
        if (header[pos] == ';') continue;  // a parameter without a value
        const std::string_view key = Trimmed(header.substr(keyStart, pos - keyStart));
        ++pos;
        while (pos < header.size() && (header[pos] == ' ' || header[pos] == '\t')) ++pos;
        std::string_view value;
        if (pos < header.size() && header[pos] == '"') {
            const std::size_t close = header.find('"', pos + 1);
            if (close == npos) return std::nullopt;
            value = header.substr(pos + 1, close - pos - 1);
            pos = header.find(';', close + 1);
        } else {
            const std::size_t end = header.find(';', pos);
            value = Trimmed(header.substr(pos, end == npos ? npos : end - pos));
            pos = end;
        }
        if (EqualsIgnoringCase(key, name)) return value;
    }
    return std::nullopt;
}

// Reads the header block of one part into `part`; false when a line is not
// a header or the Content-Disposition is missing or is not form-data with
// a name.
bool ReadPartHeaders(std::string_view block, UploadPart& part)
{
    bool named = false;
    while (!block.empty()) {
        const std::size_t end = block.find("\r\n");
        const std::string_view line = block.substr(0, end);
        block = end == std::string_view::npos ? std::string_view{} : block.substr(end + 2);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) return false;
        if (!EqualsIgnoringCase(Trimmed(line.substr(0, colon)), "content-disposition")) continue;
        const std::string_view value = Trimmed(line.substr(colon + 1));
        if (!EqualsIgnoringCase(Trimmed(value.substr(0, value.find(';'))), "form-data")) return false;
        const std::optional<std::string_view> name = Parameter(value, "name");
        if (!name) return false;
        part.Name = *name;
        part.FileName = Parameter(value, "filename").value_or(std::string_view{});
        named = true;
    }
    return named;
}

}  // namespace

bool IsMultipartForm(std::string_view contentType)
{
    return EqualsIgnoringCase(Trimmed(contentType.substr(0, contentType.find(';'))), "multipart/form-data");
}

std::optional<std::string_view> MultipartBoundary(std::string_view contentType)
{
    const std::optional<std::string_view> boundary = Parameter(contentType, "boundary");
    if (!boundary || boundary->empty() || boundary->size() > kMaxBoundary) return std::nullopt;
    return boundary;
}

std::optional<Upload> ParseMultipartForm(std::string_view body, std::string_view boundary)
{
    const std::string dashBoundary = "--" + std::string(boundary);
    const std::string delimiter = "\r\n" + dashBoundary;
    // The first delimiter may start the body, without the line break.
    std::size_t pos = 0;
    if (body.starts_with(dashBoundary)) {
        pos = dashBoundary.size();
    } else {
        pos = body.find(delimiter);
        if (pos == std::string_view::npos) return std::nullopt;
        pos += delimiter.size();
    }

    Upload upload;
    for (;;) {
        // After a delimiter: "--" closes the body; otherwise optional
        // spaces and a line break open the next part.
        if (body.substr(pos, 2) == "--") return upload;
        while (pos < body.size() && (body[pos] == ' ' || body[pos] == '\t')) ++pos;
        if (body.substr(pos, 2) != "\r\n") return std::nullopt;
        pos += 2;
        if (upload.Parts.size() == kMaxFormParts) return std::nullopt;

        std::size_t contentStart = 0;
        std::string_view headers;
        if (body.substr(pos, 2) == "\r\n") {
            contentStart = pos + 2;
        } else {
            const std::size_t end = body.find("\r\n\r\n", pos);
            if (end == std::string_view::npos) return std::nullopt;
            headers = body.substr(pos, end - pos);
            contentStart = end + 4;
        }
        UploadPart part;
        if (!ReadPartHeaders(headers, part)) return std::nullopt;
        const std::size_t contentEnd = body.find(delimiter, contentStart);
        if (contentEnd == std::string_view::npos) return std::nullopt;
        part.Content = body.substr(contentStart, contentEnd - contentStart);
        upload.Parts.push_back(part);
        pos = contentEnd + delimiter.size();
    }
}

FormPartCounter::FormPartCounter(std::string_view boundary) : delimiter_("\r\n--" + std::string(boundary)) {}

bool FormPartCounter::TooMany(std::string_view body)
{
    if (!started_) {
        // As in ParseMultipartForm, the first delimiter may start the body
        // without its line break.
        const std::string_view dashBoundary = std::string_view(delimiter_).substr(2);
        if (body.size() < dashBoundary.size()) return false;
        started_ = true;
        if (body.starts_with(dashBoundary)) after_ = dashBoundary.size();
    }
    while (!closed_) {
        if (after_) {
            // A delimiter followed by "--" closes the body; what follows
            // it is not read as parts.
            if (body.size() < *after_ + 2) return false;
            if (body.substr(*after_, 2) == "--") closed_ = true;
            else if (++parts_ > kMaxFormParts) return true;
            searched_ = *after_;
            after_.reset();
            continue;
        }
        const std::size_t found = body.find(delimiter_, searched_);
        if (found == std::string_view::npos) {
            // A delimiter may have begun at the end of what has arrived.
            if (body.size() >= delimiter_.size())
                searched_ = std::max(searched_, body.size() - delimiter_.size() + 1);
            return false;
        }
        after_ = found + delimiter_.size();
    }
    return false;
}

}  // namespace stelmar
