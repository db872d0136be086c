#include "model/ProjectFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <sys/stat.h>

#include "model/FileErrors.h"
#include "model/NumberText.h"
#include "model/PictureFile.h"
#include "model/ProjectExtension.h"
#include "model/ProjectFileTexts.h"
#include "model/SafeFile.h"
#include "model/TextCodec.h"

namespace stelmar {
namespace {

constexpr const char* kSaveFailed = "Ошибка сохранения проекта!\r\n";
constexpr const char* kNoPermission = "Возможно у вас отсутствуют права записи на жесткий диск";

// What stopped the save, for the user: the cause and the file or folder.
std::string SaveFailure(const FileSetFailure& f)
{
    const std::string file = "\"" + f.Path + "\"";
    switch (f.Error) {
    case EACCES:
    case EPERM: return kSaveFailed + std::string(kNoPermission) + "\r\n(нет прав на запись " + file + ").";
    case ENOSPC:
    case EDQUOT: return kSaveFailed + std::string("Недостаточно места на диске: файл ") + file + " не записан.";
    case EISDIR: return kSaveFailed + file + " — это папка, а не файл. Выберите другое имя файла.";
    case kNotRegularFile:
        return kSaveFailed + file + " — это не обычный файл (устройство, канал или сокет). Выберите другое имя файла.";
    case ENOENT:
    case ENOTDIR: {
        const std::size_t slash = f.Path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : f.Path.substr(0, std::max<std::size_t>(slash, 1));
        return kSaveFailed + std::string("Папка \"") + folder + "\" не найдена.";
    }
    default: return kSaveFailed + std::string("Файл ") + file + ": " + FileErrorText(f.Error) + ".";
    }
}

// A project and its pictures are regular files: a folder, a pipe or a
// device of that name is refused before anything is written.
std::optional<FileSetFailure> NotAFile(const std::vector<std::pair<std::string, std::string>>& files)
{
    for (const auto& [path, contents] : files) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) continue;
        return FileSetFailure{path, S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFile};
    }
    return std::nullopt;
}


class LineWriter {
public:
    explicit LineWriter(std::size_t expected) { out_.reserve(expected); }

    void Line(std::string_view text)
    {
        out_ += text;
        out_ += "\r\n";
    }
    void Integer(std::int64_t value)
    {
        char buf[24];
        const char* end = std::to_chars(buf, buf + sizeof buf, value).ptr;
        Line(std::string_view(buf, static_cast<std::size_t>(end - buf)));
    }
    void Flag(bool value) { Line(value ? "1" : "0"); }

    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

std::string NameError(int i, const std::string& name, bool lineBreak)
{
    return "Обозначение узла №" + std::to_string(i) + " «" + name + "» содержит " +
           (lineBreak ? "перевод строки, который нельзя сохранить в файле проекта."
                      : "символы, которые нельзя сохранить в файле проекта (кодировка Windows-1251).");
}
}  // namespace

