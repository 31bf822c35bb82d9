#include "calibration/term_fit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <unsupported/Eigen/NonLinearOptimization>

namespace halvic {

namespace {

// Tight enough that the fit is settled far below any figure it reports.
constexpr double kTolerance = 1e-12;
constexpr Eigen::Index kMostEvaluations = 2000;
/**
 * Lines that cannot tell the terms apart leave the Jacobian, its columns scaled to one length,
 * with a smallest singular value this small beside its largest: far below any real spectrograph's
 * terms, which the derivatives (central differences, good to some 1e-9) still tell apart.
 */
constexpr double kSingularRatio = 1e-8;
/** At a minimum the residuals stand at right angles to every direction a term moves them. */
constexpr double kLargestGradientCosine = 1e-6;
/** Residuals this small are the arithmetic's own: the lines are met, whatever the angles say. */
constexpr double kExactFitRmsA = 1e-6;

GratingModel withParameters(GratingModel model, std::span<const ModelTerm> terms,
                            const Eigen::VectorXd& x) {
  for (size_t j = 0; j < terms.size(); ++j) {
    model = withTerm(model, terms[j], x[static_cast<Eigen::Index>(j)]);
  }
  return model;
}

Eigen::VectorXd parametersOf(const GratingModel& model, std::span<const ModelTerm> terms) {
  Eigen::VectorXd x(static_cast<Eigen::Index>(terms.size()));
  for (size_t j = 0; j < terms.size(); ++j) {
    x[static_cast<Eigen::Index>(j)] = termValue(model, terms[j]);
  }
  return x;
}

/** The residuals of the lines under a model, and their derivatives by the fitted terms. */
class LineResiduals {
 public:
  LineResiduals(const GratingModel& base, std::span<const RefineLine> lines,
                std::span<const ModelTerm> terms)
      : base_(base), lines_(lines), terms_(terms) {}

  Eigen::Index values() const { return static_cast<Eigen::Index>(lines_.size()); }

  int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& residuals) const {
    const GratingModel model = withParameters(base_, terms_, x);
    for (Eigen::Index i = 0; i < values(); ++i) {
      residuals[i] = residualOf(model, lines_[static_cast<size_t>(i)]);
    }
    return 0;
  }

  int df(const Eigen::VectorXd& x, Eigen::MatrixXd& jacobian) const {
    const GratingModel model = withParameters(base_, terms_, x);
    for (Eigen::Index i = 0; i < values(); ++i) {
      for (size_t j = 0; j < terms_.size(); ++j) {
        jacobian(i, static_cast<Eigen::Index>(j)) =
            wavelengthSlope(model, terms_[j], lines_[static_cast<size_t>(i)].pixel);
      }
    }
    return 0;
  }

  Eigen::MatrixXd jacobianAt(const GratingModel& model) const {
    Eigen::MatrixXd jacobian(values(), static_cast<Eigen::Index>(terms_.size()));
    df(parametersOf(model, terms_), jacobian);
    return jacobian;
  }

  Eigen::VectorXd residualsAt(const GratingModel& model) const {
    Eigen::VectorXd residuals(values());
    (*this)(parametersOf(model, terms_), residuals);
    return residuals;
  }

 private:
  GratingModel base_;
  std::span<const RefineLine> lines_;
  std::span<const ModelTerm> terms_;
};

/** (J^T J)^-1, or its pseudo-inverse where the lines cannot tell some terms apart. */
struct NormalInverse {
  Eigen::MatrixXd inverse;
  bool degenerate = false;
};

/**
 * (J^T J)^-1, from the singular values of J with its columns scaled to one length (terms of very
 * different units, degrees and millimetres, are then compared fairly). Where the lines cannot
 * tell the terms apart, the directions they cannot see are left out: the pseudo-inverse.
 */
std::optional<NormalInverse> inverseNormal(const Eigen::MatrixXd& jacobian) {
  const Eigen::VectorXd lengths = jacobian.colwise().norm();
  if (!lengths.allFinite() || (lengths.array() <= 0.0).any()) {
    return std::nullopt;
  }
  const Eigen::MatrixXd scaled = jacobian * lengths.cwiseInverse().asDiagonal();
  const Eigen::JacobiSVD<Eigen::MatrixXd> svd(scaled, Eigen::ComputeThinV);
  const Eigen::VectorXd& values = svd.singularValues();
  const double least = kSingularRatio * values.maxCoeff();
  Eigen::VectorXd inverseSquares(values.size());
  for (Eigen::Index i = 0; i < values.size(); ++i) {
    inverseSquares[i] = values[i] > least ? 1.0 / (values[i] * values[i]) : 0.0;
  }
  const Eigen::MatrixXd scaledInverse =
      svd.matrixV() * inverseSquares.asDiagonal() * svd.matrixV().transpose();
  return NormalInverse{
      lengths.cwiseInverse().asDiagonal() * scaledInverse * lengths.cwiseInverse().asDiagonal(),
      !(values.minCoeff() > least)};
}

/** The leave-one-out RMS in pixels from the hat matrix's diagonal. */
double leaveOneOutRmsPx(const TermFit& fit, std::span<const RefineLine> lines,
                        const Eigen::MatrixXd& jacobian, const Eigen::MatrixXd& inverse,
                        const Eigen::VectorXd& residuals) {
  double sum = 0.0;
  for (Eigen::Index i = 0; i < residuals.size(); ++i) {
    const double leverage = jacobian.row(i) * inverse * jacobian.row(i).transpose();
    const double leftOut = residuals[i] / (1.0 - leverage);
    const double inPixels =
        leftOut / wavelengthStep(fit.model, lines[static_cast<size_t>(i)].pixel);
    sum += inPixels * inPixels;
  }
  return std::sqrt(sum / static_cast<double>(residuals.size()));
}

}  // namespace

