#pragma once

// Command line of stelmar-service.

#include <optional>
#include <string>

#include "service/CalculationServer.h"

namespace stelmar {

struct ServiceCommandLine {
    std::string Host = "127.0.0.1";
    int Port = 8830;
    ServerSettings Settings;
    bool Help = false;
};

// Parses argv; on a mistake returns nullopt and sets `error` to a Russian
// message naming the argument.
std::optional<ServiceCommandLine> ParseServiceCommandLine(int argc, char** argv, std::string& error);

extern const char* const kServiceUsage;

}  // namespace stelmar
