#include "codecs/InflateDecoder.h"

#include <array>
#include <cstring>
#include <vector>

namespace quenda {

namespace {

constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kLiteralRootBits = 10;
constexpr unsigned kDistanceRootBits = 8;
constexpr unsigned kEndOfBlock = 256;

constexpr std::array<uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                  15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                  67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                    4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                    9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                      11, 4,  12, 3, 13, 2, 14, 1, 15};

// Least-significant-bit-first reader that supplies zero bits past the end of the input.
class BitReader {
  public:
    BitReader(const uint8_t* data, size_t size, size_t skip)
        : start_(data), pos_(data + (skip < size ? skip : size)), end_(data + size) {}

    // Makes at least 56 bits available.
    void Refill() {
        if (count_ > 56) {
            return;
        }
        if (end_ - pos_ >= 8) {
            uint64_t v = 0;
            for (int i = 7; i >= 0; --i) {
                v = (v << 8) | pos_[i];
            }
            buffer_ |= v << count_;
            pos_ += (63 - count_) >> 3;
            count_ |= 56;
            return;
        }
        while (count_ <= 56) {
            uint64_t byte = 0;
            if (pos_ < end_) {
                byte = *pos_++;
            } else {
                ++overrun_;
            }
            buffer_ |= byte << count_;
            count_ += 8;
        }
    }
    uint32_t Peek(unsigned n) const {
        return static_cast<uint32_t>(buffer_ & ((uint64_t{1} << n) - 1));
    }
    void Drop(unsigned n) {
        buffer_ >>= n;
        count_ -= n;
    }
    uint32_t Bits(unsigned n) {
        if (count_ < n) {
            Refill();
        }
        const uint32_t v = Peek(n);
        Drop(n);
        return v;
    }
    unsigned Available() const { return count_; }
    void AlignToByte() { Drop(count_ & 7); }

    // Byte position of the next unread bit after AlignToByte.
    size_t BytePosition() const {
        return static_cast<size_t>(pos_ - start_) + overrun_ - count_ / 8;
    }
    size_t Size() const { return static_cast<size_t>(end_ - start_); }
    const uint8_t* Data() const { return start_; }
    // Continues reading at a byte position inside the input.
    void Seek(size_t position) {
        pos_ = start_ + position;
        buffer_ = 0;
        count_ = 0;
        overrun_ = 0;
    }

  private:
    const uint8_t* start_;
    const uint8_t* pos_;
    const uint8_t* end_;
    uint64_t buffer_ = 0;
    unsigned count_ = 0;
    size_t overrun_ = 0;  // zero bytes supplied past the end
};

// Canonical Huffman code decoded through a root table indexed by the next bits,
// with second-level tables for codes longer than the root.
class HuffmanTable {
  public:
    // Entry: bits 0-7 code length (0 = no code), bit 8 second-level link,
    // bits 16-31 symbol or offset of the second-level table.
    static constexpr uint32_t kLink = 0x100;

    bool Build(const uint8_t* lengths, unsigned count, unsigned maxRootBits) {
        std::array<uint16_t, kMaxCodeBits + 1> perLength{};
        for (unsigned i = 0; i < count; ++i) {
            ++perLength[lengths[i]];
        }
        perLength[0] = 0;
        int left = 1;
        unsigned maxLength = 0;
        for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
            left = left * 2 - perLength[len];
            if (left < 0) {
                return false;  // over-subscribed
            }
            if (perLength[len] != 0) {
                maxLength = len;
            }
        }
        rootBits_ = maxLength == 0 ? 1 : (maxLength < maxRootBits ? maxLength : maxRootBits);
        subBits_ = maxLength > rootBits_ ? maxLength - rootBits_ : 0;
        entries_.assign(size_t{1} << rootBits_, 0);

