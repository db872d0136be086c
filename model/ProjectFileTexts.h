#pragma once

// The fixed lines of a project file, shared by its reader and writer.

#include <string>
#include <string_view>

#include "model/Scheme.h"
#include "model/TextCodec.h"

namespace stelmar {

inline constexpr std::string_view kVersionLine = "v4";

// The fixed texts of the file in its own code page.
struct FileTexts {
    std::string NodeCount = Encoded("Количество узлов:");
    std::string AreaCount = Encoded("Количество участков:");
    std::string EtagCount = Encoded("Количество этажей:");
    std::string ActiveEtag = Encoded("Активный этаж:");
    std::string NodeData = Encoded("Данные по узлам:");
    std::string AreaData = Encoded("Данные по участкам:");
    std::string DefaultName = Encoded(kDefaultNodeName);

    static std::string Encoded(const char* text) { return Utf8ToCp1251(text).value_or(std::string()); }
};

inline const FileTexts& Texts()
{
    static const FileTexts texts;
    return texts;
}

}  // namespace stelmar
