#pragma once

// DXF drawings for the tests, written as text group by group.

#include <string>
#include <utility>
#include <vector>

namespace stelmar::test {

class DxfText {
public:
    // One group: its code and value.
    DxfText& operator()(int code, const std::string& value)
    {
        text_ += std::to_string(code) + "\n" + value + "\n";
        return *this;
    }
    DxfText& operator()(int code, double value)
    {
        std::string v = std::to_string(value);
        return (*this)(code, v);
    }
    DxfText& operator()(int code, int value) { return (*this)(code, std::to_string(value)); }

    DxfText& Section(const std::string& name) { return (*this)(0, "SECTION")(2, name); }
    DxfText& End() { return (*this)(0, "ENDSEC"); }
    DxfText& Header(const std::string& version, int units, const std::string& codePage = "ANSI_1251")
    {
        return Section("HEADER")(9, "$ACADVER")(1, version)(9, "$INSUNITS")(70, units)(9, "$DWGCODEPAGE")(3, codePage)
            .End();
    }
    DxfText& Layer(const std::string& name, int color, int trueColor = -1)
    {
        (*this)(0, "LAYER")(2, name)(70, 0)(62, color);
        return trueColor >= 0 ? (*this)(420, trueColor) : *this;
    }
    DxfText& Line(double x1, double y1, double x2, double y2, const std::string& layer = "0", int color = 256)
    {
        return (*this)(0, "LINE")(8, layer)(62, color)(10, x1)(20, y1)(30, 0.0)(11, x2)(21, y2)(31, 0.0);
    }
    DxfText& Block(const std::string& name, double baseX = 0, double baseY = 0)
    {
        return (*this)(0, "BLOCK")(8, "0")(2, name)(70, 0)(10, baseX)(20, baseY)(30, 0.0)(3, name);
    }
    DxfText& EndBlock() { return (*this)(0, "ENDBLK")(8, "0"); }
    DxfText& Insert(const std::string& block, double x, double y, double scale = 1, double angle = 0,
                    const std::string& layer = "0", int color = 256)
    {
        return (*this)(0, "INSERT")(8, layer)(62, color)(2, block)(10, x)(20, y)(30, 0.0)(41, scale)(42, scale)(
            50, angle);
    }
    std::string Done() { return text_ + "0\nEOF\n"; }

private:
    std::string text_;
};

}  // namespace stelmar::test
