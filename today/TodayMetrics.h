#pragma once

// The launcher row's geometry and the small rules that use it: reading the
// "METRICS" resource, the icon's place, where the title goes, and which
// releases count as a tap on the row.

#include "today/TodayPlatform.h"

#include <cstddef>
#include <cstdint>

namespace today {

// The "METRICS" resource: five unsigned 16-bit little-endian numbers.
struct TodayMetrics {
    uint16_t windowWidth = 0;
    uint16_t windowHeight = 0;
    uint16_t iconCellWidth = 0;  // where the title starts
    uint16_t itemHeight = 0;     // the row height reported to the shell
    uint16_t iconSize = 0;       // width and height of the drawn icon
};
constexpr size_t kTodayMetricsSize = 10;

// Reads the resource; false, leaving *metrics alone, when it holds fewer
// than its 10 bytes.
bool ReadTodayMetrics(const uint8_t* data, size_t size, TodayMetrics* metrics);

// Offsets that centre the icon in its cell and in the row.
int IconLeftOffset(const TodayMetrics& m);
int IconTopOffset(const TodayMetrics& m);

// The row in the item window's own (client) coordinates, whatever place the
// window was created at: the taps arrive in those coordinates.
RECT RowInClient(int width, const TodayMetrics& m);
// The title's rectangle: the row without the icon cell.
RECT TextRect(const RECT& row, const TodayMetrics& m);

// A release at x is a tap on the row when it lies strictly inside the row
// less one pixel column at each edge; the height is not looked at.
bool IsTapOnRow(int x, const RECT& row);

// The measured title rectangle moved down to the middle of the row; a title
// as tall as the row or taller is left at the top.
RECT CentreTitle(RECT measured, const TodayMetrics& m);

}  // namespace today
