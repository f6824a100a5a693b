// File-system, wait and listing statements.
#include "core/messages.h"
#include "core/program.h"
#include "core/statements.h"

namespace tallow {

void StmtChdir(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }
void StmtMkdir(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }
void StmtRmdir(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }
void StmtRename(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }
void StmtRemove(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }
void StmtCopy(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }
void StmtMove(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }
void StmtSleep(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }
void StmtListFiles(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStatement); }

}  // namespace tallow
