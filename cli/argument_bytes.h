// Program arguments as bytes: a file name need not be UTF-8, and the command
// line parser takes text.
#pragma once

#include <QString>
#include <string>

namespace varsk::cli {

// A program argument as the parser takes it: UTF-8 text, with each byte that
// is not UTF-8 kept as the lone surrogate U+DC80 + byte, so that
// ArgumentBytes gives back exactly the bytes given (a file name need not be UTF-8).
QString DecodeArgument(const char* bytes);
// The bytes of an argument decoded by DecodeArgument: a path as the system takes it.
std::string ArgumentBytes(const QString& argument);
// A path as messages show it: full, with control and non-UTF-8 bytes escaped.
QString ShownPath(const std::string& path);

}  // namespace varsk::cli
