#include "calibration/line_list.h"

#include <array>

namespace halvic {

namespace {

LineListEntry listed(std::string_view text, double wavelength) {
  return LineListEntry{text, LineWavelength::fromDouble(wavelength)};
}

// The stored wavelength is held apart from the text: 3650.150 stores 3650.15, and the two
// [O III] lines store whole numbers.
const std::array kLines{
    listed("3650.150 (Hg)", 3650.15),
    listed("4046.572 (Hg)", 4046.572),
    listed("4358.337 (Hg)", 4358.337),
    listed("5460.753 (Hg)", 5460.753),
    listed("5769.598 (Hg)", 5769.598),
    listed("5790.663 (Hg)", 5790.663),
    listed("6716.429 (Hg)", 6716.429),
    listed("6907.461 (Hg)", 6907.461),
    listed("5852.488 (Ne)", 5852.488),
    listed("5881.895 (Ne)", 5881.895),
    listed("5944.834 (Ne)", 5944.834),
    listed("5975.534 (Ne)", 5975.534),
    listed("6029.997 (Ne)", 6029.997),
    listed("6074.338 (Ne)", 6074.338),
    listed("6096.163 (Ne)", 6096.163),
    listed("6143.063 (Ne)", 6143.063),
    listed("6163.594 (Ne)", 6163.594),
    listed("6217.281 (Ne)", 6217.281),
    listed("6266.495 (Ne)", 6266.495),
    listed("6304.789 (Ne)", 6304.789),
    listed("6334.428 (Ne)", 6334.428),
    listed("6382.992 (Ne)", 6382.992),
    listed("6402.246 (Ne)", 6402.246),
    listed("6506.528 (Ne)", 6506.528),
    listed("6532.882 (Ne)", 6532.882),
    listed("6598.953 (Ne)", 6598.953),
    listed("6678.276 (Ne)", 6678.276),
    listed("6717.043 (Ne)", 6717.043),
    listed("6929.467 (Ne)", 6929.467),
    listed("7024.050 (Ne)", 7024.05),
    listed("7032.413 (Ne)", 7032.413),
    listed("7051.292 (Ne)", 7051.292),
    listed("7059.107 (Ne)", 7059.107),
    listed("7173.938 (Ne)", 7173.938),
    listed("7245.167 (Ne)", 7245.167),
    listed("6965.431 (Ar)", 6965.431),
    listed("7067.218 (Ar)", 7067.218),
    listed("7147.042 (Ar)", 7147.042),
    listed("7272.936 (Ar)", 7272.936),
    listed("7383.980 (Ar)", 7383.98),
    listed("4101.74  (Hs)", 4101.74),
    listed("4340.47  (Hg)", 4340.47),
    listed("4861.33  (Hb)", 4861.33),
    listed("6562.852 (Ha)", 6562.852),
    LineListEntry{"4959     (O III)", LineWavelength::fromInt16(4959)},
    LineListEntry{"5007     (O III)", LineWavelength::fromInt16(5007)},
    listed("5577.34  (O I)", 5577.34),
};

constexpr std::array kWidths{
    WidthListEntry{" 3 ", 3}, WidthListEntry{" 5 ", 5},  WidthListEntry{" 7 ", 7},
    WidthListEntry{"9 ", 9},  WidthListEntry{"11 ", 11}, WidthListEntry{"13 ", 13},
};

}  // namespace

std::span<const LineListEntry> lineList() { return kLines; }

std::span<const WidthListEntry> centroidWidthList() { return kWidths; }

}  // namespace halvic
