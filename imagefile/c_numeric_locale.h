#pragma once

#include <locale.h>

namespace halvic {

/**
 * While it lives, the calling thread formats and parses numbers with the C library as the "C"
 * locale does (a decimal point, no digit grouping), whatever locale the process runs under: the
 * desktop toolkit sets the user's, and a comma locale would otherwise put "6,1E-07" into a file.
 * Every other category is "C" too for that time, so that a library's case and character rules
 * are the ones its file formats assume. Only the calling thread is affected, and its own locale
 * comes back when the guard goes, so guards nest. Should the "C" locale object not be made (no
 * memory for it), the thread keeps its locale.
 */
class CNumericLocale {
 public:
  CNumericLocale();
  ~CNumericLocale();
  CNumericLocale(const CNumericLocale&) = delete;
  CNumericLocale& operator=(const CNumericLocale&) = delete;

 private:
  locale_t previous_ = nullptr;  // nullptr: nothing was changed
};

}  // namespace halvic
