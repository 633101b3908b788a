// Whether the problem and the report hold changes that no file has yet: two flags, each
// set and cleared through one method and each announcing its changes, so that whatever
// tracks the edits (the window's commands, an undo stack's clean state) can drive them.
#pragma once

#include <QObject>
#include <QString>

namespace tavelorin {

class CambiosPendientes : public QObject {
    Q_OBJECT
public:
    explicit CambiosPendientes(QObject* padre = nullptr) : QObject(padre) {}

    bool Problema() const { return problema_; }
    bool Informe() const { return informe_; }
    bool Alguno() const { return problema_ || informe_; }

    void FijarProblema(bool modificado);
    void FijarInforme(bool modificado);

signals:
    void ProblemaCambiado(bool modificado);
    void InformeCambiado(bool modificado);
    // Either part: drives the window's modified marker.
    void AlgunoCambiado(bool modificado);

private:
    void Fijar(bool& parte, bool modificado, void (CambiosPendientes::*aviso)(bool));

    bool problema_ = false;
    bool informe_ = false;
};

// The main window's title for a problem file: "TAVELORIN - name.brk[*]" (the file name
// without its folder), "TAVELORIN[*]" without one; "[*]" is where the window shows that
// there are unsaved changes.
QString TituloVentana(const QString& ficheroProblema);

}  // namespace tavelorin
