// varsk-units auto-modify ROM [--ammo-from-hp] [--product-turn] [--support-turn] [-o OUT]
//                         [--dry-run] [--backup[=SUFFIX]]
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/edit_pipeline.h"
#include "data/auto_modify.h"

namespace varsk::cli {

int RunAutoModify(const QStringList& args) {
  return RunCommand([&] {
    const QString command = QStringLiteral("auto-modify");
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
    parser.addOptions({ammo, productTurn, supportTurn});
    const RecordEditOptions editOptions = AddRecordEditOptions(parser);
    if (!ParseCommandLine(
            parser, command, args, 1, 1,
            QStringLiteral("auto-modify ROM [--ammo-from-hp] [--product-turn] "
                           "[--support-turn] [-o OUT] [--dry-run] [--backup[=SUFFIX]]"))) {
      return kExitSuccess;
    }
    AutoModifyOptions options;
    options.ammoFromHp = parser.isSet(ammo);
    options.productTurnToOne = parser.isSet(productTurn);
    options.supportTurnToOne = parser.isSet(supportTurn);
    if (!options.ammoFromHp && !options.productTurnToOne && !options.supportTurnToOne) {
      FailUsage(UsageMessage(command, NoAutoModifyChoiceText()));
    }
    EditRecords(RecordEditOf(parser, editOptions, command),
                [&](DataSet& records) { AutoModify(records, options); });
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
