#pragma once

// Names under which the plug-in registers with GIMP.
namespace zorixgimp {

inline constexpr char kLoadProcedure[] = "file-zorix-rle-load";
inline constexpr char kSaveProcedure[] = "file-zorix-rle-save";
inline constexpr char kBinaryName[] = "zorix-rle";
inline constexpr char kMimeType[] = "image/x-zorix-rle";
inline constexpr char kFormatName[] = "Device RLE bitmap";
// Where GIMP keeps the options of the last export for "export again".
inline constexpr char kLastValuesKey[] = "file-zorix-rle-save";

}  // namespace zorixgimp
