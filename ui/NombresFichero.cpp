#include "ui/NombresFichero.h"

#include <QDir>
#include <QFileInfo>

#include "files/FicheroTexto.h"
#include "ui/RutasFichero.h"

namespace tavelorin {

bool MismoFichero(const QString& a, const QString& b) {
    return tavelorin::MismoFichero(RutaDeNombre(a), RutaDeNombre(b));
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
