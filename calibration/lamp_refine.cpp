#include "calibration/lamp_refine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "calibration/general_solve.h"
#include "calibration/term_fit.h"

namespace halvic {

namespace {

/**
 * A line is matched to a listed one within a tolerance of where the model puts it. The first
 * lines lie near the marked ones, where the two-line model is good to a fraction of a column;
 * once a fit stands, the tolerance is that many times its leave-one-out error, between the least
 * and the most: a line a good model puts two columns off is another line, and a model that misses
 * by more than the most is not one to identify lines with.
 */
constexpr double kFirstMatchPx = 1.0;
constexpr double kMatchSigmas = 5.0;
constexpr double kLeastMatchPx = 0.75;
constexpr double kMostMatchPx = 2.5;
/** The lines first looked at lie this many columns from a marked one; each round goes further. */
constexpr double kFirstReachPx = 60.0;
constexpr double kReachGrowth = 1.5;
constexpr int kMostRounds = 40;
/**
 * The least spread the clipping takes: a tenth of a column, what a centroid on a real camera is
 * good to. With a dozen lines the MAD of a good fit can come out at a hundredth of a column, and
 * three of those would clip sound lines.
 */
constexpr double kLeastSigmaPx = 0.1;
constexpr double kMadToSigma = 1.4826;
/** The nested models, each the one before and one term more. */
constexpr std::array kNestedTerms{ModelTerm::Alpha, ModelTerm::FocalLength, ModelTerm::Deviation,
                                  ModelTerm::Distortion3, ModelTerm::Distortion2};
constexpr size_t kFewestTerms = 2;
/** Deviations a fit with the deviation free starts from, besides the model's own. */
constexpr std::array kDeviationStartsDeg{0.0, 15.0, -15.0, 30.0, -30.0, 45.0, -45.0, 60.0, -60.0};

double wavelengthAt(const GratingModel& model, double pixel) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, pixel, betaDeg);
}

/**
 * The one listed line within the match tolerance of the pixel under the model, if just one and,
 * with a width given, no other listed line lies near enough to make one peak with it.
 */
std::optional<size_t> soleListedLine(const GratingModel& model, double pixel, double tolerancePx,
                                     std::optional<double> width,
                                     std::span<const LineWavelength> listed) {
  const double lambda = wavelengthAt(model, pixel);
  const double step = wavelengthStep(model, pixel);
  std::optional<size_t> found;
  for (size_t index = 0; index < listed.size(); ++index) {
    if (std::fabs(listed[index].value - lambda) <= tolerancePx * step) {
      if (found) {
        return std::nullopt;
      }
      found = index;
    }
  }
  const auto unresolvedFromFound = [&](const LineWavelength& other) {
    return other != listed[*found] &&
           std::fabs(other.value - listed[*found].value) < kBlendWidths * *width * step;
  };
  if (found && width && std::any_of(listed.begin(), listed.end(), unresolvedFromFound)) {
    return std::nullopt;
  }
  return found;
}

/** A measured line and what it was identified as: a listed line, or a marked one. */
struct Pair {
  size_t line;
  LineWavelength wavelength;
  std::optional<size_t> listed;  // unset for a marked wavelength the lists lack
};

/** Two wavelengths this close are one line: the lists and a mark may round it differently. */
constexpr double kSameLineA = 0.01;

/**
 * The match tolerance at a column: kFirstMatchPx before any fit; then kMatchSigmas times the
 * fit's leave-one-out error and its own standard error there taken together, which grows where
 * the model reaches beyond its lines, held between kLeastMatchPx and kMostMatchPx.
 */
struct MatchTolerance {
  const TermFit* fit = nullptr;
  std::span<const ModelTerm> terms;

  double at(double pixel) const {
    if (fit == nullptr) {
      return kFirstMatchPx;
    }
    const double error = std::hypot(fit->leaveOneOutRmsPx, predictionErrorPx(*fit, terms, pixel));
    return std::clamp(kMatchSigmas * error, kLeastMatchPx, kMostMatchPx);
  }
};

/**
 * Identifies the lines within reach of a marked one that are not yet identified, as listed lines
 * not yet claimed; a listed line two lines would claim goes to neither.
 */
