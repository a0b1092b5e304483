// Stand-ins for the sharing commands when their sources are not part of the build.
#include "cli/cli_common.h"
#include "cli/commands.h"

namespace varsk::cli {

#if !defined(VARSK_CLI_HAVE_DIFF) || !defined(VARSK_CLI_HAVE_PATCH)
namespace {

int NotAvailable(const char* command) {
  PrintError(QStringLiteral("%1: not available in this build").arg(QString::fromLatin1(command)));
  return kExitError;
}

}  // namespace
#endif

#ifndef VARSK_CLI_HAVE_DIFF
int RunDiff(const QStringList&) { return NotAvailable("diff"); }
#endif
#ifndef VARSK_CLI_HAVE_PATCH
int RunPatch(const QStringList&) { return NotAvailable("patch"); }
int RunApply(const QStringList&) { return NotAvailable("apply"); }
#endif

}  // namespace varsk::cli
