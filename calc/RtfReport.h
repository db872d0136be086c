#pragma once

// The report's blocks as RTF text in Windows-1251: every block becomes the
// fragments of the RTF writer (paragraph groups, EQ fields, table rows), so
// that a report is the same document byte for byte whichever way its
// blocks were composed.

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "calc/ReportCommon.h"
#include "calc/ReportDocument.h"

namespace stelmar {

// Sets each block it receives as RTF at the end of a string.
class RtfBlockSetter : public ReportSink {
public:
    explicit RtfBlockSetter(std::string& out) : out_(out) {}
    void Add(const ReportBlock& block) override;

private:
    std::string& out_;
    std::string formula_;  // the EQ instruction of the equation being set
    std::vector<std::pair<std::size_t, std::size_t>> pieces_;  // its tokens' markup in formula_
};

class BlockRecorder;
class RtfStepTemplates;

// Writes a whole document: the document start when made, each block as it
// arrives, the document end on Finish.
class RtfReportWriter : public ReportSink {
public:
    explicit RtfReportWriter(std::ostream& out);
    ~RtfReportWriter() override;
    void Add(const ReportBlock& block) override;
    // A recorded step: its blocks, set once for all steps of its shape.
    void Add(const BlockRecorder& step);
    void Finish();

private:
    // Hands the text so far to the stream once it is large: a report may
    // run to gigabytes, and small writes cost more than the text.
    void WriteLarge();
    void Write();

    std::ostream& out_;
    std::string text_;
    RtfBlockSetter setter_{text_};
    std::unique_ptr<RtfStepTemplates> templates_;
};

}  // namespace stelmar
