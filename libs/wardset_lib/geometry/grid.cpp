#include "geometry/grid.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

Grid::Grid(int minX, int maxX, int minY, int maxY, int columns, int rows, int colMargin,
           int rowMargin)
    : m_originX(minX),
      m_originY(minY),
      m_columns(std::max(columns, 1)),
      m_rows(std::max(rows, 1)),
      m_rowMargin(rowMargin),
      m_colMargin(colMargin) {
    m_cellWidth = std::max((maxX - minX) / m_columns, 1);
    m_cellHeight = std::max((maxY - minY) / m_rows, 1);
}

Grid::Grid(int minX, int maxX, int minY, int maxY, int columns, int rows, int colMargin,
           int rowMargin, const Polygon& polygon)
    : Grid(minX, maxX, minY, maxY, columns, rows, colMargin, rowMargin) {
    markCells(polygon);
}

void Grid::markCells(const Polygon& polygon) {
    const std::vector<Point>& points = polygon.getPoints();
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        markSegmentCells(points[i], points[i + 1]);
    }
    markSegmentCells(points.back(), points.front());
}

void Grid::markSegmentCells(Point a, Point b) {
    if (a.x == b.x) {
        markBlock(column(a.x) - m_colMargin, column(a.x) + m_colMargin,
                  row(std::min(a.y, b.y)) - m_rowMargin, row(std::max(a.y, b.y)) + m_rowMargin);
        return;
    }
    if (a.y == b.y) {
        markBlock(column(std::min(a.x, b.x)) - m_colMargin,
                  column(std::max(a.x, b.x)) + m_colMargin, row(a.y) - m_rowMargin,
                  row(a.y) + m_rowMargin);
        return;
    }
    const int step =
        std::max(static_cast<int>(static_cast<float>(std::abs(b.x - a.x)) / 1000.0f), 1);
    const float slope = static_cast<float>(b.y - a.y) / static_cast<float>(b.x - a.x);
    const float intercept = static_cast<float>(b.y) - static_cast<float>(b.x) * slope;
    const int last = std::max(a.x, b.x);
    for (int x = std::min(a.x, b.x); x < last; x += step) {
        const int y = static_cast<int>(intercept + static_cast<float>(x) * slope);
        markAround(column(x), row(y));
    }
}

bool Grid::isAnyCellMarked(Point a, Point b) const {
    const int firstColumn = std::min(column(a.x), column(b.x));
    const int lastColumn = std::max(column(a.x), column(b.x));
    const int firstRow = std::min(row(a.y), row(b.y));
    const int lastRow = std::max(row(a.y), row(b.y));
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            if (m_markedCells.count(r * m_columns + c) != 0) {
                return true;
            }
        }
    }
    return false;
}

int Grid::column(int x) const {
    return clampColumn((x - m_originX) / m_cellWidth);
}

int Grid::row(int y) const {
    return clampRow((y - m_originY) / m_cellHeight);
}

int Grid::clampColumn(int column) const {
    return std::clamp(column, 0, m_columns - 1);
}

int Grid::clampRow(int row) const {
    return std::clamp(row, 0, m_rows - 1);
}

void Grid::markAround(int column, int row) {
    markBlock(column - m_colMargin, column + m_colMargin, row - m_rowMargin, row + m_rowMargin);
}

void Grid::markBlock(int firstColumn, int lastColumn, int firstRow, int lastRow) {
    const int columnEnd = clampColumn(lastColumn);
    const int rowEnd = clampRow(lastRow);
    for (int r = clampRow(firstRow); r <= rowEnd; ++r) {
        for (int c = clampColumn(firstColumn); c <= columnEnd; ++c) {
            m_markedCells.insert(r * m_columns + c);
        }
    }
}
