#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "imagefile/image_array.h"

namespace halvic {

/** The header keys of the capture's date (month/day/year) and time (hours:minutes:seconds). */
inline constexpr std::string_view kDateKey = "Date =";
inline constexpr std::string_view kTimeKey = "Time =";
/** The header key of the pixel width, in millimetres. */
inline constexpr std::string_view kPixelSizeKey = "X_pixel_size =";

/** Header fields of the image being loaded; a field is written only when its line is found. */
struct ImageHeaderFields {
  int16_t height = 0;
  int16_t width = 0;
  int16_t background = 0;
  int32_t range = 0;
  float xPixelSize = 0.0f;  // micrometres: the header's millimetres times 1000
  std::string caption;      // the path, then " captured on " DATE and " at " TIME as the lines come
  bool compressed = false;  // reset at the start of every scan
  /**
   * The value of the last pixel size line that was ignored because no camera has such pixels
   * (see isPlausiblePixelSize), as the header writes it; empty when none was. Reset at the start
   * of every scan.
   */
  std::string ignoredPixelSize;
};

/** The pixel sizes a camera can have, in micrometres: 0.5 to 1000. */
inline constexpr float kSmallestPixelSizeUm = 0.5f;
inline constexpr float kLargestPixelSizeUm = 1000.0f;

/** Whether a pixel size in micrometres is one a camera can have: finite, 0.5 to 1000. */
bool isPlausiblePixelSize(double micrometres);

/** Outcome of a header scan or a pixel read; anything but Ok ends the load. */
enum class ReadStatus {
  Ok,
  CannotOpen,       // the file is not there, is a folder, or cannot be opened for reading
  NotARegularFile,  // the path names a FIFO, a device or a socket, which is never opened
  NoEndLine,        // no line beginning with "End" in the header block (or before the data ends)
  BadNumber,        // a numeric value is empty or not a decimal number
  KeyWithoutValue,  // a key line ends right after its key
  BadRowLength,     // a compressed row record gives a length below 1
  TruncatedRow,     // a delta-coded row body ends before the row's last pixel
  ValueOutOfRange,  // a value does not fit its field, or the image size does not fit the array
  TruncatedFile,    // the file ends inside the header block or the pixels the header promises
  ReadFailed,       // the system failed to read the file (a disk error, for instance)
};

/** A short English description of a status, for diagnostics. */
std::string_view describe(ReadStatus status);

/**
 * The outcome of reading a file by its path: the status and, when the system refused to open or
 * to read the file, the system's error number, so that the user is told what happened ("Not a
 * directory", "Input/output error") rather than what the reader made of the missing bytes.
 */
struct FileReadStatus {
  ReadStatus status = ReadStatus::Ok;
  int systemError = 0;  // errno of the refused open or read; 0 when the system refused nothing
  /** Where the reader stopped: the header key ("Width =") or the row ("row 7"); may be empty. */
  std::string where;

  friend bool operator==(const FileReadStatus& read, ReadStatus other) {
    return read.status == other;
  }
};

/**
 * The system's text for its error when there is one ("Not a directory"), else what went wrong
 * where: "the value of Width = is not a number", "row 7 ends before its last pixel", or
 * describe(status) when the read stopped nowhere in particular.
 */
std::string describe(const FileReadStatus& read);

/** Upper bound of the caption's length once dates and times have been appended to the path. */
inline constexpr size_t kMaxCaptionLength = 4096;

/**
 * Scans the header of the camera image file at path: lines up to and including the first line
 * beginning with "End", writing each field of fields as its line is read (so absent lines leave
 * their fields as they were and a failure leaves the fields read before it). Sets caption to the
 * path, compressed to false and ignoredPixelSize to empty first. A pixel size that is a number
 * but no camera's (not finite once in micrometres, or outside 0.5 to 1000) is ignored as if its
 * line were absent, and its text kept in ignoredPixelSize. Date and time texts are appended to the
 * caption only while it is shorter than kMaxCaptionLength.
 *
 * Only the header block, the first kHeaderSize (2048) bytes, is read, as if the data ended there:
 * an End line counts only when its text and the one character after it (normally the line feed
 * of its terminator) lie inside the block; otherwise the scan gives NoEndLine.
 *
 * Only a regular file is opened (without blocking); a FIFO, device or socket gives
 * NotARegularFile, a folder or a path that cannot be opened CannotOpen with the system's error
 * (EISDIR for a folder), and fields then keep their values apart from caption and compressed. A
 * read the system fails gives ReadFailed with its error, never a file that seems to end early.
 */
FileReadStatus scanImageHeader(const std::string& path, ImageHeaderFields& fields);

/** scanImageHeader on data already open; path only starts the caption. Reads at most 2048 bytes. */
ReadStatus scanImageHeader(std::istream& data, const std::string& path, ImageHeaderFields& fields);

/**
 * The value of the header line that begins with key ("Date ="), read as the scan reads values:
 * the text after the key and one blank, without the line's last character. Lines are read up to
 * the End line; when several begin with key the last one counts. nullopt when no line has the key
 * with a value after it.
 */
std::optional<std::string> headerValue(const HeaderBytes& header, std::string_view key);

/**
 * Reads the camera image file at path: its first 2048 bytes into headerBytes, then height rows of
 * width pixels from offset 2048 on into columns 1..width of rows 1..height of image, in the
 * compressed or the plain form, each value clamped to at most 32767. Other cells of image are not
 * touched. A height or width of 0 or less means there are no pixels to read; a height above 20 or
 * a width above 768 is refused with ValueOutOfRange before anything is read. headerBytes is
 * written only when all 2048 bytes are there; rows decoded before a failure stay in image.
 * Paths are opened and read as scanImageHeader opens and reads them, with the same refusals.
 */
FileReadStatus readImagePixels(const std::string& path, bool compressed, int16_t height,
                               int16_t width, ImageArray& image, HeaderBytes& headerBytes);

/** readImagePixels on data already open, positioned at the start of the file. */
ReadStatus readImagePixels(std::istream& data, bool compressed, int16_t height, int16_t width,
                           ImageArray& image, HeaderBytes& headerBytes);

}  // namespace halvic
