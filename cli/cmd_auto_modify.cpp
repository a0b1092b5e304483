// varsk-units auto-modify ROM [--ammo-from-hp] [--product-turn] [--support-turn] [-o OUT]
#include "cli/change_report.h"
#include "cli/cli_common.h"
#include "cli/cli_messages.h"
#include "cli/commands.h"
#include "cli/record_text.h"
#include "cli/rom_output.h"
#include "data/auto_modify.h"

namespace varsk::cli {

int RunAutoModify(const QStringList& args) {
  return RunCommand([&] {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Load ROM, run the editor's Auto modify with the chosen changes and write the tables\n"
        "back (in place like Save ROM, or into OUT). Prints how many values changed. A new\n"
        "value that does not fit the ROM is an error, and nothing is written."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image."));
    const QCommandLineOption ammo(
        QStringList{QStringLiteral("ammo-from-hp")},
        QStringLiteral("Ammo never consume hp: weapons fed from HP get a number of shots."));
    const QCommandLineOption productTurn(QStringList{QStringLiteral("product-turn")},
                                         QStringLiteral("Set all \"Product Turn\" to 1."));
    const QCommandLineOption supportTurn(QStringList{QStringLiteral("support-turn")},
                                         QStringLiteral("Set all \"Support Turn\" to 1."));
    const QCommandLineOption output(
        QStringList{QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write a copy of ROM with the new tables to OUT; ROM stays as it is."),
        QStringLiteral("OUT"));
    const QCommandLineOption dryRun(
        QStringList{QStringLiteral("dry-run")},
        QStringLiteral("Print the changes (entry, field, old -> new); write nothing."));
    parser.addOptions({ammo, productTurn, supportTurn, output, dryRun});
    if (!ParseCommandLine(parser, QStringLiteral("auto-modify"), args, 1, 1)) {
      return kExitSuccess;
    }
    AutoModifyOptions options;
    options.ammoFromHp = parser.isSet(ammo);
    options.productTurnToOne = parser.isSet(productTurn);
    options.supportTurnToOne = parser.isSet(supportTurn);
    if (!options.ammoFromHp && !options.productTurnToOne && !options.supportTurnToOne) {
      FailUsage(UsageMessage(QStringLiteral("auto-modify"), NoAutoModifyChoiceText()));
    }
    const std::string rom = ArgumentBytes(parser.positionalArguments().at(0));
    // OUT may be ROM itself: it is then replaced whole by its changed copy.
    const std::string outPath = OutputPath(parser, output, QStringLiteral("auto-modify"));
    const bool onlyShow = parser.isSet(dryRun);

    const RecordsPtr before = NewRecords();
    RomBuffers buffers;
    LoadRecordTables(rom, *before, &buffers);
    const RecordsPtr after = NewRecords();
    CopyRecordTables(*before, *after);
    const int changed = AutoModify(*after, options);

    if (onlyShow) {
      WriteOutput(std::string(), DryRunReport(CompareRecords(*before, *after), nullptr, changed));
      return kExitSuccess;
    }
    // Save ROM would store such a value as its low bits: a different number.
    CheckRecordsFitRom(*after, QStringLiteral("auto-modify"));
    // Values the ROM does not carry (a ship's weapons) may change without a byte changing.
    if (MergeChangedBytes(*before, *after, buffers) > 0 || !outPath.empty()) {
      StoreRomTables(rom, outPath, *before, *after);
    }
    PrintStatusLine(ChangeCountText(changed, false));
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
