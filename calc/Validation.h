#pragma once

// Checks a scheme must pass before it is calculated: values of areas and
// inputs, then the structure of the graph, then whether every mobility group
// has movement data for the paths its flows take.

#include <string>
#include <vector>

#include "model/ElementRef.h"
#include "model/Scheme.h"

namespace stelmar {

inline constexpr const char* kValidationPassed = "В процессе проверки введенных данных ошибок не обнаружено.";
inline constexpr const char* kPartWithoutExit = "Ошибка: на схеме найден поток, который не имеет ни одного выхода;";
inline constexpr const char* kServiceHint =
    "Теперь вы можете отправить файл с данными (*.STM) для того чтобы получить отчет.";

struct DataCheckResult {
    bool Found = false;   // at least one message
    std::string Text;     // messages, each ending with CR LF
};

// Values of areas (length, first-area kind, width) and of inputs (f, N).
DataCheckResult CheckData(const TPipeLine& s);

// One message of the checks and the element it is about (none for
// "Ошибка: не найдено ни одного участка;"; the first node of the part for a
// part without an exit). A message about a group without movement data for
// an area names the area and, as `Input`, the input of that group.
struct Finding {
    std::string Message;
    ElementRef Element;
    ElementRef Input = {};
};

// All checks in order, with the element of every message. Each message is
// one line without its CR LF; the scheme may be calculated only when the
// list is empty.
std::vector<Finding> CheckScheme(const TPipeLine& s);

// The messages of CheckScheme alone.
std::vector<std::string> ValidateScheme(const TPipeLine& s);

// Messages joined as the message box shows them, each ending with CR LF.
std::string MessagesText(const std::vector<std::string>& messages);

}  // namespace stelmar
