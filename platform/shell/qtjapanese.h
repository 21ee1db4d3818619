// Qt's own texts (standard buttons, file dialogs) in Japanese, like the
// programs' own texts.
#pragma once

class QTranslator;

namespace tl {

// Loads Qt's Japanese translation from Qt's translations folder into t and
// installs it for the application; false (nothing installed) when the
// translation is not there.  t must outlive its use.
bool installQtJapanese(QTranslator& t);

}  // namespace tl
