#include "calibration/grating_refine.h"

#include <Eigen/Dense>
#include <array>
#include <cmath>
#include <optional>
#include <unsupported/Eigen/NonLinearOptimization>
#include <vector>

#include "calibration/model_terms.h"

namespace halvic {

namespace {

// Tight enough that the fit is settled far below any figure it reports.
constexpr double kTolerance = 1e-12;
constexpr Eigen::Index kMostEvaluations = 1000;
constexpr double kSingularRatio = 1e-12;
/** At a minimum the residuals stand at right angles to every direction a term moves them. */
constexpr double kLargestGradientCosine = 1e-6;
/** Residuals this small are the arithmetic's own: the lines are met, whatever the angles say. */
constexpr double kExactFitRmsA = 1e-6;

/** The parameters the fit moves: the grating angle (degrees) and the focal length (mm). */
constexpr std::array kFittedTerms{ModelTerm::Alpha, ModelTerm::FocalLength};

GratingModel withParameters(GratingModel model, const Eigen::VectorXd& x) {
  for (size_t j = 0; j < kFittedTerms.size(); ++j) {
    model = withTerm(model, kFittedTerms[j], x[static_cast<Eigen::Index>(j)]);
  }
  return model;
}

Eigen::VectorXd parametersOf(const GratingModel& model) {
  Eigen::VectorXd x(static_cast<Eigen::Index>(kFittedTerms.size()));
  for (size_t j = 0; j < kFittedTerms.size(); ++j) {
    x[static_cast<Eigen::Index>(j)] = termValue(model, kFittedTerms[j]);
  }
  return x;
}

double residualOf(const GratingModel& model, const RefineLine& line) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, line.pixel, betaDeg) - line.wavelength;
}

/** The residuals of the lines under a model, and their derivatives by its fitted terms. */
class LineResiduals {
 public:
  LineResiduals(const GratingModel& base, std::span<const RefineLine> lines)
      : base_(base), lines_(lines) {}

  Eigen::Index values() const { return static_cast<Eigen::Index>(lines_.size()); }

  int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& residuals) const {
    const GratingModel model = withParameters(base_, x);
    for (Eigen::Index i = 0; i < values(); ++i) {
      residuals[i] = residualOf(model, lines_[static_cast<size_t>(i)]);
    }
    return 0;
  }

  int df(const Eigen::VectorXd& x, Eigen::MatrixXd& jacobian) const {
    const GratingModel model = withParameters(base_, x);
    for (Eigen::Index i = 0; i < values(); ++i) {
      for (size_t j = 0; j < kFittedTerms.size(); ++j) {
        jacobian(i, static_cast<Eigen::Index>(j)) =
            wavelengthSlope(model, kFittedTerms[j], lines_[static_cast<size_t>(i)].pixel);
      }
    }
    return 0;
  }

  Eigen::MatrixXd jacobianAt(const GratingModel& model) const {
    Eigen::MatrixXd jacobian(values(), static_cast<Eigen::Index>(kFittedTerms.size()));
    df(parametersOf(model), jacobian);
    return jacobian;
  }

  Eigen::VectorXd residualsAt(const GratingModel& model) const {
    Eigen::VectorXd residuals(values());
    (*this)(parametersOf(model), residuals);
    return residuals;
  }

 private:
  GratingModel base_;
  std::span<const RefineLine> lines_;
};

}  // namespace

bool isLeastSquaresMinimum(const GratingModel& model, std::span<const RefineLine> lines) {
  if (modelRms(model, lines) < kExactFitRmsA) {
    return true;
  }
  const LineResiduals residuals(model, lines);
  const Eigen::VectorXd r = residuals.residualsAt(model);
  const Eigen::MatrixXd jacobian = residuals.jacobianAt(model);
  for (Eigen::Index j = 0; j < jacobian.cols(); ++j) {
    const double lengths = jacobian.col(j).norm() * r.norm();
    if (!(lengths > 0.0) || std::fabs(jacobian.col(j).dot(r)) > kLargestGradientCosine * lengths) {
      return false;
    }
  }
  return true;
}

