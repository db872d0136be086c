#include "calc/EquationText.h"

#include <algorithm>
#include <cctype>

namespace stelmar {

namespace {

constexpr std::string_view kFraction = R"(\\f()";
constexpr std::string_view kRaised = R"(\\s\\up3()";
constexpr std::string_view kLowered = R"(\\s\\do3()";
constexpr std::string_view kSum = R"(\\i\\su()";
constexpr std::string_view kGreekStart = R"({\pard\ql\fs)";
constexpr std::string_view kGreekFont = R"(\f84 )";
constexpr std::string_view kSigma = R"(\u931\'3f )";

// Position of the bracket closing the one at `open`, or npos.
std::size_t MatchingClose(std::string_view text, std::size_t open, char opening, char closing)
{
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '{' || text[i + 1] == '}')) {
            ++i;
        } else if (text[i] == opening) {
            ++depth;
        } else if (text[i] == closing && --depth == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

// Calls `each` with every argument between "(" and ")", split at the
// semicolons outside any inner parentheses, without surrounding blanks.
template <typename Each>
void ForEachArgument(std::string_view inner, Each each)
{
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= inner.size(); ++i) {
        if (i == inner.size() || (inner[i] == ';' && depth == 0)) {
            std::string_view arg = inner.substr(start, i - start);
            while (!arg.empty() && arg.front() == ' ') arg.remove_prefix(1);
            while (!arg.empty() && arg.back() == ' ') arg.remove_suffix(1);
            each(arg);
            start = i + 1;
        } else if (inner[i] == '(') {
            ++depth;
        } else if (inner[i] == ')') {
            --depth;
        }
    }
}

// Length of a Greek-letter paragraph group "{\pard\ql\fsNN\f84 X}" starting
// at `pos` and the offset of X in it, or 0 when there is none.
std::size_t GreekGroup(std::string_view text, std::size_t pos, std::size_t& letterOffset)
{
    if (text.substr(pos, kGreekStart.size()) != kGreekStart) return 0;
    std::size_t i = pos + kGreekStart.size();
    const std::size_t digitsStart = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (i == digitsStart || text.substr(i, kGreekFont.size()) != kGreekFont) return 0;
    const std::size_t close = MatchingClose(text, pos, '{', '}');
    if (close == std::string_view::npos) return 0;
    letterOffset = i + kGreekFont.size() - pos;
    return close + 1 - pos;
}

void Render(std::string_view text, std::string& out)
{
    std::size_t i = 0;
    while (i < text.size()) {
        // Only a backslash opens a construct and only a brace a Greek
        // group: the plain text up to the next of them is copied at once.
        if (text[i] != '\\' && text[i] != '{') {
            std::size_t next = i + 1;
            while (next < text.size() && text[next] != '\\' && text[next] != '{') ++next;
            out.append(text.substr(i, next - i));
            i = next;
            continue;
        }
        // Every construct starts with an escaped backslash.
        const std::string_view rest = text.substr(i);
        std::string_view construct;
        if (rest.starts_with("\\\\")) {
            for (std::string_view c : {kFraction, kRaised, kLowered, kSum}) {
                if (rest.starts_with(c)) construct = c;
            }
        }
        if (!construct.empty()) {
            const std::size_t open = i + construct.size() - 1;
            const std::size_t close = MatchingClose(text, open, '(', ')');
            if (close != std::string_view::npos) {
                const std::string_view inner = text.substr(open + 1, close - open - 1);
                if (construct == kFraction) {
                    bool first = true;
                    ForEachArgument(inner, [&](std::string_view arg) {
                        out += first ? "(" : ")/(";
                        first = false;
                        Render(arg, out);
                    });
                    out += ")";
                } else if (construct == kSum) {
                    out += kSigma;
                    std::string_view last;
                    ForEachArgument(inner, [&](std::string_view arg) { last = arg; });
                    Render(last, out);
                } else {
                    out += construct == kRaised ? R"({\super )" : R"({\sub )";
                    Render(inner, out);
                    out += "}";
                }
                i = close + 1;
                continue;
            }
        }
        std::size_t letterOffset = 0;
        if (const std::size_t length = GreekGroup(text, i, letterOffset)) {
            Render(text.substr(i + letterOffset, length - letterOffset - 1), out);
            i += length;
            continue;
        }
        out += text[i];
        ++i;
    }
}

}  // namespace

std::string EquationText(std::string_view formula)
{
    std::string out;
    out.reserve(formula.size());
    Render(formula, out);
    return out;
}

void AppendEquationText(std::string& out, std::string_view formula) { Render(formula, out); }

}  // namespace stelmar
