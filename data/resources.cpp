// The registry of named resources.
#include "data/resources.h"

#include <map>
#include <string>

#include "base/messages.h"

namespace varsk {
namespace {

using ResourceKey = std::pair<std::string, std::string>;

std::map<ResourceKey, std::span<const uint8_t>>& Registry() {
  static std::map<ResourceKey, std::span<const uint8_t>> registry;
  return registry;
}

ResourceKey KeyOf(std::string_view type, std::string_view name) {
  return {std::string(type), std::string(name)};
}

}  // namespace

void RegisterResource(std::string_view type, std::string_view name,
                      std::span<const uint8_t> bytes) {
  Registry()[KeyOf(type, name)] = bytes;
}

void UnregisterResource(std::string_view type, std::string_view name) {
  Registry().erase(KeyOf(type, name));
}

std::span<const uint8_t> OpenResource(std::string_view type, std::string_view name) {
  const auto found = Registry().find(KeyOf(type, name));
  if (found == Registry().end()) throw VarskError(ResourceNotFoundMessage(name));
  return found->second;
}

bool HasResource(std::string_view type, std::string_view name) {
  return Registry().contains(KeyOf(type, name));
}

}  // namespace varsk
