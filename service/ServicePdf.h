#pragma once

// The PDF report of the service, when it is built with Qt: made in memory
// on the thread that serves the download.

#include <memory>
#include <optional>
#include <string>

#include "calc/ReportFrontMatter.h"
#include "calc/ScenarioCalculation.h"
#include "model/Scheme.h"

namespace stelmar {

// Makes the process able to write PDF reports (Qt's graphical part, on the
// offscreen platform without a display) while it lives; nothing in a build
// without Qt.
class PdfSupport {
public:
    PdfSupport(int& argc, char** argv);
    ~PdfSupport();
    PdfSupport(const PdfSupport&) = delete;
    PdfSupport& operator=(const PdfSupport&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// True when the build writes PDF reports and the process can (a
// QGuiApplication exists).
bool ServicePdfAvailable();

// The document of the scenarios `runs`, the drawings showing the results
// `s` holds; nullopt when it cannot be made.
std::optional<std::string> ServicePdfDocument(const TPipeLine& s, const std::vector<ScenarioRun>& runs,
                                              const ReportTitle& title, char separator);

}  // namespace stelmar
