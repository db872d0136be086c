#include "dialogs/EmbeddedService.h"

#include <QCoreApplication>
#include <memory>

#include "model/NumberText.h"
#include "model/Settings.h"
#include "model/UserFolders.h"
#include "service/CalculationServer.h"

namespace stelmar {
namespace {

constexpr const char* kLoopback = "127.0.0.1";

std::unique_ptr<CalculationServer>& Server()
{
    static std::unique_ptr<CalculationServer> server;
    return server;
}

}  // namespace

ServiceAddress ServiceBaseAddress(const QString& configured)
{
    if (!configured.isEmpty()) return {configured, {}};
    std::unique_ptr<CalculationServer>& server = Server();
    if (!server) {
        // Its pages and reports write numbers as the program's own
        // calculation does.
        ServerSettings settings;
        settings.Limits.DecimalSeparator = DecimalSeparatorFromEnvironment();
        auto started = std::make_unique<CalculationServer>(settings);
        if (const std::optional<std::string> failure = started->Start(kLoopback, 0))
            return {{}, QString::fromStdString(*failure)};
        server = std::move(started);
        if (QCoreApplication* app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, app, &StopEmbeddedService);
    }
    return {QString("http://%1:%2").arg(kLoopback).arg(server->Port()), {}};
}

QString ConfiguredServiceUrl()
{
    TPipeLine scratch;
    WindowLayout layout;
    LoadSettings(scratch, layout, ConfigFolder());
    return QString::fromStdString(layout.ServiceUrl);
}

void StopEmbeddedService()
{
    if (std::unique_ptr<CalculationServer>& server = Server()) {
        server->Stop();
        server.reset();
    }
}

}  // namespace stelmar
