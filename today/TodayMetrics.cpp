#include "today/TodayMetrics.h"

namespace today {

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

}  // namespace

bool ReadTodayMetrics(const uint8_t* data, size_t size, TodayMetrics* metrics) {
    if (!data || !metrics || size < kTodayMetricsSize) return false;
    metrics->windowWidth = Le16(data);
    metrics->windowHeight = Le16(data + 2);
    metrics->iconCellWidth = Le16(data + 4);
    metrics->itemHeight = Le16(data + 6);
    metrics->iconSize = Le16(data + 8);
    return true;
}

int IconLeftOffset(const TodayMetrics& m) { return (int(m.iconCellWidth) - int(m.iconSize)) / 2; }

int IconTopOffset(const TodayMetrics& m) { return (int(m.itemHeight) - int(m.iconSize)) / 2; }

RECT RowInClient(int width, const TodayMetrics& m) { return RECT{0, 0, width, int32_t(m.itemHeight)}; }

RECT TextRect(const RECT& row, const TodayMetrics& m) {
    RECT text = row;
    text.left += m.iconCellWidth;
    return text;
}

bool IsTapOnRow(int x, const RECT& row) { return x > row.left + 1 && x < row.right - 1; }

RECT CentreTitle(RECT measured, const TodayMetrics& m) {
    const int height = measured.bottom - measured.top;
    const int gap = height < int(m.itemHeight) ? int(m.itemHeight) - height : 0;
    measured.top += gap / 2;
    measured.bottom += gap / 2;
    return measured;
}

}  // namespace today
