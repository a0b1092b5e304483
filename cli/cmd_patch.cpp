// varsk-units patch ORIGINAL MODIFIED -o PATCH
// varsk-units apply PATCH ROM -o OUT
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <string>

#include "cli/cli_common.h"
#include "cli/cli_messages.h"
#include "cli/commands.h"
#include "data/messages.h"
#include "patch/bps_patch.h"
#include "patch/image_file.h"
#include "patch/ips_patch.h"
#include "patch/patch_apply.h"
#include "patch/patch_messages.h"
#include "patch/table_diff.h"

namespace varsk::cli {

namespace {

// The whole file, in memory suited to ROM-sized images.
std::vector<uint8_t> ReadImage(const QString& path) {
  return ReadImageFile(QFile::encodeName(path).toStdString());
}

void PrintLine(const std::string& line) {
  WriteOutput(QString(), QByteArray::fromStdString(line + "\n"));
}

QCommandLineOption OutputOption(const QString& description, const QString& valueName) {
  return QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")}, description,
                            valueName);
}

QString RequiredOutput(const QCommandLineParser& parser, const QCommandLineOption& option,
                       const QString& command) {
  if (!parser.isSet(option) || parser.value(option).isEmpty()) {
    FailUsage(UsageMessage(command, OptionRequiredMessage(QStringLiteral("output"))));
  }
  return parser.value(option);
}

// Refuses an output path that names one of the input files: writing there
// would destroy an input the user still needs.
void CheckNotAnInput(const QString& command, const QString& output, const QStringList& inputs) {
  const QString target = QFileInfo(output).canonicalFilePath();
  if (target.isEmpty()) return;  // the output does not exist yet
  for (const QString& input : inputs) {
    if (QFileInfo(input).canonicalFilePath() == target) {
      FailUsage(UsageMessage(command,
                             QString::fromStdString(OutputReplacesInputText(input.toStdString()))));
    }
  }
}

std::string PathText(const QString& path) { return FullPathOf(path).toStdString(); }

}  // namespace

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
    const QString original = parser.positionalArguments().at(0);
    const QString modified = parser.positionalArguments().at(1);
    const QString patchPath = RequiredOutput(parser, output, command);
    const std::optional<PatchFormat> format =
        PatchFormatOfFileName(QFileInfo(patchPath).fileName().toStdString());
    if (!format) {
      FailUsage(UsageMessage(command,
                             QString::fromStdString(PatchExtensionText(patchPath.toStdString()))));
    }
    CheckNotAnInput(command, patchPath, {original, modified});

    const std::vector<uint8_t> before = ReadImage(original);
    const std::vector<uint8_t> after = ReadImage(modified);
    const std::vector<uint8_t> patch =
        *format == PatchFormat::Ips ? MakeIpsPatch(before, after) : MakeBpsPatch(before, after);
    WriteFileAtomically(patchPath, QByteArray(reinterpret_cast<const char*>(patch.data()),
                                              static_cast<qsizetype>(patch.size())));
    PrintLine(PatchWrittenLine(PatchFormatName(*format), patchPath.toStdString(), patch.size(),
                               CountDifferingBytes(before, after)));
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
    const QString patchPath = parser.positionalArguments().at(0);
    const QString romPath = parser.positionalArguments().at(1);
    const QString outPath = RequiredOutput(parser, output, command);
    CheckNotAnInput(command, outPath, {patchPath});

    const std::vector<uint8_t> patch = ReadImage(patchPath);
    const std::vector<uint8_t> rom = ReadImage(romPath);
    AppliedPatch applied;
    try {
      applied = ApplyPatch(patch, rom);
    } catch (const VarskError& error) {
      // Name the patch: the message says what is wrong with it or the ROM.
      Fail(QString::fromStdString(PathText(patchPath) + ": " + error.what()));
    }
    if (applied.alreadyPatched) {
      PrintLine(AlreadyPatchedLine(romPath.toStdString()));
      return kExitSuccess;
    }
    // Written straight from the result, without a copy of the ROM.
    WriteFileAtomically(outPath,
                        QByteArray::fromRawData(reinterpret_cast<const char*>(applied.bytes.data()),
                                                static_cast<qsizetype>(applied.bytes.size())));
    PrintLine(
        AppliedLine(PatchFormatName(applied.format), outPath.toStdString(), applied.bytes.size()));
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
