// varsk-units patch ORIGINAL MODIFIED -o PATCH
// varsk-units apply PATCH ROM -o OUT
#include <QCommandLineParser>
#include <optional>
#include <string>

#include "base/file_io.h"
#include "base/messages.h"
#include "base/shown_text.h"
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "patch/bps_patch.h"
#include "patch/ips_patch.h"
#include "patch/patch_apply.h"
#include "patch/patch_messages.h"
#include "patch/table_diff.h"

namespace varsk::cli {

int RunPatch(const QStringList& args) {
  return RunCommand([&] {
    const QString command = QStringLiteral("patch");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Make a patch of every byte in which MODIFIED differs from ORIGINAL. The patch's\n"
        "extension gives its format: .ips (files up to 16 MiB) or .bps (checked by CRC32)."));
    parser.addPositionalArgument(QStringLiteral("ORIGINAL"), QStringLiteral("The ROM before."));
    parser.addPositionalArgument(QStringLiteral("MODIFIED"), QStringLiteral("The ROM after."));
    const QCommandLineOption output =
        OutputOption(QStringLiteral("The patch to write (.ips or .bps)."), QStringLiteral("PATCH"));
    parser.addOption(output);
    if (!ParseCommandLine(parser, command, args, 2, 2)) {
      return kExitSuccess;
    }
    const std::string original = PathArgument(parser, 0);
    const std::string modified = PathArgument(parser, 1);
    const std::string patchPath = RequiredOutputPath(parser, output, command);
    const std::optional<PatchFormat> format =
        PatchFormatOfFileName(patchPath.substr(patchPath.rfind('/') + 1));
    if (!format) {
      FailUsage(UsageMessage(command,
                             QString::fromStdString(PatchExtensionText(QuotedValue(patchPath)))));
    }
    const std::string inputs[] = {original, modified};
    CheckOutputIsNoInput(command, patchPath, inputs);

    const std::vector<uint8_t> before = ReadWholeFile(original, FileKind::RomImage);
    const std::vector<uint8_t> after = ReadWholeFile(modified, FileKind::RomImage);
    const std::vector<uint8_t> patch =
        *format == PatchFormat::Ips ? MakeIpsPatch(before, after) : MakeBpsPatch(before, after);
    ReplaceFile(patchPath, patch);
    PrintStatusLine(
        QString::fromStdString(PatchWrittenLine(PatchFormatName(*format), ShownText(patchPath),
                                                patch.size(), CountDifferingBytes(before, after))));
    return kExitSuccess;
  });
}

int RunApply(const QStringList& args) {
  return RunCommand([&] {
    const QString command = QStringLiteral("apply");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Apply an IPS or BPS patch (recognised by its first bytes) to ROM and write the\n"
        "result to OUT, which may be ROM itself; OUT is replaced whole or not at all.\n"
        "A BPS patch is checked first: its own CRC32, the ROM's size and CRC32 against the\n"
        "patch's source, and the result against the patch's target. A malformed patch or a\n"
        "wrong ROM writes nothing. A ROM that already is what the patch makes is reported\n"
        "as already patched, and nothing is written (exit status 0)."));
    parser.addPositionalArgument(QStringLiteral("PATCH"),
                                 QStringLiteral("The .ips or .bps patch."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM to patch."));
    const QCommandLineOption output =
        OutputOption(QStringLiteral("The patched ROM to write."), QStringLiteral("OUT"));
    parser.addOption(output);
    if (!ParseCommandLine(parser, command, args, 2, 2)) {
      return kExitSuccess;
    }
    const std::string patchPath = PathArgument(parser, 0);
    const std::string romPath = PathArgument(parser, 1);
    const std::string outPath = RequiredOutputPath(parser, output, command);
    // OUT may be ROM itself: it is read whole first and replaced whole.
    const std::string inputs[] = {patchPath};
    CheckOutputIsNoInput(command, outPath, inputs);

    const std::vector<uint8_t> patch = ReadWholeFile(patchPath, FileKind::Patch);
    // In place, the ROM is read, patched and replaced under its exclusive lock,
    // as an in-place import writes it: an import waiting for the lock then
    // finds the new file and changes that one; none is lost in between.
    std::optional<RegularFile> inPlace;
    const std::string rom[] = {romPath};
    if (FindSameFile(outPath, rom)) inPlace.emplace(outPath, RegularFile::Access::Update);
    const std::vector<uint8_t> romBytes = inPlace ? inPlace->ReadWhole(FileKind::RomImage)
                                                  : ReadWholeFile(romPath, FileKind::RomImage);
    AppliedPatch applied;
    try {
      applied = ApplyPatch(patch, romBytes);
    } catch (const VarskError& error) {
      // Name the patch: the message says what is wrong with it or the ROM.
      Fail(QString::fromStdString(FullPath(patchPath) + ": " + error.what()));
    }
    if (applied.alreadyPatched) {
      PrintStatusLine(QString::fromStdString(AlreadyPatchedLine(ShownText(romPath))));
      return kExitSuccess;
    }
    if (inPlace) {
      inPlace->ReplaceWhole(applied.bytes);
      inPlace->Close();
    } else {
      ReplaceFile(outPath, applied.bytes);
    }
    PrintStatusLine(QString::fromStdString(
        AppliedLine(PatchFormatName(applied.format), ShownText(outPath), applied.bytes.size())));
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
