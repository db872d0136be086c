#include "service/ServiceCommandLine.h"

#include <charconv>
#include <cstdint>
#include <string_view>

namespace stelmar {

const char* const kServiceUsage =
    "Использование: stelmar-service [параметры]\n"
    "Веб-сервис расчета времени эвакуации: принимает файл проекта Stelmar (*.STM)\n"
    "формой по адресу /obe/StelmarCalc_3000.php и выдает результат и отчет RTF.\n"
    "\n"
    "  --listen АДРЕС:ПОРТ   адрес и порт для приема запросов (по умолчанию 127.0.0.1:8830;\n"
    "                        адрес IPv6 пишется в квадратных скобках: [::1]:8830)\n"
    "  --max-upload БАЙТ     наибольший размер запроса (по умолчанию 33554432, 32 МБ)\n"
    "  --threads N           число потоков расчета, 1..256 (по умолчанию 4); отчеты PDF\n"
    "                        формируются в своих потоках, их вчетверо меньше (не менее 1)\n"
    "  --max-header-bytes БАЙТ\n"
    "                        наибольший размер строки запроса и заголовков вместе\n"
    "                        (по умолчанию 65536, 64 КБ; строка запроса и каждый\n"
    "                        заголовок - не более 8 КБ); больше - ответ 431\n"
    "  --request-timeout СЕК наибольшее время передачи запроса целиком, 1..3600\n"
    "                        (по умолчанию 10); дольше - ответ 408 и разрыв соединения\n"
    "  --max-connections N   наибольшее число открытых соединений, 1..100000\n"
    "                        (по умолчанию 512); сверх него - сразу ответ 503\n"
    "  --max-areas N         наибольшее число участков схемы (по умолчанию 2000000)\n"
    "  --max-report БАЙТ     наибольший размер отчета (по умолчанию 134217728, 128 МБ)\n"
    "  --max-work N          наибольшая оценка трудоемкости расчета одной схемы\n"
    "                        (по умолчанию 50000000, около 1 ГБ памяти)\n"
    "  --report-store-bytes БАЙТ\n"
    "                        память для отчетов, ожидающих загрузки (по умолчанию\n"
    "                        536870912, 512 МБ; не меньше --max-report и --max-upload\n"
    "                        вместе). Отчет хранится 10 минут; когда память занята,\n"
    "                        первыми удаляются старейшие отчеты того адреса клиента,\n"
    "                        чьи отчеты занимают больше всего памяти\n"
    "  --help                показать эту справку\n"
    "\n"
    "Сервис останавливается сигналом SIGINT (Ctrl+C) или SIGTERM.\n";

namespace {

template <typename T>
std::optional<T> Number(std::string_view text, T low, T high)
{
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

// "host:port" or "[ipv6]:port".
bool ParseListen(std::string_view text, std::string& host, int& port)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    std::string_view h = text.substr(0, colon);
    if (h.front() == '[') {
        if (h.size() < 3 || h.back() != ']') return false;
        h = h.substr(1, h.size() - 2);
    } else if (h.find(':') != std::string_view::npos) {
        return false;
    }
    const std::optional<int> p = Number<int>(text.substr(colon + 1), 0, 65535);
    if (!p) return false;
    host = h;
    port = *p;
    return true;
}

}  // namespace

std::optional<ServiceCommandLine> ParseServiceCommandLine(int argc, char** argv, std::string& error)
{
    ServiceCommandLine c;
    bool storeGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            c.Help = true;
            return c;
        }
        const bool known = arg == "--listen" || arg == "--max-upload" || arg == "--threads" ||
                           arg == "--max-areas" || arg == "--max-report" || arg == "--max-work" ||
                           arg == "--max-header-bytes" || arg == "--request-timeout" ||
                           arg == "--max-connections" || arg == "--report-store-bytes";
        if (!known) {
            error = "Неизвестный параметр: " + std::string(arg);
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            error = "Не указано значение параметра " + std::string(arg);
            return std::nullopt;
        }
        const std::string_view value = argv[++i];
        const std::string bad = "Недопустимое значение параметра " + std::string(arg) + ": " + std::string(value);
        if (arg == "--listen") {
            if (!ParseListen(value, c.Host, c.Port)) {
                error = bad + " (ожидалось АДРЕС:ПОРТ, порт от 0 до 65535)";
                return std::nullopt;
            }
        } else if (arg == "--report-store-bytes") {
            const auto bytes = Number<std::uint64_t>(value, 1 << 20, std::uint64_t{1} << 42);
            if (!bytes) {
                error = bad + " (ожидалось число байт от 1048576 до 2^42)";
                return std::nullopt;
            }
            c.Settings.Store.MaxBytes = static_cast<std::size_t>(*bytes);
            storeGiven = true;
        } else if (arg == "--max-upload" || arg == "--max-report") {
            const auto bytes = Number<std::uint64_t>(value, 1024, std::uint64_t{1} << 40);
            if (!bytes) {
                error = bad + " (ожидалось число байт от 1024 до 2^40)";
                return std::nullopt;
            }
            (arg == "--max-upload" ? c.Settings.MaxUpload : c.Settings.Limits.MaxReportBytes) =
                static_cast<std::size_t>(*bytes);
        } else if (arg == "--threads") {
            const auto threads = Number<int>(value, 1, 256);
            if (!threads) {
                error = bad + " (ожидалось целое число от 1 до 256)";
                return std::nullopt;
            }
            c.Settings.Threads = *threads;
        } else if (arg == "--max-header-bytes") {
            const auto bytes = Number<std::size_t>(value, 1024, std::size_t{1} << 20);
            if (!bytes) {
                error = bad + " (ожидалось число байт от 1024 до 1048576)";
                return std::nullopt;
            }
            c.Settings.MaxHeaderBytes = *bytes;
        } else if (arg == "--request-timeout") {
            const auto seconds = Number<int>(value, 1, 3600);
            if (!seconds) {
                error = bad + " (ожидалось число секунд от 1 до 3600)";
                return std::nullopt;
            }
            c.Settings.RequestTimeout = std::chrono::seconds(*seconds);
        } else if (arg == "--max-connections") {
            const auto connections = Number<int>(value, 1, 100'000);
            if (!connections) {
                error = bad + " (ожидалось целое число от 1 до 100000)";
                return std::nullopt;
            }
            c.Settings.MaxConnections = *connections;
        } else if (arg == "--max-areas") {
            const auto areas = Number<std::int64_t>(value, 1, INT32_MAX);
            if (!areas) {
                error = bad + " (ожидалось целое число от 1 до 2147483647)";
                return std::nullopt;
            }
            c.Settings.Limits.MaxAreas = *areas;
        } else {
            const auto work = Number<std::int64_t>(value, 1, std::int64_t{1} << 50);
            if (!work) {
                error = bad + " (ожидалось целое число от 1 до 2^50)";
                return std::nullopt;
            }
            c.Settings.Limits.MaxWork = *work;
        }
    }
    // The largest report must fit in the store with its project, from
    // which its PDF report is made.
    const std::size_t largest = c.Settings.Limits.MaxReportBytes + c.Settings.MaxUpload;
    if (c.Settings.Store.MaxBytes < largest) {
        if (storeGiven) {
            error = "Недопустимое значение параметра --report-store-bytes: " +
                    std::to_string(c.Settings.Store.MaxBytes) + " (должно быть не меньше " + std::to_string(largest) +
                    " - суммы значений --max-report и --max-upload)";
            return std::nullopt;
        }
        c.Settings.Store.MaxBytes = largest;
    }
    return c;
}

}  // namespace stelmar
