#include "model/ScenarioFileSection.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "model/NumberText.h"
#include "model/Scenarios.h"

namespace stelmar {

namespace {

constexpr std::string_view kPrefix = "scenario.";

// A whole decimal number (digits only) that is the whole of `text`.
std::optional<int> WholeNumber(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text[0] == '-' || text[0] == '+' || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The next dot-separated part of `key`, removed from it.
std::string_view NextPart(std::string_view& key)
{
    const std::size_t dot = key.find('.');
    const std::string_view part = key.substr(0, dot);
    key.remove_prefix(dot == std::string_view::npos ? key.size() : dot + 1);
    return part;
}

ExtensionRead Damaged(std::string& error, std::string text)
{
    error = std::move(text);
    return ExtensionRead::Damaged;
}

ExtensionRead ReadTime(const std::string& value, bool blockTime, std::optional<double>& out, std::string& error)
{
    const std::optional<double> t = ReadScenarioTime(value, blockTime, error);
    if (!t) return ExtensionRead::Damaged;
    out = *t;
    return ExtensionRead::Taken;
}

ExtensionRead ReadNumbers(const std::string& value, int count, std::vector<int>& out, std::string& error)
{
    std::vector<int> numbers;
    std::string_view rest = value;
    while (!rest.empty()) {
        const std::size_t blank = rest.find(' ');
        const std::optional<int> n = WholeNumber(rest.substr(0, blank));
        if (!n || *n < 1 || *n > count) return Damaged(error, "номер элемента вне схемы");
        numbers.push_back(*n);
        rest.remove_prefix(blank == std::string_view::npos ? rest.size() : blank + 1);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    out = std::move(numbers);
    return ExtensionRead::Taken;
}

ExtensionRead Read(TPipeLine& s, const TExtensionEntry& entry, std::string& error)
{
    std::string_view key = std::string_view(entry.Key).substr(kPrefix.size());
    if (key == "active") {
        const std::optional<int> n = WholeNumber(entry.Value);
        if (!n || *n < 1 || *n > kMaxScenarios) return Damaged(error, "номер сценария вне допустимого диапазона");
        s.ActiveScenario = *n - 1;
        return ExtensionRead::Taken;
    }
    const std::optional<int> index = WholeNumber(NextPart(key));
    if (!index) return ExtensionRead::Unknown;
    if (*index < 1 || *index > kMaxScenarios) return Damaged(error, "номер сценария вне допустимого диапазона");
    const std::string_view field = NextPart(key);
    // A field of a later version is kept as it is.
    const bool known = (key.empty() && (field == "name" || field == "tne" || field == "tbl")) ||
                       (field == "excluded" && (key == "nodes" || key == "areas")) || field == "node";
    if (!known) return ExtensionRead::Unknown;
    if (s.Scenarios.size() < static_cast<std::size_t>(*index)) s.Scenarios.resize(static_cast<std::size_t>(*index));
    TScenario& sc = s.Scenarios[static_cast<std::size_t>(*index - 1)];

    if (field == "name") {
        sc.Name = entry.Value;
        return ExtensionRead::Taken;
    }
    if (field == "tne") {
        std::optional<double> t;
        const ExtensionRead read = ReadTime(entry.Value, false, t, error);
        if (t) sc.StartDelay = *t;
        return read;
    }
    if (field == "tbl") return ReadTime(entry.Value, true, sc.BlockTime, error);
    if (field == "excluded")
        return key == "nodes" ? ReadNumbers(entry.Value, NodeCount(s), sc.ExcludedNodes, error)
                              : ReadNumbers(entry.Value, AreaCount(s), sc.ExcludedAreas, error);

    const std::optional<int> node = WholeNumber(NextPart(key));
    if (!node || (key != "tne" && key != "tbl")) return ExtensionRead::Unknown;
    if (*node < 1 || *node > NodeCount(s)) return Damaged(error, "номер узла вне схемы");
    std::optional<double> t;
    const ExtensionRead read = ReadTime(entry.Value, key == "tbl", t, error);
    if (read != ExtensionRead::Taken) return read;
    TNodeTimes& times = EditNodeTimes(sc, *node);
    (key == "tbl" ? times.BlockTime : times.StartDelay) = t;
    return read;
}

std::string NumberList(const std::vector<int>& numbers)
{
    std::string text;
    for (const int n : numbers) {
        if (!text.empty()) text += ' ';
        text += std::to_string(n);
    }
    return text;
}

void Write(const TPipeLine& s, std::vector<TExtensionEntry>& out)
{
    if (s.Scenarios.empty()) return;
    const std::string prefix(kPrefix);
    out.push_back({prefix + "active", std::to_string(ActiveScenarioIndex(s) + 1)});
    for (std::size_t i = 0; i < s.Scenarios.size(); ++i) {
        const TScenario& sc = s.Scenarios[i];
        const std::string key = prefix + std::to_string(i + 1) + ".";
        out.push_back({key + "name", sc.Name});
        if (sc.StartDelay != 0) out.push_back({key + "tne", FormatShortest(sc.StartDelay)});
        if (sc.BlockTime) out.push_back({key + "tbl", FormatShortest(*sc.BlockTime)});
        if (!sc.ExcludedNodes.empty()) out.push_back({key + "excluded.nodes", NumberList(sc.ExcludedNodes)});
        if (!sc.ExcludedAreas.empty()) out.push_back({key + "excluded.areas", NumberList(sc.ExcludedAreas)});
        for (const TNodeTimes& t : sc.NodeTimes) {
            const std::string node = key + "node." + std::to_string(t.Node) + ".";
            if (t.StartDelay) out.push_back({node + "tne", FormatShortest(*t.StartDelay)});
            if (t.BlockTime) out.push_back({node + "tbl", FormatShortest(*t.BlockTime)});
        }
    }
}

}  // namespace

ExtensionSection ScenarioFileSection() { return {kPrefix, &Read, &Write}; }

}  // namespace stelmar
