// The about box: product name, version, credits, licence, and links that open web pages
// or a new e-mail message.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QAction;
class QLabel;
class QPushButton;

namespace tavelorin {

// Opens links, behind an interface so tests can record them. Results are not examined.
class AbridorEnlaces {
public:
    virtual ~AbridorEnlaces() = default;
    // A web address, with the user's default handler.
    virtual void AbrirDireccion(const QUrl& direccion) = 0;
    // A new message (a mailto: address) in the user's mail client, in its compose window.
    virtual void EnviarCorreo(const QUrl& mensaje) = 0;
};

class AbridorEnlacesQt : public AbridorEnlaces {
public:
    void AbrirDireccion(const QUrl& direccion) override;
    void EnviarCorreo(const QUrl& mensaje) override;
};

AbridorEnlaces& AbridorEnlacesDelSistema();

// The cursor of the whole application: the hand-point over links, the default cursor
// (each widget's own) elsewhere.
void FijarCursorAplicacion(Qt::CursorShape forma);

// Created once, hidden, after the main window; shown modally as often as asked. Aceptar
// (also Enter), the close button and Esc close it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(AbridorEnlaces& abridor, QWidget* padre = nullptr);
    explicit TAboutBox(QWidget* padre = nullptr) : TAboutBox(AbridorEnlacesDelSistema(), padre) {}

    // Addresses behind the links, and the new message the e-mail link starts.
    static const QUrl kDireccionLicencia;
    static const QUrl kDireccionOrganizacion1;
    static const QUrl kDireccionOrganizacion2;
    static QUrl MensajeCorreo();

    // --- Controls, under their names ---
    QWidget* Panel1 = nullptr;
    QWidget* Shape1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Version = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label9 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QAction* SendMail1 = nullptr;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void hideEvent(QHideEvent* evento) override;

private:
    void Label1MouseMove();
    void Label2MouseMove();
    void Label7MouseMove();
    void Label9MouseMove();
    void Panel1MouseMove();
    void Shape1MouseMove();
    void Label1MouseDown();
    void Label2MouseDown();
    void Label7MouseDown();
    void Label9MouseDown();
    void BitBtn1Click();
    void CentrarEnPantalla();

    AbridorEnlaces& abridor_;
};

}  // namespace tavelorin
