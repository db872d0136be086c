#pragma once

// What the PDF tests read back: the visible text of an RTF report, the text
// of a PDF (by pdftotext, page by page), both reduced to the characters that
// carry meaning, and pages rendered to images (by pdftoppm).

#include <QImage>
#include <string>
#include <vector>

#include "model/Scheme.h"

namespace stelmar::test {

// The text a word processor shows for an RTF document in Windows-1251:
// hidden destinations and field instructions left out, field results
// kept, "\par" and "\row" as line ends and "\cell" as a tab; UTF-8.
std::string RtfVisibleText(const std::string& rtf);

// The text without blanks of any kind and without "(", ")" and "/": what
// stays the same however a formula is set (a fraction as "(a)/(b)" on one
// line or as a over b) and however lines are broken.
std::u32string Essential(const std::string& utf8);

// Where `a` and `b` first differ, with some text around it on each side;
// empty when they are equal.
std::string FirstDifference(const std::u32string& a, const std::u32string& b);

// The text of each page of the PDF at `path`, in the order it is painted.
std::vector<std::string> PdfPageTexts(const std::string& path);

// Page `page` (from 1) of the PDF rendered at `dpi`.
QImage RenderPdfPage(const std::string& path, int page, int dpi);

// The report of the scheme as RTF and as a PDF at `pdfPath`, from one
// calculation.
std::string CalculateAndWriteReports(TPipeLine& s, const std::string& pdfPath, const std::string& calculatedAt = "01.02.2025 10:30");

// Runs a shell command; its standard output, and its exit status in
// `status`.
std::string RunCommand(const std::string& command, int* status = nullptr);

// A fresh folder under the system's temporary folder.
std::string TempFolder(const std::string& name);

}  // namespace stelmar::test
