#include "ui/LineasGeneradas.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/LineasMemo.h"

namespace tavelorin {

// The head and tail of one line, and where its head ends in tab stops.
struct LineasGeneradas::Partes {
    int linea = -1;
    std::string cabeza;
    std::string cola;
    int64_t largoMedio = 0;
    uint64_t generacion = 0;  // of paradaCabeza and ancho
    int64_t paradaCabeza = 0;
    double ancho = -1;
};

// What the lines' geometry needs of one font.
struct LineasGeneradas::Geometria {
    uint64_t medidor = 0;  // Medidor::Id
    double tab = 8;
    std::array<double, 256> avance{};
    // Stops a sequence cell "text\t" takes from a stop: per product (0 is the zeros), and
    // their sums over the final sequence when they differ.
    std::vector<int64_t> paradasProducto;
    bool filasUniformes = true;
    std::vector<int64_t> paradasSecuencia;  // Q + 1
    // The same for the header's labels: by digit count when every digit is as wide.
    bool rotulosPorCifras = true;
    std::array<int64_t, 12> paradasRotulo{};
    std::vector<int64_t> paradasCabecera;  // Q + 1, when not by digit count
    // Bounds for lines not measured yet: stops of the widest cell, width of the widest text.
    int64_t paradasCeldaMaxima = 1;
    double anchoCeldaMaximo = 0;
    int64_t paradasMedioMaximo = 0;  // of the stage lines' middles
    // Widths: of every stage line (-1 while not measured), of each product's sequence line.
    mutable std::vector<double> anchoFila;
    mutable int32_t medidas = 0;
    mutable int32_t siguiente = 0;  // first stage line maybe not measured
    std::vector<double> anchoSecuencia;
    std::vector<char> productoPresente;
};

bool LineasGeneradas::Admite(const std::string& separador) {
    const QString s = QString::fromStdString(separador);
    return s.size() == 1 && !s[0].isSurrogate();
}

LineasGeneradas::LineasGeneradas(const TablaEtapas& tabla, const std::string& separador) {
    const QString s = QString::fromStdString(separador);
    separador_ = s.isEmpty() ? u'.' : s[0].unicode();
    informe_ = std::make_shared<const LineasInforme>(tabla, separador);
    if (separador_ < 0x80)
        memo_ = informe_;
    else
        memo_ = std::make_shared<const LineasInforme>(tabla, std::string(1, static_cast<char>(kMarca)));
    recientes_.resize(256);
    // Product cells carry a separator only from 10000 on (1,001E0004): where the first
    // such product is chosen, the stage lines start holding one in their middle.
    const int32_t q = memo_->Etapas();
    if (Anchas() && q > 0) {
        std::vector<char> conSeparador(static_cast<size_t>(tabla.nProd) + 1);
        for (size_t p = 0; p < conSeparador.size(); ++p)
            conSeparador[p] = memo_->TextoProducto(static_cast<int32_t>(p)).find(static_cast<char>(kMarca)) != std::string::npos;
        for (int32_t c = 0; c < q && primeraConSeparador_ < 0; ++c)
            if (conSeparador[static_cast<size_t>(tabla.Eleccion(c))]) primeraConSeparador_ = c;
    }
}

bool LineasGeneradas::EsAncha(int i) const {
    if (!Anchas()) return false;
    const Partes& p = PartesDe(i);
    const char marca = static_cast<char>(kMarca);
    if (p.cabeza.find(marca) != std::string::npos || p.cola.find(marca) != std::string::npos) return true;
    return memo_->TipoDe(i) == LineasInforme::Tipo::Etapa && primeraConSeparador_ >= 0 && primeraConSeparador_ < i;
}

LineasGeneradas::~LineasGeneradas() = default;

// --- Text ---

const LineasGeneradas::Partes& LineasGeneradas::PartesDe(int i) const {
    // A small direct-mapped cache: painting asks for the same few lines over and over.
    std::unique_ptr<Partes>& hueco = recientes_[static_cast<size_t>(i) % recientes_.size()];
    if (!hueco) hueco = std::make_unique<Partes>();
    Partes& p = *hueco;
    if (p.linea != i) {
        p.linea = i;
        p.cabeza.clear();
        p.cola.clear();
        memo_->AnadirCabeza(i, p.cabeza);
        memo_->AnadirCola(i, p.cola);
        p.largoMedio = memo_->LargoMedio(i);
        p.generacion = 0;
        p.ancho = -1;
    }
    return p;
}

int LineasGeneradas::Longitud(int i) const {
    const Partes& p = PartesDe(i);
    return static_cast<int>(static_cast<int64_t>(p.cabeza.size()) + p.largoMedio + static_cast<int64_t>(p.cola.size()));
}

int64_t LineasGeneradas::LongitudMaxima() const {
    const int32_t q = memo_->Etapas();
    if (q == 0) return 0;
    const TablaEtapas& t = memo_->Tabla();
    // Every cell of a head or tail is at most 12 characters; the middles are known.
    const int64_t otras = 13 * (1 + 2 * static_cast<int64_t>(t.nProd) + 2 * static_cast<int64_t>(t.nComp));
    return std::max(memo_->LargoMedio(0), memo_->LargoMedio(q)) + otras + 64;
}

void LineasGeneradas::TextoCelda(int i, int64_t c, std::string& destino) const {
    const int32_t p = memo_->ProductoEnCelda(i, c);
    if (p < 0)
        LineasInforme::AnadirRotulo(c, destino);
    else
        destino.append(memo_->TextoProducto(p));
}

char16_t LineasGeneradas::Caracter(int i, int k) const {
    const Partes& p = PartesDe(i);
    const int64_t h = static_cast<int64_t>(p.cabeza.size());
    if (k < h) return Caracter(static_cast<unsigned char>(p.cabeza[static_cast<size_t>(k)]));
    const int64_t d = k - h;
    if (d >= p.largoMedio) return Caracter(static_cast<unsigned char>(p.cola[static_cast<size_t>(d - p.largoMedio)]));
    const int64_t c = memo_->CeldaEn(i, d);
    const int64_t dentro = d - memo_->InicioCelda(i, c);
    thread_local std::string celda;
    celda.clear();
    TextoCelda(i, c, celda);
    if (dentro >= static_cast<int64_t>(celda.size())) return u'\t';
    return Caracter(static_cast<unsigned char>(celda[static_cast<size_t>(dentro)]));
}

std::string LineasGeneradas::Latin1(int i, int desde, int hasta) const {
    std::string bytes;
    if (hasta <= desde) return bytes;
    bytes.reserve(static_cast<size_t>(hasta - desde));
    const Partes& p = PartesDe(i);
    const int64_t h = static_cast<int64_t>(p.cabeza.size());
    if (desde < h) bytes.append(p.cabeza, static_cast<size_t>(desde), static_cast<size_t>(std::min<int64_t>(hasta, h) - desde));
    if (hasta > h && desde < h + p.largoMedio)
        memo_->AnadirMedio(i, std::max<int64_t>(desde, h) - h, std::min<int64_t>(hasta, h + p.largoMedio) - h, bytes);
    if (hasta > h + p.largoMedio) {
        const int64_t a = std::max<int64_t>(desde - h - p.largoMedio, 0);
        bytes.append(p.cola, static_cast<size_t>(a), static_cast<size_t>(hasta - h - p.largoMedio - a));
    }
    if (separador_ != kMarca && separador_ < 0x100 && separador_ >= 0x80)
        for (char& b : bytes)
            if (static_cast<unsigned char>(b) == kMarca) b = static_cast<char>(separador_);
    return bytes;
}

QString LineasGeneradas::Tramo(int i, int desde, int hasta) const {
    desde = std::max(desde, 0);
    hasta = std::min(hasta, Longitud(i));
    if (hasta <= desde) return {};
    const std::string bytes = Latin1(i, desde, hasta);
    if (!EsAncha(i)) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString r(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (size_t k = 0; k < bytes.size(); ++k) r[static_cast<qsizetype>(k)] = QChar(Caracter(static_cast<unsigned char>(bytes[k])));
    return r;
}

std::string LineasGeneradas::Utf8(int i) const { return informe_->Linea(i); }

// --- Geometry ---

const LineasGeneradas::Geometria& LineasGeneradas::GeometriaDe(const Medidor& m) const {
    if (geometria_ && geometria_->medidor == m.Id()) return *geometria_;
    ++generacion_;
    auto g = std::make_unique<Geometria>();
    g->medidor = m.Id();
    g->tab = m.Tabular(0);
    for (int c = 0; c < 256; ++c) g->avance[static_cast<size_t>(c)] = m.Avance(static_cast<char16_t>(c));
    g->avance[kMarca] = m.Avance(separador_);

    const LineasInforme& l = *memo_;
    const int32_t q = l.Etapas();
    const TablaEtapas& t = l.Tabla();
    const auto paradas = [&](const std::string& texto) {
        double u = 0;
        for (unsigned char b : texto) u += g->avance[b];
        return static_cast<int64_t>(std::floor(u / g->tab)) + 1;
    };
    if (q > 0) {
        const int32_t n = t.nProd;
        g->paradasProducto.resize(static_cast<size_t>(n) + 1);
        for (int32_t p = 0; p <= n; ++p) {
            g->paradasProducto[static_cast<size_t>(p)] = paradas(l.TextoProducto(p));
            g->filasUniformes &= g->paradasProducto[static_cast<size_t>(p)] == g->paradasProducto[0];
        }
        if (!g->filasUniformes) {
            g->paradasSecuencia.resize(static_cast<size_t>(q) + 1);
            int64_t suma = 0;
            for (int32_t c = 0; c < q; ++c) {
                g->paradasSecuencia[static_cast<size_t>(c)] = suma;
                suma += g->paradasProducto[static_cast<size_t>(t.Eleccion(c))];
            }
            g->paradasSecuencia[static_cast<size_t>(q)] = suma;
        }
        // The widest middle of a stage line: the sequence so far, then zeros.
        if (g->filasUniformes) {
            g->paradasMedioMaximo = static_cast<int64_t>(q) * g->paradasProducto[0];
        } else {
            const int64_t cero = g->paradasProducto[0];
            for (int32_t k = 1; k <= q; ++k)
                g->paradasMedioMaximo =
                    std::max(g->paradasMedioMaximo, g->paradasSecuencia[static_cast<size_t>(k)] + (q - k) * cero);
        }
        for (int d = 1; d < 10; ++d) g->rotulosPorCifras &= g->avance[static_cast<size_t>('0' + d)] == g->avance['0'];
        if (g->rotulosPorCifras) {
            for (int d = 1; d < 12; ++d) g->paradasRotulo[static_cast<size_t>(d)] = paradas("s" + std::string(static_cast<size_t>(d), '0'));
        } else {
            g->paradasCabecera.resize(static_cast<size_t>(q) + 1);
            int64_t suma = 0;
            std::string rotulo;
            for (int32_t c = 0; c < q; ++c) {
                g->paradasCabecera[static_cast<size_t>(c)] = suma;
                rotulo.clear();
                LineasInforme::AnadirRotulo(c, rotulo);
                suma += paradas(rotulo);
            }
            g->paradasCabecera[static_cast<size_t>(q)] = suma;
        }
        // The widest text a report cell can hold: 12 of its widest characters.
        double ancho = 0;
        for (unsigned char b : std::string("0123456789-E.") + static_cast<char>(kMarca)) ancho = std::max(ancho, g->avance[b]);
        g->anchoCeldaMaximo = 12 * ancho;
        g->paradasCeldaMaxima = static_cast<int64_t>(std::floor(g->anchoCeldaMaximo / g->tab)) + 1;
        g->anchoFila.assign(static_cast<size_t>(q), -1.0);
        // Sequence lines: one product number each.
        g->anchoSecuencia.resize(static_cast<size_t>(n) + 1);
        g->productoPresente.assign(static_cast<size_t>(n) + 1, 0);
        std::string texto;
        for (int32_t c = 0; c < q; ++c) {
            const size_t p = static_cast<size_t>(t.Eleccion(c));
            if (g->productoPresente[p]) continue;
            g->productoPresente[p] = 1;
            texto.clear();
            l.AnadirCabeza(static_cast<int64_t>(q) + 2 + c, texto);
            g->anchoSecuencia[p] = Recorrer(texto, 0, texto.size(), 0, *g);
        }
    }
    geometria_ = std::move(g);
    return *geometria_;
}

void LineasGeneradas::OlvidarMedidas() const {
    geometria_.reset();
    ++generacion_;
}

double LineasGeneradas::Recorrer(const std::string& texto, size_t desde, size_t hasta, double u, const Geometria& g) const {
    for (size_t k = desde; k < hasta; ++k) {
        const unsigned char b = static_cast<unsigned char>(texto[k]);
        if (b == '\t')
            u = (std::floor(u / g.tab) + 1) * g.tab;
        else
            u += g.avance[b];
    }
    return u;
}

int64_t LineasGeneradas::ParadasAntes(int i, int64_t c, const Geometria& g) const {
    if (memo_->TipoDe(i) == LineasInforme::Tipo::Cabecera) {
        if (!g.rotulosPorCifras) return g.paradasCabecera[static_cast<size_t>(c)];
        // Labels 1..c by their digit counts.
        int64_t suma = 0;
        int64_t desde = 1;
        for (int d = 1; desde <= c; ++d, desde *= 10) {
            const int64_t hasta = std::min<int64_t>(c, desde * 10 - 1);
            suma += (hasta - desde + 1) * g.paradasRotulo[static_cast<size_t>(d)];
        }
        return suma;
    }
    const int64_t k = i;  // a stage line: the choices of stages 1..k, then zeros
    const int64_t cero = g.paradasProducto[0];
    if (g.filasUniformes) return c * cero;
    if (c <= k) return g.paradasSecuencia[static_cast<size_t>(c)];
    return g.paradasSecuencia[static_cast<size_t>(k)] + (c - k) * cero;
}

int64_t LineasGeneradas::CeldaEnParada(int i, int64_t parada, const Geometria& g) const {
    // The last cell starting at or before the stop.
    const int64_t celdas = memo_->CeldasMedio(i);
    int64_t bajo = 0, alto = celdas - 1;
    if (memo_->TipoDe(i) == LineasInforme::Tipo::Etapa && g.filasUniformes) return std::clamp(parada / g.paradasProducto[0], bajo, alto);
    while (bajo < alto) {
        const int64_t medio = bajo + (alto - bajo + 1) / 2;
        if (ParadasAntes(i, medio, g) <= parada)
            bajo = medio;
        else
            alto = medio - 1;
    }
    return bajo;
}

double LineasGeneradas::MedirFila(int i, const Geometria& g) const {
    const Partes& p = PartesDe(i);
    Partes& mp = const_cast<Partes&>(p);
    if (p.generacion != generacion_) {
        const double u = Recorrer(p.cabeza, 0, p.cabeza.size(), 0, g);
        mp.paradaCabeza = static_cast<int64_t>(std::llround(u / g.tab));
        const int64_t celdas = memo_->CeldasMedio(i);
        if (celdas == 0) {
            mp.ancho = u;
        } else {
            const double inicioCola = static_cast<double>(p.paradaCabeza + ParadasAntes(i, celdas, g)) * g.tab;
            mp.ancho = Recorrer(p.cola, 0, p.cola.size(), inicioCola, g);
        }
        mp.generacion = generacion_;
    }
    return p.ancho;
}

double LineasGeneradas::Ancho(int i, const Medidor& m) const {
    const Geometria& g = GeometriaDe(m);
    const double a = MedirFila(i, g);
    if (memo_->TipoDe(i) == LineasInforme::Tipo::Etapa && g.anchoFila[static_cast<size_t>(i - 1)] < 0) {
        g.anchoFila[static_cast<size_t>(i - 1)] = a;
        ++g.medidas;
    }
    return a;
}

double LineasGeneradas::Hasta(int i, int k, const Medidor& m) const {
    const Geometria& g = GeometriaDe(m);
    const Partes& p = PartesDe(i);
    const int64_t h = static_cast<int64_t>(p.cabeza.size());
    k = std::clamp(k, 0, Longitud(i));
    if (k <= h) return Recorrer(p.cabeza, 0, static_cast<size_t>(k), 0, g);
    MedirFila(i, g);
    const int64_t d = k - h;
    if (d >= p.largoMedio) {
        const double u = static_cast<double>(p.paradaCabeza + ParadasAntes(i, memo_->CeldasMedio(i), g)) * g.tab;
        return Recorrer(p.cola, 0, static_cast<size_t>(d - p.largoMedio), u, g);
    }
    const int64_t c = memo_->CeldaEn(i, d);
    const double u = static_cast<double>(p.paradaCabeza + ParadasAntes(i, c, g)) * g.tab;
    thread_local std::string celda;
    celda.clear();
    TextoCelda(i, c, celda);
    return Recorrer(celda, 0, static_cast<size_t>(d - memo_->InicioCelda(i, c)), u, g);
}

int LineasGeneradas::En(int i, double u, const Medidor& m, double* inicio) const {
    const Geometria& g = GeometriaDe(m);
    const Partes& p = PartesDe(i);
    MedirFila(i, g);
    // The first character whose cell ends beyond u, from character k of texto at v.
    const auto buscar = [&](const std::string& texto, double v, int64_t base) -> int64_t {
        size_t k = 0;
        for (; k < texto.size(); ++k) {
            const double siguiente = Recorrer(texto, k, k + 1, v, g);
            if (siguiente > u) break;
            v = siguiente;
        }
        *inicio = v;
        return base + static_cast<int64_t>(k);
    };
    const int64_t h = static_cast<int64_t>(p.cabeza.size());
    const int64_t celdas = memo_->CeldasMedio(i);
    // A line without a middle is its head; in one with a middle, the head ends at a stop.
    if (celdas == 0 || u < static_cast<double>(p.paradaCabeza) * g.tab) return static_cast<int>(buscar(p.cabeza, 0, 0));
    const int64_t paradaCola = p.paradaCabeza + ParadasAntes(i, celdas, g);
    const double inicioCola = static_cast<double>(paradaCola) * g.tab;
    if (u >= inicioCola) return static_cast<int>(buscar(p.cola, inicioCola, h + p.largoMedio));
    // A cell of the middle: by the stop under u, then character by character.
    int64_t c = CeldaEnParada(i, static_cast<int64_t>(std::floor(u / g.tab)) - p.paradaCabeza, g);
    while (c > 0 && static_cast<double>(p.paradaCabeza + ParadasAntes(i, c, g)) * g.tab > u) --c;
    while (c + 1 < celdas && static_cast<double>(p.paradaCabeza + ParadasAntes(i, c + 1, g)) * g.tab <= u) ++c;
    std::string celda;
    TextoCelda(i, c, celda);
    celda.push_back('\t');
    const double v = static_cast<double>(p.paradaCabeza + ParadasAntes(i, c, g)) * g.tab;
    return static_cast<int>(buscar(celda, v, h + memo_->InicioCelda(i, c)));
}

bool LineasGeneradas::MedidasCompletas() const {
    return geometria_ && geometria_->medidas == memo_->Etapas();
}

bool LineasGeneradas::MedirPendientes(const Medidor& m, int milisegundos) const {
    const Geometria& g = GeometriaDe(m);
    const int32_t q = memo_->Etapas();
    QElapsedTimer reloj;
    reloj.start();
    std::string cabeza, cola;
    while (g.siguiente < q) {
        for (int lote = 0; lote < 64 && g.siguiente < q; ++lote, ++g.siguiente) {
            const int32_t fila = g.siguiente;
            if (g.anchoFila[static_cast<size_t>(fila)] >= 0) continue;
            // Measured apart from the cache, which belongs to the lines on screen.
            const int64_t i = fila + 1;
            cabeza.clear();
            cola.clear();
            memo_->AnadirCabeza(i, cabeza);
            memo_->AnadirCola(i, cola);
            const double u = Recorrer(cabeza, 0, cabeza.size(), 0, g);
            const int64_t parada = static_cast<int64_t>(std::llround(u / g.tab)) + ParadasAntes(static_cast<int>(i), q, g);
            g.anchoFila[static_cast<size_t>(fila)] = Recorrer(cola, 0, cola.size(), static_cast<double>(parada) * g.tab, g);
            ++g.medidas;
        }
        if (reloj.elapsed() >= milisegundos) break;
    }
    return g.medidas == q;
}

double LineasGeneradas::AnchoMaximo(int desde, int hasta, const Medidor& m) const {
    const Geometria& g = GeometriaDe(m);
    const int32_t q = memo_->Etapas();
    double maximo = 0;
    if (q == 0) return 0;
    // The header and "Solucion:", measured as they are.
    if (desde == 0) maximo = std::max(maximo, Ancho(0, m));
    if (desde <= q + 1 && hasta > q + 1) maximo = std::max(maximo, Ancho(q + 1, m));
    // Stage lines: measured, or bounded by stops of the widest cell.
    const int32_t a = std::max(desde, 1), b = std::min(hasta, q + 1);
    if (a < b) {
        bool pendientes = false;
        for (int32_t i = a; i < b; ++i) {
            const double w = g.anchoFila[static_cast<size_t>(i - 1)];
            if (w < 0)
                pendientes = true;
            else
                maximo = std::max(maximo, w);
        }
        if (pendientes) {
            const TablaEtapas& t = memo_->Tabla();
            const int64_t cabeza = (1 + static_cast<int64_t>(t.nProd)) * g.paradasCeldaMaxima;
            const int64_t cola = (2 * static_cast<int64_t>(t.nComp) + t.nProd - 1) * g.paradasCeldaMaxima;
            maximo = std::max(maximo, static_cast<double>(cabeza + g.paradasMedioMaximo + cola) * g.tab + g.anchoCeldaMaximo);
        }
    }
    // Sequence lines: by the products they show.
    const int32_t c = std::max(desde, q + 2), d = std::min<int32_t>(hasta, 2 * q + 2);
    if (c < d) {
        const TablaEtapas& t = memo_->Tabla();
        if (d - c == q) {
            for (size_t p = 0; p < g.productoPresente.size(); ++p)
                if (g.productoPresente[p]) maximo = std::max(maximo, g.anchoSecuencia[p]);
        } else {
            for (int32_t i = c; i < d; ++i) maximo = std::max(maximo, g.anchoSecuencia[static_cast<size_t>(t.Eleccion(i - q - 2))]);
        }
    }
    return maximo;
}

}  // namespace tavelorin
