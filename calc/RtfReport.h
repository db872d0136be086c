#pragma once

// The report's blocks as RTF text in Windows-1251: every block becomes the
// fragments of the RTF writer (paragraph groups, EQ fields, table rows), so
// that a report is the same document byte for byte whichever way its
// blocks were composed.

#include <string>

#include "calc/ReportCommon.h"
#include "calc/ReportDocument.h"

namespace stelmar {

// Appends the RTF of `block` (UTF-8, escapes included) to `out`.
void AppendRtfBlock(std::string& out, const ReportBlock& block);

// Writes a whole document: the document start when made, each block as it
// arrives, the document end on Finish.
class RtfReportWriter : public ReportSink {
public:
    explicit RtfReportWriter(std::ostream& out);
    void Add(const ReportBlock& block) override;
    void Finish();

private:
    DocumentOutput document_;
    std::string text_;
};

}  // namespace stelmar
