// Every message text of the programs, one function per format.
#include "data/messages.h"

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace varsk {
namespace {

std::string Join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text.append(part);
  return text;
}

}  // namespace

std::string InvalidIntegerMessage(std::string_view text) {
  return Join({"'", text, "' is not a valid integer value"});
}

std::string CannotOpenFileMessage(std::string_view path, std::string_view cause) {
  return Join({"Cannot open file \"", path, "\". ", cause});
}

std::string CannotCreateFileMessage(std::string_view path, std::string_view cause) {
  return Join({"Cannot create file \"", path, "\". ", cause});
}

std::string ResourceNotFoundMessage(std::string_view name) {
  return Join({"Resource ", name, " not found"});
}

std::string ListIndexOutOfBoundsMessage(int64_t index) {
  return Join({"List index out of bounds (", std::to_string(index), ")"});
}

std::string RomTooShortMessage(std::string_view path, int64_t size, int64_t needed) {
  return Join({"File \"", path, "\" is too short to hold the unit tables (", std::to_string(size),
               " bytes, at least ", std::to_string(needed), " needed)"});
}

std::string CannotWriteFileMessage(std::string_view path, std::string_view cause) {
  return Join({"Cannot write file \"", path, "\". ", cause});
}

std::string CannotReadFileMessage(std::string_view path, std::string_view cause) {
  return Join({"Cannot read file \"", path, "\". ", cause});
}

std::string WithFullStop(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

std::string SystemErrorText(int errorNumber) { return std::strerror(errorNumber); }

std::string FullPath(std::string_view fileName) {
  std::error_code error;
  std::filesystem::path absolute =
      std::filesystem::absolute(std::filesystem::path(fileName), error);
  if (error) return std::string(fileName);
  return absolute.lexically_normal().string();
}

}  // namespace varsk
