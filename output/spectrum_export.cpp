#include "output/spectrum_export.h"

#include <span>

#include "calibration/grating_choice.h"
#include "imagefile/atomic_file.h"
#include "imagefile/image_reader.h"
#include "output/barycentre_fields.h"
#include "output/observing_details.h"
#include "ui/program_name.h"

namespace halvic {

std::vector<std::string> exportHistory(const Calibration& calibration) {
  std::vector<std::string> history =
      calibrationHistory(calibration.marks, calibration.model, ui::kProgramName);
  history.insert(history.end() - 1, "Grating: " + gratingName(calibration.spectrograph.linesPerMm,
                                                              calibration.model.grooveSpacingUm));
  return history;
}

std::optional<std::string> exportDateObs(const HeaderBytes& header,
                                         const std::vector<ui::FormField>& fields) {
  const std::optional<std::string> date = headerValue(header, kDateKey);
  const std::optional<std::string> time = headerValue(header, kTimeKey);
  if (!date || !time) {
    return std::nullopt;
  }
  return dateObsOf(*date, *time, observingDetailsOf(fields).utcOffsetHours);
}

namespace {

/** The correction to the barycentre the form's fields ask for, in m/s, when they give one. */
std::optional<double> barycentricVelocityOf(const std::vector<ui::FormField>& fields,
                                            const std::optional<std::string>& dateObs) {
  const std::optional<BarycentreInputs> inputs = barycentreInputsOf(fields, dateObs);
  if (!inputs) {
    return std::nullopt;
  }
  return barycentricCorrection(inputs->site, inputs->target, inputs->midExposure).metresPerSecond;
}

std::vector<std::string> historyWithOrigin(const SpectrumExport& spectrum) {
  std::vector<std::string> history = exportHistory(spectrum.calibration);
  history.insert(history.end(), spectrum.originHistory.begin(), spectrum.originHistory.end());
  return history;
}

}  // namespace

FitsSpectrumFiles buildSpectrumExport(const SpectrumExport& spectrum) {
  const std::optional<std::string> dateObs = exportDateObs(spectrum.header, spectrum.fields);
  return buildFitsSpectrumFiles(FitsSpectrumInputs{
      .profile = spectrum.profile,
      .length = spectrum.length,
      .model = spectrum.calibration.model,
      .details = observingDetailsOf(spectrum.fields),
      .dateObs = dateObs,
      .history = historyWithOrigin(spectrum),
      .vacuum = vacuumRequested(spectrum.fields),
      .barycentricMetresPerSecond = barycentricVelocityOf(spectrum.fields, dateObs),
      .correctToBarycentre = barycentreRequested(spectrum.fields),
      .reduction = spectrum.reduction,
  });
}

std::optional<ExportWriteFailure> writeFilesTogether(
    const std::vector<std::string>& names, const std::vector<std::span<const char>>& contents) {
  std::vector<StagedFile> staged(contents.size());
  for (size_t i = 0; i < contents.size(); ++i) {
    if (auto failure = staged[i].stage(names[i], contents[i])) {
      return ExportWriteFailure{names[i], *failure};
    }
  }
  std::vector<StagedFile*> lastFirst;
  for (auto file = staged.rbegin(); file != staged.rend(); ++file) {
    lastFirst.push_back(&*file);
  }
  if (auto failure = commitTogether(lastFirst)) {
    return ExportWriteFailure{names[contents.size() - 1 - failure->index], failure->reason};
  }
  return std::nullopt;
}

std::optional<ExportWriteFailure> writeSpectrumFiles(const std::vector<std::string>& names,
                                                     const FitsSpectrumFiles& files) {
  if (files.failure) {
    return ExportWriteFailure{names[0], *files.failure};
  }
  return writeFilesTogether(
      names, {std::span<const char>(files.resampled), std::span<const char>(files.perColumn)});
}

}  // namespace halvic
