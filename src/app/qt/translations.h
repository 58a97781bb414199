#pragma once

class QCoreApplication;

namespace velmora::app::qt {

// The toolkit's own Japanese texts (file dialogs, standard buttons), from the system's
// translations folder: the program speaks Japanese whatever the desktop's language. False when
// they are not installed; the toolkit's English remains then.
bool InstallToolkitTranslations(QCoreApplication& application);

}  // namespace velmora::app::qt