std::vector<Pair> identifyMore(const GratingModel& model, const std::vector<MeasuredLine>& lines,
                               const std::vector<double>& distances, double reach,
                               const MatchTolerance& tolerance, std::optional<double> width,
                               std::span<const LineWavelength> listed,
                               const std::vector<Pair>& known) {
  std::vector<bool> lineTaken(lines.size(), false);
  std::vector<int> claims(listed.size(), 0);
  for (const Pair& pair : known) {
    lineTaken[pair.line] = true;
    if (pair.listed) {
      claims[*pair.listed] = 2;
    }
  }
  std::vector<Pair> pairs;
  for (size_t index = 0; index < lines.size(); ++index) {
    if (lineTaken[index] || distances[index] > reach || lines[index].saturated) {
      continue;
    }
    if (const std::optional<size_t> match = soleListedLine(
            model, lines[index].pixel, tolerance.at(lines[index].pixel), width, listed)) {
      pairs.push_back({index, listed[*match], *match});
      ++claims[*match];
    }
  }
  std::erase_if(pairs, [&claims](const Pair& pair) { return claims[*pair.listed] > 1; });
  return pairs;
}

std::vector<RefineLine> refineLinesOf(const std::vector<Pair>& pairs,
                                      const std::vector<MeasuredLine>& lines) {
  std::vector<RefineLine> refine;
  for (const Pair& pair : pairs) {
    refine.push_back({lines[pair.line].pixel, pair.wavelength.value});
  }
  return refine;
}

/**
 * The marked lines as the refine measures them: for each mark the measured line nearest its
 * pixel within one line width, identified as the marked wavelength (and as the listed line of
 * that wavelength, which no other line may then claim).
 */
std::vector<Pair> markedPairs(const LineMarks& marks, const std::vector<MeasuredLine>& lines,
                              double width, std::span<const LineWavelength> listed) {
  std::vector<Pair> pairs;
  const std::array<std::pair<LineWavelength, double>, 2> marked{
      std::pair{marks.line1Wavelength, static_cast<double>(marks.line1Pixel)},
      std::pair{marks.line2Wavelength, static_cast<double>(marks.line2Pixel)}};
  for (const auto& [wavelength, pixel] : marked) {
    std::optional<size_t> nearest;
    for (size_t index = 0; index < lines.size(); ++index) {
      const double distance = std::fabs(lines[index].pixel - pixel);
      if (!lines[index].saturated && distance <= width &&
          (!nearest || distance < std::fabs(lines[*nearest].pixel - pixel))) {
        nearest = index;
      }
    }
    if (!nearest || (!pairs.empty() && pairs.front().line == *nearest)) {
      continue;
    }
    std::optional<size_t> same;
    for (size_t index = 0; index < listed.size(); ++index) {
      if (std::fabs(listed[index].value - wavelength.value) <= kSameLineA) {
        same = index;
      }
    }
    pairs.push_back({*nearest, wavelength, same});
  }
  return pairs;
}

/**
 * The start model passed through the two marked lines where the refine measures them: a mark
 * set a column off its line's peak leaves the two-line model a column off there, too far for the
 * first lines to be matched. The start itself when either line was not measured or no alpha and
 * focal length pass through both.
 */
GratingModel throughMarkedLines(const GratingModel& start, const std::vector<Pair>& marked,
                                const std::vector<MeasuredLine>& lines) {
  if (marked.size() != 2) {
    return start;
  }
  constexpr std::array kTwoTerms{ModelTerm::Alpha, ModelTerm::FocalLength};
  const std::vector<RefineLine> two = refineLinesOf(marked, lines);
  return solveTerms(start, two, kTwoTerms).value_or(start);
}

/** A fit and the terms it fitted. */
struct ChosenFit {
  TermFit fit;
  std::vector<ModelTerm> terms;
};

/**
 * The model with the terms the refine fits only by choice (the deviation and the distortion) as
 * the spectrograph has them, except those among the terms given.
 */
