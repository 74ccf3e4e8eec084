#pragma once

#include <set>

#include "geometry/point.h"
#include "geometry/polygon.h"

// A coarse raster over a scene rectangle that remembers which cells a
// polygon's border passes through, widened by a margin of cells on each
// side, so that "is this segment near the border" is a lookup of a few cells.
class Grid {
  public:
    // At least one column and row, and cells at least one unit wide and high.
    Grid(int minX, int maxX, int minY, int maxY, int columns, int rows, int colMargin,
         int rowMargin);
    // The same, with the border of polygon marked.
    Grid(int minX, int maxX, int minY, int maxY, int columns, int rows, int colMargin,
         int rowMargin, const Polygon& polygon);

    // Marks every edge of the polygon, the closing edge included.
    void markCells(const Polygon& polygon);
    // Marks the cells of a segment and the margins around them. A slanted
    // segment is sampled at no more than about 1000 x positions; its end
    // point with the larger x is not sampled.
    void markSegmentCells(Point a, Point b);
    // True when any cell of the block spanned by the cells of a and b is marked.
    bool isAnyCellMarked(Point a, Point b) const;

    // The column and row of a coordinate, clamped into the grid.
    int column(int x) const;
    int row(int y) const;
    // Cell number = row × columns + column.
    const std::set<int>& getMarkedCells() const { return m_markedCells; }

  private:
    int clampColumn(int column) const;
    int clampRow(int row) const;
    // Marks the block of cells around (column, row), margins included.
    void markAround(int column, int row);
    void markBlock(int firstColumn, int lastColumn, int firstRow, int lastRow);

    std::set<int> m_markedCells;
    int m_cellWidth;
    int m_cellHeight;
    int m_originX;
    int m_originY;
    int m_columns;
    int m_rows;
    int m_rowMargin;
    int m_colMargin;
};
