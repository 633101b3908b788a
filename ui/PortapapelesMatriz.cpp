#include "ui/PortapapelesMatriz.h"

#include <QMimeData>

namespace tavelorin {

namespace {

const QString kTipoCsv = QStringLiteral("text/csv");

std::string Utf8(const QByteArray& bytes) { return std::string(bytes.constData(), static_cast<size_t>(bytes.size())); }

}  // namespace

QMimeData* DatosDeBloque(const BloqueTexto& bloque) {
    auto* datos = new QMimeData;
    const std::string tabulado = BloqueATabulado(bloque);
    datos->setText(QString::fromStdString(tabulado));
    const std::string csv = BloqueACsv(bloque);
    datos->setData(kTipoCsv, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
    datos->setData(kTipoCeldas, QByteArray(tabulado.data(), static_cast<qsizetype>(tabulado.size())));
    return datos;
}

BloqueTexto BloqueDeDatos(const QMimeData& datos) {
    // The own format splits at tabs only: a copied cell that holds a semicolon or starts
    // with a quote comes back as it was.
    if (datos.hasFormat(kTipoCeldas)) return LeerBloque(Utf8(datos.data(kTipoCeldas)), FormatoBloque::Tabulado);
    if (datos.hasFormat(kTipoCsv)) return LeerBloque(Utf8(datos.data(kTipoCsv)), FormatoBloque::Csv);
    if (datos.hasText()) return LeerBloque(datos.text().toStdString(), FormatoBloque::Texto);
    return {};
}

bool HayBloque(const QMimeData* datos) {
    return datos != nullptr && (datos->hasFormat(kTipoCeldas) || datos->hasFormat(kTipoCsv) || datos->hasText());
}

}  // namespace tavelorin
