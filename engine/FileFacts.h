#pragma once

#include <cstdint>
#include <string>

// Pure text rules about file paths and sizes shared by the engine and its clients.
namespace quenda {

// Path without surrounding blanks.
std::string TrimBlanks(const std::string& text);
// The part after the last separator, or the whole path.
std::string FileNamePart(const std::string& path);
// The part up to and including the last separator; empty without one.
std::string FolderPart(const std::string& path);
// The text with its ASCII letters upper-cased.
std::string UpperCased(std::string text);
// The text after the last "." of the file name, upper-cased; empty when none.
std::string UpperExtension(const std::string& path);
// A size in bytes as "1000 Bytes", "1.5 KB", "1 MB" (two decimals at most).
std::string FormatFileSizeText(uint64_t size);
// The path with its file name's extension replaced by (or extended with) `extension`.
std::string ReplaceExtension(const std::string& path, const std::string& extension);

}  // namespace quenda
