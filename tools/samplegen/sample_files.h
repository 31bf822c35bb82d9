#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace halvic::samplegen {

/** One sample file: its name within the samples folder and its complete contents. */
struct SampleFile {
  std::string name;
  std::vector<uint8_t> bytes;
};

/**
 * The four sample files, built in memory: "neon-lamp.kr4", "neon-lamp-compressed.kr4",
 * "object-spectrum.kr4", "object-spectrum-compressed.kr4". The same on every run and machine.
 * In the compressed files every fifth row (5, 10, 15, 20) is stored raw, the others delta-coded.
 */
std::vector<SampleFile> buildSampleFiles();

/**
 * Writes the sample files into folder, creating it when missing. Returns an empty text on
 * success, otherwise what went wrong (files written before the failure stay).
 */
std::string writeSampleFiles(const std::filesystem::path& folder);

/**
 * A plain-text account of what the samples hold: the true model's parameters, every lamp line
 * placed with its pixel position, the sky and absorption lines, the object and sky rows, and the
 * result of a two-line calibration on the anchor lines.
 */
std::string describeSamples();

}  // namespace halvic::samplegen
