// varsk-units patch ORIGINAL MODIFIED [-o PATCH] [--format ips|bps]
// varsk-units apply PATCH ROM (-o OUT | --dry-run) [--names DIR]
#include <QCommandLineParser>
#include <optional>
#include <string>

#include "base/crc32.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "base/shown_text.h"
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/unit_records.h"
#include "data/rom_file.h"
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
        "Make a patch of every byte in which MODIFIED differs from ORIGINAL, in the format\n"
        "IPS (files up to 16 MiB) or BPS (checked by CRC32). The extension of PATCH gives\n"
        "the format, or --format for a name without one; without -o (or with -o -) the\n"
        "patch goes to standard output, as BPS unless --format says ips, and never to a\n"
        "terminal."));
    parser.addPositionalArgument(QStringLiteral("ORIGINAL"), QStringLiteral("The ROM before."));
    parser.addPositionalArgument(QStringLiteral("MODIFIED"), QStringLiteral("The ROM after."));
    const QCommandLineOption output = OutputOption(
        QStringLiteral("The patch to write, PATCH.ips or PATCH.bps."), QStringLiteral("PATCH"));
    const QStringList formats{QStringLiteral("ips"), QStringLiteral("bps")};
    const QCommandLineOption formatOption(
        QStringList{QStringLiteral("format")},
        QStringLiteral("The format: ips or bps (default: the extension of PATCH; bps on\n"
                       "standard output)."),
        formats.join(QLatin1Char('|')));
    parser.addOptions({output, formatOption});
    if (!ParseCommandLine(
            parser, command, args, 2, 2,
            QStringLiteral(
                "patch ORIGINAL MODIFIED [-o PATCH.ips|PATCH.bps] [--format ips|bps]"))) {
      return kExitSuccess;
    }
    const std::string original = PathArgument(parser, 0);
    const std::string modified = PathArgument(parser, 1);
    const std::string patchPath = OutputPath(parser, output, command);
    const std::optional<PatchFormat> chosen =
        parser.isSet(formatOption)
            ? PatchFormatOfFileName(
                  "." + ChosenFormat(parser, formatOption, command, formats).toStdString())
            : std::nullopt;
    PatchFormat format = chosen.value_or(PatchFormat::Bps);
    if (!WritesToStandardOutput(patchPath)) {
      // The extension gives the format; --format stands in for a name without one.
      const std::optional<PatchFormat> named =
          PatchFormatOfFileName(patchPath.substr(patchPath.rfind('/') + 1));
      if (!named && !chosen) {
        FailUsage(UsageMessage(command,
                               QString::fromStdString(PatchExtensionText(QuotedValue(patchPath)))));
      }
      if (named && chosen && *chosen != *named) {
        FailUsage(UsageMessage(command, QString::fromStdString(PatchFormatConflictText(
                                            QuotedValue(patchPath), PatchFormatName(*named),
                                            PatchFormatName(format)))));
      }
      format = named.value_or(format);
    }
    CheckBinaryOutput(patchPath, PatchText());
    const std::string inputs[] = {original, modified};
    CheckOutputIsNoInput(command, patchPath, inputs);

    const std::vector<uint8_t> before = ReadWholeFile(original, FileKind::RomImage);
    const std::vector<uint8_t> after = ReadWholeFile(modified, FileKind::RomImage);
    const std::vector<uint8_t> patch =
        format == PatchFormat::Ips ? MakeIpsPatch(before, after) : MakeBpsPatch(before, after);
    WriteOutput(patchPath, patch);
    if (!WritesToStandardOutput(patchPath)) {
      PrintStatusLine(QString::fromStdString(PatchWrittenLine(PatchFormatName(format),
                                                              ShownText(patchPath), patch.size(),
                                                              CountDifferingBytes(before, after))));
    }
    return kExitSuccess;
  });
}

