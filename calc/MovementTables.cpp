#include "calc/MovementTables.h"

#include <array>
#include <optional>

namespace stelmar {

namespace {

constexpr int kRowCount = 11;
constexpr int kColumnCount = 13;
constexpr int kKindCount = 6;
// Marks a cell with no tabulated value.
constexpr double kNone = -1;

// Column 0 is the density D; path kind k has the speed v in column 2k−1 and
// the intensity q in column 2k.
using Row = std::array<double, kColumnCount>;
using Block = std::array<Row, kRowCount>;

constexpr int SpeedColumn(int kind) { return 2 * kind - 1; }
constexpr int IntensityColumn(int kind) { return 2 * kind; }

// One block per mobility group, rows in increasing D. A group without data
// for a path kind at some density has −1 there; rows of −1 only ever follow
// the tabulated ones.
constexpr std::array<Block, kGroupCount> kTable = {{
    // 0: no mobility restriction
    Block{{
        { 0.01,   100,     1,   100,     1,    60,   0.6,   100,     1,   100,     1,    60,   0.6},
        { 0.05,   100,     5,   100,     5,    60,     3,   100,     5,   100,     5,    60,     3},
        {  0.1,    80,     8,    95,   9.5,    53,   5.3,    80,   8.7,    95,   9.5,    53,   5.3},
        {  0.2,    60,    12,    68,  13.6,    40,     8,    60,  13.4,    68,  13.6,    40,     8},
        {  0.3,    47,  14.1,    52,  15.6,    32,   9.6,    47,  16.5,    52,  15.6,    32,   9.6},
        {  0.4,    40,    16,    40,    16,    26,  10.4,    40,  18.4,    40,    16,    26,  10.4},
        {  0.5,    33,  16.5,    31,  15.6,    22,    11,    33,  19.6,    31,  15.6,    22,    11},
        {  0.6,    28,  16.3,  24.5,  14.1,  18.5, 10.75,    28, 19.05,  24.5,  14.1,  18.5, 10.75},
        {  0.7,    23,  16.1,    18,  12.6,    15,  10.5,    23,  18.5,    18,  12.6,    15,  10.5},
        {  0.8,    19,  15.2,    13,  10.4,    13,  10.4,    19,  17.3,    13,  10.4,    13,  10.4},
        {  0.9,    15,  13.5,     8,   7.2,    11,   9.9,    15,   8.5,     8,   7.2,    11,   9.9},
    }},
    // 1: M2
    Block{{
        { 0.01,    30,   0.3,    30,   0.3,    20,   0.2,    30,   0.3,    45,  0.45,    25,  0.25},
        { 0.05,    30,   1.5,    30,   1.5,    20,     1,    30,   1.5,    45,  2.25,    25,  1.25},
        {  0.1,    30,     3,    30,     3,    20,     2,    30,     3,    45,   4.5,    25,   2.5},
        {  0.2, 26.05,  5.21, 26.22,  5.24, 16.78,  3.36, 26.05,  5.21, 41.91,  8.38, 21.98,   4.4},
        {  0.3, 21.97,  6.59, 22.01,   6.6, 13.96,  4.19, 21.97,  6.59, 33.92, 10.18, 18.09,  5.43},
        {  0.4, 19.08,  7.63, 19.03,  7.61, 11.96,  4.78, 19.08,  7.63, 28.25,  11.3, 15.32,  6.13},
        {  0.5, 16.84,  8.42, 16.71,  8.36, 10.41,   5.2, 16.84,  8.42, 23.85, 11.93, 13.18,  6.59},
        {  0.6, 15.01,  9.01, 14.82,  8.89,  9.14,  5.48, 15.01,  9.01, 20.26, 12.16, 11.43,  6.86},
        {  0.7, 13.46,  9.42, 13.22,  9.25,  8.07,  5.65, 13.46,  9.42, 17.22, 12.05,  9.95,  6.97},
        {  0.8, 12.12,  9.69, 11.83,  9.47,  7.14,  5.71, 12.12,  9.69, 14.59, 11.67,  8.67,  6.94},
        {  0.9, 10.93,  9.84, 10.61,  9.55,  6.32,  5.68, 10.93,  9.84, 12.27, 11.04,  7.54,  6.79},
    }},
    // 2: M3
    Block{{
        { 0.01,    70,   0.7,    20,   0.2,    25,  0.25,    70,   0.7,   105,  1.05,    55,  0.55},
        { 0.05,    70,   3.5,    20,     1,    25,  1.25,    70,   3.5,   105,  5.25,    55,  2.75},
        {  0.1,    70,     7,    20,     2,    25,   2.5,    70,     7,   105,  10.5,    55,   5.5},
        {  0.2,  53.5,  10.7,    20,     4, 20.57,  4.11,  53.5,  10.7, 83.41, 16.68, 45.54,  9.11},
        {  0.3, 43.57, 13.07, 16.67,     5, 17.05,  5.12, 43.57, 13.07,  65.7, 19.71, 35.59, 10.68},
        {  0.4, 36.52, 14.61, 14.06,  5.62, 14.56,  5.82, 36.52, 14.61, 53.13, 21.25, 28.54, 11.41},
        {  0.5, 31.05, 15.53, 12.04,  6.02, 12.62,  6.31, 31.05, 15.53, 43.39, 21.69, 23.06, 11.53},
        {  0.6, 26.59, 15.95, 10.38,  6.23, 11.04,  6.62, 26.59, 15.95, 35.42, 21.25, 18.59, 11.15},
        {  0.7, 22.81, 15.97,  8.98,  6.29,   9.7,  6.79, 22.81, 15.97, 28.69, 20.08, 14.81, 10.37},
        {  0.8, 19.54, 15.63,  7.77,  6.21,  8.54,  6.83, 19.54, 15.63, 22.86, 18.28, 11.53,  9.23},
        {  0.9, 16.65, 14.99,   6.7,  6.03,  7.52,  6.77, 16.65, 14.99, 17.71, 15.94,  8.64,  7.78},
    }},
    // 3: M4
    Block{{
        { 0.01,    60,   0.6,    -1,    -1,    -1,    -1,    60,   0.6,   115,  1.15,    40,   0.4},
        { 0.05,    60,     3,    -1,    -1,    -1,    -1,    60,     3,   115,  5.75,    40,     2},
        {  0.1,    60,     6,    -1,    -1,    -1,    -1,    60,     6,   115,  11.5,    40,     4},
        {  0.2, 50.57, 10.11,    -1,    -1,    -1,    -1, 50.57, 10.11, 99.65, 19.93, 35.17,  7.03},
        {  0.3, 40.84, 12.25,    -1,    -1,    -1,    -1, 40.84, 12.25, 79.88, 23.97, 28.36,  8.51},
        {  0.4, 33.93, 13.57,    -1,    -1,    -1,    -1, 33.93, 13.57, 65.86, 26.34, 23.52,  9.41},
        {  0.5, 28.58, 14.29,    -1,    -1,    -1,    -1, 28.58, 14.29, 54.98, 27.49, 19.77,  9.89},
        {  0.6,  24.2, 14.52,    -1,    -1,    -1,    -1,  24.2, 14.52, 46.09, 27.65, 16.71, 10.03},
        {  0.7,  20.5, 14.35,    -1,    -1,    -1,    -1,  20.5, 14.35, 38.57,    27, 14.12,  9.88},
        {  0.8,  17.3, 13.84,    -1,    -1,    -1,    -1,  17.3, 13.84, 32.06, 25.65, 11.88,   9.5},
        {  0.9, 14.47, 13.02,    -1,    -1,    -1,    -1, 14.47, 13.02, 26.32, 23.68,   9.9,  8.91},
    }},
    // 4: preschool children
    Block{{
        { 0.01,    60,   0.6,    47,  0.47,    47,  0.47,    60,   0.6,    47,  0.47,    47,  0.47},
        { 0.05, 47.19,  2.36, 38.36,  1.92, 36.96,  1.85, 47.19,  2.66, 38.36,  1.92, 36.96,  1.85},
        {  0.1, 35.75,  3.58, 32.17,  3.22,    28,   2.8, 35.75,  3.85, 32.17,  3.22,    28,   2.8},
        {  0.2, 24.31,  4.86, 25.98,   5.2, 19.05,  3.81, 24.31,   4.8, 25.98,   5.2, 19.05,  3.81},
        {  0.3, 17.62,  5.29,    -1,    -1,    -1,    -1, 17.62,  4.64,    -1,    -1,    -1,    -1},
        {  0.4, 12.88,  5.15,    -1,    -1,    -1,    -1, 12.88,  3.77,    -1,    -1,    -1,    -1},
        {  0.5,  9.19,   4.6,    -1,    -1,    -1,    -1,  9.19,  2.37,    -1,    -1,    -1,    -1},
        {   -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1},
        {   -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1},
        {   -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1},
        {   -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1},
    }},
    // 5: disabled children
    Block{{
        { 0.01, 50.59,  0.51, 23.33,  0.23, 19.94,   0.2, 50.59,  0.47, 23.33,  0.23, 19.94,   0.2},
        { 0.05, 50.59,  2.53, 23.33,  1.17, 19.94,     1, 50.59,  2.34, 23.33,  1.17, 19.94,     1},
        {  0.1, 48.97,   4.9, 23.06,  2.31, 20.19,  2.02, 48.97,  4.68, 23.06,  2.31, 20.19,  2.02},
        {  0.2, 38.88,  7.78, 19.64,  3.93, 16.02,   3.2, 38.88,  7.42, 19.64,  3.93, 16.02,   3.2},
        {  0.3, 32.97,  9.89, 17.64,  5.29, 13.57,  4.07, 32.97,  9.41, 17.64,  5.29, 13.57,  4.07},
        {  0.4, 28.78, 11.51, 16.22,  6.49, 11.84,  4.74, 28.78, 10.93, 16.22,  6.49, 11.84,  4.74},
        {  0.5, 25.54, 12.77, 15.12,  7.56,  10.5,  5.25, 25.54, 12.08, 15.12,  7.56,  10.5,  5.25},
        {  0.6, 22.88, 13.73, 14.22,  8.53,   9.4,  5.64, 22.88, 12.96, 14.22,  8.53,   9.4,  5.64},
        {  0.7, 20.64, 14.45, 13.46,  9.42,  8.47,  5.93, 20.64,  13.6, 13.46,  9.42,  8.47,  5.93},
        {  0.8, 18.69, 14.95,  12.8, 10.24,  7.67,  6.14, 18.69, 14.04,  12.8, 10.24,  7.67,  6.14},
        {  0.9, 16.98, 15.28, 12.22,    11,  6.96,  6.26, 16.98,  14.3, 12.22,    11,  6.96,  6.26},
    }},
    // 6: working-age hospital patients
    Block{{
        { 0.01, 44.03,  0.44, 24.09,  0.24, 13.69,  0.14, 44.03,  0.38, 24.09,  0.24, 13.69,  0.14},
        { 0.05, 44.03,   2.2, 24.09,   1.2, 13.69,  0.68, 44.03,  1.88, 24.09,   1.2, 13.69,  0.68},
        {  0.1, 44.03,   4.4, 24.09,  2.41, 13.69,  1.37, 44.03,  3.77, 24.09,  2.41, 13.69,  1.37},
        {  0.2, 44.03,  8.81, 24.09,  4.82, 13.69,  2.74, 44.03,  7.53, 24.09,  4.82, 13.69,  2.74},
        {  0.3, 41.42, 12.43, 20.37,  6.11, 13.24,  3.97, 41.42,  11.3, 20.37,  6.11, 13.24,  3.97},
        {  0.4, 36.18, 14.47, 17.44,  6.98, 12.01,   4.8, 36.18, 14.39, 17.44,  6.98, 12.01,   4.8},
        {  0.5, 32.11, 16.05, 15.17,  7.59, 11.05,  5.52, 32.11, 16.54, 15.17,  7.59, 11.05,  5.52},
        {  0.6, 28.79, 17.27, 13.32,  7.99, 10.27,  6.16, 28.79, 18.42, 13.32,  7.99, 10.27,  6.16},
        {  0.7, 25.98, 18.18, 11.75,  8.23,  9.61,  6.73, 25.98, 20.09, 11.75,  8.23,  9.61,  6.73},
        {  0.8, 23.54, 18.83,  10.4,  8.32,  9.04,  7.23, 23.54, 21.57,  10.4,  8.32,  9.04,  7.23},
        {  0.9,  21.4, 19.26,   9.2,  8.28,  8.53,  7.68,  21.4, 22.89,   9.2,  8.28,  8.53,  7.68},
    }},
    // 7: elderly
    Block{{
        { 0.01,    25,  0.25,    20,   0.2,    20,   0.2,    25,   0.2,    25,  0.25,    15,  0.15},
        { 0.05,    25,  1.25,    20,     1,    20,     1,    25,     1,    25,  1.25,    15,  0.75},
        {  0.1,    25,   2.5,    20,     2,    20,     2,    25,     2,    25,   2.5,    15,   1.5},
        {  0.2, 24.56,  4.91,    20,     4, 16.08,  3.22, 24.56,     4, 20.19,  4.04, 13.19,  2.64},
        {  0.3, 20.22,  6.07, 18.24,  5.47, 13.34,     4, 20.22,  4.94, 16.61,  4.98, 10.95,  3.28},
        {  0.4, 17.15,  6.86, 15.33,  6.13, 11.39,  4.56, 17.15,  5.54, 14.08,  5.63,  9.36,  3.74},
        {  0.5, 14.76,  7.38, 13.08,  6.54,  9.89,  4.94, 14.76,  5.91, 12.11,  6.05,  8.13,  4.06},
        {  0.6, 12.81,  7.68, 11.24,  6.74,  8.65,  5.19, 12.81,   6.1,  10.5,   6.3,  7.12,  4.27},
        {  0.7, 11.16,  7.81,  9.68,  6.78,  7.61,  5.33, 11.16,  6.13,  9.14,   6.4,  6.27,  4.39},
        {  0.8,  9.73,  7.78,  8.33,  6.67,  6.71,  5.37,  9.73,  6.03,  7.96,  6.37,  5.53,  4.43},
        {  0.9,  8.47,  7.62,  7.14,  6.43,  5.91,  5.32,  8.47,  5.82,  6.92,  6.23,  4.88,   4.4},
    }},
    // 8: blind and visually impaired
    Block{{
        { 0.01, 26.34,  0.26, 21.37,  0.21,    18,  0.18, 26.34,  0.17, 21.37,  0.21,    18,  0.18},
        { 0.05, 26.34,  1.32, 21.37,  1.07,    18,   0.9, 26.34,  0.85, 21.37,  1.07,    18,   0.9},
        {  0.1, 23.26,  2.33, 21.03,   2.1, 16.62,  1.66, 23.26,  1.58, 21.03,   2.1, 16.62,  1.66},
        {  0.2, 16.49,   3.3, 13.34,  2.67, 11.79,  2.36, 16.49,  2.52, 13.34,  2.67, 11.79,  2.36},
        {  0.3, 12.53,  3.76,  8.85,  2.65,  8.96,  2.69, 12.53,  3.22,  8.85,  2.65,  8.96,  2.69},
        {  0.4,  9.72,  3.89,  5.66,  2.26,  6.96,  2.78,  9.72,  3.77,  5.66,  2.26,  6.96,  2.78},
        {  0.5,  7.54,  3.77,  3.18,  1.59,  5.41,   2.7,  7.54,  4.19,  3.18,  1.59,  5.41,   2.7},
        {   -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1},
        {   -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1},
        {   -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1},
        {   -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1,    -1},
    }},
    // 9: deaf and hard of hearing
    Block{{
        { 0.01, 82.36,  0.82, 82.36,  0.82, 53.81,  0.54, 82.36,  0.82, 82.36,  0.82, 53.81,  0.54},
        { 0.05, 82.36,  4.12, 82.36,  4.12, 53.81,  2.69, 82.36,  4.12, 82.36,  4.12, 53.81,  2.69},
        {  0.1, 68.86,  6.89, 79.41,  7.94, 47.73,  4.77, 68.86,  7.39, 79.41,  7.94, 47.73,  4.77},
        {  0.2, 51.67, 10.33, 57.72, 11.54,  34.9,  6.98, 51.67, 11.03, 57.72, 11.54,  34.9,  6.98},
        {  0.3, 41.62, 12.49, 45.03, 13.51, 27.39,  8.22, 41.62, 13.25, 45.03, 13.51, 27.39,  8.22},
        {  0.4, 34.49,  13.8, 36.02, 14.41, 22.07,  8.83, 34.49, 14.56, 36.02, 14.41, 22.07,  8.83},
        {  0.5, 28.96, 14.48, 29.04, 14.52, 17.94,  8.97, 28.96, 15.19, 29.04, 14.52, 17.94,  8.97},
        {  0.6, 24.44, 14.66, 23.33,    14, 14.56,  8.74, 24.44, 15.27, 23.33,    14, 14.56,  8.74},
        {  0.7, 20.62, 14.43, 18.51, 12.96, 11.71,   8.2, 20.62,  14.9, 18.51, 12.96, 11.71,   8.2},
        {  0.8, 17.31, 13.84, 14.33, 11.46,  9.24,  7.39, 17.31, 14.15, 14.33, 11.46,  9.24,  7.39},
        {  0.9, 14.39, 12.95, 10.64,  9.58,  7.06,  6.35, 14.39, 13.05, 10.64,  9.58,  7.06,  6.35},
    }},
}};

constexpr bool IsTabulated(double cell) { return cell != kNone; }

// True when D rises strictly over the tabulated rows, −1 rows come only
// after them, and in every column the tabulated cells are a run from row 0.
constexpr bool IsWellFormed(const Block& block)
{
    for (int r = 1; r < kRowCount; ++r) {
        const Row& prev = block[r - 1];
        const Row& row = block[r];
        if (IsTabulated(row[0]) && !(IsTabulated(prev[0]) && row[0] > prev[0])) return false;
        for (int c = 1; c < kColumnCount; ++c) {
            if (IsTabulated(row[c]) && (!IsTabulated(prev[c]) || !IsTabulated(row[0]))) return false;
        }
    }
    return IsTabulated(block[0][0]);
}

constexpr bool AllWellFormed()
{
    for (const Block& block : kTable) {
        if (!IsWellFormed(block)) return false;
    }
    return true;
}
static_assert(AllWellFormed());

// Per group and column, the value of the last row where the column is
// tabulated; −1 for a column with no value at all.
constexpr std::array<Row, kGroupCount> DeriveLimitRows()
{
    std::array<Row, kGroupCount> limits{};
    for (int g = 0; g < kGroupCount; ++g) {
        for (int c = 0; c < kColumnCount; ++c) {
            double last = kNone;
            for (const Row& row : kTable[g]) {
                if (IsTabulated(row[c])) last = row[c];
            }
            limits[g][c] = last;
        }
    }
    return limits;
}

constexpr std::array<Row, kGroupCount> kLimitRows = DeriveLimitRows();

bool IsGroup(int group) { return group >= 0 && group < kGroupCount; }
bool IsKind(int kind) { return kind >= 1 && kind <= kKindCount; }

// Column `value` at `key` of column `keyColumn`: row 0 for keys at or below
// the first row's, otherwise linear interpolation over the first interval
// (key(r), key(r+1)] holding the key; nothing when no interval holds it.
std::optional<double> Lookup(const Block& block, int keyColumn, int valueColumn, double key)
{
    if (key <= block[0][keyColumn]) return block[0][valueColumn];
    for (int r = 0; r + 1 < kRowCount; ++r) {
        const double k0 = block[r][keyColumn];
        const double k1 = block[r + 1][keyColumn];
        if (key > k0 && key <= k1) {
            const double x0 = block[r][valueColumn];
            const double x1 = block[r + 1][valueColumn];
            return x0 + (x1 - x0) * (key - k0) / (k1 - k0);
        }
    }
    return std::nullopt;
}

// Forward lookup by density on a horizontal path; densities past the
// tabulated range give the limit row.
double ByDensity(int group, int column, double density)
{
    if (!IsGroup(group)) return kNone;
    return Lookup(kTable[group], 0, column, density).value_or(kLimitRows[group][column]);
}

}  // namespace

double SpeedByDensity(int group, double density)
{
    return ByDensity(group, SpeedColumn(1), density);
}

double IntensityByDensity(int group, double density)
{
    return ByDensity(group, IntensityColumn(1), density);
}

double SpeedByIntensity(int kind, int group, double intensity)
{
    if (!GroupCoversPathKind(group, kind)) return 0;
    return Lookup(kTable[group], IntensityColumn(kind), SpeedColumn(kind), intensity).value_or(0);
}

double LimitIntensity(int kind, int group, double width)
{
    if (!IsGroup(group) || !IsKind(kind)) return kNone;
    if (group == 0 && kind == 4 && width < 1.6) return 2.5 + 3.75 * width;
    return kLimitRows[group][IntensityColumn(kind)];
}

double LimitSpeed(int kind, int group)
{
    if (!IsGroup(group) || !IsKind(kind)) return kNone;
    return kLimitRows[group][SpeedColumn(kind)];
}

double FreeSpeed(int kind, int group)
{
    if (!IsGroup(group) || !IsKind(kind)) return kNone;
    return kTable[group][0][SpeedColumn(kind)];
}

bool GroupCoversPathKind(int group, int kind)
{
    return IsGroup(group) && IsKind(kind) && IsTabulated(kLimitRows[group][IntensityColumn(kind)]);
}

void PathKindName(int kind, std::string& name)
{
    // The words are joined by a no-break space (U+00A0).
    static constexpr std::array<const char*, kKindCount> kNames = {
        "Горизонтальный\xC2\xA0путь", "Лестница\xC2\xA0вниз",  "Лестница\xC2\xA0вверх",
        "Дверной\xC2\xA0проем",       "Пандус\xC2\xA0вниз",    "Пандус\xC2\xA0вверх",
    };
    if (IsKind(kind)) name = kNames[kind - 1];
}

std::string GroupName(int group)
{
    return IsGroup(group) ? kMobilityGroups[group].ReportName : "";
}

}  // namespace stelmar
