#include "examples/ExampleProjects.h"

namespace stelmar::examples {

namespace {

// Adds nodes and areas on the current floor of a scheme being built.
class Builder {
public:
    explicit Builder(int floors) { s_.EtagCount = static_cast<std::uint8_t>(floors); }

    void Floor(int floor) { floor_ = static_cast<std::uint8_t>(floor); }

    int Node(std::uint8_t kind, int x, int y, const std::string& name = kDefaultNodeName, int people = 0,
             double f = 0.1, std::uint8_t mobility = 0)
    {
        TNode n;
        n.Kind = kind;
        n.Etag = floor_;
        n.X = n.SavedX = x;
        n.Y = n.SavedY = y;
        n.Name = name;
        n.People = people;
        n.F = f;
        n.Mobility = mobility;
        s_.Nodes.push_back(n);
        return NodeCount(s_);
    }

    int Input(int x, int y, const std::string& name, int people, double f = 0.1, std::uint8_t mobility = 0)
    {
        return Node(kInput, x, y, name, people, f, mobility);
    }
    int Junction(int x, int y) { return Node(kJunction, x, y); }
    int Exit(int x, int y, const std::string& name) { return Node(kExit, x, y, name); }

    void Area(int from, int to, double length, double width, std::uint8_t kind = kHorizontal)
    {
        TArea a;
        a.Node1 = from;
        a.Node2 = to;
        a.Etag = floor_;
        a.Length = length;
        a.Width = width;
        a.Kind = kind;
        s_.Areas.push_back(a);
    }

    TPipeLine Done(bool razVr, bool vrSk)
    {
        s_.RazVr = razVr;
        s_.VrSk = vrSk;
        s_.Modified = false;
        return std::move(s_);
    }

private:
    TPipeLine s_;
    std::uint8_t floor_ = 1;
};

// Two floors of a school wing: classrooms off a corridor on each floor, two
// staircases, and an exit at each end. Each half of the wing leaves through
// its own staircase and exit.
TPipeLine SchoolWing()
{
    Builder b(2);
    // Second floor: classrooms 201-204 open into the corridor.
    b.Floor(2);
    const int c201 = b.Input(200, 300, "201", 28);
    const int c202 = b.Input(500, 300, "202", 30);
    const int c203 = b.Input(900, 300, "203", 27);
    const int c204 = b.Input(1200, 300, "204", 25);
    const int d201 = b.Junction(200, 420);
    const int d202 = b.Junction(500, 420);
    const int d203 = b.Junction(900, 420);
    const int d204 = b.Junction(1200, 420);
    const int k1 = b.Junction(200, 500);
    const int k2 = b.Junction(500, 500);
    const int k3 = b.Junction(900, 500);
    const int k4 = b.Junction(1200, 500);
    const int stairA = b.Junction(80, 500);
    const int stairB = b.Junction(1320, 500);
    b.Area(c201, d201, 6, 1.2);
    b.Area(c202, d202, 6, 1.2);
    b.Area(c203, d203, 6, 1.2);
    b.Area(c204, d204, 6, 1.2);
    b.Area(d201, k1, 0, 1.2, kDoorway);
    b.Area(d202, k2, 0, 1.2, kDoorway);
    b.Area(d203, k3, 0, 1.2, kDoorway);
    b.Area(d204, k4, 0, 1.2, kDoorway);
    b.Area(k2, k1, 9, 2.4);
    b.Area(k1, stairA, 4, 2.4);
    b.Area(k3, k4, 9, 2.4);
    b.Area(k4, stairB, 4, 2.4);

    // First floor: classrooms 101-103, the landings of both staircases and the exits.
    b.Floor(1);
    const int landingA = b.Junction(80, 520);
    const int landingB = b.Junction(1320, 520);
    b.Area(stairA, landingA, 7.5, 1.35, kStairsDown);
    b.Area(stairB, landingB, 7.5, 1.35, kStairsDown);
    const int c101 = b.Input(300, 300, "101", 26);
    const int c102 = b.Input(600, 300, "102", 29);
    const int c103 = b.Input(1100, 300, "103", 24);
    const int d101 = b.Junction(300, 420);
    const int d102 = b.Junction(600, 420);
    const int d103 = b.Junction(1100, 420);
    const int h1 = b.Junction(300, 520);
    const int h2 = b.Junction(600, 520);
    const int h3 = b.Junction(1100, 520);
    const int exitWest = b.Exit(80, 700, "Выход 1");
    const int exitEast = b.Exit(1320, 700, "Выход 2");
    b.Area(c101, d101, 6, 1.2);
    b.Area(c102, d102, 6, 1.2);
    b.Area(c103, d103, 6, 1.2);
    b.Area(d101, h1, 0, 1.2, kDoorway);
    b.Area(d102, h2, 0, 1.2, kDoorway);
    b.Area(d103, h3, 0, 1.2, kDoorway);
    b.Area(h2, h1, 9, 2.4);
    b.Area(h1, landingA, 6, 2.4);
    b.Area(landingA, exitWest, 3, 1.2, kDoorway);
    b.Area(h3, landingB, 6, 2.4);
    b.Area(landingB, exitEast, 3, 1.2, kDoorway);
    return b.Done(false, false);
}

// A ground-floor care home wing: residents of several mobility groups and
// staff leave along one corridor and a ramp to a single exit.
TPipeLine CareHome()
{
    Builder b(1);
    const int rooms[] = {
        b.Input(150, 200, "П1", 4, 0.2, 1),    // М2
        b.Input(350, 200, "П2", 4, 0.32, 2),   // М3
        b.Input(550, 200, "П3", 2, 0.96, 3),   // М4, wheelchairs
        b.Input(750, 200, "П4", 6, 0.2, 7),    // elderly residents
        b.Input(950, 200, "Пост", 3, 0.1, 0),  // staff
    };
    int previous = 0;
    for (int i = 0; i < 5; ++i) {
        const int door = b.Junction(150 + 200 * i, 330);
        const int corridor = b.Junction(150 + 200 * i, 420);
        b.Area(rooms[i], door, 4, 1.2);
        b.Area(door, corridor, 0, 1.2, kDoorway);
        if (previous) b.Area(previous, corridor, 10, 2);
        previous = corridor;
    }
    const int rampTop = b.Junction(1150, 420);
    const int exit = b.Exit(1400, 420, "Выход");
    b.Area(previous, rampTop, 5, 2);
    b.Area(rampTop, exit, 12, 1.8, kRampDown);
    return b.Done(true, true);
}

// An office floor whose open-plan rooms crowd one narrow door, so the flow
// is limited and people wait before the door.
TPipeLine OfficeFloor()
{
    Builder b(1);
    const int hall = b.Junction(700, 600);
    const int lobby = b.Junction(700, 800);
    b.Area(b.Input(300, 300, "Офис А", 60), hall, 25, 2);
    b.Area(b.Input(700, 250, "Офис Б", 45), hall, 30, 2);
    b.Area(b.Input(1100, 300, "Офис В", 50), hall, 20, 2);
    b.Area(hall, lobby, 0, 1.0, kDoorway);
    b.Area(lobby, b.Exit(700, 950, "Выход"), 8, 2.2);
    return b.Done(false, true);
}

}  // namespace

std::vector<ExampleProject> ExampleProjects()
{
    std::vector<ExampleProject> list;
    list.push_back({"school-wing.stm", SchoolWing()});
    list.push_back({"care-home.stm", CareHome()});
    list.push_back({"office-floor.stm", OfficeFloor()});
    return list;
}

}  // namespace stelmar::examples
