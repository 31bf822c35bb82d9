#pragma once

#include <fitsio.h>

#include <optional>
#include <string>

namespace halvic::fits {

/**
 * The reason to give for a cfitsio status: "the file ends early" for a read past the end (what
 * cfitsio reports of a file that stops inside a header or the data), else cfitsio's own text.
 * Clears cfitsio's stack of messages, which has then been read.
 */
std::string reasonOf(int status);

/** Clears cfitsio's messages of a failure that is answered otherwise (a key that is missing). */
void forget(int status);

/** The current unit's key as a finite number, a whole number or a text; nullopt when missing. */
std::optional<double> numberKey(fitsfile* file, const char* key);
std::optional<long long> wholeKey(fitsfile* file, const char* key);
std::optional<std::string> textKey(fitsfile* file, const char* key);

}  // namespace halvic::fits
