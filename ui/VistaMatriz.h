// The grid view: 50 x 24 pixel cells edited in place, fixed header row and column,
// no resizing or moving of sections, Tab leaves the grid. It reports every paint so
// the window can follow the grid's completeness.
#pragma once

#include <QTableView>

namespace tavelorin {

class ModeloMatriz;

class VistaMatriz : public QTableView {
    Q_OBJECT
public:
    explicit VistaMatriz(ModeloMatriz* modelo, QWidget* padre = nullptr);

    // Shows or hides the headers to match the model's fixed row and column.
    void AjustarCabeceras();

signals:
    void CeldasDibujadas();

protected:
    void paintEvent(QPaintEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    ModeloMatriz* modelo_;
};

}  // namespace tavelorin
