// The registerextension statement.
#include "core/messages.h"
#include "core/program.h"
#include "core/statements.h"

namespace tallow {

void StmtRegisterExtension(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }

}  // namespace tallow
