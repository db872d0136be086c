#include "examples/ExampleProjects.h"

#include "model/SchemeBuilder.h"
#include "model/Scenarios.h"

namespace stelmar::examples {

namespace {

// An example as it was saved: its calculation options set, unmodified.
TPipeLine Finished(TPipeLine s, bool razVr, bool vrSk)
{
    s.RazVr = razVr;
    s.VrSk = vrSk;
    s.Modified = false;
    return s;
}

// Two floors of a school wing: classrooms off a corridor on each floor, two
// staircases, and an exit at each end. Each half of the wing leaves through
// its own staircase and exit.
TPipeLine SchoolWing()
{
    TPipeLine s;
    s.EtagCount = 2;
    SchemeBuilder b(s);
    // Second floor: classrooms 201-204 open into the corridor.
    b.OnFloor(2);
    const int c201 = b.Input({.X = 200, .Y = 300, .Name = "201", .People = 28});
    const int c202 = b.Input({.X = 500, .Y = 300, .Name = "202", .People = 30});
    const int c203 = b.Input({.X = 900, .Y = 300, .Name = "203", .People = 27});
    const int c204 = b.Input({.X = 1200, .Y = 300, .Name = "204", .People = 25});
    const int d201 = b.Junction({.X = 200, .Y = 420});
    const int d202 = b.Junction({.X = 500, .Y = 420});
    const int d203 = b.Junction({.X = 900, .Y = 420});
    const int d204 = b.Junction({.X = 1200, .Y = 420});
    const int k1 = b.Junction({.X = 200, .Y = 500});
    const int k2 = b.Junction({.X = 500, .Y = 500});
    const int k3 = b.Junction({.X = 900, .Y = 500});
    const int k4 = b.Junction({.X = 1200, .Y = 500});
    const int stairA = b.Junction({.X = 80, .Y = 500});
    const int stairB = b.Junction({.X = 1320, .Y = 500});
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
    b.OnFloor(1);
    const int landingA = b.Junction({.X = 80, .Y = 520});
    const int landingB = b.Junction({.X = 1320, .Y = 520});
    b.Area(stairA, landingA, 7.5, 1.35, kStairsDown);
    b.Area(stairB, landingB, 7.5, 1.35, kStairsDown);
    const int c101 = b.Input({.X = 300, .Y = 300, .Name = "101", .People = 26});
    const int c102 = b.Input({.X = 600, .Y = 300, .Name = "102", .People = 29});
    const int c103 = b.Input({.X = 1100, .Y = 300, .Name = "103", .People = 24});
    const int d101 = b.Junction({.X = 300, .Y = 420});
    const int d102 = b.Junction({.X = 600, .Y = 420});
    const int d103 = b.Junction({.X = 1100, .Y = 420});
    const int h1 = b.Junction({.X = 300, .Y = 520});
    const int h2 = b.Junction({.X = 600, .Y = 520});
    const int h3 = b.Junction({.X = 1100, .Y = 520});
    const int exitWest = b.Exit({.X = 80, .Y = 700, .Name = "Выход 1"});
    const int exitEast = b.Exit({.X = 1320, .Y = 700, .Name = "Выход 2"});
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
    return Finished(std::move(s), false, false);
}

// A ground-floor care home wing: residents of several mobility groups and
// staff leave along one corridor and a ramp to a single exit.
TPipeLine CareHome()
{
    TPipeLine s;
    SchemeBuilder b(s);
    const int rooms[] = {
        b.Input({.X = 150, .Y = 200, .Name = "П1", .People = 4, .F = 0.2, .Mobility = 1}),    // М2
        b.Input({.X = 350, .Y = 200, .Name = "П2", .People = 4, .F = 0.32, .Mobility = 2}),   // М3
        b.Input({.X = 550, .Y = 200, .Name = "П3", .People = 2, .F = 0.96, .Mobility = 3}),   // М4, wheelchairs
        b.Input({.X = 750, .Y = 200, .Name = "П4", .People = 6, .F = 0.2, .Mobility = 7}),    // elderly residents
        b.Input({.X = 950, .Y = 200, .Name = "Пост", .People = 3, .F = 0.1, .Mobility = 0}),  // staff
    };
    int previous = 0;
    for (int i = 0; i < 5; ++i) {
        const int door = b.Junction({.X = 150 + 200 * i, .Y = 330});
        const int corridor = b.Junction({.X = 150 + 200 * i, .Y = 420});
        b.Area(rooms[i], door, 4, 1.2);
        b.Area(door, corridor, 0, 1.2, kDoorway);
        if (previous) b.Area(previous, corridor, 10, 2);
        previous = corridor;
    }
    const int rampTop = b.Junction({.X = 1150, .Y = 420});
    const int exit = b.Exit({.X = 1400, .Y = 420, .Name = "Выход"});
    b.Area(previous, rampTop, 5, 2);
    b.Area(rampTop, exit, 12, 1.8, kRampDown);
    return Finished(std::move(s), true, true);
}

// An office floor whose open-plan rooms crowd one narrow door, so the flow
// is limited and people wait before the door.
TPipeLine OfficeFloor()
{
    TPipeLine s;
    SchemeBuilder b(s);
    const int hall = b.Junction({.X = 700, .Y = 600});
    const int lobby = b.Junction({.X = 700, .Y = 800});
    b.Area(b.Input({.X = 300, .Y = 300, .Name = "Офис А", .People = 60}), hall, 25, 2);
    b.Area(b.Input({.X = 700, .Y = 250, .Name = "Офис Б", .People = 45}), hall, 30, 2);
    b.Area(b.Input({.X = 1100, .Y = 300, .Name = "Офис В", .People = 50}), hall, 20, 2);
    b.Area(hall, lobby, 0, 1.0, kDoorway);
    b.Area(lobby, b.Exit({.X = 700, .Y = 950, .Name = "Выход"}), 8, 2.2);
    return Finished(std::move(s), false, true);
}

// A two-storey building whose first-floor corridor is joined to two exits,
// and fire scenarios over it. The rooms upstairs come down the main stair,
// or by the outside escape stair at the east end when the fire blocks the
// main one. Drawn, the scheme holds every route: each scenario excludes
// what the fire blocks and what is not the way taken, so that every part
// leads to one exit.
TPipeLine TwoExits()
{
    TPipeLine s;
    s.EtagCount = 2;
    SchemeBuilder b(s);
    b.OnFloor(1);
    const int exit1 = b.Exit({.X = 60, .Y = 500, .Name = "Выход 1"});
    const int k1 = b.Junction({.X = 160, .Y = 500});
    const int k2 = b.Junction({.X = 400, .Y = 500});
    const int k3 = b.Junction({.X = 650, .Y = 500});
    const int k4 = b.Junction({.X = 900, .Y = 500});
    const int k5 = b.Junction({.X = 1140, .Y = 500});
    const int exit2 = b.Exit({.X = 1240, .Y = 500, .Name = "Выход 2"});
    b.Area(b.Input({.X = 400, .Y = 320, .Name = "101", .People = 30}), k2, 8, 1.2);
    b.Area(b.Input({.X = 650, .Y = 680, .Name = "102", .People = 35}), k3, 8, 1.2);
    b.Area(b.Input({.X = 900, .Y = 320, .Name = "103", .People = 25}), k4, 8, 1.2);
    const int doorway1 = b.Area(k1, exit1, 0, 2, kDoorway);
    b.Area(k2, k1, 12, 2.5);
    b.Area(k3, k2, 12, 2.5);
    const int divide = b.Area(k3, k4, 12, 2.5);
    b.Area(k4, k5, 12, 2.5);
    b.Area(k5, exit2, 0, 2, kDoorway);

    b.OnFloor(2);
    const int c1 = b.Junction({.X = 1140, .Y = 420});
    const int c2 = b.Junction({.X = 900, .Y = 420});
    const int stair = b.Junction({.X = 650, .Y = 420, .Name = "Л1"});
    const int room201 = b.Input({.X = 1140, .Y = 250, .Name = "201", .People = 20});
    b.Area(room201, c1, 10, 1.5);
    b.Area(b.Input({.X = 900, .Y = 250, .Name = "202", .People = 20}), c2, 10, 1.5);
    b.Area(c1, c2, 12, 2);
    b.Area(c2, stair, 12, 2);
    const int mainStair = b.Area(stair, k3, 6, 2, kStairsDown);
    const int escape = b.Area(c1, k5, 14, 0.9, kStairsDown);

    TScenario normal{.Name = "Нормальная эвакуация", .StartDelay = 1, .BlockTime = 5,
                     .ExcludedAreas = {divide, escape}};
    EditNodeTimes(normal, stair).BlockTime = 4;  // smoke reaches the stair's entrance sooner
    TScenario exit1Blocked{.Name = "Выход 1 заблокирован", .StartDelay = 1, .BlockTime = 5,
                           .ExcludedAreas = {doorway1, escape}};
    TScenario stairBlocked{.Name = "Лестница заблокирована", .StartDelay = 1, .BlockTime = 4,
                           .ExcludedAreas = {divide, mainStair}};
    EditNodeTimes(stairBlocked, room201).StartDelay = 1.5;  // room 201 learns of the fire last
    s.Scenarios = {normal, exit1Blocked, stairBlocked};
    return Finished(std::move(s), false, false);
}

}  // namespace

std::vector<ExampleProject> ExampleProjects()
{
    std::vector<ExampleProject> list;
    list.push_back({"school-wing.stm", SchoolWing()});
    list.push_back({"care-home.stm", CareHome()});
    list.push_back({"office-floor.stm", OfficeFloor()});
    list.push_back({"two-exits.stm", TwoExits()});
    return list;
}

}  // namespace stelmar::examples
