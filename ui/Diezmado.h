// Line series of many points cut down to what a plot can show: per pixel column, the
// first, the last, the lowest and the highest point, in their order. Drawn as a line it
// covers the pixels of the whole series, at a cost set by the plot's width.
#pragma once

#include <QList>
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace tavelorin {

// The points (k, y(k)) for k = 1..q whose x lies in [x0, x1], and the nearest one on each
// side (so the line runs to the edges), cut down to columnas columns across [x0, x1];
// while they are no more than four a column, all of them are kept. Several series at
// once, in one pass over the stages: valores(k, y) writes y(k) of every series into y.
template <typename Valores>
std::vector<QList<QPointF>> Diezmar(int64_t q, int series, const Valores& valores, double x0, double x1, int columnas) {
    std::vector<QList<QPointF>> puntos(static_cast<size_t>(series));
    if (q <= 0 || series <= 0 || !(x1 >= x0)) return puntos;
    const int64_t desde = std::clamp<int64_t>(static_cast<int64_t>(std::ceil(x0)) - 1, 1, q);
    const int64_t hasta = std::clamp<int64_t>(static_cast<int64_t>(std::floor(x1)) + 1, 1, q);
    columnas = std::max(columnas, 1);
    std::vector<double> y(static_cast<size_t>(series));
    if (hasta - desde + 1 <= 4 * static_cast<int64_t>(columnas)) {
        for (auto& p : puntos) p.reserve(hasta - desde + 1);
        for (int64_t k = desde; k <= hasta; ++k) {
            valores(k, y.data());
            for (int s = 0; s < series; ++s) puntos[static_cast<size_t>(s)].append(QPointF(static_cast<double>(k), y[static_cast<size_t>(s)]));
        }
        return puntos;
    }
    // Per series, the column being gathered: its first, last, lowest and highest stage.
    struct Columna {
        int64_t primero, ultimo, kMin, kMax;
        double yPrimero, yUltimo, yMin, yMax;
    };
    std::vector<Columna> actual(static_cast<size_t>(series));
    for (auto& p : puntos) p.reserve(4 * (columnas + 2));
    const double escala = columnas / std::max(x1 - x0, std::numeric_limits<double>::min());
    const auto columna = [&](int64_t k) { return static_cast<int64_t>(std::floor((static_cast<double>(k) - x0) * escala)); };
    const auto soltar = [&](const Columna& c, QList<QPointF>& destino) {
        int64_t ks[4] = {c.primero, c.kMin, c.kMax, c.ultimo};
        double ys[4] = {c.yPrimero, c.yMin, c.yMax, c.yUltimo};
        if (c.kMin > c.kMax) {
            std::swap(ks[1], ks[2]);
            std::swap(ys[1], ys[2]);
        }
        int64_t previo = 0;
        for (int i = 0; i < 4; ++i) {
            if (ks[i] == previo) continue;  // each stage once
            destino.append(QPointF(static_cast<double>(ks[i]), ys[i]));
            previo = ks[i];
        }
    };
    int64_t columnaActual = columna(desde);
    valores(desde, y.data());
    for (int s = 0; s < series; ++s) {
        const double v = y[static_cast<size_t>(s)];
        actual[static_cast<size_t>(s)] = {desde, desde, desde, desde, v, v, v, v};
    }
    for (int64_t k = desde + 1; k <= hasta; ++k) {
        valores(k, y.data());
        const int64_t c = columna(k);
        if (c != columnaActual) {
            for (int s = 0; s < series; ++s) {
                soltar(actual[static_cast<size_t>(s)], puntos[static_cast<size_t>(s)]);
                const double v = y[static_cast<size_t>(s)];
                actual[static_cast<size_t>(s)] = {k, k, k, k, v, v, v, v};
            }
            columnaActual = c;
            continue;
        }
        for (int s = 0; s < series; ++s) {
            Columna& col = actual[static_cast<size_t>(s)];
            const double v = y[static_cast<size_t>(s)];
            col.ultimo = k;
            col.yUltimo = v;
            if (v < col.yMin) col.yMin = v, col.kMin = k;
            if (v > col.yMax) col.yMax = v, col.kMax = k;
        }
    }
    for (int s = 0; s < series; ++s) soltar(actual[static_cast<size_t>(s)], puntos[static_cast<size_t>(s)]);
    return puntos;
}

// One series.
template <typename Y>
QList<QPointF> Diezmar(int64_t q, const Y& y, double x0, double x1, int columnas) {
    return Diezmar(q, 1, [&y](int64_t k, double* v) { *v = y(k); }, x0, x1, columnas).front();
}

}  // namespace tavelorin
