// The quality table of the sequence quality page: one row a figure, one column for goal
// chasing's sequence and one for the sequence it is compared with (the improved one or
// one loaded from a file).
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <optional>
#include <string>

#include "core/Calidad.h"

namespace tavelorin {

class ModeloCalidad : public QAbstractTableModel {
    Q_OBJECT
public:
    // What a column shows: the quality of a sequence and, for the compared one, goal
    // chasing's excess over it in percent and whether it is proven optimal.
    struct Columna {
        QString titulo;
        Calidad calidad;
        std::optional<double> exceso;
        std::optional<bool> demostrada;
    };

    // The rows before the per-component ones.
    enum Fila {
        kJComponentes,
        kDesviacionComponentes,
        kJProductos,
        kDesviacionProductos,
        kExceso,
        kDemostrada,
        kFilasFijas
    };

    explicit ModeloCalidad(QObject* padre = nullptr);

    // Reals are written as the sequence lines write them, with this decimal separator.
    void FijarSeparador(const std::string& separador);
    // The columns shown; an empty one shows nothing (and the table has no rows when
    // both are).
    void Fijar(std::optional<Columna> persecucion, std::optional<Columna> otra);
    const std::optional<Columna>& Persecucion() const { return columnas_[0]; }
    const std::optional<Columna>& Otra() const { return columnas_[1]; }

    // The text of a cell: column 0 the figure's name, 1 goal chasing, 2 the other.
    QString Texto(int fila, int columna) const;

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override;

private:
    QString Real(double valor) const;
    QString Valor(const Columna& c, int fila) const;

    std::optional<Columna> columnas_[2];
    std::string separador_ = ".";
};

}  // namespace tavelorin
