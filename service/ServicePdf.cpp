#include "service/ServicePdf.h"

#include <QBuffer>

#include "pdf/HeadlessGui.h"
#include "pdf/PdfReport.h"

namespace stelmar {

struct PdfSupport::Impl {
    std::unique_ptr<QGuiApplication> App;
};

PdfSupport::PdfSupport(int& argc, char** argv) : impl_(std::make_unique<Impl>())
{
    if (!QCoreApplication::instance()) impl_->App = StartHeadlessGui(argc, argv);
}

PdfSupport::~PdfSupport() = default;

bool ServicePdfAvailable() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

std::optional<std::string> ServicePdfDocument(const TPipeLine& s, const std::vector<ScenarioRun>& runs,
                                              const ReportTitle& title, char separator)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
    if (BuildPdfReport(s, title, separator, buffer, {}, &runs)) return std::nullopt;
    buffer.close();
    return bytes.toStdString();
}

}  // namespace stelmar
