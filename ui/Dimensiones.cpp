#include "ui/Dimensiones.h"

#include <QStringList>
#include <optional>
#include <string>

#include "core/Errores.h"
#include "core/TextoEntero.h"
#include "ui/Dialogos.h"
#include "ui/ManejoErrores.h"
#include "ui/DeshacerMatriz.h"
#include "ui/ModeloMatriz.h"

namespace tavelorin {

namespace {

// "del producto 4", "de los productos 4 a 6".
QString Rango(const char* singular, const char* plural, int32_t desde, int32_t hasta) {
    if (desde == hasta) return QStringLiteral("del %1 %2").arg(QLatin1String(singular)).arg(desde);
    return QStringLiteral("de los %1 %2 a %3").arg(QLatin1String(plural)).arg(desde).arg(hasta);
}

// "a", "a y b", "a, b y c".
QString Enumerar(const QStringList& partes) {
    if (partes.size() <= 1) return partes.join(QString());
    return partes.mid(0, partes.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" y ") + partes.back();
}

int32_t Sumar(int32_t cuenta, uint32_t mas) { return static_cast<int32_t>(static_cast<uint32_t>(cuenta) + mas); }

// The count typed into a prompt, or the integer message saying which prompt it was.
int32_t Recuento(const QString& texto, const char* que) {
    const std::string t = texto.toStdString();
    if (const auto v = IntentarTextoAEntero(t)) return *v;
    LanzarEnteroInvalido(t, std::string("El ") + que + " escrito en Items no es un número entero.");
}

}  // namespace

QString PreguntaPerdida(const MatrizProblema::Perdida& perdida) {
    QStringList partes;
    if (perdida.productoDesde != 0)
        partes << Rango("producto", "productos", perdida.productoDesde, perdida.productoHasta);
    if (perdida.componenteDesde != 0)
        partes << Rango("componente", "componentes", perdida.componenteDesde, perdida.componenteHasta);
    if (perdida.demandas) partes << QStringLiteral("de las demandas");
    if (partes.isEmpty()) return {};
    return QStringLiteral("Se perderán los datos ") + Enumerar(partes) + QStringLiteral(". ¿Continuar?");
}

bool DimensionarProblema(Dialogos& dialogos, QWidget* padre, EdicionMatriz& edicion) {
    const MatrizProblema& m = edicion.Modelo().Matriz();
    const QString titulo = QStringLiteral("Problema de Brisak");
    const std::optional<QString> productos = dialogos.PedirTexto(
        padre, titulo, QStringLiteral("Número de Productos"), QString::number(m.Filas() - 1));
    if (!productos) return false;
    const std::optional<QString> componentes = dialogos.PedirTexto(
        padre, titulo, QStringLiteral("Número de Componentes"), QString::number(m.Columnas() - 2));
    if (!componentes) return false;
    const int32_t filas = Sumar(Recuento(*productos, "número de productos"), 1);
    const int32_t columnas = Sumar(Recuento(*componentes, "número de componentes"), 2);
    MatrizProblema::ComprobarTamano(filas, columnas);
    const QString pregunta = PreguntaPerdida(m.PerdidaAlCambiar(filas, columnas));
    if (!pregunta.isEmpty() && !dialogos.Confirmar(padre, kTituloAplicacion, pregunta)) return false;
    return edicion.Dimensionar(filas, columnas);
}

}  // namespace tavelorin