        std::array<uint16_t, kMaxCodeBits + 2> nextCode{};
        for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
            nextCode[len + 1] = static_cast<uint16_t>((nextCode[len] + perLength[len]) << 1);
        }
        for (unsigned symbol = 0; symbol < count; ++symbol) {
            const unsigned len = lengths[symbol];
            if (len != 0) {
                Place(symbol, len, Reverse(nextCode[len]++, len));
            }
        }
        return true;
    }

    // The next symbol, or -1 when the bits form no code of the set.
    int Decode(BitReader& in) const {
        uint32_t e = entries_[in.Peek(rootBits_)];
        if (e & kLink) {
            const uint32_t index = (in.Peek(rootBits_ + subBits_) >> rootBits_);
            e = entries_[(e >> 16) + index];
        }
        const unsigned len = e & 0xFF;
        if (len == 0) {
            return -1;
        }
        in.Drop(len);
        return static_cast<int>(e >> 16);
    }

  private:
    static uint32_t Reverse(uint32_t code, unsigned len) {
        uint32_t r = 0;
        for (unsigned i = 0; i < len; ++i) {
            r = (r << 1) | ((code >> i) & 1);
        }
        return r;
    }

    void Place(unsigned symbol, unsigned len, uint32_t reversed) {
        const uint32_t entry = (symbol << 16) | len;
        if (len <= rootBits_) {
            for (uint32_t i = reversed; i < (uint32_t{1} << rootBits_); i += uint32_t{1} << len) {
                entries_[i] = entry;
            }
            return;
        }
        const uint32_t root = reversed & ((uint32_t{1} << rootBits_) - 1);
        if (!(entries_[root] & kLink)) {
            entries_[root] = (static_cast<uint32_t>(entries_.size()) << 16) | kLink;
            entries_.resize(entries_.size() + (size_t{1} << subBits_), 0);
        }
        const uint32_t base = entries_[root] >> 16;
        const unsigned subLen = len - rootBits_;
        for (uint32_t i = reversed >> rootBits_; i < (uint32_t{1} << subBits_);
             i += uint32_t{1} << subLen) {
            entries_[base + i] = entry;
        }
    }

    std::vector<uint32_t> entries_;
    unsigned rootBits_ = 1;
    unsigned subBits_ = 0;
};

enum class Step { Continue, Full, Fail };

class Inflater {
  public:
    Inflater(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t dstSize,
             const InflateOptions& options)
        : in_(src, srcSize, options.zlibHeader ? 2 : 0),
          outStart_(dst),
          out_(dst),
          outEnd_(dst + dstSize),
          options_(options) {}

    bool Run() {
        bool final = false;
        while (!final) {
            if (out_ == outEnd_) {
                return true;
            }
            final = in_.Bits(1) != 0;
            const Step step = Block(in_.Bits(2));
            if (step == Step::Fail) {
                return false;
            }
            if (step == Step::Full) {
                return true;
            }
        }
        return true;
    }

    size_t Produced() const { return static_cast<size_t>(out_ - outStart_); }

  private:
    Step Block(uint32_t type) {
        switch (type) {
            case 0:
                return Stored();
            case 1:
                return Codes(FixedLiterals(), FixedDistances());
            case 2:
                return Dynamic();
            default:
                return Step::Fail;
        }
    }

    Step Stored() {
        in_.AlignToByte();
        const uint32_t len = in_.Bits(16);
        const uint32_t nlen = in_.Bits(16);
        if (nlen != (~len & 0xFFFF)) {
            return Step::Fail;
        }
        const size_t at = in_.BytePosition();
        if (at > in_.Size() || len > in_.Size() - at || len > static_cast<size_t>(outEnd_ - out_)) {
            return Step::Fail;
        }
        std::memcpy(out_, in_.Data() + at, len);
        out_ += len;
        in_.Seek(at + len);
        return Step::Continue;
    }

    static const HuffmanTable& FixedLiterals() {
        static const HuffmanTable table = [] {
            std::array<uint8_t, 288> lengths{};
            for (unsigned i = 0; i < 288; ++i) {
                lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
            }
            HuffmanTable t;
            t.Build(lengths.data(), 288, kLiteralRootBits);
            return t;
        }();
        return table;
    }

    static const HuffmanTable& FixedDistances() {
        static const HuffmanTable table = [] {
            std::array<uint8_t, 32> lengths{};
            lengths.fill(5);
            HuffmanTable t;
            t.Build(lengths.data(), 32, kDistanceRootBits);
            return t;
        }();
        return table;
    }

