#include "imagefile/c_numeric_locale.h"

namespace halvic {

CNumericLocale::CNumericLocale() {
  // The thread's own categories are copied so that only LC_NUMERIC changes; newlocale takes over
  // the copy when it succeeds and leaves it to be freed when it fails.
  const locale_t current = ::uselocale(nullptr);
  const locale_t copy = ::duplocale(current);
  if (copy == nullptr) {
    return;
  }
  numeric_ = ::newlocale(LC_NUMERIC_MASK, "C", copy);
  if (numeric_ == nullptr) {
    ::freelocale(copy);
    return;
  }
  previous_ = ::uselocale(numeric_);
}

CNumericLocale::~CNumericLocale() {
  if (numeric_ == nullptr) {
    return;
  }
  ::uselocale(previous_);
  ::freelocale(numeric_);
}

}  // namespace halvic
