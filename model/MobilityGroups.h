#pragma once

// The ten mobility groups an input node may belong to, by the index the node
// stores (0..9, 0 meaning no restriction), with every text that names them.

#include <array>
#include <cstdint>

namespace stelmar {

struct MobilityGroup {
    const char* ReportName;     // as the report prints it
    const char* DialogCaption;  // as the node dialog lists it
    const char* HintText;       // as the node's hover text shows it
};

inline constexpr int kGroupCount = 10;

// "M2".."M4" of the report and the dialog are written with a Latin M, those
// of the hover text with a Cyrillic one.
inline constexpr std::array<MobilityGroup, kGroupCount> kMobilityGroups = {{
    {"Без ограничений мобильности", "Без ограничений мобильности", "Без огранич."},
    {"Группа маломобильности M2", "M2", "М2"},
    {"Группа маломобильности M3", "M3", "М3"},
    {"Группа маломобильности M4", "M4", "М4"},
    {"Дети дошкольного возраста (здания детских дошкольных образовательных учреждений)",
     "Дети дошкольного возраста (здания детских дошкольных образовательных учреждений)", "Без огранич."},
    {"Дети с ограниченными возможностями (специализированные дома инвалидов)",
     "Дети с ограниченными возможностями (специализированные дома инвалидов)", "Без огранич."},
    {"Люди трудоспособного возраста стационары больниц)", "Люди трудоспособного возраста стационары больниц)",
     "Без огранич."},
    {"Престарелые люди специализированные дома престарелых)", "Престарелые люди специализированные дома престарелых)",
     "Без огранич."},
    {"Слепые и слабовидящие люди(специализированные дома инвалидов)",
     "Слепые и слабовидящие люди(специализированные дома инвалидов)", "Без огранич."},
    {"Глухие и слабослышащие люди (специализированные дома инвалидов)",
     "Глухие и слабослышащие люди (специализированные дома инвалидов)", "Без огранич."},
}};

}  // namespace stelmar
