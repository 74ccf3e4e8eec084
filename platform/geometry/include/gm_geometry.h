#pragma once

// Geometry on polygons and lines of 16-bit integer points.
//
// Vertices are passed as arrays of gm_point_t (two consecutive int16 values,
// x then y) with an int count; polygons are implicitly closed (the first
// vertex is not repeated). Every call returns a negative GM_ERR_* value when
// it fails; predicates otherwise return 1 (true) or 0 (false).

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct gm_point {
    int16_t x;
    int16_t y;
} gm_point_t;

enum {
    GM_OK = 0,
    GM_ERR_ARGUMENT = -1,    // null pointer, too few vertices or unknown mode
    GM_ERR_DEGENERATE = -2,  // a polygon without area has no centroid
    GM_ERR_RANGE = -3,       // the result does not fit the output type
    GM_ERR_MEMORY = -4,      // an allocation failed
    GM_ERR_CLIP = -5         // the clipping engine rejected the input
};

// Clip modes of gm_clip_pp.
enum {
    GM_CLIP_INTERSECTION = 0,  // A and B
    GM_CLIP_DIFFERENCE = 3     // A minus B
};

// Area centroid of a polygon of at least three vertices, rounded to the
// nearest point. GM_OK on success; GM_ERR_DEGENERATE when the polygon has no
// area.
int gm_centroid_p(gm_point_t* centroid, const gm_point_t* vertices, int count);

// Enclosed area in square units, rounded to the nearest integer, whatever the
// winding direction. GM_ERR_RANGE when it exceeds INT_MAX.
int gm_area_p(int* area, const gm_point_t* vertices, int count);

// 1 when two polygons share at least one point (crossing or touching edges,
// or one inside the other), else 0.
int gm_intersect_pp(const gm_point_t* a, int count_a, const gm_point_t* b, int count_b);

// 1 when a polygon and an open line of at least two points share a point
// (the line crosses or touches the border or lies inside), else 0.
int gm_intersect_ps(const gm_point_t* polygon, int polygon_count, const gm_point_t* line,
                    int line_count);

// 1 when two open lines of at least two points each cross or touch, else 0.
int gm_intersect_ss(const gm_point_t* line_a, int count_a, const gm_point_t* line_b, int count_b);

// 1 when the point lies inside the polygon or on its border, else 0. Inside
// means an odd number of border crossings (even-odd rule).
int gm_inside_p(gm_point_t point, const gm_point_t* polygon, int count);

// Clips polygon A with polygon B (mode GM_CLIP_INTERSECTION or
// GM_CLIP_DIFFERENCE) under the even-odd rule. On success (GM_OK) the result
// is *polygon_count simple polygons without holes that together cover the
// resulting region: *polygons receives an array of *polygon_count vertex
// arrays and *counts their vertex counts. Every array is allocated with
// malloc and released by the caller with free (each vertex array, then both
// outer arrays). An empty result gives *polygon_count 0 and null arrays, as
// does a failure (negative return).
int gm_clip_pp(gm_point_t*** polygons, int** counts, int* polygon_count, const gm_point_t* a,
               int count_a, const gm_point_t* b, int count_b, int mode);

#ifdef __cplusplus
}
#endif
