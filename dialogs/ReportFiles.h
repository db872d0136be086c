#pragma once

// Documents the program writes for the user and opens in the desktop's
// program: the calculation report in the temporary-files folder, the
// report saved where the user chose, the help. When no program opens one,
// the user is told which file it is and may save a copy elsewhere.

#include <QString>

#include "dialogs/Prompts.h"
#include "model/Scheme.h"

class QWidget;

namespace stelmar {

inline constexpr const char* kSaveRtfCaption = "Сохранить отчет как...";

// The name offered for a report of `scheme` with `extension` ("rtf",
// "pdf"): the project's name in the project's folder, "Отчет" in the
// documents folder for a new project.
QString SuggestedReportName(const TPipeLine& scheme, const QString& extension);

// What a document is, for the messages about it.
struct DocumentKind {
    QString What;     // "отчет", "справку"
    QString Program;  // "для файлов RTF"
};
inline const DocumentKind kRtfReport{"отчет", "для файлов RTF"};
inline const DocumentKind kPdfReport{"отчет", "для файлов PDF"};
inline const DocumentKind kHelp{"справку", "для просмотра документов PDF"};

// Opens `path` with the desktop's program for it. When none opens it,
// says so, names the file and offers to save a copy elsewhere (the name
// chosen as `chooseName` asks, starting from `suggested`). True when it
// was opened.
bool OpenOrOfferCopy(Prompts& prompts, const QString& path, const DocumentKind& kind, const QString& suggested,
                     QString (Prompts::*chooseName)(const QString&));

// "Сохранить отчет как...": calculates the scenarios of `scheme` (which
// must pass the checks; it is not changed), writes their RTF report (full or summary by
// the scheme's option) to the file the user chooses and opens it. Returns
// the file written, or an empty text when the user cancelled or it failed
// (then the user has been told why).
QString SaveReportAsRtf(const TPipeLine& scheme, Prompts& prompts);

}  // namespace stelmar
