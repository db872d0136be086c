#pragma once

// The report's blocks as RTF text in Windows-1251: every block becomes the
// fragments of the RTF writer (paragraph groups, EQ fields, table rows), so
// that a report is the same document byte for byte whichever way its
// blocks were composed.

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "calc/ReportCommon.h"
#include "calc/ReportDocument.h"

namespace stelmar {

// Writes a whole document: the document start when made, each block as it
// arrives, the document end on Finish.
class RtfReportWriter : public ReportSink {
public:
    explicit RtfReportWriter(std::ostream& out);
    void Add(const ReportBlock& block) override;
    void Finish();

private:
    // Hands the text so far to the stream, in large pieces: a report may
    // run to gigabytes, and small writes cost more than the text.
    void Write();

    std::ostream& out_;
    std::string text_;
    std::string formula_;  // the EQ instruction of the equation being written
    std::vector<std::pair<std::size_t, std::size_t>> pieces_;  // its tokens' markup in formula_
};

}  // namespace stelmar
