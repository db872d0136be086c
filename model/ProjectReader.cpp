#include "model/ProjectFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <new>

#include "model/FileErrors.h"
#include "model/NumberText.h"
#include "model/PictureFile.h"
#include "model/ProjectExtension.h"
#include "model/ProjectFileTexts.h"
#include "model/RegularFile.h"
#include "model/SafeFile.h"
#include "model/TextCodec.h"

namespace stelmar {
namespace {

// Header lines after the node count and after the area count: label, area
// count, label, floors, label, active floor, RazVr, node-section label.
constexpr std::int64_t kHeaderLinesAfterNodeCount = 8;
constexpr std::int64_t kHeaderLinesAfterAreaCount = 6;
// The area-section label and the VrSk line.
constexpr std::int64_t kTrailingLines = 2;
constexpr std::int64_t kAreaBlockLines = 6;

// Flow states are not stored, only their number; one past what any
// calculation leaves marks a damaged file.
constexpr std::int32_t kMaxFlowCount = 1'000'000;
constexpr std::int64_t kMaxTotalFlowCount = 10'000'000;

constexpr std::int64_t kMaxProjectFileSize = std::int64_t{2} << 30;
constexpr std::int64_t kMaxPictureFileSize = std::int64_t{4} << 30;
constexpr std::int64_t kMaxPlanFileSize = std::int64_t{1} << 30;


// What a line holds, for messages: "тип узла" with Number 2 reads
// "тип узла №2".
struct Field {
    const char* Text;
    int Number = 0;
};

std::string Describe(Field f)
{
    std::string text = f.Text;
    if (f.Number > 0) text += " №" + std::to_string(f.Number);
    return text;
}

struct ReadError {
    std::int64_t Line;
    std::string Text;
};

// Decimal integer after optional blanks, with an optional sign; the rest of
// the line is ignored.
std::optional<std::int32_t> ParseIntegerLine(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    const std::size_t firstDigit = i;
    std::int64_t value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > std::int64_t{1} << 31) return std::nullopt;
    }
    if (i == firstDigit) return std::nullopt;
    if (negative) value = -value;
    if (value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// The number of line feeds in `bytes`, eight bytes at a time.
std::int64_t CountLineFeeds(std::string_view bytes)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;
    std::int64_t count = 0;
    std::size_t i = 0;
    while (i + 8 <= bytes.size()) {
        // Per byte 1 where a byte is a line feed; at most 255 words per sum
        // keep every byte of it from overflowing.
        std::uint64_t sums = 0;
        for (int word = 0; word < 255 && i + 8 <= bytes.size(); ++word, i += 8) {
            std::uint64_t w = 0;
            std::memcpy(&w, bytes.data() + i, 8);
            w ^= kOnes * '\n';
            sums += (~(((w & kLow7) + kLow7) | w) & ~kLow7) >> 7;
        }
        constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FF;
        const std::uint64_t pairs = (sums & kLowBytes) + ((sums >> 8) & kLowBytes);
        count += static_cast<std::int64_t>((pairs * 0x0001000100010001) >> 48);
    }
    for (; i < bytes.size(); ++i) count += bytes[i] == '\n';
    return count;
}

// The lines of a project file; every reading failure throws ReadError with
// the number of the line concerned.
class LineReader {
public:
    explicit LineReader(std::string_view bytes)
        : bytes_(bytes), total_(CountLineFeeds(bytes) + (!bytes.empty() && bytes.back() != '\n'))
    {
    }

    std::int64_t LineNo() const { return line_; }
    // The bytes after the last line read.
    std::string_view Rest() const { return bytes_.substr(pos_); }
    std::int64_t LinesLeft() const { return total_ - line_; }

    [[noreturn]] void Fail(std::int64_t line, std::string text) const { throw ReadError{line, std::move(text)}; }
    [[noreturn]] void Fail(std::string text) const { Fail(line_, std::move(text)); }

