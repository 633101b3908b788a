// The random-problem dialog: seven parameter edits under two grey bars, Aceptar and
// Cancelar. It has no behaviour of its own; the window reads its edits.
#pragma once

#include <QDialog>

#include "core/GeneracionAleatoria.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavelorin {

class TFormAleatorio : public QDialog {
    Q_OBJECT
public:
    explicit TFormAleatorio(QWidget* padre = nullptr);

    // The texts of the seven edits.
    TextosAleatorios Textos() const;

    QFrame* Shape1 = nullptr;
    QFrame* Shape2 = nullptr;
    QLabel* TituloProductos = nullptr;
    QLabel* TituloComponentes = nullptr;
    QLineEdit* ENProd = nullptr;
    QLineEdit* ENComp = nullptr;
    QLineEdit* ENUMin = nullptr;
    QLineEdit* ENUMax = nullptr;
    QLineEdit* EProbC = nullptr;
    QLineEdit* ECantMin = nullptr;
    QLineEdit* ECantMax = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};

}  // namespace tavelorin
