#pragma once

#include <span>
#include <string_view>

#include "calibration/grating_model.h"

namespace halvic {

/** A parameter of the grating model that a fit may move. */
enum class ModelTerm { Alpha, FocalLength, Deviation, Distortion2, Distortion3 };

/**
 * The term's name as the program reports it: "alpha", "focal", "deviation", "distortion2",
 * "distortion3".
 */
std::string_view termName(ModelTerm term);

/** The model's value of the term (degrees, mm, or a distortion coefficient). */
double termValue(const GratingModel& model, ModelTerm term);

/** The model with the term set to value. */
GratingModel withTerm(GratingModel model, ModelTerm term, double value);

/**
 * The derivative of the model's wavelength at pixel by the term, in Angstroms per unit of the
 * term, by a central difference of evaluateGratingModel itself: the fit and its standard errors
 * use the one grating equation there is. The step is 1e-4 of the term (at least 1e-6), far
 * above the rounding of a wavelength and far below any curvature the model has over it.
 */
double wavelengthSlope(const GratingModel& model, ModelTerm term, double pixel);

}  // namespace halvic
