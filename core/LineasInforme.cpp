#include "core/LineasInforme.h"

#include <algorithm>

#include "core/Informe.h"

namespace tavelorin {

namespace {

// Σ digits(i) for i = 1..c.
int64_t CifrasHasta(int64_t c) {
    int64_t total = 0;
    int64_t desde = 1;
    for (int d = 1; desde <= c; ++d, desde *= 10) {
        const int64_t hasta = std::min(c, desde * 10 - 1);
        total += (hasta - desde + 1) * d;
    }
    return total;
}

void AnadirRotulos(std::string& linea, const char* prefijo, int32_t cuenta, const char* sufijo, bool tabAntes) {
    for (int32_t i = 1; i <= cuenta; ++i) {
        if (tabAntes || i > 1) linea.push_back('\t');
        linea.append(prefijo);
        linea.append(std::to_string(i));
        linea.append(sufijo);
    }
}

}  // namespace

LineasInforme::LineasInforme(const TablaEtapas& tabla, std::string_view separador)
    : tabla_(tabla), formato_(FormatoInforme(separador)), formatoSecuencia_(FormatoSecuencia(separador)) {
    q_ = tabla.Vacia() ? 0 : tabla.filas;
    if (q_ == 0) return;
    const int32_t n = tabla.nProd;
    textoProducto_.resize(static_cast<size_t>(n) + 1);
    for (int32_t p = 0; p <= n; ++p) AnadirTextoReal(textoProducto_[static_cast<size_t>(p)], p, formato_);

    hechos_.resize(static_cast<size_t>(q_) + 1);
    int64_t bytes = 0;
    for (int32_t c = 0; c < q_; ++c) {
        hechos_[static_cast<size_t>(c)] = bytes;
        bytes += static_cast<int64_t>(textoProducto_[static_cast<size_t>(tabla.Eleccion(c))].size()) + 1;
    }
    hechos_[static_cast<size_t>(q_)] = bytes;
    secuencia_.reserve(static_cast<size_t>(bytes));
    for (int32_t c = 0; c < q_; ++c) {
        secuencia_.append(textoProducto_[static_cast<size_t>(tabla.Eleccion(c))]);
        secuencia_.push_back('\t');
    }
    ceros_.reserve(2 * static_cast<size_t>(q_));
    for (int32_t c = 0; c < q_; ++c) ceros_.append("0\t");
}

LineasInforme::Tipo LineasInforme::TipoDe(int64_t i) const {
    if (i == 0) return Tipo::Cabecera;
    if (i <= q_) return Tipo::Etapa;
    if (i == static_cast<int64_t>(q_) + 1) return Tipo::Solucion;
    return Tipo::Secuencia;
}

int32_t LineasInforme::EtapaDe(int64_t i) const {
    switch (TipoDe(i)) {
        case Tipo::Etapa: return static_cast<int32_t>(i);
        case Tipo::Secuencia: return static_cast<int32_t>(i - q_ - 1);
        default: return 0;
    }
}

void LineasInforme::AnadirCabeza(int64_t i, std::string& destino) const {
    const int32_t n = tabla_.nProd;
    switch (TipoDe(i)) {
        case Tipo::Cabecera:
            destino.append("K");
            AnadirRotulos(destino, "Dk", n, "", true);
            destino.push_back('\t');
            return;
        case Tipo::Etapa: {
            const int32_t fila = static_cast<int32_t>(i - 1);
            AnadirTextoReal(destino, static_cast<double>(i), formato_);
            destino.push_back('\t');
            const double* d = tabla_.Distancias(fila);
            for (int32_t p = 0; p < n; ++p) {
                AnadirTextoReal(destino, d[p], formato_);
                destino.push_back('\t');
            }
            return;
        }
        case Tipo::Solucion: destino.append(kLineaSolucion); return;
        case Tipo::Secuencia:
            AnadirTextoReal(destino, tabla_.Eleccion(EtapaDe(i) - 1), formatoSecuencia_);
            return;
    }
}

void LineasInforme::AnadirCola(int64_t i, std::string& destino) const {
    const int32_t n = tabla_.nProd;
    const int32_t m = tabla_.nComp;
    const Tipo tipo = TipoDe(i);
    if (tipo == Tipo::Cabecera) {
        AnadirRotulos(destino, "X", m, "k", false);
        AnadirRotulos(destino, "Ns", n, "", m > 0);
        AnadirRotulos(destino, "KN", m, "/Q", true);
        return;
    }
    if (tipo != Tipo::Etapa) return;
    const int32_t fila = static_cast<int32_t>(i - 1);
    bool primera = true;
    const auto celda = [&](double v) {
        if (!primera) destino.push_back('\t');
        primera = false;
        AnadirTextoReal(destino, v, formato_);
    };
    for (int32_t j = 0; j < m; ++j) celda(static_cast<double>(tabla_.Consumo(fila, j)));
    thread_local std::vector<int32_t> unidades;
    unidades.resize(static_cast<size_t>(n));
    tabla_.Unidades(fila, unidades.data());
    for (int32_t p = 0; p < n; ++p) celda(static_cast<double>(unidades[static_cast<size_t>(p)]));
    for (int32_t j = 1; j <= m; ++j) celda(tabla_.Ideal(fila, j));
}

int64_t LineasInforme::CeldasMedio(int64_t i) const {
    const Tipo tipo = TipoDe(i);
    return tipo == Tipo::Cabecera || tipo == Tipo::Etapa ? q_ : 0;
}

int64_t LineasInforme::InicioCelda(int64_t i, int64_t c) const {
    switch (TipoDe(i)) {
        case Tipo::Cabecera: return 2 * c + CifrasHasta(c);  // "s", the number and a tab each
        case Tipo::Etapa: {
            const int64_t k = i;
            if (c <= k) return hechos_[static_cast<size_t>(c)];
            return hechos_[static_cast<size_t>(k)] + 2 * (c - k);
        }
        default: return 0;
    }
}

int64_t LineasInforme::CeldaEn(int64_t i, int64_t d) const {
    if (TipoDe(i) == Tipo::Etapa) {
        const int64_t k = i;
        if (d >= hechos_[static_cast<size_t>(k)]) return k + (d - hechos_[static_cast<size_t>(k)]) / 2;
        return (std::upper_bound(hechos_.begin(), hechos_.begin() + k + 1, d) - hechos_.begin()) - 1;
    }
    // The header: the last cell starting at or before d.
    int64_t bajo = 0;
    int64_t alto = q_ - 1;
    while (bajo < alto) {
        const int64_t medio = bajo + (alto - bajo + 1) / 2;
        if (InicioCelda(i, medio) <= d)
            bajo = medio;
        else
            alto = medio - 1;
    }
    return bajo;
}

void LineasInforme::AnadirRotulo(int64_t c, std::string& destino) {
    destino.push_back('s');
    destino.append(std::to_string(c + 1));
}

int32_t LineasInforme::ProductoEnCelda(int64_t i, int64_t c) const {
    if (TipoDe(i) != Tipo::Etapa) return -1;
    return c < i ? tabla_.Eleccion(static_cast<int32_t>(c)) : 0;
}

void LineasInforme::AnadirMedio(int64_t i, int64_t desde, int64_t hasta, std::string& destino) const {
    const int64_t largo = LargoMedio(i);
    desde = std::clamp<int64_t>(desde, 0, largo);
    hasta = std::clamp<int64_t>(hasta, desde, largo);
    if (desde == hasta) return;
    if (TipoDe(i) == Tipo::Etapa) {
        const int64_t k = i;
        const int64_t hecho = hechos_[static_cast<size_t>(k)];
        if (desde < hecho) destino.append(secuencia_, static_cast<size_t>(desde), static_cast<size_t>(std::min(hasta, hecho) - desde));
        if (hasta > hecho) {
            // "0\t" repeated: the byte at offset o past the choices is '0' for even o.
            int64_t o = std::max(desde, hecho) - hecho;
            const int64_t fin = hasta - hecho;
            if (o % 2 == 1) {
                destino.push_back('\t');
                ++o;
            }
            if (fin > o) destino.append(ceros_, 0, static_cast<size_t>(fin - o));
        }
        return;
    }
    // The header: the labels from the one holding desde.
    int64_t c = CeldaEn(i, desde);
    int64_t o = InicioCelda(i, c);
    std::string celda;
    while (o < hasta) {
        celda.clear();
        AnadirRotulo(c, celda);
        celda.push_back('\t');
        const int64_t a = std::max(desde, o);
        const int64_t b = std::min(hasta, o + static_cast<int64_t>(celda.size()));
        destino.append(celda, static_cast<size_t>(a - o), static_cast<size_t>(b - a));
        o += static_cast<int64_t>(celda.size());
        ++c;
    }
}

int64_t LineasInforme::Longitud(int64_t i) const {
    std::string partes;
    AnadirCabeza(i, partes);
    AnadirCola(i, partes);
    return static_cast<int64_t>(partes.size()) + LargoMedio(i);
}

void LineasInforme::AnadirLinea(int64_t i, std::string& destino) const {
    AnadirCabeza(i, destino);
    const int64_t largo = LargoMedio(i);
    if (largo > 0) {
        destino.reserve(destino.size() + static_cast<size_t>(largo) + 64 * (static_cast<size_t>(tabla_.nComp) + tabla_.nProd));
        AnadirMedio(i, 0, largo, destino);
    }
    AnadirCola(i, destino);
}

std::string LineasInforme::Linea(int64_t i) const {
    std::string linea;
    AnadirLinea(i, linea);
    return linea;
}

void LineasInforme::AnadirTramo(int64_t i, int64_t desde, int64_t hasta, std::string& destino) const {
    std::string cabeza;
    AnadirCabeza(i, cabeza);
    const int64_t h = static_cast<int64_t>(cabeza.size());
    const int64_t medio = LargoMedio(i);
    desde = std::max<int64_t>(desde, 0);
    if (desde < h) destino.append(cabeza, static_cast<size_t>(desde), static_cast<size_t>(std::min(hasta, h) - desde));
    if (hasta > h && desde < h + medio) AnadirMedio(i, std::max(desde, h) - h, std::min(hasta, h + medio) - h, destino);
    if (hasta > h + medio) {
        std::string cola;
        AnadirCola(i, cola);
        const int64_t t = static_cast<int64_t>(cola.size());
        const int64_t a = std::clamp<int64_t>(desde - h - medio, 0, t);
        const int64_t b = std::clamp<int64_t>(hasta - h - medio, a, t);
        destino.append(cola, static_cast<size_t>(a), static_cast<size_t>(b - a));
    }
}

uint64_t LineasInforme::Bytes(int64_t desde, int64_t hasta, int64_t largoFin) const {
    uint64_t total = 0;
    for (int64_t i = desde; i < hasta; ++i) total += static_cast<uint64_t>(Longitud(i) + largoFin);
    return total;
}

}  // namespace tavelorin
