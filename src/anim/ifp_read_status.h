#pragma once
// What reading an IFP package came to.

namespace zam {

enum class IfpReadStatus {
  Ok,
  // The bytes ended before everything the file declares: the animations,
  // tracks and keys begun before the end were read (the last of each keeps
  // what was there, zero-filled beyond), those never begun are left out.
  Truncated,
  // A count of animations, tracks or keys is negative, which no package
  // holds: what came before was read, the record holding the count is kept
  // without what it counts, and nothing after that record is read.
  Damaged,
  // The first four bytes are neither tag; the package was not touched.
  UnknownFormat,
};

}  // namespace zam
