#include "cli/OutputFiles.h"

#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "model/ProjectFile.h"
#include "model/SafeFile.h"
#include "tables/TableFiles.h"

namespace stelmar {

namespace {

bool SameInode(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether both paths name one file: the same device and inode when both
// exist, the same path after resolving links when neither does (a link
// whose target does not exist yet names that target). Devices and pipes
// never count: writing one twice destroys nothing.
bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa {};
    struct stat sb {};
    const bool aExists = ::stat(a.c_str(), &sa) == 0;
    const bool bExists = ::stat(b.c_str(), &sb) == 0;
    if (aExists && bExists) return S_ISREG(sa.st_mode) && SameInode(sa, sb);
    if (aExists || bExists) return false;
    const std::string behindA = FileBehindLinks(a);
    const std::string behindB = FileBehindLinks(b);
    std::error_code error;
    const auto resolvedA = std::filesystem::weakly_canonical(behindA, error);
    if (error) return behindA == behindB;
    const auto resolvedB = std::filesystem::weakly_canonical(behindB, error);
    return !error && resolvedA == resolvedB;
}

}  // namespace

bool IsStandardOutput(const std::string& path)
{
    if (path == "-") return true;
    struct stat file {};
    struct stat out {};
    return ::stat(path.c_str(), &file) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 && SameInode(file, out);
}

std::optional<std::string> CheckOutputs(const CalcOptions& o)
{
    std::vector<std::pair<std::string, std::string>> outputs;  // option, path
    if (!o.ReportPath.empty()) outputs.emplace_back("--out", o.ReportPath);
    if (!o.PdfPath.empty()) outputs.emplace_back("--pdf", o.PdfPath);
    if (!o.JsonPath.empty()) outputs.emplace_back("--json", o.JsonPath);
    if (!o.TablePath.empty())
        for (const std::string& path : TableFileNames(o.TablePath)) outputs.emplace_back("--table", path);
    for (std::size_t i = 0; i < outputs.size(); ++i)
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const auto& [first, firstPath] = outputs[i];
            const auto& [second, secondPath] = outputs[j];
            if (IsStandardOutput(firstPath) && IsStandardOutput(secondPath))
                return "Параметры " + first + " и " + second + " не могут оба направлять вывод в стандартный вывод.";
            if (SameFile(firstPath, secondPath))
                return "Параметры " + first + " и " + second + " указывают один и тот же файл \"" + secondPath +
                       "\": один документ заменил бы другой.";
        }
    const std::string project = FileBehindLinks(o.Project);
    for (const auto& [option, path] : outputs) {
        if (path == "-") continue;
        const std::string intro = "Файл \"" + path + "\" (параметр " + option + ") — это ";
        if (SameFile(path, o.Project)) return intro + "файл проекта: запись в него уничтожила бы проект.";
        for (int n = 1; n <= kMaxFloors; ++n)
            if (SameFile(path, PictureFileName(project, n)))
                return intro + "файл изображения этажа №" + std::to_string(n) +
                       " проекта: запись в него уничтожила бы изображение.";
    }
    return std::nullopt;
}

bool WriteOutput(const std::string& path, const std::string& what, const std::function<bool(std::ostream&)>& write)
{
    const bool toStandardOutput = IsStandardOutput(path);
    std::optional<AtomicFileWriter> file;
    if (toStandardOutput) {
        std::cout.flush();
        file.emplace(kStandardOutput);
    } else {
        file.emplace(path);
    }
    // A file that could not be opened is reported by Commit without the
    // document being made first.
    if (file->Stream() && !write(file->Stream())) return false;
    if (const std::optional<std::string> error = file->Commit()) {
        if (toStandardOutput)
            std::cerr << "Не удалось вывести " << what << " в стандартный вывод: " << *error << '\n';
        else
            std::cerr << "Не удалось записать " << what << " в файл \"" << path << "\": " << *error << '\n';
        return false;
    }
    return true;
}

}  // namespace stelmar
