#include "service/ServicePages.h"

namespace stelmar {

void AppendEscapedHtml(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
}

std::string EscapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendEscapedHtml(out, text);
    return out;
}

std::string HtmlPage(std::string_view title, std::string_view body)
{
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    AppendEscapedHtml(page, title);
    page +=
        "</title>\n<style>\n"
        "body { font-family: sans-serif; margin: 1.5em auto; max-width: 60em; padding: 0 1em; }\n"
        "table { border-collapse: collapse; }\n"
        "th, td { border: 1px solid #888; padding: 0.2em 0.6em; }\n"
        "td { text-align: right; }\n"
        ".error { color: #b00000; }\n"
        ".result { font-weight: bold; font-size: 1.15em; }\n"
        "</style>\n</head>\n<body>\n<h1>";
    AppendEscapedHtml(page, title);
    page += "</h1>\n";
    page += body;
    page += "\n</body>\n</html>\n";
    return page;
}

std::string ReportNotFoundPage()
{
    return HtmlPage("Отчет не найден",
                    "<p class=\"error\">Отчета по этой ссылке нет: срок его хранения истек "
                    "или адрес неверен. Отправьте файл проекта на расчет еще раз.</p>\n"
                    "<p><a href=\"/\">На главную</a></p>");
}

std::string PdfBusyPage()
{
    return HtmlPage("Отчет PDF еще не готов",
                    "<p class=\"error\">С вашего адреса уже формируется другой отчет PDF. Повторите загрузку, "
                    "когда он будет готов.</p>\n<p><a href=\"/\">На главную</a></p>");
}

std::string ByteSizeText(std::size_t bytes)
{
    constexpr std::size_t kKilo = 1024;
    constexpr std::size_t kMega = kKilo * kKilo;
    if (bytes >= kMega && bytes % kMega == 0) return std::to_string(bytes / kMega) + " МБ";
    if (bytes >= 10 * kMega) return std::to_string((bytes + kMega / 2) / kMega) + " МБ";
    if (bytes >= kKilo) return std::to_string((bytes + kKilo / 2) / kKilo) + " КБ";
    return std::to_string(bytes) + " байт";
}

std::string AboutPage(std::size_t maxUpload)
{
    std::string body =
        "<p>Сервис рассчитывает время эвакуации людей из здания по схеме эвакуации, "
        "сохраненной программой Stelmar в файле проекта (*.STM), и формирует отчет о расчете в формате RTF.</p>\n"
        "<p>Файл проекта и параметры расчета отправляются формой (multipart/form-data) методом POST "
        "по адресу <code>/obe/StelmarCalc_3000.php</code>: поле <code>userfile</code> — файл проекта, "
        "<code>raz_vr</code>, <code>vr_sk</code>, <code>full_report</code> — 1 или 0, "
        "<code>prec</code> — число знаков после запятой от 1 до 9. "
        "Размер запроса — не более ";
    body += ByteSizeText(maxUpload);
    body +=
        ".</p>\n"
        "<form enctype=\"multipart/form-data\" action=\"/obe/StelmarCalc_3000.php\" method=\"post\">\n"
        "<p>Файл: <input type=\"file\" name=\"userfile\" accept=\".stm,.STM\"></p>\n"
        "<p><label><input type=\"checkbox\" name=\"raz_vr\" value=\"1\"> "
        "Учитывать различное время подхода к точке слияния потоков.</label></p>\n"
        "<p><label><input type=\"checkbox\" name=\"vr_sk\" value=\"1\"> Рассчитывать время скопления</label></p>\n"
        "<p><label><input type=\"checkbox\" name=\"full_report\" value=\"1\" checked> "
        "Формировать полный отчет</label></p>\n"
        "<p><label>Округлять числа при расчете до "
        "<input type=\"number\" name=\"prec\" min=\"1\" max=\"9\" value=\"2\"> "
        "-го знака после запятой.</label></p>\n"
        "<p><input type=\"submit\" value=\"Отправить\"></p>\n"
        "</form>";
    return HtmlPage("Сервис расчета времени эвакуации", body);
}

std::string StatusPage(int status, std::size_t maxUpload)
{
    std::string title;
    std::string text;
    switch (status) {
    case 400:
        title = "Некорректный запрос";
        text = "Сервис не смог разобрать запрос. Отправьте файл проекта формой расчета.";
        break;
    case 404:
        title = "Страница не найдена";
        text = "По этому адресу ничего нет.";
        break;
    case 405:
        title = "Метод не поддерживается";
        text = "По этому адресу файл проекта принимается только методом POST из формы расчета.";
        break;
    case 408:
        title = "Время ожидания запроса истекло";
        text = "Запрос не был получен полностью за отведенное время. Отправьте его еще раз.";
        break;
    case 411:
        title = "Не указана длина запроса";
        text = "Сервис принимает только запросы с заголовком Content-Length, как их отправляет форма расчета.";
        break;
    case 413:
        title = "Файл слишком велик";
        text = "Сервис принимает запросы размером не более " + ByteSizeText(maxUpload) + ".";
        break;
    case 414:
        title = "Слишком длинный адрес";
        text = "Адрес запроса превышает допустимую длину.";
        break;
    case 431:
        title = "Слишком большие заголовки запроса";
        text = "Строка или заголовки запроса превышают допустимый размер.";
        break;
    case 500:
        title = "Внутренняя ошибка сервиса";
        text = "Запрос не удалось обработать. Повторите попытку позже.";
        break;
    case 503:
        title = "Сервис перегружен";
        text = "Сервис обслуживает наибольшее допустимое число соединений. Повторите попытку позже.";
        break;
    default:
        title = "Ошибка " + std::to_string(status);
        text = "Запрос не выполнен.";
    }
    return HtmlPage(title, "<p class=\"error\">" + EscapeHtml(text) + "</p>\n<p><a href=\"/\">На главную</a></p>");
}

}  // namespace stelmar