namespace {

// Fails with what is wrong with the patch or the ROM, naming the patch.
[[noreturn]] void FailWithPatch(const std::string& patchPath, const VarskError& error) {
  Fail(QString::fromStdString(
      (IsStandardStream(patchPath) ? ShownInputName(patchPath) : FullPath(patchPath)) + ": " +
      error.what()));
}

// apply --dry-run: whether the patch fits ROM, then what diff would print
// between ROM and the result. Returns the exit status: 1 when it does not fit.
int ReviewPatch(const std::vector<uint8_t>& patch, const std::string& patchPath,
                const std::string& romPath, const QCommandLineParser& parser,
                const QCommandLineOption& namesDir) {
  const RomImage rom = ReadRomImage(romPath);
  const std::string shownRom = ShownText(romPath);
  std::string fits;
  AppliedPatch applied;
  try {
    const PatchSummary summary = SummarisePatch(patch);
    if (summary.format == PatchFormat::Bps) {
      const uint32_t romCrc = Crc32(rom.bytes);
      const BpsPatchInfo& bps = summary.bps;
      const BpsFit fit = BpsFitOf(bps, rom.bytes.size(), romCrc);
      if (fit == BpsFit::Neither) {
        WriteOutput(std::string(), QByteArray::fromStdString(
                                       BpsDoesNotFitLine(shownRom, bps.sourceSize, bps.sourceCrc,
                                                         rom.bytes.size(), romCrc) +
                                       "\n" + NothingWrittenLine() + "\n"));
        return kExitError;
      }
      fits = fit == BpsFit::Target ? AlreadyPatchedDryRunLine(shownRom)
                                   : BpsFitsLine(shownRom, bps.sourceSize, bps.sourceCrc);
    } else {
      fits = IpsFitsLine(shownRom);
    }
    applied = ApplyPatch(patch, rom.bytes);
  } catch (const VarskError& error) {
    FailWithPatch(patchPath, error);
  }
  const std::vector<uint8_t>& result = applied.alreadyPatched ? rom.bytes : applied.bytes;
  const std::optional<RomBuffers> tables = RomTablesOfImage(result);
  if (!tables) {
    Fail(QString::fromStdString(ResultTooShortMessage(result.size(), kRomTablesEnd)));
  }
  const DataSetPtr records = LoadRecords(std::string(), DataSetPart::Records);
  const UnitTableDiff diff = DiffUnitTables(*records, rom.tables, *tables);
  const std::optional<NameLists> names =
      diff.changes.empty() ? std::nullopt : LoadNameLists(parser, namesDir);
  WriteOutput(std::string(), QByteArray::fromStdString(fits + "\n") +
                                 DiffText(diff, rom.bytes, result, names ? &*names : nullptr) +
                                 QByteArray::fromStdString(NothingWrittenLine() + "\n"));
  return kExitSuccess;
}

}  // namespace

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
        "as already patched, and nothing is written (exit status 0). --dry-run says whether\n"
        "the patch fits ROM (status 1 when not) and prints what diff would print between\n"
        "ROM and the result."));
    parser.addPositionalArgument(QStringLiteral("PATCH"),
                                 QStringLiteral("The .ips or .bps patch (- for standard input)."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM to patch."));
    const QCommandLineOption output = OutputOption(
        QStringLiteral("The patched ROM to write (- for standard output)."), QStringLiteral("OUT"));
    const QCommandLineOption dryRun(
        QStringList{QStringLiteral("dry-run")},
        QStringLiteral("Say whether the patch fits ROM and print the changes as diff does;\n"
                       "write nothing."));
    const QCommandLineOption namesDir =
        NamesOption(QStringLiteral("Folder of the name lists that the dry run prints."));
    const QCommandLineOption backup = BackupOption();
    parser.addOptions({output, dryRun, namesDir, backup});
    if (!ParseCommandLine(parser, command, args, 2, 2,
                          QStringLiteral("apply PATCH ROM (-o OUT | --dry-run) [--backup[=SUFFIX]] "
                                         "[--names DIR]"))) {
      return kExitSuccess;
    }
    const std::string patchPath = PathArgument(parser, 0);
    const std::string romPath = PathArgument(parser, 1);
    if (parser.isSet(dryRun)) {
      return ReviewPatch(ReadWholeInput(patchPath, FileKind::Patch), patchPath, romPath, parser,
                         namesDir);
    }
    const std::string outPath = RequiredOutputPath(parser, output, command);
    CheckBinaryOutput(outPath, RomImageText());
    // OUT may be ROM itself: it is read whole first and replaced whole.
    const std::string inputs[] = {patchPath};
    CheckOutputIsNoInput(command, outPath, inputs);
    const std::string rom[] = {romPath};
    const bool sameFile = FindSameFile(outPath, rom).has_value();
    const std::string backupPath = BackupPath(parser, backup, command, romPath, sameFile);
    if (!backupPath.empty()) CheckOutputIsNoInput(command, backupPath, inputs);

    const std::vector<uint8_t> patch = ReadWholeInput(patchPath, FileKind::Patch);
    // In place, the ROM is read, patched and replaced under its exclusive lock,
    // as an in-place import writes it: an import waiting for the lock then
    // finds the new file and changes that one; none is lost in between.
    std::optional<RegularFile> inPlace;
    if (sameFile) inPlace.emplace(outPath, RegularFile::Access::Update);
    const std::vector<uint8_t> romBytes = inPlace ? inPlace->ReadWhole(FileKind::RomImage)
                                                  : ReadWholeFile(romPath, FileKind::RomImage);
    AppliedPatch applied;
    try {
      applied = ApplyPatch(patch, romBytes);
    } catch (const VarskError& error) {
      FailWithPatch(patchPath, error);
    }
    // On standard output the result is the ROM either way.
    if (WritesToStandardOutput(outPath)) {
      WriteOutput(outPath, applied.alreadyPatched ? romBytes : applied.bytes);
      return kExitSuccess;
    }
    if (applied.alreadyPatched) {
      PrintStatusLine(QString::fromStdString(AlreadyPatchedLine(ShownText(romPath))));
      return kExitSuccess;
    }
    if (inPlace) {
      if (!backupPath.empty()) inPlace->KeepCopy(backupPath, romBytes);
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
