// The hint after a mistyped name: the known name it most likely meant.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace varsk {

// The name among `names` nearest to `word`, counted in letters inserted,
// removed, replaced, or two neighbours swapped, ASCII letters in any case:
// "dmp" -> "dump", "fromat" -> "format", "Cost" -> "cost". None when even
// the nearest is too far off to be a slip (a third of its letters, at most
// three, and fewer than `word` has); the first of equally near names.
std::optional<std::string_view> NearestName(std::string_view word,
                                            std::span<const std::string_view> names);

}  // namespace varsk
