#include "base/nearest_name.h"

#include <algorithm>
#include <vector>

#include "base/ascii_text.h"

namespace varsk {
namespace {

// The optimal string alignment distance, ASCII letters in any case.
size_t Distance(std::string_view a, std::string_view b) {
  // Three rows of the table: two back, one back, this one.
  std::vector<size_t> before(b.size() + 1);
  std::vector<size_t> last(b.size() + 1);
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) last[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const bool same = AsciiLower(a[i - 1]) == AsciiLower(b[j - 1]);
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && AsciiLower(a[i - 1]) == AsciiLower(b[j - 2]) &&
          AsciiLower(a[i - 2]) == AsciiLower(b[j - 1])) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
    }
    std::swap(before, last);
    std::swap(last, row);
  }
  return last[b.size()];
}

}  // namespace

std::optional<std::string_view> NearestName(std::string_view word,
                                            std::span<const std::string_view> names) {
  std::optional<std::string_view> nearest;
  size_t nearestDistance = 0;
  for (const std::string_view name : names) {
    // Names far longer or shorter cannot be near.
    const size_t allowed = std::max<size_t>(1, std::min<size_t>(3, name.size() / 3));
    const size_t gap =
        name.size() > word.size() ? name.size() - word.size() : word.size() - name.size();
    if (gap > allowed) continue;
    const size_t distance = Distance(word, name);
    if (distance > allowed || distance >= word.size()) continue;
    if (!nearest || distance < nearestDistance) {
      nearest = name;
      nearestDistance = distance;
    }
  }
  return nearest;
}

}  // namespace varsk
