#include "patch/patch_messages.h"

#include <cstdio>

#include "base/shown_text.h"

namespace varsk {

namespace {

std::string Number(uint64_t value) { return std::to_string(value); }

}  // namespace

std::string Crc32Text(uint32_t crc) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
  return text;
}

std::string IpsTooLargeMessage(uint64_t modifiedSize) {
  return "the modified file is " + Number(modifiedSize) +
         " bytes; an IPS patch can only describe files of up to 16 MiB (16777216 bytes, "
         "less when it cuts the file): write a .bps patch instead";
}

std::string NotAPatchMessage() {
  return "not an IPS or BPS patch (it starts with neither \"PATCH\" nor \"BPS1\")";
}

std::string PatchTruncatedMessage(std::string_view format, uint64_t position) {
  return std::string(format) + " patch is truncated: it ends at byte " + Number(position) +
         " in the middle of a record";
}

std::string IpsBytesAfterEofMessage(uint64_t count) {
  return "IPS patch is malformed: " + Number(count) +
         " unexpected bytes after its \"EOF\" marker (only a 3-byte length may follow)";
}

std::string IpsTruncationBeyondEndMessage(uint64_t truncation, uint64_t size) {
  return "IPS patch is malformed: it cuts the file to " + Number(truncation) +
         " bytes, beyond the end of the patched file (" + Number(size) + " bytes)";
}

std::string IpsEmptyRunMessage(uint64_t position) {
  return "IPS patch is malformed: a run of no bytes at patch byte " + Number(position);
}

std::string BpsDamagedMessage(uint32_t expectedCrc, uint32_t actualCrc) {
  return "BPS patch is damaged: its CRC32 should be " + Crc32Text(expectedCrc) + " but is " +
         Crc32Text(actualCrc);
}

std::string BpsMalformedMessage(std::string_view what, uint64_t position) {
  return "BPS patch is malformed: " + std::string(what) + " at patch byte " + Number(position);
}

std::string BpsTargetTooLargeMessage(uint64_t targetSize, uint64_t limit) {
  return "BPS patch is malformed: it declares a result of " + Number(targetSize) +
         " bytes, more than the " + Number(limit) + " bytes a ROM can have";
}

std::string BpsWrongSourceMessage(uint64_t expectedSize, uint32_t expectedCrc, uint64_t actualSize,
                                  uint32_t actualCrc) {
  return "the ROM is not the one this patch was made for: expected " + Number(expectedSize) +
         " bytes with CRC32 " + Crc32Text(expectedCrc) + ", the ROM has " + Number(actualSize) +
         " bytes with CRC32 " + Crc32Text(actualCrc);
}

std::string BpsTargetMismatchMessage(uint32_t expectedCrc, uint32_t actualCrc) {
  return "BPS patch did not produce its target: the result's CRC32 should be " +
         Crc32Text(expectedCrc) + " but is " + Crc32Text(actualCrc);
}

std::string DiffChangeLine(int entryIndex, std::string_view name, std::string_view field,
                           std::string_view oldValue, std::string_view newValue) {
  std::string line = std::to_string(entryIndex) + " ";
  if (!name.empty()) line += ShownText(name) + " ";
  return line + std::string(field) + ": " + std::string(oldValue) + " -> " + std::string(newValue);
}

std::string NamedValueText(std::string_view value, std::string_view name) {
  return std::string(value) + " (" + (name.empty() ? std::string("no name") : ShownText(name)) +
         ")";
}

std::string NoWeaponText(std::string_view value) { return std::string(value) + " (no weapon)"; }

std::string DiffCountLine(size_t count) {
  if (count == 0) return "no field differs";
  return Number(count) + (count == 1 ? " field differs" : " fields differ");
}

std::string DiffUnseenLine(int64_t count) {
  return Number(count) + (count == 1 ? " table byte differs" : " table bytes differ") +
         " without changing any field";
}

std::string DiffOutsideLine(int64_t count, uint64_t sizeA, uint64_t sizeB) {
  if (count == 0) return "outside the unit tables the files are identical";
  std::string line =
      "outside the unit tables " + Number(count) + (count == 1 ? " byte differs" : " bytes differ");
  if (sizeA != sizeB) {
    line += " (the files have " + Number(sizeA) + " and " + Number(sizeB) + " bytes)";
  }
  return line;
}

std::string PatchExtensionText(std::string_view fileName) {
  return "the patch file name must end in .ips or .bps: '" + std::string(fileName) + "'";
}

std::string PatchFormatConflictText(std::string_view fileName, std::string_view named,
                                    std::string_view chosen) {
  return "the file name '" + std::string(fileName) + "' says " + std::string(named) +
         ", --format says " + std::string(chosen);
}

std::string PatchWrittenLine(std::string_view format, std::string_view path, uint64_t patchSize,
                             uint64_t changedBytes) {
  return "wrote " + std::string(format) + " patch " + std::string(path) + ": " + Number(patchSize) +
         " bytes, " + Number(changedBytes) +
         (changedBytes == 1 ? " byte changes" : " bytes change");
}

std::string AlreadyPatchedLine(std::string_view romPath) {
  return std::string(romPath) +
         " is already patched: it already is what the patch makes; nothing written";
}

std::string BpsFitsLine(std::string_view romPath, uint64_t size, uint32_t crc) {
  return "the BPS patch fits " + std::string(romPath) + ": its source and the ROM both have " +
         Number(size) + " bytes with CRC32 " + Crc32Text(crc);
}

std::string BpsDoesNotFitLine(std::string_view romPath, uint64_t expectedSize, uint32_t expectedCrc,
                              uint64_t actualSize, uint32_t actualCrc) {
  return "the BPS patch does not fit " + std::string(romPath) + ": it was made for " +
         Number(expectedSize) + " bytes with CRC32 " + Crc32Text(expectedCrc) + ", the ROM has " +
         Number(actualSize) + " bytes with CRC32 " + Crc32Text(actualCrc);
}

std::string IpsFitsLine(std::string_view romPath) {
  return "the IPS patch applies to " + std::string(romPath) +
         " (IPS carries no check of the ROM it was made for)";
}

std::string AlreadyPatchedDryRunLine(std::string_view romPath) {
  return std::string(romPath) + " already is what the patch makes";
}

std::string NothingWrittenLine() { return "nothing written"; }

std::string ResultTooShortMessage(uint64_t size, int64_t needed) {
  return "the patched ROM would have " + Number(size) +
         " bytes, too few to hold the unit tables (at least " + std::to_string(needed) +
         " needed); nothing written";
}

std::string PatchIsNoEditFileMessage(std::string_view shownPath, std::string_view format) {
  return std::string(shownPath) + " is " + (format == "IPS" ? "an " : "a ") + std::string(format) +
         " patch, not an edit file: apply it with 'varsk-units apply PATCH ROM -o OUT'";
}

std::string AppliedLine(std::string_view format, std::string_view outPath, uint64_t size) {
  return "applied the " + std::string(format) + " patch: wrote " + std::string(outPath) + " (" +
         Number(size) + " bytes)";
}

}  // namespace varsk
