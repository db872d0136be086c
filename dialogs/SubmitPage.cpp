#include "dialogs/SubmitPage.h"

#include "model/TextCodec.h"

namespace stelmar {
namespace {

std::string HiddenField(const char* name, const std::string& value)
{
    return std::string("<input name=\"") + name + "\" type=\"hidden\" value=" + value + ">";
}

std::string Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

std::string BuildSubmitPage(const TPipeLine& s, const std::string& baseAddress)
{
    std::string base = baseAddress;
    while (!base.empty() && base.back() == '/') base.pop_back();

    std::string page =
        "<head><title>Расчет времени эвакуации</title>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=cp1251\" /></head>"
        "<body><TABLE width=80% align = center><TR><TD align = center>"
        "<form enctype=\"multipart/form-data\" action=\"";
    page += base + kServiceScript;
    page += "\" method=\"post\">Файл: <input type=file name=\"userfile\">";
    page += HiddenField("raz_vr", Flag(s.RazVr));
    page += HiddenField("vr_sk", Flag(s.VrSk));
    page += HiddenField("full_report", Flag(s.FullReport));
    page += HiddenField("prec", std::to_string(static_cast<int>(s.Precision)));
    page += "</TD></TR><TR><TD align = center> <BR><input type=\"submit\" value=\"Отправить\"></TD></TR></form></body>";
    // Every character of the page exists in Windows-1251.
    return Utf8ToCp1251(page).value_or(std::string());
}

}  // namespace stelmar
