#pragma once

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace halvic {

/** The gases of the calibration lamps whose lines the program knows. */
enum class LampElement { Ne, Ar, Hg, He, Kr, Xe, Cd, Zn };

/** Every lamp element, in the order of the enum. */
inline constexpr std::array kLampElements{LampElement::Ne, LampElement::Ar, LampElement::Hg,
                                          LampElement::He, LampElement::Kr, LampElement::Xe,
                                          LampElement::Cd, LampElement::Zn};

/** The chemical symbol of a lamp element: "Ne", "Ar", ... */
std::string_view lampElementSymbol(LampElement element);

/** One line of the lamp line lists as they are published: in vacuum, with a relative amplitude. */
struct LampLineRecord {
  LampElement element;
  double vacuumA;    // Angstroms, exactly as the list writes it
  double amplitude;  // relative; comparable between lines of one list
};

/**
 * The lamp line lists compiled into the program (calibration/lamp-lines/, made into
 * lamp_line_table.cpp by tools/lamplines/lamp_line_table.py), element by element in the order
 * of the enum, each list in its own order. The table lives for the whole program.
 */
std::span<const LampLineRecord> lampLineRecords();

/** A lamp line as the calibration uses it: its wavelength in air. */
struct LampLine {
  LampElement element;
  double airA;      // Angstroms, airFromVacuum of the list's vacuum wavelength
  double strength;  // the list's relative amplitude
};

/**
 * The lines of the given elements, sorted by wavelength (lines of equal wavelength keep the
 * order of the enum). An element named twice counts once; no elements give no lines.
 */
std::vector<LampLine> lampLinesOf(std::span<const LampElement> elements);

}  // namespace halvic