std::optional<std::string> ProjectText(const TPipeLine& s, char separator, std::string* error)
{
    const FileTexts& texts = Texts();
    const int nodeCount = NodeCount(s);
    const int areaCount = AreaCount(s);
    LineWriter w(128 + static_cast<std::size_t>(nodeCount) * 64 + static_cast<std::size_t>(areaCount) * 40);
    w.Line(kVersionLine);
    w.Line(texts.NodeCount);
    w.Integer(nodeCount);
    w.Line(texts.AreaCount);
    w.Integer(areaCount);
    w.Line(texts.EtagCount);
    w.Integer(s.EtagCount);
    w.Line(texts.ActiveEtag);
    w.Integer(s.ActiveEtag);
    w.Flag(s.RazVr);
    w.Line(texts.NodeData);
    for (int i = 1; i <= nodeCount; ++i) {
        const TNode& node = s.Nodes[i];
        w.Integer(node.Kind);
        w.Line(FormatReal(node.Etag, separator));
        w.Integer(node.People);
        w.Integer(node.FlowCount);
        w.Line(FormatReal(node.F, separator));
        w.Integer(node.X);
        w.Integer(node.Y);
        if (node.Name == kDefaultNodeName) {
            w.Line(texts.DefaultName);
        } else {
            // A line break would split the name over two lines of the file.
            const bool oneLine = node.Name.find_first_of("\r\n") == std::string::npos;
            const std::optional<std::string> name = oneLine ? Utf8ToCp1251(node.Name) : std::nullopt;
            if (!name) {
                if (error) *error = NameError(i, node.Name, !oneLine);
                return std::nullopt;
            }
            w.Line(*name);
        }
        w.Integer(node.Mobility);
    }
    w.Line(texts.AreaData);
    for (int i = 1; i <= areaCount; ++i) {
        const TArea& area = s.Areas[i];
        w.Integer(area.Node1);
        w.Integer(area.Node2);
        w.Integer(area.Etag);
        w.Line(FormatReal(area.Length, separator));
        w.Line(FormatReal(area.Width, separator));
        w.Integer(area.Kind);
    }
    w.Flag(s.VrSk);
    std::string text = w.Take();
    text += ExtensionBlockText(ExtensionEntries(s));
    return text;
}

std::optional<std::string> SaveProjectFile(const TPipeLine& s, const std::string& path, char separator)
{
    std::string error;
    std::optional<std::string> text = ProjectText(s, separator, &error);
    if (!text) return error;

    // Pictures first: the project file, renamed last, is replaced only when
    // all of them are in place. They belong beside the project file, not
    // beside a link to it.
    const std::string project = FileBehindLinks(path);
    std::vector<std::pair<std::string, std::string>> files = FloorFiles(s, project);
    files.emplace_back(project, std::move(*text));
    RemoveStaleProjectTemporaries(project);
    if (const std::optional<FileSetFailure> failure = NotAFile(files)) return SaveFailure(*failure);
    FileSetFailure failure;
    if (WriteFilesAtomically(files, &failure)) return SaveFailure(failure);
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> FloorFiles(const TPipeLine& s, const std::string& projectPath)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (int n = 1; n <= s.EtagCount; ++n) {
        if (s.Backgrounds[n]) files.emplace_back(PictureFileName(projectPath, n), EncodeBmp(*s.Backgrounds[n]));
        if (const PlanSourceRef& plan = s.Plans[n].Source; plan && !plan->Bytes.empty())
            files.emplace_back(PlanFileName(projectPath, n, plan->Kind), plan->Bytes);
    }
    return files;
}

void RemoveStaleProjectTemporaries(const std::string& projectPath)
{
    const std::string project = FileBehindLinks(projectPath);
    std::vector<std::string> files{project};
    for (int n = 1; n <= kMaxFloors; ++n) {
        files.push_back(PictureFileName(project, n));
        for (const char* kind : {"pdf", "dxf"}) files.push_back(PlanFileName(project, n, kind));
    }
    RemoveStaleTemporaries(files);
}

namespace {

// The project path without its last three characters (not bytes: a UTF-8
// character may take several).
std::string ProjectStem(const std::string& projectPath)
{
    std::size_t end = projectPath.size();
    for (int removed = 0; removed < 3 && end > 0; ++removed) {
        do {
            --end;
        } while (end > 0 && (static_cast<unsigned char>(projectPath[end]) & 0xC0) == 0x80);
    }
    return projectPath.substr(0, end);
}

}  // namespace

std::string PictureFileName(const std::string& projectPath, int floor)
{
    return ProjectStem(projectPath) + "im" + std::to_string(floor);
}

std::string PlanFileName(const std::string& projectPath, int floor, const std::string& kind)
{
    return ProjectStem(projectPath) + "pl" + std::to_string(floor) + "." + kind;
}

}  // namespace stelmar
