#include "ui/ModeloCalidad.h"

#include <algorithm>
#include <utility>

#include "core/TextoReal.h"

namespace tavelorin {

ModeloCalidad::ModeloCalidad(QObject* padre) : QAbstractTableModel(padre) {}

void ModeloCalidad::FijarSeparador(const std::string& separador) {
    if (separador == separador_) return;
    separador_ = separador;
    if (rowCount() > 0) emit dataChanged(index(0, 1), index(rowCount() - 1, 2));
}

void ModeloCalidad::Fijar(std::optional<Columna> persecucion, std::optional<Columna> otra) {
    beginResetModel();
    columnas_[0] = std::move(persecucion);
    columnas_[1] = std::move(otra);
    endResetModel();
}

int ModeloCalidad::rowCount(const QModelIndex& padre) const {
    if (padre.isValid()) return 0;
    size_t componentes = 0;
    bool alguna = false;
    for (const auto& c : columnas_) {
        if (!c) continue;
        alguna = true;
        componentes = std::max(componentes, c->calidad.componentes.desviaciones.size());
    }
    return alguna ? kFilasFijas + static_cast<int>(componentes) : 0;
}

int ModeloCalidad::columnCount(const QModelIndex& padre) const { return padre.isValid() ? 0 : 3; }

QString ModeloCalidad::Real(double valor) const {
    std::string s;
    AnadirTextoReal(s, valor, FormatoSecuencia(separador_));
    return QString::fromStdString(s);
}

QString ModeloCalidad::Valor(const Columna& c, int fila) const {
    const Calidad& k = c.calidad;
    switch (fila) {
        case kJComponentes: return Real(k.componentes.variacion.Real());
        case kDesviacionComponentes: return Real(k.componentes.desviacionMaxima.Real());
        case kJProductos: return Real(k.productos.variacion.Real());
        case kDesviacionProductos: return Real(k.productos.desviacionMaxima.Real());
        case kExceso: return c.exceso ? Real(*c.exceso) : QString();
        case kDemostrada: return c.demostrada ? (*c.demostrada ? QStringLiteral("sí") : QStringLiteral("no")) : QString();
        default: break;
    }
    const size_t j = static_cast<size_t>(fila - kFilasFijas);
    return j < k.componentes.desviaciones.size() ? Real(k.componentes.desviaciones[j].Real()) : QString();
}

QString ModeloCalidad::Texto(int fila, int columna) const {
    if (fila < 0 || fila >= rowCount() || columna < 0 || columna > 2) return {};
    if (columna == 0) {
        switch (fila) {
            case kJComponentes: return QStringLiteral("J componentes");
            case kDesviacionComponentes: return QStringLiteral("Desviación máxima componentes");
            case kJProductos: return QStringLiteral("J productos");
            case kDesviacionProductos: return QStringLiteral("Desviación máxima productos");
            case kExceso: return QStringLiteral("Exceso de la persecución (%)");
            case kDemostrada: return QStringLiteral("Óptima demostrada");
            default: return QStringLiteral("Desviación máxima C") + QString::number(fila - kFilasFijas + 1);
        }
    }
    const std::optional<Columna>& c = columnas_[columna - 1];
    return c ? Valor(*c, fila) : QString();
}

QVariant ModeloCalidad::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid()) return {};
    if (rol == Qt::DisplayRole || rol == Qt::AccessibleTextRole) return Texto(indice.row(), indice.column());
    if (rol == Qt::TextAlignmentRole)
        return QVariant::fromValue(indice.column() == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                         : Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ModeloCalidad::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (orientacion != Qt::Horizontal || rol != Qt::DisplayRole) return {};
    if (seccion == 0) return QStringLiteral("Medida");
    if (seccion < 1 || seccion > 2) return {};
    const std::optional<Columna>& c = columnas_[seccion - 1];
    if (c) return c->titulo;
    return seccion == 1 ? QStringLiteral("Persecución") : QString();
}

}  // namespace tavelorin
