// The path fields of a snapshot file (the base line's directory and each entry's path): their
// length limit and the escaped form that lets any Linux name through a double-quoted field.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quarto {

// Longest path, in bytes, that a snapshot field holds. Fields of 259 characters at most are what
// snapshot files were first written with, and Linux trees pass that easily (names reach 255
// bytes, paths 4095 and more), so Quarto reads and writes paths up to the largest name offset
// the format can describe. Files within the first limit read as before.
inline constexpr size_t kMaxSnapshotPathLength = 65535;
// Longest field as it stands in the file: the escaped form takes up to three bytes per byte.
inline constexpr size_t kMaxSnapshotFieldLength = 1 + 3 * kMaxSnapshotPathLength;

// The field text for a path, without the surrounding double quotes. A path holding a double
// quote, CR or LF, or beginning with '?', is written as '?' followed by the path with each
// '%', '"', CR and LF written as %25, %22, %0D and %0A; every other path is written as it is.
// Real paths are absolute, so no plain field begins with '?'.
std::string EncodeSnapshotPath(std::string_view path);

// The path a field stands for: a field beginning with '?' has its %XX hex escapes decoded
// (either case of hex digit); any other field is the path itself. False for a broken escape,
// or a path that holds a NUL byte (no real path does, and one would cut the path short where
// the file actions hand it to the system).
bool DecodeSnapshotPath(std::string_view field, std::string& path);

}  // namespace quarto
