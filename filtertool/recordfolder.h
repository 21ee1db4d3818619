// Where Quendle keeps its undo records ("changed.bak", "deleted.bak").
#pragma once

#include <QString>

namespace quendle {

// The program's folder while it is writable (a build tree, a copy in the
// user's home); else, for an installed program, the per-user data folder
// userDir, created when missing.  Both with a trailing '/'.
QString recordFolder(const QString& programDir, const QString& userDir);

}  // namespace quendle
