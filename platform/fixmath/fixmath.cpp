#include "fixmath.h"

namespace {

constexpr double lowestBitValue(int fractionalBits) {
    double value = 1.0;
    for (int bit = 0; bit < fractionalBits; ++bit) {
        value /= 2.0;
    }
    return value;
}

}  // namespace

extern "C" const double fx_xtod_tab[FX_XTOD_TAB_SIZE] = {
    lowestBitValue(0),  lowestBitValue(1),  lowestBitValue(2),  lowestBitValue(3),
    lowestBitValue(4),  lowestBitValue(5),  lowestBitValue(6),  lowestBitValue(7),
    lowestBitValue(8),  lowestBitValue(9),  lowestBitValue(10), lowestBitValue(11),
    lowestBitValue(12), lowestBitValue(13), lowestBitValue(14), lowestBitValue(15),
    lowestBitValue(16), lowestBitValue(17), lowestBitValue(18), lowestBitValue(19),
    lowestBitValue(20), lowestBitValue(21), lowestBitValue(22), lowestBitValue(23),
    lowestBitValue(24), lowestBitValue(25), lowestBitValue(26), lowestBitValue(27),
    lowestBitValue(28), lowestBitValue(29), lowestBitValue(30), lowestBitValue(31),
};
