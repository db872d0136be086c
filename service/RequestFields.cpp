#include "service/RequestFields.h"

namespace stelmar {

namespace {

constexpr std::size_t kShownValueChars = 40;
constexpr std::size_t kShownNameChars = 120;

// Length of the UTF-8 sequence at the start of `s`, or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view s)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

std::string Quoted(std::string_view value) { return "«" + PrintableText(value, kShownValueChars) + "»"; }

// The parts named `name`: none, one, or a problem when it came twice.
const UploadPart* SinglePart(const Upload& upload, std::string_view name, std::vector<std::string>& problems)
{
    const UploadPart* found = nullptr;
    for (const UploadPart& part : upload.Parts) {
        if (part.Name != name) continue;
        if (found) {
            problems.push_back("Поле «" + std::string(name) + "» передано несколько раз.");
            return nullptr;
        }
        found = &part;
    }
    return found;
}

// A check box of the form: "1" on, "0" or absent off.
bool ReadFlag(const Upload& upload, std::string_view name, std::vector<std::string>& problems)
{
    const UploadPart* part = SinglePart(upload, name, problems);
    if (!part || part->Content == "0") return false;
    if (part->Content == "1") return true;
    problems.push_back("Поле «" + std::string(name) + "» должно иметь значение 1 или 0, а передано " +
                       Quoted(part->Content) + ".");
    return false;
}

int ReadPrecision(const Upload& upload, std::vector<std::string>& problems)
{
    const std::size_t before = problems.size();
    const UploadPart* part = SinglePart(upload, "prec", problems);
    if (!part) {
        if (problems.size() == before)
            problems.push_back("Не передано поле «prec» (число знаков после запятой при округлении).");
        return 0;
    }
    const std::string_view v = part->Content;
    if (v.size() == 1 && v[0] >= '1' && v[0] <= '9') return v[0] - '0';
    problems.push_back("Поле «prec» должно содержать целое число от 1 до 9, а передано " + Quoted(v) + ".");
    return 0;
}

// The name the browser sent, without folders.
std::string ProjectName(std::string_view fileName)
{
    const std::size_t slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
    return fileName.empty() ? "userfile" : PrintableText(fileName, kShownNameChars);
}

}  // namespace

std::string PrintableText(std::string_view bytes, std::size_t maxChars)
{
    std::string out;
    std::size_t chars = 0;
    while (!bytes.empty()) {
        if (chars == maxChars) {
            out += "…";
            break;
        }
        const std::size_t length = Utf8SequenceLength(bytes);
        const unsigned char first = static_cast<unsigned char>(bytes[0]);
        if (length == 0 || first < 0x20 || first == 0x7F) out += '?';
        else out.append(bytes.substr(0, length));
        bytes.remove_prefix(length == 0 ? 1 : length);
        ++chars;
    }
    return out;
}

std::optional<CalculationRequest> ReadRequestFields(const Upload& upload, std::vector<std::string>& problems)
{
    CalculationRequest request;
    const std::size_t before = problems.size();
    if (const UploadPart* file = SinglePart(upload, "userfile", problems)) {
        request.Project = file->Content;
        request.ProjectName = ProjectName(file->FileName);
        if (file->Content.empty()) problems.push_back("Файл проекта не выбран или пуст.");
    } else if (problems.size() == before) {
        problems.push_back("Не передан файл проекта (поле «userfile»).");
    }
    request.RazVr = ReadFlag(upload, "raz_vr", problems);
    request.VrSk = ReadFlag(upload, "vr_sk", problems);
    request.FullReport = ReadFlag(upload, "full_report", problems);
    request.Precision = ReadPrecision(upload, problems);
    if (problems.size() != before) return std::nullopt;
    return request;
}

}  // namespace stelmar
