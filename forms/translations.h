#pragma once

// Installs Qt's own Russian translations (standard buttons, file dialogs, the
// context menus of text fields) into the running application, whatever the
// machine's language. Returns false when Qt's translation files are missing.
bool InstallRussianTranslations();
