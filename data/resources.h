// Named resources: byte blobs that the programs embed and register by type and
// name at start-up ("DAT"/"MS_DATA"). Tests register their own.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace varsk {

// Registers (or replaces) a resource. The bytes must outlive every reader.
void RegisterResource(std::string_view type, std::string_view name, std::span<const uint8_t> bytes);
// Removes a resource; nothing happens when it is not registered.
void UnregisterResource(std::string_view type, std::string_view name);
// The bytes of a resource; throws VarskError("Resource <name> not found").
std::span<const uint8_t> OpenResource(std::string_view type, std::string_view name);
bool HasResource(std::string_view type, std::string_view name);

}  // namespace varsk
