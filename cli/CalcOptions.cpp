#include "cli/CalcOptions.h"

#include <string_view>

#include "tables/TableFiles.h"

namespace stelmar {

const char* const kCalcUsage =
    "Использование: stelmar-calc ПРОЕКТ.stm [параметры]\n"
    "Рассчитывает время эвакуации людей по схеме проекта Stelmar.\n"
    "\n"
    "  --precision N            знаков после запятой при округлении, 1..9 (по умолчанию 3)\n"
    "  --raz-vr on|off          учитывать различное время подхода к точке слияния потоков\n"
    "                           (по умолчанию как в проекте)\n"
    "  --vr-sk on|off           рассчитывать время скопления (по умолчанию как в проекте)\n"
    "  --report full|summary    полный отчет или сводные таблицы (по умолчанию full)\n"
    "  --out ОТЧЕТ.rtf          записать отчет в файл RTF (- : в стандартный вывод)\n"
    "  --pdf ОТЧЕТ.pdf          записать отчет в файл PDF (- : в стандартный вывод)\n"
    "  --json РЕЗУЛЬТАТ.json    записать результаты расчета в файл JSON (- : в стандартный вывод)\n"
    "  --scenario ИМЯ|all       рассчитать сценарий пожара с этим именем или все сценарии\n"
    "                           (по умолчанию активный сценарий проекта)\n"
    "  --table ТАБЛИЦЫ.xlsx     записать таблицы результатов (участки, выходы, потоки) в книгу XLSX;\n"
    "                           ТАБЛИЦЫ.csv - в три файла CSV рядом: ТАБЛИЦЫ-areas.csv,\n"
    "                           ТАБЛИЦЫ-exits.csv, ТАБЛИЦЫ-flows.csv\n"
    "  --decimal-separator ,|.  десятичный разделитель чисел (по умолчанию по настройке языка)\n"
    "  --help                   показать эту справку\n"
    "\n"
    "Код завершения: 0 - расчет выполнен (невыполненное условие безопасной эвакуации -\n"
    "результат расчета), 1 - ошибка чтения файла проекта,\n"
    "2 - схема не прошла проверку или расчет дал недопустимые значения,\n"
    "64 - ошибка в командной строке (в том числе вывод в файл проекта, два вывода\n"
    "в один файл, пустое имя файла, неизвестный сценарий),\n"
    "74 - ошибка записи отчета, результатов или строки результата.\n";

namespace {

std::optional<bool> OnOff(std::string_view v)
{
    if (v == "on") return true;
    if (v == "off") return false;
    return std::nullopt;
}

}  // namespace

std::optional<CalcOptions> ParseCalcOptions(int argc, char** argv, std::string& error)
{
    CalcOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.Help = true;
            return o;
        }
        if (arg.size() < 2 || arg.substr(0, 2) != "--") {
            if (!o.Project.empty()) {
                error = "Лишний аргумент: " + std::string(arg);
                return std::nullopt;
            }
            o.Project = arg;
            continue;
        }
        if (i + 1 >= argc) {
            error = "Не указано значение параметра " + std::string(arg);
            return std::nullopt;
        }
        const std::string_view value = argv[++i];
        const std::string bad = "Недопустимое значение параметра " + std::string(arg) + ": " + std::string(value);
        if (arg == "--precision") {
            if (value.size() != 1 || value[0] < '1' || value[0] > '9') {
                error = bad + " (ожидалось целое число от 1 до 9)";
                return std::nullopt;
            }
            o.Precision = value[0] - '0';
        } else if (arg == "--raz-vr" || arg == "--vr-sk") {
            const auto flag = OnOff(value);
            if (!flag) {
                error = bad + " (ожидалось on или off)";
                return std::nullopt;
            }
            (arg == "--raz-vr" ? o.RazVr : o.VrSk) = *flag;
        } else if (arg == "--report") {
            if (value != "full" && value != "summary") {
                error = bad + " (ожидалось full или summary)";
                return std::nullopt;
            }
            o.FullReport = value == "full";
        } else if (arg == "--out" || arg == "--pdf" || arg == "--json") {
            if (value.empty()) {
                error = "Параметр " + std::string(arg) + ": пустое имя файла (для стандартного вывода укажите -)";
                return std::nullopt;
            }
            (arg == "--out" ? o.ReportPath : arg == "--pdf" ? o.PdfPath : o.JsonPath) = value;
        } else if (arg == "--scenario") {
            if (value.empty()) {
                error = "Не указано имя сценария в параметре --scenario";
                return std::nullopt;
            }
            o.Scenario = value;
        } else if (arg == "--table") {
            if (!TableFormatOf(std::string(value))) {
                error = bad + " (ожидался файл .xlsx или .csv)";
                return std::nullopt;
            }
            o.TablePath = value;
        } else if (arg == "--decimal-separator") {
            if (value != "," && value != ".") {
                error = bad + " (ожидалось , или .)";
                return std::nullopt;
            }
            o.Separator = value[0];
        } else {
            error = "Неизвестный параметр: " + std::string(arg);
            return std::nullopt;
        }
    }
    if (o.Project.empty()) {
        error = "Не указан файл проекта";
        return std::nullopt;
    }
    return o;
}

}  // namespace stelmar
