// Length-limited Huffman code lengths and canonical code values.
//
// Lengths: a plain Huffman tree over the used symbols, then, if some code is
// longer than the limit, the long codes are cut to the limit and the prefix
// property is restored by lengthening the least frequent of the longest codes
// below the limit until the Kraft sum fits; spare room is then given back to
// the most frequent symbols. Alphabets here have at most 298 symbols, so the
// simple quadratic steps cost nothing next to the encoding itself.
#include "pack/huffman_code.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <queue>

namespace tvpack {
namespace {

// Depths of the leaves of a Huffman tree over `used` (indexes into frequencies).
std::vector<int> huffmanDepths(std::span<const uint32_t> frequencies,
                               const std::vector<int>& used) {
  struct Node {
    uint64_t weight;
    int id;  // < used.size(): a leaf; otherwise an inner node
  };
  auto heavier = [](const Node& a, const Node& b) {
    return a.weight != b.weight ? a.weight > b.weight : a.id > b.id;
  };
  std::priority_queue<Node, std::vector<Node>, decltype(heavier)> queue(heavier);
  std::vector<int> parent(2 * used.size(), -1);
  for (size_t i = 0; i < used.size(); ++i) queue.push({frequencies[used[i]], static_cast<int>(i)});
  int next = static_cast<int>(used.size());
  while (queue.size() > 1) {
    Node a = queue.top();
    queue.pop();
    Node b = queue.top();
    queue.pop();
    parent[a.id] = next;
    parent[b.id] = next;
    queue.push({a.weight + b.weight, next++});
  }
  // Inner nodes are numbered after their children, so depths follow from the
  // root (the last node) downwards in decreasing id order.
  std::vector<int> depth(next, 0);
  for (int id = next - 2; id >= 0; --id) depth[id] = depth[parent[id]] + 1;
  depth.resize(used.size());
  return depth;
}

}  // namespace

std::vector<uint8_t> buildCodeLengths(std::span<const uint32_t> frequencies, int maxLength) {
  std::vector<uint8_t> lengths(frequencies.size(), 0);
  std::vector<int> used;
  for (size_t s = 0; s < frequencies.size(); ++s) {
    if (frequencies[s] != 0) used.push_back(static_cast<int>(s));
  }
  if (used.empty()) return lengths;
  if (used.size() == 1) {
    lengths[used[0]] = 1;
    return lengths;
  }
  std::vector<int> depth = huffmanDepths(frequencies, used);
  for (size_t i = 0; i < used.size(); ++i) {
    lengths[used[i]] = static_cast<uint8_t>(std::min(depth[i], maxLength));
  }
  if (*std::max_element(depth.begin(), depth.end()) <= maxLength) return lengths;

  // Kraft sum in units of 2^-maxLength; a prefix code needs it <= capacity.
  const uint64_t capacity = 1ull << maxLength;
  auto unit = [&](int length) { return 1ull << (maxLength - length); };
  uint64_t kraft = 0;
  for (int s : used) kraft += unit(lengths[s]);
  // Symbols in increasing frequency: the cheapest ones to lengthen come first.
  std::vector<int> byFrequency = used;
  std::stable_sort(byFrequency.begin(), byFrequency.end(),
                   [&](int a, int b) { return frequencies[a] < frequencies[b]; });
  while (kraft > capacity) {
    int best = -1;
    for (int s : byFrequency) {
      if (lengths[s] < maxLength && (best < 0 || lengths[s] > lengths[best])) best = s;
    }
    kraft -= unit(lengths[best] + 1);
    ++lengths[best];
  }
  // Give spare room back, most frequent symbols first.
  for (auto it = byFrequency.rbegin(); it != byFrequency.rend(); ++it) {
    while (lengths[*it] > 1 && kraft + unit(lengths[*it]) <= capacity) {
      kraft += unit(lengths[*it]);
      --lengths[*it];
    }
  }
  return lengths;
}

HuffmanCode makeHuffmanCode(std::span<const uint8_t> lengths) {
  HuffmanCode code;
  code.lengths.assign(lengths.begin(), lengths.end());
  code.codes.assign(lengths.size(), 0);
  int count[MaxCodeLength + 1] = {};
  for (uint8_t length : lengths) ++count[length & 15];
  count[0] = 0;
  // First code of each length, as the decoder's running value K builds it.
  uint32_t next[MaxCodeLength + 1] = {};
  uint32_t value = 0;
  for (int length = 1; length <= MaxCodeLength; ++length) {
    value = (value + count[length - 1]) << 1;
    next[length] = value;
  }
  for (size_t s = 0; s < lengths.size(); ++s) {
    int length = lengths[s] & 15;
    if (length != 0) code.codes[s] = static_cast<uint16_t>(next[length]++);
  }
  return code;
}

}  // namespace tvpack