GratingModel withSpectrographTerms(GratingModel model, const GratingModel& spectrograph,
                                   std::span<const ModelTerm> kept = {}) {
  const auto keeps = [kept](ModelTerm term) {
    return std::find(kept.begin(), kept.end(), term) != kept.end();
  };
  if (!keeps(ModelTerm::Deviation)) {
    model.deviationDeg = spectrograph.deviationDeg;
  }
  if (!keeps(ModelTerm::Distortion2)) {
    model.distortion2 = spectrograph.distortion2;
  }
  if (!keeps(ModelTerm::Distortion3)) {
    model.distortion3 = spectrograph.distortion3;
  }
  return model;
}

std::optional<TermFit> betterOf(std::optional<TermFit> a, std::optional<TermFit> b) {
  if (!a || (b && b->rmsA < a->rmsA)) {
    return b;
  }
  return a;
}

/**
 * Where a fit with the deviation free starts besides the model before it: from several
 * deviations while no fit has set it, since a fit from the spectrograph's own can settle in a
 * valley at a grazing angle; from the deviation an earlier fit found once one has.
 */
struct DeviationSearch {
  const GratingModel& spectrograph;
  const GratingModel* fitted = nullptr;  // the earlier fit's model, when it fitted the deviation
};

/** The fit of the terms from the model, or, with the deviation free, the best of its starts. */
std::optional<TermFit> fitFrom(const GratingModel& from, std::span<const RefineLine> lines,
                               std::span<const ModelTerm> terms, Degeneracy degeneracy,
                               const DeviationSearch& search) {
  const bool deviationFree =
      std::find(terms.begin(), terms.end(), ModelTerm::Deviation) != terms.end();
  std::optional<TermFit> best = fitTerms(from, lines, terms, degeneracy);
  if (!deviationFree) {
    return best;
  }
  if (search.fitted != nullptr) {
    const GratingModel earlier = withSpectrographTerms(*search.fitted, search.spectrograph, terms);
    return betterOf(best, fitTerms(earlier, lines, terms, degeneracy));
  }
  // Each start deviation held fixed while alpha and the focal length fit is cheap and keeps the
  // full fit from crawling along the valley the deviation and alpha make together.
  const std::span<const ModelTerm> fewest(kNestedTerms.data(), kFewestTerms);
  std::optional<TermFit> bestStart;
  for (const double deviation : kDeviationStartsDeg) {
    if (deviation != from.deviationDeg) {
      bestStart = betterOf(bestStart, fitTerms(withDeviationAt381(from, deviation), lines, fewest,
                                               Degeneracy::Keep));
    }
  }
  if (bestStart) {
    best = betterOf(best, fitTerms(bestStart->model, lines, terms, degeneracy));
  }
  return best;
}

/**
 * The nested model the leave-one-out error chooses, fitted to the lines. A larger model is
 * compared with the one chosen so far, not only with the one just before it: with the deviation
 * free but no distortion, the lines of a real camera often pull the fit to a grazing angle, and
 * only the distortion term after it makes the deviation physical. Two terms in a row that do not
 * pay end the choice.
 */
std::optional<ChosenFit> chooseTerms(const DeviationSearch& search, const GratingModel& from,
                                     std::span<const RefineLine> lines, Degeneracy degeneracy) {
  const std::span<const ModelTerm> fewest(kNestedTerms.data(), kFewestTerms);
  const std::optional<TermFit> base = betterOf(
      fitTerms(withSpectrographTerms(from, search.spectrograph), lines, fewest, degeneracy),
      fitTerms(search.spectrograph, lines, fewest, degeneracy));
  if (!base) {
    return std::nullopt;
  }
  ChosenFit chosen{*base, {fewest.begin(), fewest.end()}};
  for (size_t count = kFewestTerms + 1; count <= kNestedTerms.size(); ++count) {
    // One term may fail to pay for itself and the next still be tried, not two.
    if (lines.size() < static_cast<size_t>(kLinesPerTerm) * count ||
        count > chosen.terms.size() + 2) {
      break;
    }
    const std::span<const ModelTerm> terms(kNestedTerms.data(), count);
    const std::optional<TermFit> more = fitFrom(chosen.fit.model, lines, terms, degeneracy, search);
    if (more && more->leaveOneOutRmsPx <= (1.0 - kLeastTermGain) * chosen.fit.leaveOneOutRmsPx) {
      chosen = ChosenFit{*more, {terms.begin(), terms.end()}};
    }
  }
  return chosen;
}