    std::string_view Line(Field f)
    {
        if (pos_ >= bytes_.size()) Fail(line_ + 1, "файл закончился, ожидалась строка (" + Describe(f) + ")");
        ++line_;
        const char* start = bytes_.data() + pos_;
        const auto* end = static_cast<const char*>(std::memchr(start, '\n', bytes_.size() - pos_));
        std::string_view line(start, end ? end - start : bytes_.size() - pos_);
        pos_ += line.size() + (end ? 1 : 0);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    std::int32_t Integer(Field f)
    {
        // Most lines are a number alone: read in place.
        if (const std::optional<std::int32_t> plain = PlainInteger()) return *plain;
        return IntegerLine(f);
    }

    std::int32_t Integer(Field f, std::int64_t low, std::int64_t high)
    {
        const std::int32_t value = Integer(f);
        if (value < low || value > high)
            Fail("ожидалось число от " + std::to_string(low) + " до " + std::to_string(high) + " (" +
                 Describe(f) + "), прочитано " + std::to_string(value));
        return value;
    }

    // A count of blocks that must fit in the `room` blocks the rest of the
    // file can hold. A count of 0 always passes, so that a file too short
    // even for its fixed lines is reported where it ends.
    std::int32_t Count(Field f, std::int64_t room)
    {
        const std::int32_t value = Integer(f);
        if (value < 0) Fail("ожидалось неотрицательное число (" + Describe(f) + "), прочитано " + std::to_string(value));
        if (value > 0 && value > room)
            Fail(Describe(f) + " (" + std::to_string(value) + ") не умещается в файле (строк в файле: " +
                 std::to_string(total_) + ")");
        return value;
    }

    double Real(Field f)
    {
        std::size_t used = 0;
        if (const std::optional<double> plain = ParsePlainDecimal(bytes_.substr(pos_), used); plain && EndLineAt(used))
            return *plain;
        return RealLine(f);
    }

    // Flag lines hold "1" for true; anything else is false.
    bool Flag(Field f) { return Line(f) == "1"; }

private:
    // A line of at most nine digits, perhaps after a minus, read in place;
    // nullopt (nothing read) for any other line.
    std::optional<std::int32_t> PlainInteger()
    {
        const char* const start = bytes_.data() + pos_;
        const char* const end = bytes_.data() + bytes_.size();
        const char* p = start;
        const bool negative = p < end && *p == '-';
        if (negative) ++p;
        const char* const first = p;
        const char* const stop = end - first > 9 ? first + 9 : end;
        std::int32_t value = 0;
        for (; p < stop && static_cast<unsigned char>(*p - '0') < 10; ++p) value = value * 10 + (*p - '0');
        if (p == first || !EndLineAt(static_cast<std::size_t>(p - start))) return std::nullopt;
        return negative ? -value : value;
    }

    // When the line from the current position ends after `length` bytes,
    // moves past it and returns true; otherwise leaves the position.
    bool EndLineAt(std::size_t length)
    {
        const char* const end = bytes_.data() + bytes_.size();
        const char* p = bytes_.data() + pos_ + length;
        // A carriage return ends the line only before a line feed or at the end.
        if (p < end && *p == '\r') ++p;
        if (p < end && *p != '\n') return false;
        ++line_;
        pos_ = static_cast<std::size_t>(std::min(p + 1, end) - bytes_.data());
        return true;
    }

    // The whole line, for lines that are not a plain number.
    [[gnu::noinline]] std::int32_t IntegerLine(Field f)
    {
        const std::optional<std::int32_t> value = ParseIntegerLine(Line(f));
        if (!value) Fail("ожидалось целое число (" + Describe(f) + ")");
        return *value;
    }

    [[gnu::noinline]] double RealLine(Field f)
    {
        const std::optional<double> value = ParseReal(Line(f));
        if (!value) Fail("ожидалось вещественное число (" + Describe(f) + ")");
        return *value;
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::int64_t line_ = 0;
    std::int64_t total_;
};

// Nodes and areas lie on floors the project has.
void ReadNode(LineReader& r, TNode& node, int i, bool withMobility, int floors, std::int64_t& flowBudget)
{
    node.Kind = static_cast<std::uint8_t>(r.Integer({"тип узла", i}, kInput, kJunction));
    node.Etag = static_cast<std::uint8_t>(r.Integer({"этаж узла", i}, 1, floors));
    node.People = r.Integer({"число людей узла", i});
    const auto flows = r.Integer({"число потоков узла", i}, 0, std::min<std::int64_t>(kMaxFlowCount, flowBudget));
    flowBudget -= flows;
    node.FlowCount = flows;
    node.F = r.Real({"площадь проекции узла", i});
    node.X = r.Integer({"координата X узла", i});
    node.Y = r.Integer({"координата Y узла", i});
    const std::string_view name = r.Line({"обозначение узла", i});
    if (name == Texts().DefaultName) {
        static const std::string defaultName = kDefaultNodeName;
        node.Name = defaultName;
    } else {
        std::optional<std::string> text = Cp1251ToUtf8(name);
        if (!text) r.Fail("ожидался текст в кодировке Windows-1251 (" + Describe({"обозначение узла", i}) + ")");
        node.Name = std::move(*text);
    }
    if (withMobility) node.Mobility = static_cast<std::uint8_t>(r.Integer({"группа мобильности узла", i}, 0, 9));
    node.SavedX = node.X;
    node.SavedY = node.Y;
}

void ReadArea(LineReader& r, TArea& area, int i, int nodeCount, int floors)
{
    area.Node1 = r.Integer({"начальный узел участка", i}, 1, nodeCount);
    area.Node2 = r.Integer({"конечный узел участка", i}, 1, nodeCount);
    if (area.Node2 == area.Node1)
        r.Fail("ожидался номер узла, отличный от начального (" + Describe({"конечный узел участка", i}) +
               "), прочитано " + std::to_string(area.Node2));
    area.Etag = static_cast<std::uint8_t>(r.Integer({"этаж участка", i}, 1, floors));
    area.Length = r.Real({"длина участка", i});
    area.Width = r.Real({"ширина участка", i});
    area.Kind = static_cast<std::uint8_t>(r.Integer({"вид пути участка", i}, kHorizontal, kRampUp));
}

TPipeLine ReadScheme(LineReader& r)
{
    TPipeLine s;
    const bool current = r.Line({"заголовок файла проекта"}) == kVersionLine;
    if (current) r.Line({"заголовок «Количество узлов:»"});
    const std::int64_t nodeBlockLines = current ? 9 : 8;

    // The counts are checked against the lines left before anything is
    // allocated for them.
    const std::int64_t nodeRoom = (r.LinesLeft() - 1 - kHeaderLinesAfterNodeCount - kTrailingLines) / nodeBlockLines;
    const std::int32_t nodeCount = r.Count({"количество узлов"}, nodeRoom);
    r.Line({"заголовок «Количество участков:»"});
    const std::int64_t areaRoom =
        (r.LinesLeft() - 1 - kHeaderLinesAfterAreaCount - nodeCount * nodeBlockLines - kTrailingLines) /
        kAreaBlockLines;
    const std::int32_t areaCount = r.Count({"количество участков"}, areaRoom);
    r.Line({"заголовок «Количество этажей:»"});
    s.EtagCount = static_cast<std::uint8_t>(r.Integer({"количество этажей"}, 1, kMaxFloors));
    r.Line({"заголовок «Активный этаж:»"});
    s.ActiveEtag = static_cast<std::uint8_t>(r.Integer({"активный этаж"}, 1, s.EtagCount));
    s.RazVr = r.Flag({"признак учета разновременности слияния потоков"});
    r.Line({"заголовок «Данные по узлам:»"});

    s.Nodes.resize(static_cast<std::size_t>(nodeCount) + 1);
    // A calculation leaves far fewer flow states than 64 per line of the
    // file.
    std::int64_t flowBudget = std::min<std::int64_t>(kMaxTotalFlowCount, 64 * r.LinesLeft() + 1024);
    for (int i = 1; i <= nodeCount; ++i) ReadNode(r, s.Nodes[i], i, current, s.EtagCount, flowBudget);
    r.Line({"заголовок «Данные по участкам:»"});
    s.Areas.resize(static_cast<std::size_t>(areaCount) + 1);
    for (int i = 1; i <= areaCount; ++i) ReadArea(r, s.Areas[i], i, nodeCount, s.EtagCount);
    s.VrSk = r.Flag({"признак расчета времени скопления"});
    return s;
}

void LoadPictures(TPipeLine& s, const std::string& path, std::vector<std::string>& warnings)
{
    for (int n = 1; n <= s.EtagCount; ++n) {
        const std::string name = PictureFileName(path, n);
        std::string bytes;
        const int error = ReadRegularFile(name, kMaxPictureFileSize, bytes);
        if (error == ENOENT || error == ENOTDIR) continue;
        std::optional<Bitmap> picture = error ? std::nullopt : DecodeBmp(bytes);
        if (!picture) {
            warnings.push_back("Не удалось загрузить фон этажа №" + std::to_string(n) + " из файла \"" + name +
                               "\": " +
                               (error ? FileErrorText(error) : "файл поврежден или имеет неподдерживаемый формат") +
                               ".");
            continue;
        }
        s.Backgrounds[n] = std::make_shared<const Bitmap>(std::move(*picture));
    }
}

// The copies of the floors' plan files. A floor whose copy cannot be read
// keeps its picture and loses the plan.
void LoadPlans(TPipeLine& s, const std::string& path, std::vector<std::string>& warnings)
{
    for (int n = 1; n <= s.EtagCount; ++n) {
        PlanSourceRef& plan = s.Plans[n].Source;
        if (!plan) continue;
        const std::string name = PlanFileName(path, n, plan->Kind);
        std::string bytes;
        const int error = ReadRegularFile(name, kMaxPlanFileSize, bytes);
        if (error != 0 || bytes.empty()) {
            warnings.push_back("Не удалось загрузить план этажа №" + std::to_string(n) + " из файла \"" + name +
                               "\": " + (error ? FileErrorText(error) : "файл пуст") +
                               ". Этаж показан с его рисунком.");
            plan.reset();
            continue;
        }
        plan = std::make_shared<const TPlanSource>(TPlanSource{plan->Kind, std::move(bytes)});
    }
}
}  // namespace

ProjectReadResult ParseProject(std::string_view bytes, const std::string& path)
{
    ProjectReadResult result;
    try {
        LineReader reader(bytes);
        result.Scheme = ReadScheme(reader);
        result.Scheme->FileName = path;
        // What follows the fixed lines never refuses the file: earlier
        // readers stop before it, and a damaged block costs only its data.
        ExtensionBlock block = ParseExtensionBlock(reader.Rest(), reader.LineNo() + 1, path);
        result.Warnings = std::move(block.Warnings);
        ApplyExtensionEntries(*result.Scheme, std::move(block.Entries), path, result.Warnings);
    } catch (const ReadError& e) {
        result.Error = "Файл \"" + path + "\", строка " + std::to_string(e.Line) + ": " + e.Text + ".";
    } catch (const std::bad_alloc&) {
        result.Scheme.reset();
        result.Error = "Файл \"" + path + "\": недостаточно памяти для чтения проекта.";
    }
    return result;
}

ProjectReadResult ReadProjectFile(const std::string& path, bool loadPictures)
{
    // A save stopped between its renames is finished first, so that the
    // file read belongs with its pictures.
    RemoveStaleProjectTemporaries(path);
    std::string bytes;
    if (const int error = ReadRegularFile(path, kMaxProjectFileSize, bytes)) {
        ProjectReadResult result;
        result.Error = "Не удалось прочитать файл \"" + path + "\": " + FileErrorText(error) + ".";
        return result;
    }
    ProjectReadResult result = ParseProject(bytes, path);
    if (result.Scheme && loadPictures) {
        LoadPictures(*result.Scheme, FileBehindLinks(path), result.Warnings);
        LoadPlans(*result.Scheme, FileBehindLinks(path), result.Warnings);
    }
    return result;
}

void AdoptProject(TPipeLine& live, TPipeLine&& loaded)
{
    ResetToNewProject(live);
    live.Nodes = std::move(loaded.Nodes);
    live.Areas = std::move(loaded.Areas);
    live.EtagCount = loaded.EtagCount;
    live.ActiveEtag = loaded.ActiveEtag;
    live.RazVr = loaded.RazVr;
    live.VrSk = loaded.VrSk;
    live.FileName = std::move(loaded.FileName);
    live.Backgrounds = std::move(loaded.Backgrounds);
    live.Plans = std::move(loaded.Plans);
    live.DrawnKinds = loaded.DrawnKinds;
    live.Scenarios = std::move(loaded.Scenarios);
    live.ActiveScenario = loaded.ActiveScenario;
    live.KeptExtension = std::move(loaded.KeptExtension);
    live.Modified = false;
}
}  // namespace stelmar
