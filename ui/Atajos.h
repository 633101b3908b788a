// Keyboard shortcuts of menu items whose enabled state is set when their menu opens.
// Before the window looks such a shortcut up, the menu's opening routine runs, so the key
// does what opening the menu and choosing the item would do, no more.
#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QMenu;

namespace tavelorin {

class AntesDeAtajos : public QObject {
public:
    // Watches ventana's keys; alAbrir is the menu's opening routine.
    AntesDeAtajos(QWidget* ventana, QMenu* menu, std::function<void()> alAbrir);

    // Whether a key is the shortcut of one of the menu's items.
    bool EsAtajoDelMenu(const QKeyEvent& tecla) const;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QMenu* menu_;
    std::function<void()> alAbrir_;
};

}  // namespace tavelorin