double residualPx(const GratingModel& model, const RefineLine& line) {
  return residualOf(model, line) / wavelengthStep(model, line.pixel);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

/** The spread of residuals from their median absolute deviation, in pixels. */
double robustSigmaPx(const GratingModel& model, std::span<const RefineLine> lines) {
  std::vector<double> residuals;
  for (const RefineLine& line : lines) {
    residuals.push_back(residualPx(model, line));
  }
  const double middle = median(residuals);
  for (double& residual : residuals) {
    residual = std::fabs(residual - middle);
  }
  return std::max(kLeastSigmaPx, kMadToSigma * median(std::move(residuals)));
}

/** The fit, the terms chosen and the lines kept once the clipping has settled. */
struct ClippedFit {
  ChosenFit chosen;
  std::vector<bool> kept;  // one a line given
  double sigmaPx = 0.0;    // the spread of the lines kept
};

/**
 * Chooses the terms and clips the lines until the lines kept no longer change. The clipping
 * judges the lines by the model the leave-one-out error chooses even where the lines cannot tell
 * its terms apart: a line or two far off can pull a fit onto such a valley, and only the clipping
 * of them brings it back. The result is the choice among the models that can be told apart.
 */
std::optional<ClippedFit> fitAndClip(const DeviationSearch& search, const GratingModel& from,
                                     std::span<const RefineLine> all) {
  std::vector<bool> kept(all.size(), true);
  GratingModel start = from;
  // Each pass that does not settle leaves out at least one more line.
  for (size_t pass = 0; pass <= all.size(); ++pass) {
    std::vector<RefineLine> lines;
    for (size_t i = 0; i < all.size(); ++i) {
      if (kept[i]) {
        lines.push_back(all[i]);
      }
    }
    if (static_cast<int>(lines.size()) < kFewestRefineLines) {
      return std::nullopt;
    }
    const std::optional<ChosenFit> judge = chooseTerms(search, start, lines, Degeneracy::Keep);
    if (!judge) {
      return std::nullopt;
    }
    const double limit = kClipSigmas * robustSigmaPx(judge->fit.model, lines);
    std::vector<bool> within = kept;
    for (size_t i = 0; i < all.size(); ++i) {
      within[i] = kept[i] && std::fabs(residualPx(judge->fit.model, all[i])) <= limit;
    }
    if (within == kept) {
      std::optional<ChosenFit> chosen =
          judge->fit.degenerate ? chooseTerms(search, start, lines, Degeneracy::Refuse) : judge;
      if (!chosen) {
        return std::nullopt;
      }
      const double sigma = robustSigmaPx(chosen->fit.model, lines);
      return ClippedFit{std::move(*chosen), kept, sigma};
    }
    kept = within;
    if (!judge->fit.degenerate) {
      start = judge->fit.model;
    }
  }
  return std::nullopt;
}

/** The model of the fit when it fitted the deviation. */
const GratingModel* fittedDeviation(const std::optional<ClippedFit>& fitted) {
  if (!fitted) {
    return nullptr;
  }
  const std::vector<ModelTerm>& terms = fitted->chosen.terms;
  const bool fittedIt = std::find(terms.begin(), terms.end(), ModelTerm::Deviation) != terms.end();
  return fittedIt ? &fitted->chosen.fit.model : nullptr;
}

double rmsPx(const GratingModel& model, std::span<const RefineLine> lines) {
  double sum = 0.0;
  for (const RefineLine& line : lines) {
    const double residual = residualPx(model, line);
    sum += residual * residual;
  }
  return lines.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(lines.size()));
}

}  // namespace

bool LampRefine::improved() const {
  return status == RefineStatus::Refined && leaveOneOutPx < startRmsPx &&
         worstPredictionPx <= kMostTrustedPredictionPx && leastStepRatio >= 1.0 / kMostStepChange &&
         mostStepRatio <= kMostStepChange;
}

