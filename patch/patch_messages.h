// Every message text of the patch and diff code, one function per message
// format. Messages about a patch name the format ("IPS patch ...", "BPS
// patch ..."); the command adds the file name in front.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varsk {

// Making patches.
std::string IpsTooLargeMessage(uint64_t modifiedSize);

// Reading patches.
std::string NotAPatchMessage();
std::string PatchTruncatedMessage(std::string_view format, uint64_t position);
std::string IpsBytesAfterEofMessage(uint64_t count);
std::string IpsTruncationBeyondEndMessage(uint64_t truncation, uint64_t size);
std::string IpsEmptyRunMessage(uint64_t position);
std::string BpsDamagedMessage(uint32_t expectedCrc, uint32_t actualCrc);
std::string BpsMalformedMessage(std::string_view what, uint64_t position);
std::string BpsTargetTooLargeMessage(uint64_t targetSize, uint64_t limit);
std::string BpsWrongSourceMessage(uint64_t expectedSize, uint32_t expectedCrc, uint64_t actualSize,
                                  uint32_t actualCrc);
std::string BpsTargetMismatchMessage(uint32_t expectedCrc, uint32_t actualCrc);

// What the diff, patch and apply commands print.
// "12 Name hp: 200 -> 250"; the name, read from a name list, as ShownText shows it.
std::string DiffChangeLine(int entryIndex, std::string_view name, std::string_view field,
                           std::string_view oldValue, std::string_view newValue);
// "31 (Machine gun)": a value in a change line with the name it stands for,
// shown as names are (ShownText); "31 (no name)" for an empty name.
std::string NamedValueText(std::string_view value, std::string_view name);
// "0 (no weapon)": an empty weapon slot's id.
std::string NoWeaponText(std::string_view value);
std::string DiffCountLine(size_t count);
std::string DiffUnseenLine(int64_t count);
std::string DiffOutsideLine(int64_t count, uint64_t sizeA, uint64_t sizeB);
std::string PatchExtensionText(std::string_view fileName);
std::string PatchFormatConflictText(std::string_view fileName, std::string_view named,
                                    std::string_view chosen);
std::string PatchWrittenLine(std::string_view format, std::string_view path, uint64_t patchSize,
                             uint64_t changedBytes);
std::string AlreadyPatchedLine(std::string_view romPath);
// A dry run of apply: whether the patch fits the ROM, and its last line.
std::string BpsFitsLine(std::string_view romPath, uint64_t size, uint32_t crc);
std::string BpsDoesNotFitLine(std::string_view romPath, uint64_t expectedSize, uint32_t expectedCrc,
                              uint64_t actualSize, uint32_t actualCrc);
std::string IpsFitsLine(std::string_view romPath);
std::string AlreadyPatchedDryRunLine(std::string_view romPath);
std::string NothingWrittenLine();
std::string ResultTooShortMessage(uint64_t size, int64_t needed);
// A patch given where an edit file belongs.
std::string PatchIsNoEditFileMessage(std::string_view shownPath, std::string_view format);
std::string AppliedLine(std::string_view format, std::string_view outPath, uint64_t size);

// "CBF43926": a CRC32 as eight upper-case hexadecimal digits.
std::string Crc32Text(uint32_t crc);

}  // namespace varsk
