#include "tools/batch/batch_inputs.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "output/barycentre_fields.h"
#include "output/observing_details.h"

namespace halvic {

namespace {

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

/** The text's lines that say something, each with its number from 1. */
std::vector<std::pair<int, std::string>> meaningfulLines(const std::string& text) {
  std::vector<std::pair<int, std::string>> lines;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = trimmed(line);
    if (!line.empty() && line.front() != '#') {
      lines.emplace_back(number, line);
    }
  }
  return lines;
}

std::string atLine(int number, const std::string& reason) {
  return "line " + std::to_string(number) + ": " + reason;
}

}  // namespace

ParsedFile<std::vector<ui::FormField>> parseObservingText(const std::string& text) {
  std::vector<ui::FormField> fields = observingFormFields();
  const std::vector<ui::FormField> barycentre = barycentreFormFields();
  fields.insert(fields.end(), barycentre.begin(), barycentre.end());
  for (const auto& [number, line] : meaningfulLines(text)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      return {std::nullopt, atLine(number, "no '=' in it")};
    }
    const std::string key = trimmed(line.substr(0, equals));
    auto field = std::find_if(fields.begin(), fields.end(),
                              [&](const ui::FormField& each) { return each.name == key; });
    if (field == fields.end()) {
      return {std::nullopt, atLine(number, "no field is called '" + key + "'")};
    }
    field->value = trimmed(line.substr(equals + 1));
  }
  if (std::optional<std::string> refusal = observingFormRefusal(fields)) {
    return {std::nullopt, *refusal};
  }
  // The coordinates are checked here; what the correction needs of each image, with it.
  std::vector<ui::FormField> coordinatesOnly = fields;
  for (ui::FormField& field : coordinatesOnly) {
    if (field.name == kBarycentreRequestKey) {
      field.value = "0";
    }
  }
  if (std::optional<std::string> refusal = barycentreRefusal(coordinatesOnly, std::nullopt)) {
    return {std::nullopt, *refusal};
  }
  return {fields, {}};
}

ParsedFile<std::vector<ImageJob>> batchJobs(const std::vector<std::string>& images,
                                            const std::optional<std::string>& lamp,
                                            const std::optional<std::string>& pairsText) {
  std::vector<ImageJob> jobs;
  if (!pairsText) {
    for (const std::string& image : images) {
      jobs.push_back(ImageJob{image, lamp});
    }
    return {jobs, {}};
  }
  std::vector<ImageJob> pairs;
  std::map<std::string, std::string> lampOf;
  for (const auto& [number, line] : meaningfulLines(*pairsText)) {
    std::istringstream words(line);
    std::string image, pairedLamp, extra;
    if (!(words >> image >> pairedLamp) || (words >> extra)) {
      return {std::nullopt, atLine(number, "not an image and a lamp")};
    }
    pairs.push_back(ImageJob{image, pairedLamp});
    lampOf[image] = pairedLamp;
  }
  if (images.empty()) {
    return {pairs, {}};
  }
  for (const std::string& image : images) {
    const auto pair = lampOf.find(image);
    if (pair == lampOf.end()) {
      return {std::nullopt, image + " has no lamp in the pairs file"};
    }
    jobs.push_back(ImageJob{image, pair->second});
  }
  return {jobs, {}};
}

std::optional<std::string> repeatedStem(const std::vector<ImageJob>& jobs) {
  std::set<std::string> stems;
  for (const ImageJob& job : jobs) {
    if (!stems.insert(imageStem(job.image)).second) {
      return job.image;
    }
  }
  return std::nullopt;
}

}  // namespace halvic
