#pragma once

// What the service answers at each address: the start page, the form's
// address, the report downloads, and the pages for the errors the HTTP
// layer finds by itself. Independent of how requests are read.

#include <cstddef>

#include "service/CalculationService.h"
#include "service/HttpMessages.h"
#include "service/ReportStore.h"

namespace stelmar {

inline constexpr const char* kFormPath = "/obe/StelmarCalc_3000.php";

class ServiceRoutes {
public:
    ServiceRoutes(std::size_t maxUpload, const ServiceLimits& limits, ReportStore& store)
        : maxUpload_(maxUpload), limits_(limits), store_(store)
    {
    }

    // True for the calculation and the PDF report, which run on the
    // calculation threads; every other answer is immediate.
    static bool Calculates(const HttpRequest& request);
    // The answer to a request that was read completely. Never throws: a
    // failure gives the page of status 500.
    HttpAnswer Answer(const HttpRequest& request);
    // The page of an error the HTTP layer answers by itself.
    HttpAnswer Status(int status) const;

private:
    HttpAnswer Calculate(const HttpRequest& request);
    HttpAnswer Download(std::string_view id);
    HttpAnswer DownloadPdf(std::string_view id);

    const std::size_t maxUpload_;
    const ServiceLimits limits_;
    ReportStore& store_;
};

}  // namespace stelmar