namespace {

/** One Levenberg-Marquardt fit from the model's parameters; nullopt unless it ends at a minimum. */
std::optional<GratingModel> fitPass(const GratingModel& from, std::span<const RefineLine> lines) {
  LineResiduals residuals(from, lines);
  Eigen::LevenbergMarquardt<LineResiduals> solver(residuals);
  solver.parameters.ftol = kTolerance;
  solver.parameters.xtol = kTolerance;
  solver.parameters.maxfev = kMostEvaluations;
  Eigen::VectorXd x = parametersOf(from);
  solver.minimize(x);
  const GratingModel fitted = withParameters(from, x);
  if (!x.allFinite() || fitted.focalLengthMm == 0.0 || !isLeastSquaresMinimum(fitted, lines)) {
    return std::nullopt;
  }
  return fitted;
}

std::vector<RefineLine> linesWithin(const GratingModel& model, std::span<const RefineLine> lines,
                                    double limit) {
  std::vector<RefineLine> kept;
  for (const RefineLine& line : lines) {
    if (std::fabs(residualOf(model, line)) <= limit) {
      kept.push_back(line);
    }
  }
  return kept;
}

/**
 * Standard errors of the fitted terms: the square roots of the diagonal of s^2 (J^T J)^-1, s^2
 * the residual sum of squares over the degrees of freedom (lines less terms); nullopt when
 * J^T J cannot be inverted.
 */
std::optional<Eigen::VectorXd> standardErrors(const GratingModel& model,
                                              std::span<const RefineLine> lines) {
  const Eigen::MatrixXd jacobian = LineResiduals(model, lines).jacobianAt(model);
  const Eigen::MatrixXd normal = jacobian.transpose() * jacobian;
  // Lines that cannot tell the terms apart (all on one column) leave the normal matrix singular
  // to rounding: its determinant vanishes beside the product of its diagonal.
  const double determinant = normal.determinant();
  if (!std::isfinite(determinant) ||
      std::fabs(determinant) <= kSingularRatio * normal.diagonal().prod()) {
    return std::nullopt;
  }
  const double rms = modelRms(model, lines);
  const auto count = static_cast<double>(lines.size());
  const auto terms = static_cast<double>(kFittedTerms.size());
  const double variance = rms * rms * count / (count - terms);
  const Eigen::VectorXd errors = (variance * normal.inverse()).diagonal().cwiseSqrt();
  if (!errors.allFinite()) {
    return std::nullopt;
  }
  return errors;
}

}  // namespace

double modelRms(const GratingModel& model, std::span<const RefineLine> lines) {
  if (lines.empty()) {
    return 0.0;
  }
  double sum = 0.0;
  for (const RefineLine& line : lines) {
    const double residual = residualOf(model, line);
    sum += residual * residual;
  }
  return std::sqrt(sum / static_cast<double>(lines.size()));
}

RefineResult refineGratingModel(const GratingModel& start, std::span<const RefineLine> lines) {
  RefineResult result;
  result.model = start;
  result.linesGiven = static_cast<int>(lines.size());
  result.rmsBeforeA = modelRms(start, lines);
  if (result.linesGiven < kFewestRefineLines) {
    result.status = RefineStatus::TooFewLines;
    return result;
  }
  const std::optional<GratingModel> first = fitPass(start, lines);
  if (!first) {
    return result;
  }
  const std::vector<RefineLine> kept =
      linesWithin(*first, lines, kRefineRejectionMultiple * modelRms(*first, lines));
  const std::optional<GratingModel> second =
      kept.size() == lines.size() ? first : fitPass(*first, kept);
  if (!second || static_cast<int>(kept.size()) < kFewestRefineLines) {
    return result;
  }
  const std::optional<Eigen::VectorXd> errors = standardErrors(*second, kept);
  if (!errors) {
    return result;
  }
  result.status = RefineStatus::Refined;
  result.model = *second;
  result.alphaErrorDeg = (*errors)[0];
  result.focalLengthErrorMm = (*errors)[1];
  result.rmsAfterA = modelRms(*second, kept);
  result.linesKept = static_cast<int>(kept.size());
  return result;
}

}  // namespace halvic
