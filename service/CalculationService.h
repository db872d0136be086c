#pragma once

// The calculation behind the service's form: one request's fields in, the
// answer page and the report out. Everything in a request is untrusted: a
// wrong field, a damaged project, a scheme that does not pass the checks or
// one too large for the service each give a page that says what is wrong,
// and no scheme is calculated before it has passed the checks.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/ReportStore.h"

namespace stelmar {

// One part of a multipart form as it arrived.
struct UploadPart {
    std::string_view Name;
    std::string_view FileName;
    std::string_view Content;
};

// The fields of a request; the views must stay valid during the call.
struct Upload {
    std::vector<UploadPart> Parts;
};

// The decimal separator of the numbers on the page and in the report of a
// service on its own.
inline constexpr char kServiceSeparator = ',';

// Bounds of the work a single request may cause, and how its answer writes
// numbers.
struct ServiceLimits {
    std::int64_t MaxAreas = 2'000'000;
    // Bound of EstimateCalculationWork; about 20 bytes of memory each.
    std::int64_t MaxWork = 50'000'000;
    // Largest report kept for download.
    std::size_t MaxReportBytes = std::size_t{128} << 20;
    // The service inside the desktop program writes numbers as the
    // program's own calculation does, with the user's separator.
    char DecimalSeparator = kServiceSeparator;
    // Largest calculation (in steps) whose report is offered as PDF too.
    std::int64_t MaxPdfSteps = 20'000;
};

struct ServiceResponse {
    int Status = 200;
    std::string Html;
    // The report in Windows-1251 RTF, and the id under which the page links
    // it ("report/<id>/report.rtf" beside the form's address).
    std::optional<std::string> Report;
    std::string ReportId;
    // What the PDF report ("report/<id>/report.pdf") is made from when it
    // is downloaded: the request's project and options, packed. Empty when
    // the page offers no PDF report.
    std::optional<std::string> PdfSource;
    // About the memory making that PDF report takes.
    std::size_t PdfWork = 0;
};

// Reads the fields `userfile` (the project file), `raz_vr`, `vr_sk`,
// `full_report` ("1" or "0"; absent is off) and `prec` ("1" … "9"),
// reads and checks the project, calculates with those options and builds
// the full or summary report. The page tells until when its links answer,
// `reportLifetime` from now.
ServiceResponse HandleCalculation(const Upload& upload, const ServiceLimits& limits = {},
                                  std::chrono::seconds reportLifetime = kReportLifetime);

// Memory that making a PDF report takes per step of the calculation, at
// most: the pages' layout, the floor's drawing and the document itself.
inline constexpr std::size_t kPdfWorkBytesPerStep = 8 << 10;

// The PDF report made from a response's PdfSource: the project calculated
// again with the request's options, its numbers written with `separator`.
// Nullopt when it cannot be made.
std::optional<std::string> MakePdfReport(std::string_view source, char separator = kServiceSeparator);

// Flows listed in the page's table; the report has them all.
inline constexpr int kMaxFlowRows = 500;
// Validation messages listed on the page.
inline constexpr std::size_t kMaxMessageLines = 1000;

}  // namespace stelmar
