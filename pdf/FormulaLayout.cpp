#include "pdf/FormulaLayout.h"

#include <algorithm>

namespace stelmar {

namespace {

// Proportions of the setting, in fractions of the font size.
constexpr double kScriptScale = 0.7;
constexpr double kLowerShift = 0.2;
constexpr double kRaiseShift = 0.4;
constexpr double kAxis = 0.27;        // height of the fraction rule above the baseline
constexpr double kRuleGap = 0.16;     // between the rule and numerator or denominator
constexpr double kRuleOverhang = 0.12;
constexpr double kLineGap = 0.2;      // between the lines of a broken sum
constexpr double kSigmaScale = 1.35;
constexpr double kSigmaDrop = 0.15;
constexpr double kSmallest = 0.35;    // the most a line is set smaller

struct Node {
    enum class Kind { Row, Text, Fraction, Sum, Lower, Raise } Kind = Kind::Row;
    QString Text;
    std::vector<Node> Parts;  // Row: its items; Fraction: numerator and denominator rows; others: their row
};

// The tokens from `i` up to the End (or FractionBar) that closes the part,
// as a row; `i` is left after the closing token.
Node ParseRow(const ReportBlock& b, std::size_t& i, bool* endedByBar = nullptr)
{
    Node row;
    const auto text = [&](const QString& t) {
        if (!row.Parts.empty() && row.Parts.back().Kind == Node::Kind::Text)
            row.Parts.back().Text += t;
        else
            row.Parts.push_back({Node::Kind::Text, t, {}});
    };
    while (i < b.Tokens.size()) {
        const ReportToken& t = b.Tokens[i++];
        switch (t.Kind) {
        case TokenKind::Text:
        case TokenKind::Greek: {
            const std::string_view s = b.TextOf(t);
            text(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
            break;
        }
        case TokenKind::Dot: text(QStringLiteral("·")); break;
        case TokenKind::FractionBar:
            if (endedByBar) *endedByBar = true;
            return row;
        case TokenKind::End: return row;
        case TokenKind::Fraction: {
            Node f{Node::Kind::Fraction, {}, {}};
            bool bar = false;
            f.Parts.push_back(ParseRow(b, i, &bar));
            f.Parts.push_back(bar ? ParseRow(b, i) : Node{});
            row.Parts.push_back(std::move(f));
            break;
        }
        case TokenKind::Sum: row.Parts.push_back({Node::Kind::Sum, {}, {ParseRow(b, i)}}); break;
        case TokenKind::Sub:
        case TokenKind::Lowered: row.Parts.push_back({Node::Kind::Lower, {}, {ParseRow(b, i)}}); break;
        case TokenKind::Super:
        case TokenKind::Raised: row.Parts.push_back({Node::Kind::Raise, {}, {ParseRow(b, i)}}); break;
        case TokenKind::Strong:
        case TokenKind::Link: row.Parts.push_back(ParseRow(b, i)); break;
        case TokenKind::Bookmark:
        case TokenKind::CellEnd: break;
        }
    }
    return row;
}

class Setter {
public:
    explicit Setter(PdfFonts& fonts) : fonts_(fonts) {}

    FormulaBox Layout(const Node& n, double size, double width)
    {
        switch (n.Kind) {
        case Node::Kind::Text: return TextBox(n.Text, size);
        case Node::Kind::Row: return RowBox(n, size, width);
        case Node::Kind::Fraction: return FractionBox(n, size, width);
        case Node::Kind::Sum: return SumBox(n, size, width);
        case Node::Kind::Lower:
        case Node::Kind::Raise: return ScriptBox(n, size, width);
        }
        return {};
    }

private:
    FormulaBox TextBox(const QString& text, double size)
    {
        const PdfFont& font = fonts_.Get({size});
        FormulaBox box;
        box.Width = font.Width(text);
        box.Ascent = font.Ascent();
        box.Descent = font.Descent();
        box.Texts.push_back({0, 0, &font, text});
        return box;
    }

    FormulaBox Concatenate(const std::vector<FormulaBox>& boxes)
    {
        FormulaBox row;
        for (const FormulaBox& b : boxes) {
            row.Insert(b, row.Width, 0);
        }
        return row;
    }

    FormulaBox RowBox(const Node& row, double size, double width)
    {
        std::vector<FormulaBox> boxes;
        boxes.reserve(row.Parts.size());
        double total = 0;
        for (const Node& part : row.Parts) {
            boxes.push_back(Layout(part, size, width));
            total += boxes.back().Width;
        }
        if (total <= width || !BreaksAtPlus(row)) return Concatenate(boxes);
        return BrokenRow(row, size, width);
    }

    static bool BreaksAtPlus(const Node& row)
    {
        for (const Node& part : row.Parts)
            if (part.Kind == Node::Kind::Text && part.Text.indexOf(QLatin1Char('+')) >= 0) return true;
        return false;
    }

    // A long sum as several centred lines, each broken after a "+".
    FormulaBox BrokenRow(const Node& row, double size, double width)
    {
        std::vector<std::vector<FormulaBox>> pieces(1);
        for (const Node& part : row.Parts) {
            if (part.Kind != Node::Kind::Text) {
                pieces.back().push_back(Layout(part, size, width));
                continue;
            }
            qsizetype start = 0;
            while (start < part.Text.size()) {
                qsizetype plus = part.Text.indexOf(QLatin1Char('+'), start);
                const qsizetype end = plus < 0 ? part.Text.size() : plus + 1;
                pieces.back().push_back(TextBox(part.Text.mid(start, end - start), size));
                if (plus >= 0) pieces.emplace_back();
                start = end;
            }
        }
        std::vector<FormulaBox> lines(1);
        for (const std::vector<FormulaBox>& piece : pieces) {
            const FormulaBox box = Concatenate(piece);
            if (lines.back().Width > 0 && lines.back().Width + box.Width > width) lines.emplace_back();
            lines.back().Insert(box, lines.back().Width, 0);
        }
        FormulaBox stack;
        for (const FormulaBox& line : lines) stack.Width = std::max(stack.Width, line.Width);
        double baseline = 0;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            if (k > 0) baseline += lines[k - 1].Descent + kLineGap * size + lines[k].Ascent;
            stack.Insert(lines[k], (stack.Width - lines[k].Width) / 2, baseline);
        }
        return stack;
    }

    FormulaBox FractionBox(const Node& n, double size, double width)
    {
        const FormulaBox top = Layout(n.Parts[0], size, width);
        const FormulaBox bottom = Layout(n.Parts[1], size, width);
        const double overhang = kRuleOverhang * size;
        const double axis = kAxis * size;
        const double gap = kRuleGap * size;
        FormulaBox box;
        box.Width = std::max(top.Width, bottom.Width) + 2 * overhang;
        box.Insert(top, (box.Width - top.Width) / 2, -(axis + gap + top.Descent));
        box.Insert(bottom, (box.Width - bottom.Width) / 2, -axis + gap + bottom.Ascent);
        box.Rules.push_back({0, -axis, box.Width, std::max(0.4, size * 0.05)});
        return box;
    }

    FormulaBox SumBox(const Node& n, double size, double width)
    {
        FormulaBox sigma = TextBox(QStringLiteral("Σ"), size * kSigmaScale);
        // The larger sign sits a little below the baseline, so that its
        // middle meets the middle of the text beside it.
        FormulaBox box;
        box.Insert(sigma, 0, kSigmaDrop * size);
        box.Width += 0.1 * size;
        box.Insert(Layout(n.Parts[0], size, width), box.Width, 0);
        return box;
    }

    FormulaBox ScriptBox(const Node& n, double size, double width)
    {
        const double small = size * kScriptScale;
        const double dy = n.Kind == Node::Kind::Lower ? kLowerShift * size : -kRaiseShift * size;
        FormulaBox box;
        box.Insert(Layout(n.Parts[0], small, width), 0, dy);
        return box;
    }

    PdfFonts& fonts_;
};

// The root's items split before each top-level " = ": the places where a
// long equation may go on on the next line.
std::vector<Node> Segments(const Node& root)
{
    std::vector<Node> segments(1);
    for (const Node& part : root.Parts) {
        if (part.Kind != Node::Kind::Text) {
            segments.back().Parts.push_back(part);
            continue;
        }
        qsizetype start = 0;
        while (start < part.Text.size()) {
            const qsizetype equals = part.Text.indexOf(QStringLiteral(" = "), start + 1);
            const qsizetype end = equals < 0 ? part.Text.size() : equals;
            if (end > start) segments.back().Parts.push_back({Node::Kind::Text, part.Text.mid(start, end - start), {}});
            if (equals >= 0) segments.emplace_back();
            start = end;
        }
    }
    return segments;
}

}  // namespace

void FormulaBox::Insert(const FormulaBox& box, double dx, double dy)
{
    for (FormulaText t : box.Texts) {
        t.X += dx;
        t.Y += dy;
        Texts.push_back(std::move(t));
    }
    for (FormulaRule r : box.Rules) {
        r.X += dx;
        r.Y += dy;
        Rules.push_back(r);
    }
    Width = std::max(Width, dx + box.Width);
    Ascent = std::max(Ascent, box.Ascent - dy);
    Descent = std::max(Descent, box.Descent + dy);
}

std::vector<FormulaBox> LayoutFormula(const ReportBlock& block, PdfFonts& fonts, double width)
{
    std::size_t i = 0;
    const Node root = ParseRow(block, i);
    const double size = block.Size / 2.0;
    Setter setter(fonts);
    FormulaBox whole = setter.Layout(root, size, width);
    if (whole.Width <= width) return {std::move(whole)};

    std::vector<Node> lines;
    double used = 0;
    for (Node& segment : Segments(root)) {
        const double w = setter.Layout(segment, size, width).Width;
        if (!lines.empty() && used + w <= width) {
            for (Node& part : segment.Parts) lines.back().Parts.push_back(std::move(part));
            used += w;
        } else {
            // A continuation line starts with its "=".
            if (!lines.empty() && !segment.Parts.empty() && segment.Parts.front().Kind == Node::Kind::Text &&
                segment.Parts.front().Text.startsWith(QLatin1Char(' ')))
                segment.Parts.front().Text.remove(0, 1);
            lines.push_back(std::move(segment));
            used = setter.Layout(lines.back(), size, width).Width;
        }
    }
    std::vector<FormulaBox> boxes;
    for (const Node& line : lines) {
        FormulaBox box = setter.Layout(line, size, width);
        if (box.Width > width) {
            const double scale = std::max(kSmallest, width / box.Width);
            box = setter.Layout(line, size * scale, width);
        }
        boxes.push_back(std::move(box));
    }
    return boxes;
}

}  // namespace stelmar
