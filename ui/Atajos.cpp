#include "ui/Atajos.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

namespace tavelorin {

AntesDeAtajos::AntesDeAtajos(QWidget* ventana, QMenu* menu, std::function<void()> alAbrir)
    : QObject(ventana), menu_(menu), alAbrir_(std::move(alAbrir)) {
    ventana->installEventFilter(this);
}

bool AntesDeAtajos::EsAtajoDelMenu(const QKeyEvent& tecla) const {
    const QKeySequence pulsada(tecla.keyCombination());
    for (const QAction* accion : menu_->actions())
        for (const QKeySequence& atajo : accion->shortcuts())
            if (atajo.matches(pulsada) == QKeySequence::ExactMatch) return true;
    return false;
}

// A key that no control took for itself reaches the window as a shortcut override before
// the shortcuts are looked up; the items' states are brought up to date then.
bool AntesDeAtajos::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::ShortcutOverride && EsAtajoDelMenu(*static_cast<QKeyEvent*>(evento))) alAbrir_();
    return QObject::eventFilter(objeto, evento);
}

}  // namespace tavelorin
