#pragma once

// HTML pages of the calculation service: UTF-8, Russian, every text that
// comes from a request or a project escaped.

#include <cstddef>
#include <string>
#include <string_view>

namespace stelmar {

// "&", "<", ">", '"' and "'" as character references.
std::string EscapeHtml(std::string_view text);
void AppendEscapedHtml(std::string& out, std::string_view text);

// A complete document with `title` as its title and first heading; `body`
// is inserted as it is.
std::string HtmlPage(std::string_view title, std::string_view body);

// The start page: what the service does, and a form to send a project.
std::string AboutPage(std::size_t maxUpload);

// The page for an HTTP error the server answers by itself (malformed
// request, unknown address, upload over the limit, ...).
std::string StatusPage(int status, std::size_t maxUpload);

// The page for a report link that has expired or never existed.
std::string ReportNotFoundPage();

// The page for a PDF report asked for while the same client address has
// another one being made.
std::string PdfBusyPage();

// "32 МБ", "512 КБ", "100 байт".
std::string ByteSizeText(std::size_t bytes);

}  // namespace stelmar
