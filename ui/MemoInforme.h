// The report memo: an editable plain-text view with no wrapping, both scroll bars and
// tab stops every 8 characters. The rest of the program reads and writes it only
// through lines.
#pragma once

#include <QPlainTextEdit>
#include <string>
#include <vector>

namespace tavelorin {

class MemoInforme : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoInforme(QWidget* padre = nullptr);

    // An empty memo has no line.
    int NumeroLineas() const;
    QString Linea(int indice) const;
    std::vector<std::string> Lineas() const;
    // The whole text: every line followed by CR LF.
    QString Texto() const;

    void Vaciar();
    void ReemplazarLineas(const std::vector<std::string>& lineas);

    // Copies the whole text to the clipboard, as plain text only.
    void CopiarTodo();

    void setFont(const QFont& fuente);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void changeEvent(QEvent* evento) override;

private:
    void AjustarTabuladores();
};

}  // namespace tavelorin
