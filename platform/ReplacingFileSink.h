#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "codecs/BitmapWriter.h"
#include "platform/ReplacingFile.h"

namespace quenda {

// Writes a file that replaces `target` only when Commit succeeds. The bytes go to the
// temporary file in blocks as they come, so a large image is never held twice.
class ReplacingFileSink final : public ByteSink {
  public:
    explicit ReplacingFileSink(const std::filesystem::path& target);
    bool Write(const uint8_t* data, size_t size) override;
    bool Commit();

  private:
    bool Flush();

    fileio::ReplacingFile file_;
    std::vector<uint8_t> pending_;
};

}  // namespace quenda
