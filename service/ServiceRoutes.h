#pragma once

// What the service answers at each address: the start page, the form's
// address, the report downloads, and the pages for the errors the HTTP
// layer finds by itself. Independent of how requests are read.

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "service/CalculationService.h"
#include "service/HttpMessages.h"
#include "service/PdfBuilds.h"
#include "service/ReportStore.h"
#include "service/WorkPool.h"

namespace stelmar {

inline constexpr const char* kFormPath = "/obe/StelmarCalc_3000.php";

// Seconds after which a client whose PDF build is still running is asked
// to come back.
inline constexpr int kPdfRetryAfter = 10;

class ServiceRoutes {
public:
    using Reply = std::function<void(HttpAnswer)>;

    // Calculations run on `calculations`, PDF reports are made by `pdfs`.
    ServiceRoutes(std::size_t maxUpload, const ServiceLimits& limits, ReportStore& store, WorkPool& calculations,
                  PdfBuilds& pdfs)
        : maxUpload_(maxUpload), limits_(limits), store_(store), calculations_(calculations), pdfs_(pdfs)
    {
    }

    // The boundary of a form posted to the form's address, which the HTTP
    // layer checks while the body arrives; nullopt for other requests.
    static std::optional<std::string_view> FormBoundary(const HttpRequest& request);
    // Answers a request that was read completely, through `reply`: at
    // once, or from the thread that calculated or made the PDF. Every
    // request gets exactly one answer; a failure gives the page of status
    // 500.
    void Answer(HttpRequest request, const Reply& reply);
    // The page of an error the HTTP layer answers by itself.
    HttpAnswer Status(int status) const;

private:
    HttpAnswer Immediate(const HttpRequest& request) const;
    HttpAnswer Calculate(const HttpRequest& request);
    HttpAnswer Download(std::string_view id, const HttpRequest& request);
    void DownloadPdf(std::string_view id, const HttpRequest& request, const Reply& reply);

    const std::size_t maxUpload_;
    const ServiceLimits limits_;
    ReportStore& store_;
    WorkPool& calculations_;
    PdfBuilds& pdfs_;
};

}  // namespace stelmar
