#include "imagefile/c_numeric_locale.h"

namespace halvic {

namespace {

/** Made once and kept for the life of the process, as uselocale() requires of a thread's locale. */
locale_t cLocale() {
  static const locale_t made = ::newlocale(LC_ALL_MASK, "C", locale_t{});
  return made;
}

}  // namespace

CNumericLocale::CNumericLocale() {
  if (const locale_t c = cLocale(); c != nullptr) {
    previous_ = ::uselocale(c);
  }
}

CNumericLocale::~CNumericLocale() {
  if (previous_ != nullptr) {
    ::uselocale(previous_);
  }
}

}  // namespace halvic
