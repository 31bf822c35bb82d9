#pragma once

#include <span>

namespace halvic::guide {

class GuideSession;

/**
 * One step of the user guide's road: what the user does, and the picture the guide shows after
 * it, by the name the guide uses (docs/user-guide/NAME.png).
 */
struct GuideStep {
  const char* picture;
  void (*take)(GuideSession& session);
};

/** The road of the user guide in order, from the window as it opens to the File menu. */
std::span<const GuideStep> guideSteps();

}  // namespace halvic::guide
