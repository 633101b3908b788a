#include "ui/CambiosPendientes.h"

#include <QFileInfo>

namespace tavelorin {

void CambiosPendientes::Fijar(bool& parte, bool modificado, void (CambiosPendientes::*aviso)(bool)) {
    if (parte == modificado) return;
    const bool antes = Alguno();
    parte = modificado;
    emit(this->*aviso)(modificado);
    if (Alguno() != antes) emit AlgunoCambiado(Alguno());
}

void CambiosPendientes::FijarProblema(bool modificado) {
    Fijar(problema_, modificado, &CambiosPendientes::ProblemaCambiado);
}

void CambiosPendientes::FijarInforme(bool modificado) {
    Fijar(informe_, modificado, &CambiosPendientes::InformeCambiado);
}

QString TituloVentana(const QString& ficheroProblema) {
    const QString marca = QStringLiteral("[*]");
    if (ficheroProblema.isEmpty()) return QStringLiteral("TAVELORIN") + marca;
    return QStringLiteral("TAVELORIN - ") + QFileInfo(ficheroProblema).fileName() + marca;
}

}  // namespace tavelorin
