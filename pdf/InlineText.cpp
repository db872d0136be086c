#include "pdf/InlineText.h"

#include <algorithm>

namespace stelmar {

namespace {

struct Part {
    QString Text;
    const PdfFont* Font;
    double Rise;
    double Width;
};

// A word: the parts between two blanks, with the blanks after it.
struct Word {
    std::vector<Part> Parts;
    double Width = 0;
    double Space = 0;   // width of the blanks after the word
    QString Blanks;     // the blanks themselves
    const PdfFont* SpaceFont = nullptr;
};

std::vector<Word> Words(const std::vector<InlineRun>& runs)
{
    std::vector<Word> words(1);
    for (const InlineRun& run : runs) {
        const QString& text = run.Text;
        qsizetype start = 0;
        while (start < text.size()) {
            qsizetype blank = text.indexOf(QLatin1Char(' '), start);
            if (blank < 0) blank = text.size();
            if (blank > start) {
                if (words.back().Space > 0) words.emplace_back();
                Part part{text.mid(start, blank - start), run.Font, run.Rise, 0};
                part.Width = run.Font->Width(part.Text);
                words.back().Width += part.Width;
                words.back().Parts.push_back(std::move(part));
            }
            qsizetype end = blank;
            while (end < text.size() && text[end] == QLatin1Char(' ')) ++end;
            if (end > blank) {
                Word& w = words.back();
                const int n = static_cast<int>(end - blank);
                w.Space += n * run.Font->Width(QStringLiteral(" "));
                w.Blanks += QString(n, QLatin1Char(' '));
                w.SpaceFont = run.Font;
            }
            start = end;
        }
    }
    if (words.front().Parts.empty() && words.front().Space == 0) words.erase(words.begin());
    return words;
}

// A word too wide for the line, cut into words that fit: after its no-break
// spaces where that is enough, else between characters. Only the last piece
// keeps the blanks after the word.
std::vector<Word> Cut(const Word& word, double width)
{
    std::vector<Word> pieces(1);
    const auto close = [&] {
        if (!pieces.back().Parts.empty()) pieces.emplace_back();
    };
    const auto add = [&](const Part& from, const QString& text) {
        Part part{text, from.Font, from.Rise, from.Font->Width(text)};
        pieces.back().Width += part.Width;
        pieces.back().Parts.push_back(std::move(part));
    };
    for (const Part& part : word.Parts) {
        qsizetype start = 0;
        for (qsizetype i = 0; i < part.Text.size(); ++i) {
            const bool nbsp = part.Text[i] == QChar(0xA0);
            const double wider = pieces.back().Width + part.Font->Width(part.Text.mid(start, i - start + 1));
            if (wider > width && (i > start || !pieces.back().Parts.empty())) {
                if (i > start) add(part, part.Text.mid(start, i - start));
                close();
                start = i;
            }
            if (nbsp) {
                add(part, part.Text.mid(start, i - start + 1));
                start = i + 1;
                if (word.Width > width) close();
            }
        }
        if (start < part.Text.size()) add(part, part.Text.mid(start));
    }
    if (pieces.back().Parts.empty()) pieces.pop_back();
    if (!pieces.empty()) {
        pieces.back().Space = word.Space;
        pieces.back().Blanks = word.Blanks;
        pieces.back().SpaceFont = word.SpaceFont;
    }
    return pieces;
}

void Place(TextLine& line, const Part& part, double x, const QString& blanksBefore, const PdfFont* blankFont)
{
    line.Ascent = std::max(line.Ascent, part.Font->Ascent() + part.Rise);
    line.Descent = std::max(line.Descent, part.Font->Descent() - part.Rise);
    if (!line.Runs.empty()) {
        PlacedRun& last = line.Runs.back();
        if (last.Font == part.Font && last.Rise == part.Rise && (blanksBefore.isEmpty() || blankFont == part.Font)) {
            last.Text += blanksBefore;
            last.Text += part.Text;
            return;
        }
    }
    line.Runs.push_back({x, part.Rise, part.Font, part.Text});
}

}  // namespace

std::vector<TextLine> BreakLines(const std::vector<InlineRun>& runs, double width)
{
    std::vector<TextLine> lines;
    std::vector<Word> words;
    for (Word& word : Words(runs)) {
        if (word.Width <= width) {
            words.push_back(std::move(word));
            continue;
        }
        for (Word& piece : Cut(word, width)) words.push_back(std::move(piece));
    }
    if (words.empty()) return lines;
    lines.emplace_back();
    double x = 0;
    const Word* previous = nullptr;
    for (const Word& word : words) {
        const double space = previous ? previous->Space : 0;
        if (previous && !lines.back().Runs.empty() && x + space + word.Width > width) {
            lines.emplace_back();
            x = 0;
            previous = nullptr;
        }
        const double start = previous ? x + previous->Space : x;
        double at = start;
        bool first = true;
        for (const Part& part : word.Parts) {
            Place(lines.back(), part, at, first && previous ? previous->Blanks : QString(),
                  previous ? previous->SpaceFont : nullptr);
            at += part.Width;
            first = false;
        }
        x = at;
        lines.back().Width = std::max(lines.back().Width, x);
        previous = &word;
    }
    return lines;
}

void ShiftLine(TextLine& line, double offset)
{
    for (PlacedRun& run : line.Runs) run.X += offset;
}

}  // namespace stelmar
