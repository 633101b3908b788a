// The random-problem dialog: seven parameter edits under two grey bars, Aceptar and
// Cancelar. It has no behaviour of its own; the window reads its edits.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "core/GeneracionAleatoria.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavelorin {

class Dialogos;

class TFormAleatorio : public QDialog {
    Q_OBJECT
public:
    explicit TFormAleatorio(QWidget* padre = nullptr);

    // The texts of the seven edits.
    TextosAleatorios Textos() const;
    // The edit of a field.
    QLineEdit* Campo(CampoAleatorio campo) const;

    // From now on "Aceptar" closes the dialog only when Comprobar finds every field right.
    void ComprobarAlAceptar(Dialogos& dialogos, std::string separador);
    // The parameters when every field is right (ComprobarParametrosAleatorios); otherwise
    // the message is shown as any command's error, the bad field is selected and the
    // result is nullopt. Needs ComprobarAlAceptar first.
    std::optional<ParametrosAleatorios> Comprobar();

    void accept() override;

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

private:
    Dialogos* dialogos_ = nullptr;
    std::string separador_;
};

}  // namespace tavelorin
