#include "calibration/grating_refine.h"

#include <Eigen/Dense>
#include <cmath>
#include <optional>
#include <unsupported/Eigen/NonLinearOptimization>
#include <vector>

namespace halvic {

namespace {

constexpr double kMicrometresPerMillimetre = 1000.0;
constexpr double kAngstromsPerMicrometre = 10000.0;
// Tight enough that the fit is settled far below any figure it reports.
constexpr double kTolerance = 1e-12;
constexpr Eigen::Index kMostEvaluations = 1000;
constexpr double kSingularRatio = 1e-12;

/** The parameters the fit moves: the grating angle (degrees) and the focal length (mm). */
GratingModel withParameters(GratingModel model, const Eigen::VectorXd& x) {
  model.alphaDeg = x[0];
  model.focalLengthMm = x[1];
  return model;
}

double residualOf(const GratingModel& model, const RefineLine& line) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, line.pixel, betaDeg) - line.wavelength;
}

/**
 * The residuals of the lines and their derivatives by alpha and focal length, written out from
 * the grating equation: with D the degrees per radian, u = size x offset / f and
 * beta = alpha - D atan(u), lambda = K (sin(alpha / D) + sin(beta / D)), so
 * d lambda / d alpha = K (cos(alpha / D) + cos(beta / D)) / D and
 * d lambda / d f = K cos(beta / D) (u / f) / (1 + u^2).
 */
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
    const double degreesPerRadian = static_cast<double>(base_.degreesPerRadian);
    const double k = base_.grooveSpacingUm * kAngstromsPerMicrometre *
                     std::cos(base_.gammaDeg / degreesPerRadian);
    const double pixelSizeMm = static_cast<double>(base_.xPixelSize) / kMicrometresPerMillimetre;
    const double alpha = x[0];
    const double focal = x[1];
    for (Eigen::Index i = 0; i < values(); ++i) {
      const float offset =
          static_cast<float>(lines_[static_cast<size_t>(i)].pixel - kReferencePixel);
      const double u = pixelSizeMm * static_cast<double>(offset) / focal;
      const double beta = alpha - degreesPerRadian * std::atan(u);
      const double cosBeta = std::cos(beta / degreesPerRadian);
      jacobian(i, 0) = k * (std::cos(alpha / degreesPerRadian) + cosBeta) / degreesPerRadian;
      jacobian(i, 1) = k * cosBeta * (u / focal) / (1.0 + u * u);
    }
    return 0;
  }

 private:
  GratingModel base_;
  std::span<const RefineLine> lines_;
};

bool converged(Eigen::LevenbergMarquardtSpace::Status status) {
  using Eigen::LevenbergMarquardtSpace::Status;
  switch (status) {
    case Status::RelativeReductionTooSmall:
    case Status::RelativeErrorTooSmall:
    case Status::RelativeErrorAndReductionTooSmall:
    case Status::CosinusTooSmall:
    // The tolerances are below what the arithmetic can resolve: no step improves the fit.
    case Status::FtolTooSmall:
    case Status::XtolTooSmall:
    case Status::GtolTooSmall:
      return true;
    default:
      return false;
  }
}

/** One Levenberg-Marquardt fit from the model's parameters; nullopt when it does not converge. */
std::optional<GratingModel> fitPass(const GratingModel& from, std::span<const RefineLine> lines) {
  LineResiduals residuals(from, lines);
  Eigen::LevenbergMarquardt<LineResiduals> solver(residuals);
  solver.parameters.ftol = kTolerance;
  solver.parameters.xtol = kTolerance;
  solver.parameters.maxfev = kMostEvaluations;
  Eigen::VectorXd x(2);
  x << from.alphaDeg, from.focalLengthMm;
  if (!converged(solver.minimize(x)) || !std::isfinite(x[0]) || !std::isfinite(x[1]) ||
      x[1] == 0.0) {
    return std::nullopt;
  }
  return withParameters(from, x);
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
 * Standard errors of alpha and focal length: the square roots of the diagonal of
 * s^2 (J^T J)^-1, s^2 the residual sum of squares over the degrees of freedom; nullopt when
 * J^T J cannot be inverted.
 */
std::optional<Eigen::Vector2d> standardErrors(const GratingModel& model,
                                              std::span<const RefineLine> lines) {
  const LineResiduals residuals(model, lines);
  Eigen::VectorXd x(2);
  x << model.alphaDeg, model.focalLengthMm;
  Eigen::MatrixXd jacobian(residuals.values(), 2);
  residuals.df(x, jacobian);
  const Eigen::Matrix2d normal = jacobian.transpose() * jacobian;
  // Lines that cannot tell the angle from the focal length (all on one column) leave the normal
  // matrix singular to rounding: its determinant vanishes beside the product of its diagonal.
  const double determinant = normal.determinant();
  if (!std::isfinite(determinant) ||
      std::fabs(determinant) <= kSingularRatio * normal(0, 0) * normal(1, 1)) {
    return std::nullopt;
  }
  const double rms = modelRms(model, lines);
  const auto count = static_cast<double>(lines.size());
  const double variance = rms * rms * count / (count - 2.0);
  const Eigen::Vector2d errors = (variance * normal.inverse()).diagonal().cwiseSqrt();
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
  const std::optional<Eigen::Vector2d> errors = standardErrors(*second, kept);
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
