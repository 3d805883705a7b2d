#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace mosaiq {

// Takes a text in pieces of any size and passes it on as UTF-8 without a byte order mark, so that
// the line rules only ever see one encoding. Text that begins with the UTF-16 mark FF FE (little
// endian) or FE FF (big endian), as some editors save it, is decoded; any other text passes as it
// is, less the UTF-8 mark EF BB BF at its very start. Bytes that only begin like a mark are held
// until it is clear that they are text.
//
// What cannot be decoded (a lone surrogate, a last odd byte) becomes U+FFFD, which is no digit,
// blank or line end, so it reads as any other unreadable character would. A NUL code unit passes
// as a NUL byte.
class TextDecoder {
public:
    template <typename Sink> void Feed(const char* data, std::size_t n, Sink&& sink) {
        for (; n > 0 && kind_ == Kind::Undecided; ++data, --n) {
            held_[heldCount_++] = *data;
            Decide(sink, false);
        }
        if (kind_ == Kind::Utf8) {
            if (n > 0) sink(data, n);
            return;
        }
        Out out;
        for (; n > 0; ++data, --n) {
            if (!oddByte_) {
                first_ = static_cast<std::uint8_t>(*data);
                oddByte_ = true;
                continue;
            }
            oddByte_ = false;
            const auto second = static_cast<std::uint8_t>(*data);
            Unit(kind_ == Kind::Utf16Le ? first_ | second << 8 : first_ << 8 | second, out, sink);
        }
        out.Flush(sink);
    }

    // Ends the text: a mark begun is text after all, and a unit left incomplete is U+FFFD.
    template <typename Sink> void Finish(Sink&& sink) {
        if (kind_ == Kind::Undecided) Decide(sink, true);
        if (kind_ == Kind::Utf8) return;
        Out out;
        if (highSurrogate_ != 0) out.Put(kReplacement);
        if (oddByte_) out.Put(kReplacement);
        out.Flush(sink);
    }

private:
    enum class Kind : std::uint8_t { Undecided, Utf8, Utf16Le, Utf16Be };
    static constexpr char32_t kReplacement = 0xFFFD;
    static constexpr std::pair<std::string_view, Kind> kMarks[] = {
        {"\xEF\xBB\xBF", Kind::Utf8}, {"\xFF\xFE", Kind::Utf16Le}, {"\xFE\xFF", Kind::Utf16Be}};

    // Decoded text gathers here and goes to the sink in pieces, not a character at a time.
    struct Out {
        std::array<char, 1024> bytes;
        std::size_t used = 0;

        void Put(char32_t c) {
            auto put = [this](unsigned byte) { bytes[used++] = static_cast<char>(byte); };
            if (c < 0x80) {
                put(c);
            } else if (c < 0x800) {
                put(0xC0 | c >> 6), put(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                put(0xE0 | c >> 12), put(0x80 | (c >> 6 & 0x3F)), put(0x80 | (c & 0x3F));
            } else {
                put(0xF0 | c >> 18), put(0x80 | (c >> 12 & 0x3F));
                put(0x80 | (c >> 6 & 0x3F)), put(0x80 | (c & 0x3F));
            }
        }
        template <typename Sink> void Flush(Sink& sink) {
            if (used > 0) sink(bytes.data(), used);
            used = 0;
        }
    };

    // Settles the kind once the held bytes are a whole mark, or no longer begin one; at the end
    // of the text (`ended`) they are text.
    template <typename Sink> void Decide(Sink& sink, bool ended) {
        const std::string_view held(held_.data(), heldCount_);
        for (const auto& [mark, kind] : kMarks) {
            if (held == mark) {
                kind_ = kind;
                return;
            }
            if (!ended && mark.starts_with(held)) return;
        }
        kind_ = Kind::Utf8;
        if (heldCount_ > 0) sink(held_.data(), heldCount_);
    }

    template <typename Sink> void Unit(unsigned unit, Out& out, Sink& sink) {
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (highSurrogate_ != 0 && low) {
            out.Put(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00));
            highSurrogate_ = 0;
        } else {
            if (highSurrogate_ != 0) out.Put(kReplacement);
            highSurrogate_ = high ? unit : 0;
            if (!high) out.Put(low ? kReplacement : unit);
        }
        if (out.used > out.bytes.size() - 8) out.Flush(sink);
    }

    Kind kind_ = Kind::Undecided;
    std::array<char, 3> held_{}; // the first bytes, while they may be a mark
    std::uint8_t heldCount_ = 0;
    std::uint8_t first_ = 0;     // the first byte of a code unit not yet complete
    bool oddByte_ = false;       // first_ holds a byte
    unsigned highSurrogate_ = 0; // a high surrogate waiting for its low half, or 0
};

} // namespace mosaiq
