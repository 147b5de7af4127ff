// Table header writer: the lengths become a list of pre-code tokens (runs of
// zeros as 17/18, runs of the previous length as 16, anything else as one
// relative length), the pre-code is built from the tokens' frequencies, and the
// header is the pre-code lengths followed by the tokens.
#include "pack/table_writer.h"

#include <algorithm>
#include <vector>

#include "pack/huffman_code.h"

namespace tvpack {
namespace {

constexpr int PreCodeSymbols = 19;
constexpr int RepeatPrevious = 16;  // 2 extra bits: 3..6 copies
constexpr int ShortZeroRun = 17;    // 3 extra bits: 3..10 zeros
constexpr int LongZeroRun = 18;     // 7 extra bits: 11..138 zeros

struct Token {
  uint8_t symbol;
  uint8_t extra;  // the extra-bit value of a run
};

constexpr int extraBitsOf(int symbol) {
  return symbol == RepeatPrevious ? 2 : symbol == ShortZeroRun ? 3 : symbol == LongZeroRun ? 7 : 0;
}

std::vector<Token> tokenize(std::span<const uint8_t> lengths, std::span<const uint8_t> saved,
                            bool keep) {
  std::vector<Token> tokens;
  const size_t n = lengths.size();
  size_t i = 0;
  while (i < n) {
    uint8_t length = lengths[i] & 15;
    size_t run = 1;
    while (i + run < n && (lengths[i + run] & 15) == length) ++run;
    if (length == 0 && run >= 11) {
      size_t take = std::min<size_t>(run, 138);
      tokens.push_back({LongZeroRun, static_cast<uint8_t>(take - 11)});
      i += take;
    } else if (length == 0 && run >= 3) {
      size_t take = std::min<size_t>(run, 10);
      tokens.push_back({ShortZeroRun, static_cast<uint8_t>(take - 3)});
      i += take;
    } else if (i > 0 && (lengths[i - 1] & 15) == length && run >= 3) {
      size_t take = std::min<size_t>(run, 6);
      tokens.push_back({RepeatPrevious, static_cast<uint8_t>(take - 3)});
      i += take;
    } else {
      uint8_t base = keep ? (saved[i] & 15) : 0;
      tokens.push_back({static_cast<uint8_t>((length - base) & 15), 0});
      ++i;
    }
  }
  return tokens;
}

struct Plan {
  std::vector<Token> tokens;
  HuffmanCode preCode;
  size_t bits;
};

Plan planHeader(std::span<const uint8_t> lengths, std::span<const uint8_t> saved, bool keep) {
  Plan plan;
  plan.tokens = tokenize(lengths, saved, keep);
  uint32_t frequencies[PreCodeSymbols] = {};
  for (const Token& token : plan.tokens) ++frequencies[token.symbol];
  plan.preCode = huffmanCodeFor(frequencies);
  plan.bits = 2 + PreCodeSymbols * 4;  // audio and keep flags, 4-bit pre-code lengths
  for (const Token& token : plan.tokens) {
    plan.bits += plan.preCode.lengths[token.symbol] + extraBitsOf(token.symbol);
  }
  return plan;
}

}  // namespace

size_t tableHeaderBits(std::span<const uint8_t> lengths, std::span<const uint8_t> saved,
                       bool keep) {
  return planHeader(lengths, saved, keep).bits;
}

void writeTableHeader(BitWriter& out, std::span<const uint8_t> lengths,
                      std::span<const uint8_t> saved, bool keep) {
  Plan plan = planHeader(lengths, saved, keep);
  out.writeBits(0, 1);  // LZ tables, not audio
  out.writeBits(keep ? 1 : 0, 1);
  for (int s = 0; s < PreCodeSymbols; ++s) out.writeBits(plan.preCode.lengths[s], 4);
  for (const Token& token : plan.tokens) {
    writeSymbol(out, plan.preCode, token.symbol);
    out.writeBits(token.extra, extraBitsOf(token.symbol));
  }
}

}  // namespace tvpack
