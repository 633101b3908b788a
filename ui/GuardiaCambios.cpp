#include "ui/GuardiaCambios.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QSessionManager>
#include <QWidget>
#include <utility>

#include "ui/CambiosPendientes.h"
#include "ui/Dialogos.h"
#include "ui/ManejoErrores.h"

namespace tavelorin {

GuardiaCambios::GuardiaCambios(CambiosPendientes& cambios, Dialogos& dialogos, QWidget* ventana,
                               std::function<QString()> nombreProblema, Guardados guardados)
    : QObject(ventana),
      cambios_(cambios),
      dialogos_(dialogos),
      ventana_(ventana),
      nombreProblema_(std::move(nombreProblema)),
      guardados_(std::move(guardados)) {
    if (auto* aplicacion = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(aplicacion, &QGuiApplication::commitDataRequest, this, &GuardiaCambios::AtenderFinDeSesion);
}

QString GuardiaCambios::Pregunta() const {
    QString problema = QStringLiteral("del problema");
    const QString nombre = nombreProblema_ ? nombreProblema_() : QString();
    if (!nombre.isEmpty()) problema += QStringLiteral(" «") + QFileInfo(nombre).fileName() + QStringLiteral("»");
    const QString solucion = QStringLiteral("de la solución");
    QString partes;
    if (cambios_.Problema() && cambios_.Informe())
        partes = problema + QStringLiteral(" y ") + solucion;
    else
        partes = cambios_.Problema() ? problema : solucion;
    return QStringLiteral("¿Desea guardar los cambios ") + partes + QStringLiteral("?");
}

bool GuardiaCambios::GuardarTodo() {
    if (cambios_.Problema() && !guardados_.problema()) return false;
    if (cambios_.Informe() && !guardados_.informe()) return false;
    return true;
}

bool GuardiaCambios::PuedeContinuar() {
    if (preparar_) preparar_();
    if (!cambios_.Alguno()) return true;
    switch (dialogos_.PreguntarCambios(ventana_, kTituloAplicacion, Pregunta())) {
        case RespuestaCambios::Guardar: return GuardarTodo();
        case RespuestaCambios::Descartar: return true;
        case RespuestaCambios::Cancelar: break;
    }
    return false;
}

bool GuardiaCambios::PuedeCerrar() {
    bool puede = false;
    EjecutarComando(dialogos_, ventana_, [&] { puede = PuedeContinuar(); });
    return puede;
}

bool GuardiaCambios::PuedeTerminarSesion(bool puedePreguntar) {
    if (preparar_) preparar_();
    if (!cambios_.Alguno()) return true;
    if (!puedePreguntar || !PuedeCerrar()) return false;
    cambios_.FijarProblema(false);
    cambios_.FijarInforme(false);
    return true;
}

void GuardiaCambios::AtenderFinDeSesion(QSessionManager& sesion) {
    if (preparar_) preparar_();
    // Leave to ask is requested only when there is something to ask about.
    const bool puedePreguntar = cambios_.Alguno() && sesion.allowsInteraction();
    const bool puede = PuedeTerminarSesion(puedePreguntar);
    if (puedePreguntar) sesion.release();
    if (!puede) sesion.cancel();
}

}  // namespace tavelorin
