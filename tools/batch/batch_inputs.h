#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/batch/batch_image.h"
#include "ui/dialogs.h"

namespace halvic {

/** What a text file given to the batch holds, or why it cannot be used. */
template <typename Value>
struct ParsedFile {
  std::optional<Value> value;
  std::string reason;  // set when value is nullopt: "line 3: ..."
};

/**
 * The observing form filled in from text: one "KEY = VALUE" line a field, KEY a name of
 * observingFormFields, blanks around both ignored; blank lines and lines that begin with '#' are
 * skipped. Fields not named keep the form's own start values. Refused with the line's number when
 * a line has no '=' or names no field, or, for the whole form, with observingFormRefusal's reason.
 */
ParsedFile<std::vector<ui::FormField>> parseObservingText(const std::string& text);

/**
 * The images of a batch and their lamps: with no pairs text, each image with the lamp (if any);
 * with it, one "IMAGE LAMP" line a pair (blank and '#' lines skipped), every image given having a
 * line, or all the pairs' images in their order when none is given. Refused, with the line or the
 * image, when a line is not two paths or an image has no pair.
 */
ParsedFile<std::vector<ImageJob>> batchJobs(const std::vector<std::string>& images,
                                            const std::optional<std::string>& lamp,
                                            const std::optional<std::string>& pairsText);

/** The first image whose stem another image before it has: their outputs would collide. */
std::optional<std::string> repeatedStem(const std::vector<ImageJob>& jobs);

}  // namespace halvic
