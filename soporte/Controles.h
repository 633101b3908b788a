// Reaching a window's controls by their names (their objectName), as tests and
// benchmarks do.
#pragma once

#include <QAction>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QWidget>
#include <QtGlobal>

#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/VistaMatriz.h"

namespace tavelorin {

// True when objeto belongs to ventana itself, not to one of the windows it owns (the
// about box has a Panel1 and a Label1 of its own).
inline bool DeLaVentana(const QObject* objeto, const QObject* ventana) {
    for (const QObject* p = objeto->parent(); p != nullptr && p != ventana; p = p->parent()) {
        const auto* w = qobject_cast<const QWidget*>(p);
        if (w != nullptr && w->isWindow()) return false;
    }
    return true;
}

// The one control of type T named nombre. Stops the program when there is none or
// more than one: nothing after that could be trusted.
template <class T>
T* Control(const QObject& ventana, const QString& nombre) {
    QList<T*> hallados;
    for (T* c : ventana.findChildren<T*>(nombre))
        if (DeLaVentana(c, &ventana)) hallados << c;
    if (hallados.size() != 1)
        qFatal("%s: %lld controls named %s of the type asked", qPrintable(ventana.objectName()),
               static_cast<long long>(hallados.size()), qPrintable(nombre));
    return hallados.front();
}

inline QAction* Accion(const TMainForm& ventana, const QString& nombre) { return Control<QAction>(ventana, nombre); }

inline MemoInforme* MemoDe(const TMainForm& ventana) { return Control<MemoInforme>(ventana, QStringLiteral("Memo1")); }

// Opens the Archivo menu as far as the window can tell: it is about to show.
inline void AbrirMenuArchivo(const TMainForm& ventana) {
    emit Control<QMenu>(ventana, QStringLiteral("ArchivoMenu"))->aboutToShow();
}

// The grid's model, behind the view named Matriz: what typing into the grid changes.
inline ModeloMatriz& Rejilla(const TMainForm& ventana) {
    auto* modelo = qobject_cast<ModeloMatriz*>(Control<VistaMatriz>(ventana, QStringLiteral("Matriz"))->model());
    if (modelo == nullptr) qFatal("the grid has no model of its own");
    return *modelo;
}

}  // namespace tavelorin