LampRefine refineOnLampLines(const LampRefineInputs& inputs) {
  LampRefine result;
  result.model = inputs.start;
  result.lineWidthPx = lampLineWidth(inputs.lamp);
  const double noise = profileNoise(inputs.lamp);
  const std::vector<MeasuredLine> lines = findLines(inputs.lamp, result.lineWidthPx, noise);
  std::vector<double> distances;
  for (const MeasuredLine& line : lines) {
    distances.push_back(std::min(std::fabs(line.pixel - inputs.marks.line1Pixel),
                                 std::fabs(line.pixel - inputs.marks.line2Pixel)));
  }
  std::vector<Pair> pairs = markedPairs(inputs.marks, lines, result.lineWidthPx, inputs.listed);
  GratingModel model = throughMarkedLines(inputs.start, pairs, lines);
  std::vector<Pair> refused;
  std::optional<ClippedFit> fitted;
  const std::optional<double> unresolvedWidth =
      inputs.everyListedLineShows ? std::optional(result.lineWidthPx) : std::nullopt;
  double reach = kFirstReachPx;
  for (int round = 0; round < kMostRounds; ++round) {
    const MatchTolerance tolerance =
        fitted ? MatchTolerance{&fitted->chosen.fit, fitted->chosen.terms} : MatchTolerance{};
    std::vector<Pair> known = pairs;
    known.insert(known.end(), refused.begin(), refused.end());
    const std::vector<Pair> more = identifyMore(model, lines, distances, reach, tolerance,
                                                unresolvedWidth, inputs.listed, known);
    if (more.empty() && reach >= inputs.lamp.length) {
      break;
    }
    reach *= kReachGrowth;
    if (more.empty()) {
      continue;
    }
    pairs.insert(pairs.end(), more.begin(), more.end());
    const std::vector<RefineLine> refineLines = refineLinesOf(pairs, lines);
    if (static_cast<int>(refineLines.size()) < kFewestRefineLines) {
      continue;
    }
    const DeviationSearch search{inputs.start, fittedDeviation(fitted)};
    if (std::optional<ClippedFit> next = fitAndClip(search, model, refineLines)) {
      model = next->chosen.fit.model;
      fitted = std::move(next);
    } else if (fitted) {
      // The lines just taken break a fit that stood: they are not trusted again.
      pairs.resize(pairs.size() - more.size());
      refused.insert(refused.end(), more.begin(), more.end());
    }
  }
  if (!fitted) {
    result.status = pairs.size() < static_cast<size_t>(kFewestRefineLines)
                        ? RefineStatus::TooFewLines
                        : RefineStatus::NotConverged;
    return result;
  }
  std::vector<RefineLine> used;
  for (size_t i = 0; i < pairs.size(); ++i) {
    const bool rejected = !fitted->kept[i];
    result.lines.push_back({lines[pairs[i].line].pixel, pairs[i].wavelength, rejected});
    if (rejected) {
      ++result.rejected;
    } else {
      used.push_back({lines[pairs[i].line].pixel, pairs[i].wavelength.value});
    }
  }
  std::sort(result.lines.begin(), result.lines.end(),
            [](const IdentifiedLine& a, const IdentifiedLine& b) {
              return a.listed.value < b.listed.value;
            });
  result.status = RefineStatus::Refined;
  result.model = fitted->chosen.fit.model;
  result.terms = fitted->chosen.terms;
  result.standardErrors = fitted->chosen.fit.standardErrors;
  result.leastStepRatio = std::numeric_limits<double>::infinity();
  for (int column = 1; column <= inputs.lamp.length; ++column) {
    result.worstPredictionPx =
        std::max(result.worstPredictionPx,
                 predictionErrorPx(fitted->chosen.fit, fitted->chosen.terms, column));
    const double ratio =
        wavelengthStep(result.model, column) / wavelengthStep(inputs.start, column);
    result.leastStepRatio = std::min(result.leastStepRatio, ratio);
    result.mostStepRatio = std::max(result.mostStepRatio, ratio);
  }
  result.used = static_cast<int>(used.size());
  result.rmsA = fitted->chosen.fit.rmsA;
  result.leaveOneOutPx = fitted->chosen.fit.leaveOneOutRmsPx;
  result.startRmsA = modelRms(inputs.start, used);
  result.startRmsPx = rmsPx(inputs.start, used);
  return result;
}

}  // namespace halvic