    Step Dynamic() {
        const unsigned hlit = in_.Bits(5) + 257;
        const unsigned hdist = in_.Bits(5) + 1;
        const unsigned hclen = in_.Bits(4) + 4;
        std::array<uint8_t, 19> codeLengthLengths{};
        for (unsigned i = 0; i < hclen; ++i) {
            codeLengthLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(in_.Bits(3));
        }
        HuffmanTable codeLengths;
        if (!codeLengths.Build(codeLengthLengths.data(), 19, 7)) {
            return Step::Fail;
        }
        std::array<uint8_t, 288 + 32> lengths{};
        if (!ReadCodeLengths(codeLengths, lengths.data(), hlit + hdist)) {
            return Step::Fail;
        }
        if (!literals_.Build(lengths.data(), hlit, kLiteralRootBits) ||
            !distances_.Build(lengths.data() + hlit, hdist, kDistanceRootBits)) {
            return Step::Fail;
        }
        return Codes(literals_, distances_);
    }

    bool ReadCodeLengths(const HuffmanTable& table, uint8_t* lengths, unsigned total) {
        unsigned n = 0;
        while (n < total) {
            in_.Refill();
            const int symbol = table.Decode(in_);
            if (symbol < 0) {
                return false;
            }
            if (symbol < 16) {
                lengths[n++] = static_cast<uint8_t>(symbol);
                continue;
            }
            uint8_t value = 0;
            unsigned repeat = 0;
            if (symbol == 16) {
                if (n == 0) {
                    return false;
                }
                value = lengths[n - 1];
                repeat = 3 + in_.Bits(2);
            } else if (symbol == 17) {
                repeat = 3 + in_.Bits(3);
            } else {
                repeat = 11 + in_.Bits(7);
            }
            if (repeat > total - n) {
                return false;
            }
            std::memset(lengths + n, value, repeat);
            n += repeat;
        }
        return true;
    }

    Step Codes(const HuffmanTable& literals, const HuffmanTable& distances) {
        for (;;) {
            if (out_ == outEnd_) {
                return Step::Full;
            }
            in_.Refill();
            const int symbol = literals.Decode(in_);
            if (symbol < 0) {
                return Step::Fail;
            }
            if (symbol < 256) {
                *out_++ = static_cast<uint8_t>(symbol);
                continue;
            }
            if (symbol == kEndOfBlock) {
                return Step::Continue;
            }
            const Step step = Match(static_cast<unsigned>(symbol) - 257, distances);
            if (step != Step::Continue) {
                return step;
            }
        }
    }

    Step Match(unsigned lengthCode, const HuffmanTable& distances) {
        if (lengthCode >= kLengthBase.size()) {
            return Step::Fail;
        }
        size_t length = 0;
        if (lengthCode == 28 && options_.length285WithExtraBits) {
            length = 3 + in_.Bits(16);
        } else {
            length = kLengthBase[lengthCode] + in_.Bits(kLengthExtra[lengthCode]);
        }
        if (in_.Available() < 32) {
            in_.Refill();
        }
        const int distanceCode = distances.Decode(in_);
        if (distanceCode < 0 || distanceCode >= static_cast<int>(kDistanceBase.size())) {
            return Step::Fail;
        }
        const size_t distance =
            kDistanceBase[distanceCode] + in_.Bits(kDistanceExtra[distanceCode]);
        if (distance > static_cast<size_t>(out_ - outStart_)) {
            return Step::Fail;
        }
        const size_t room = static_cast<size_t>(outEnd_ - out_);
        const bool truncated = length > room;
        Copy(distance, truncated ? room : length);
        return truncated ? Step::Full : Step::Continue;
    }

    // Copies byte by byte in effect, so that overlapping copies repeat.
    void Copy(size_t distance, size_t length) {
        const uint8_t* from = out_ - distance;
        if (distance >= length) {
            std::memcpy(out_, from, length);
        } else if (distance == 1) {
            std::memset(out_, *from, length);
        } else {
            for (size_t i = 0; i < length; ++i) {
                out_[i] = from[i];
            }
        }
        out_ += length;
    }

    BitReader in_;
    uint8_t* outStart_;
    uint8_t* out_;
    uint8_t* outEnd_;
    InflateOptions options_;
    HuffmanTable literals_;
    HuffmanTable distances_;
};

}  // namespace

bool InflateStream(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t dstSize,
                   size_t* produced, const InflateOptions& options) {
    if ((src == nullptr && srcSize != 0) || (dst == nullptr && dstSize != 0)) {
        return false;
    }
    Inflater inflater(src, srcSize, dst, dstSize, options);
    const bool ok = inflater.Run();
    if (produced != nullptr) {
        *produced = inflater.Produced();
    }
    return ok;
}

}  // namespace quenda
