#pragma once

#include <locale.h>

namespace halvic {

/**
 * While it lives, the calling thread formats and reads numbers with the C library's "C" rules
 * (a '.' decimal point), whatever LC_NUMERIC the process runs under; every other category stays
 * the thread's. For libraries that print and parse numbers with printf and strtod (cfitsio):
 * create one around their calls. Only this thread is switched, so other threads and the rest of
 * the program keep the user's locale. Should the C library fail to make the locale, nothing is
 * switched and numbers follow the process's locale as before.
 */
class CNumericLocale {
 public:
  CNumericLocale();
  ~CNumericLocale();
  CNumericLocale(const CNumericLocale&) = delete;
  CNumericLocale& operator=(const CNumericLocale&) = delete;

 private:
  locale_t numeric_ = nullptr;
  locale_t previous_ = nullptr;
};

}  // namespace halvic
