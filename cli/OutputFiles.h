#pragma once

// Where stelmar-calc writes its reports and JSON: a file, or standard output
// for "-" (or a path naming the file standard output already is), and the
// check that no output destroys the project it reads.

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "cli/CalcOptions.h"

namespace stelmar {

bool IsStandardOutput(const std::string& path);

// A Russian message when the outputs cannot be written as asked: one of
// them is the project file or one of its picture files (after following
// links), two of them name one file, or two go to standard output.
std::optional<std::string> CheckOutputs(const CalcOptions& options);

// Writes the document `write` produces (`what`: "отчет", ...) to `path`;
// on failure reports it on standard error and returns false. When `write`
// returns false (having reported why) the file is left as it was.
bool WriteOutput(const std::string& path, const std::string& what, const std::function<bool(std::ostream&)>& write);

}  // namespace stelmar
