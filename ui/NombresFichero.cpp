#include "ui/NombresFichero.h"

#include <QDir>
#include <QFileInfo>

namespace tavelorin {

bool MismoFichero(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) return false;
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    const QString ca = fa.canonicalFilePath();
    const QString cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty()) return ca == cb;
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

QString NombreJuntoAlProblema(const QString& problema, const QString& final) {
    if (problema.isEmpty()) return {};
    const QFileInfo f(problema);
    return f.dir().filePath(f.completeBaseName() + final);
}

QString MensajeSolucionSobreProblema(const QString& ficheroProblema) {
    return QStringLiteral("La solución no puede guardarse en «") + QFileInfo(ficheroProblema).fileName() +
           QStringLiteral("»: es el archivo del problema. Elija otro nombre.");
}

}  // namespace tavelorin
