#include "model/SchemeBuilder.h"

namespace stelmar {

SchemeBuilder& SchemeBuilder::OnFloor(int floor)
{
    floor_ = static_cast<std::uint8_t>(floor);
    return *this;
}

int SchemeBuilder::Node(std::uint8_t kind, const NodeSpec& values)
{
    TNode& n = s_.Nodes.emplace_back();
    n.Kind = kind;
    n.Etag = floor_;
    n.X = n.SavedX = values.X;
    n.Y = n.SavedY = values.Y;
    n.Name = values.Name;
    n.People = values.People;
    n.F = values.F;
    n.Mobility = values.Mobility;
    return NodeCount(s_);
}

int SchemeBuilder::Area(int from, int to, double length, double width, std::uint8_t kind)
{
    TArea& a = s_.Areas.emplace_back();
    a.Node1 = from;
    a.Node2 = to;
    a.Etag = floor_;
    a.Length = length;
    a.Width = width;
    a.Kind = kind;
    return AreaCount(s_);
}

}  // namespace stelmar
