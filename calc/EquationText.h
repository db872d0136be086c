#pragma once

// Plain RTF rendering of an EQ field formula, shown as the field's result:
// fractions become "(a)/(b)", raised and lowered parts become superscripts
// and subscripts, the sum operator becomes "Σ", and the Greek-letter
// paragraph groups give up their paragraph so the letter stays in line.

#include <string>
#include <string_view>

namespace stelmar {

std::string EquationText(std::string_view formula);
// The same rendering appended to `out`.
void AppendEquationText(std::string& out, std::string_view formula);

}  // namespace stelmar
