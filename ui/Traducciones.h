// Qt's own texts in the user's language: the buttons and labels of the standard dialogs
// (files, fonts, printing, page set-up, message and input boxes). The program's own texts
// are Spanish whatever the language.
#pragma once

#include <QList>
#include <QLocale>

class QTranslator;

namespace tavelorin {

// Loads Qt's translation for the locale (qtbase_<language>.qm from Qt's translations
// folder, trying the locale's languages in order) and installs it on the application,
// which owns it. Returns what was installed: nothing when Qt has no translation for the
// locale, and its dialogs stay in English.
QList<QTranslator*> InstalarTraduccionesQt(const QLocale& idioma = QLocale::system());

}  // namespace tavelorin
