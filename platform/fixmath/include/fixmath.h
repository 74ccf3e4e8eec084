#ifndef FIXMATH_H
#define FIXMATH_H

#ifdef __cplusplus
extern "C" {
#endif

/* Number of entries of the fixed-to-double table: 0 to 31 fractional bits. */
#define FX_XTOD_TAB_SIZE 32

/* Fixed point to double: entry n is 2^-n, the value of the lowest bit of a
   fixed-point number with n fractional bits. x * fx_xtod_tab[n] converts x. */
extern const double fx_xtod_tab[FX_XTOD_TAB_SIZE];

#ifdef __cplusplus
}
#endif

#endif
