#include "ui/Traducciones.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tavelorin {

QList<QTranslator*> InstalarTraduccionesQt(const QLocale& idioma) {
    QList<QTranslator*> instaladas;
    auto* traduccion = new QTranslator(QCoreApplication::instance());
    if (traduccion->load(idioma, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(traduccion)) {
        instaladas << traduccion;
    } else {
        delete traduccion;
    }
    return instaladas;
}

}  // namespace tavelorin
