#pragma once

// Where the service dialog sends projects: the address configured in
// settings.ini, or else the calculation service run inside this program on
// a free loopback port, started the first time it is needed and stopped
// when the program quits.

#include <QString>

namespace stelmar {

struct ServiceAddress {
    QString Base;   // scheme and host, e.g. "http://127.0.0.1:41234"
    QString Error;  // why the in-process service could not start; Base empty
};

// `configured` is the service_url setting; empty selects the in-process
// service.
ServiceAddress ServiceBaseAddress(const QString& configured);
// The service_url setting as settings.ini holds it now.
QString ConfiguredServiceUrl();
// Stops the in-process service when it runs.
void StopEmbeddedService();

}  // namespace stelmar