double residualOf(const GratingModel& model, const RefineLine& line) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, line.pixel, betaDeg) - line.wavelength;
}

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

double wavelengthStep(const GratingModel& model, double pixel) {
  double betaDeg = 0.0;
  return std::fabs(evaluateGratingModel(model, pixel + 0.5, betaDeg) -
                   evaluateGratingModel(model, pixel - 0.5, betaDeg));
}

double predictionErrorPx(const TermFit& fit, std::span<const ModelTerm> terms, double pixel) {
  if (fit.covariance.size() != terms.size() * terms.size()) {
    return 0.0;
  }
  double variance = 0.0;
  for (size_t j = 0; j < terms.size(); ++j) {
    for (size_t k = 0; k < terms.size(); ++k) {
      variance += wavelengthSlope(fit.model, terms[j], pixel) *
                  fit.covariance[j * terms.size() + k] *
                  wavelengthSlope(fit.model, terms[k], pixel);
    }
  }
  return std::sqrt(std::max(0.0, variance)) / wavelengthStep(fit.model, pixel);
}

bool isLeastSquaresMinimum(const GratingModel& model, std::span<const RefineLine> lines,
                           std::span<const ModelTerm> terms) {
  if (modelRms(model, lines) < kExactFitRmsA) {
    return true;
  }
  const LineResiduals residuals(model, lines, terms);
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

/**
 * The model Levenberg-Marquardt reaches from start for the terms, whatever made it stop; nullopt
 * when its terms are not finite or its focal length is 0.
 */
std::optional<GratingModel> minimisedFrom(const GratingModel& start,
                                          std::span<const RefineLine> lines,
                                          std::span<const ModelTerm> terms) {
  LineResiduals residuals(start, lines, terms);
  Eigen::LevenbergMarquardt<LineResiduals> solver(residuals);
  solver.parameters.ftol = kTolerance;
  solver.parameters.xtol = kTolerance;
  solver.parameters.maxfev = kMostEvaluations;
  Eigen::VectorXd x = parametersOf(start, terms);
  solver.minimize(x);
  const GratingModel model = withParameters(start, terms, x);
  if (!x.allFinite() || model.focalLengthMm == 0.0) {
    return std::nullopt;
  }
  return model;
}

}  // namespace

std::optional<GratingModel> solveTerms(const GratingModel& start, std::span<const RefineLine> lines,
                                       std::span<const ModelTerm> terms) {
  if (lines.size() != terms.size() || lines.empty()) {
    return std::nullopt;
  }
  const std::optional<GratingModel> model = minimisedFrom(start, lines, terms);
  if (!model || !(modelRms(*model, lines) < kExactFitRmsA)) {
    return std::nullopt;
  }
  return *model;
}

std::optional<TermFit> fitTerms(const GratingModel& start, std::span<const RefineLine> lines,
                                std::span<const ModelTerm> terms, Degeneracy degeneracy) {
  if (lines.size() <= terms.size()) {
    return std::nullopt;
  }
  const std::optional<GratingModel> minimised = minimisedFrom(start, lines, terms);
  if (!minimised || !isLeastSquaresMinimum(*minimised, lines, terms)) {
    return std::nullopt;
  }
  const LineResiduals residuals(start, lines, terms);
  TermFit fit;
  fit.model = *minimised;
  const Eigen::MatrixXd jacobian = residuals.jacobianAt(fit.model);
  const std::optional<NormalInverse> normal = inverseNormal(jacobian);
  if (!normal || (normal->degenerate && degeneracy == Degeneracy::Refuse)) {
    return std::nullopt;
  }
  fit.degenerate = normal->degenerate;
  fit.rmsA = modelRms(fit.model, lines);
  fit.leaveOneOutRmsPx =
      leaveOneOutRmsPx(fit, lines, jacobian, normal->inverse, residuals.residualsAt(fit.model));
  if (fit.degenerate) {
    return fit;
  }
  const auto count = static_cast<double>(lines.size());
  const auto freedom = count - static_cast<double>(terms.size());
  const double variance = fit.rmsA * fit.rmsA * count / freedom;
  for (Eigen::Index j = 0; j < normal->inverse.cols(); ++j) {
    const double error = std::sqrt(variance * normal->inverse(j, j));
    if (!std::isfinite(error)) {
      return std::nullopt;
    }
    fit.standardErrors.push_back(error);
    for (Eigen::Index k = 0; k < normal->inverse.cols(); ++k) {
      fit.covariance.push_back(variance * normal->inverse(j, k));
    }
  }
  return fit;
}

}  // namespace halvic
