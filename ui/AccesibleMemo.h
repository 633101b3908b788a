// The report memo as screen readers and other assistive tools see it: an editable,
// multi-line text with Qt's accessible text interface (the text, its lines and words,
// the selection, the caret, where characters lie on the screen). Offsets count UTF-16
// characters from the start of the text, one '\n' between lines.
#pragma once

#include <QAccessibleWidget>
#include <QString>

#include "ui/LineasMemo.h"

namespace tavelorin {

class MemoInforme;

// Offsets and places in the text.
int DesplazamientoDe(const LineasMemo& lineas, Posicion p);
Posicion PosicionDe(const LineasMemo& lineas, int desplazamiento);  // clamped to the text
int CaracteresDe(const LineasMemo& lineas);

class AccesibleMemo : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccesibleMemo(MemoInforme* memo);

    void* interface_cast(QAccessible::InterfaceType tipo) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text tipo) const override;

    // QAccessibleTextInterface
    void selection(int indice, int* inicio, int* fin) const override;
    int selectionCount() const override;
    void addSelection(int inicio, int fin) override;
    void removeSelection(int indice) override;
    void setSelection(int indice, int inicio, int fin) override;
    int cursorPosition() const override;
    void setCursorPosition(int posicion) override;
    QString text(int inicio, int fin) const override;
    QString textBeforeOffset(int desplazamiento, QAccessible::TextBoundaryType limite, int* inicio,
                             int* fin) const override;
    QString textAfterOffset(int desplazamiento, QAccessible::TextBoundaryType limite, int* inicio,
                            int* fin) const override;
    QString textAtOffset(int desplazamiento, QAccessible::TextBoundaryType limite, int* inicio,
                         int* fin) const override;
    int characterCount() const override;
    QRect characterRect(int desplazamiento) const override;
    int offsetAtPoint(const QPoint& punto) const override;
    void scrollToSubstring(int inicio, int fin) override;
    QString attributes(int desplazamiento, int* inicio, int* fin) const override;

private:
    MemoInforme* Memo() const;
    // The piece of the given kind that holds the offset: [*inicio, *fin).
    QString Pieza(int desplazamiento, QAccessible::TextBoundaryType limite, int* inicio, int* fin) const;
};

// Makes Qt build an AccesibleMemo for every memo (once per program).
void InstalarAccesibilidadMemo();

// What the memo tells assistive tools: the caret or the selection moved; a piece of
// text was replaced at desde; the whole text was replaced. Nothing when no tool listens.
void AvisarCursor(MemoInforme& memo);
void AvisarEdicion(MemoInforme& memo, Posicion desde, const QString& quitado, const QString& puesto);
void AvisarTextoNuevo(MemoInforme& memo);

}  // namespace tavelorin
