#include "ui/LineasMemo.h"

#include <QChar>
#include <algorithm>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavelorin {

namespace {

// Units after the characters [desde, hasta) of s (n long), starting from u. A surrogate
// pair counts at its high half; its low half adds nothing.
template <class C>
double Recorrer(const C* s, int n, int desde, int hasta, double u, const Medidor& m) {
    if constexpr (sizeof(C) == 1) {
        if (m.Fijo()) {
            // Whole character cells: tabs go to the next multiple of 8.
            int64_t col = static_cast<int64_t>(u);
            for (int k = desde; k < hasta; ++k) col = s[k] == '\t' ? ((col | 7) + 1) : col + 1;
            return static_cast<double>(col);
        }
    }
    for (int k = desde; k < hasta; ++k) {
        const char16_t c = static_cast<char16_t>(s[k]);
        if (c == u'\t') {
            u = m.Tabular(u);
        } else if constexpr (sizeof(C) == 2) {
            if (QChar::isHighSurrogate(c) && k + 1 < n && QChar::isLowSurrogate(s[k + 1]))
                u += m.AvancePar(c, s[k + 1]);
            else if (!(QChar::isLowSurrogate(c) && k > 0 && QChar::isHighSurrogate(s[k - 1])))
                u += m.Avance(c);
        } else {
            u += m.Avance(c);
        }
    }
    return u;
}

// From character desde starting at u, the first character whose cell ends beyond
// objetivo; *inicio gets where it starts.
template <class C>
int Buscar(const C* s, int n, int desde, double u, double objetivo, const Medidor& m, double* inicio) {
    int k = desde;
    while (k < n) {
        const double siguiente = Recorrer(s, n, k, k + 1, u, m);
        if (siguiente > objetivo) break;
        u = siguiente;
        ++k;
    }
    *inicio = u;
    return k;
}

const unsigned char* Datos(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }
const char16_t* Datos(const QString& s) { return reinterpret_cast<const char16_t*>(s.constData()); }

bool EsLatin(QStringView t) {
    return std::all_of(t.begin(), t.end(), [](QChar c) { return c.unicode() < 256; });
}

std::string ALatin(QStringView t) {
    std::string r(static_cast<size_t>(t.size()), '\0');
    for (qsizetype k = 0; k < t.size(); ++k) r[static_cast<size_t>(k)] = static_cast<char>(t[k].unicode());
    return r;
}

// Whether a taken line needs more than moving in (a byte beyond ASCII or a line break),
// and its width in cells when it does not.
struct Examen {
    bool raro = false;
    int64_t columnas = 0;
};

// A tab ends at the next multiple of 8, so a run of L characters ended by a tab takes
// 8 * (L / 8 + 1) cells: the width is 8 per tab, 8 more per whole 8 characters of every
// run that a tab ends, and the run after the last tab. Tabs are counted 64 bytes at a
// time; only blocks that a run of 8 or more touches are walked one byte at a time.
Examen Examinar(const std::string& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    int64_t tabs = 0;
    int64_t extra = 0;  // sum of L / 8 over the runs that end at a tab
    int64_t racha = 0;  // characters since the last tab
    bool raro = false;
    const auto byteAByte = [&](size_t desde, size_t hasta) {
        for (size_t k = desde; k < hasta; ++k) {
            const unsigned char b = p[k];
            raro |= b >= 0x80 || b == '\n' || b == '\r';
            if (b == '\t') {
                ++tabs;
                extra += racha / 8;
                racha = 0;
            } else {
                ++racha;
            }
        }
    };
#if defined(__SSE2__)
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i acumulado = _mm_setzero_si128();
    for (; i + 64 <= n; i += 64) {
        uint64_t mascara = 0;
        for (int j = 0; j < 4; ++j) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16 * j));
            acumulado = _mm_or_si128(acumulado, _mm_or_si128(v, _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
            mascara |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, tab)))) << (16 * j);
        }
        const uint64_t m = ~mascara;  // bytes that are not tabs
        uint64_t x = m & (m >> 1);
        x &= x >> 2;
        x &= x >> 4;  // bit k: bytes k..k+7 hold no tab
        if (x == 0 && racha + std::countr_one(m) < 8) {
            // Every run that ends here is shorter than 8.
            tabs += std::popcount(mascara);
            racha = std::countl_one(m);
        } else {
            byteAByte(i, i + 64);
        }
    }
    raro |= _mm_movemask_epi8(acumulado) != 0;
#endif
    byteAByte(i, n);
    Examen e;
    e.raro = raro;
    e.columnas = 8 * (tabs + extra) + racha;
    return e;
}

bool EsAscii(const std::string& s) {
    unsigned char alto = 0;
    for (unsigned char b : s) alto |= b;
    return alto < 0x80;
}

}  // namespace

Posicion FinDeTexto(Posicion p, QStringView texto) {
    const qsizetype ultimo = texto.lastIndexOf(u'\n');
    if (ultimo < 0) return {p.linea, p.columna + static_cast<int>(texto.size())};
    return {p.linea + static_cast<int>(texto.count(u'\n')), static_cast<int>(texto.size() - ultimo - 1)};
}

// --- Medidor ---

Medidor::Medidor(const QFont& fuente) : metricas_(fuente) {
    const double espacio = metricas_.horizontalAdvance(QLatin1Char(' '));
    fijo_ = espacio > 0;
    for (int c = 0x20; c < 256 && fijo_; ++c) {
        const char16_t ch = static_cast<char16_t>(c);
        if (Visible(ch) != ch) continue;
        if (std::abs(metricas_.horizontalAdvance(QChar(ch)) - espacio) > 1e-6) fijo_ = false;
    }
    if (fijo_) {
        escala_ = espacio;
        tab_ = 8;
        latin_.fill(1);
    } else {
        escala_ = 1;
        tab_ = 8 * (espacio > 0 ? espacio : std::max(1.0, metricas_.averageCharWidth()));
        for (int c = 0; c < 256; ++c)
            latin_[static_cast<size_t>(c)] = metricas_.horizontalAdvance(QChar(Visible(static_cast<char16_t>(c))));
    }
}

double Medidor::AvanceAncho(char16_t c) const {
    auto it = otros_.constFind(c);
    if (it != otros_.constEnd()) return *it;
    // A lone half of a surrogate pair is drawn as the replacement character.
    const QChar dibujado = QChar::isSurrogate(c) ? QChar(QChar::ReplacementCharacter) : QChar(c);
    const double a = metricas_.horizontalAdvance(dibujado) / escala_;
    otros_.insert(c, a);
    return a;
}

double Medidor::AvancePar(char16_t alto, char16_t bajo) const {
    const QChar par[2] = {QChar(alto), QChar(bajo)};
    return metricas_.horizontalAdvance(QString(par, 2)) / escala_;
}

// --- LineasMemo ---

LineasMemo::LineasMemo() { lineas_.emplace_back(); }
LineasMemo::~LineasMemo() = default;

int LineasMemo::Longitud(int i) const {
    const Linea& l = lineas_[static_cast<size_t>(i)];
    return l.ancha ? static_cast<int>(l.ancha->size()) : static_cast<int>(l.bytes.size());
}

char16_t LineasMemo::Caracter(int i, int k) const {
    const Linea& l = lineas_[static_cast<size_t>(i)];
    return l.ancha ? l.ancha->at(k).unicode() : static_cast<unsigned char>(l.bytes[static_cast<size_t>(k)]);
}

QString LineasMemo::Texto(int i) const { return Tramo(i, 0, Longitud(i)); }

QString LineasMemo::Tramo(int i, int desde, int hasta) const {
    const Linea& l = lineas_[static_cast<size_t>(i)];
    if (l.ancha) return l.ancha->mid(desde, hasta - desde);
    return QString::fromLatin1(l.bytes.data() + desde, hasta - desde);
}

std::string LineasMemo::Utf8(int i) const {
    const Linea& l = lineas_[static_cast<size_t>(i)];
    if (l.ancha) return l.ancha->toStdString();
    if (EsAscii(l.bytes)) return l.bytes;
    return QString::fromLatin1(l.bytes.data(), static_cast<qsizetype>(l.bytes.size())).toStdString();
}

uint64_t LineasMemo::BytesUtf8(int i) const {
    const Linea& l = lineas_[static_cast<size_t>(i)];
    uint64_t n = 0;
    if (l.ancha) {
        // A surrogate pair (4 bytes) is two units of 2; a lone half is written as 3.
        const QString& t = *l.ancha;
        for (qsizetype k = 0; k < t.size(); ++k) {
            const char16_t c = t[k].unicode();
            const bool par = QChar::isHighSurrogate(c) && k + 1 < t.size() && QChar::isLowSurrogate(t[k + 1].unicode());
            n += c < 0x80 ? 1 : c < 0x800 ? 2 : par ? 4 : 3;
            if (par) ++k;
        }
        return n;
    }
    for (unsigned char b : l.bytes) n += b < 0x80 ? 1 : 2;
    return n;
}

void LineasMemo::AnadirUtf8(int i, QByteArray& destino) const {
    const Linea& l = lineas_[static_cast<size_t>(i)];
    if (l.ancha) {
        destino += l.ancha->toUtf8();
        return;
    }
    if (EsAscii(l.bytes)) {
        destino.append(l.bytes.data(), static_cast<qsizetype>(l.bytes.size()));
        return;
    }
    for (unsigned char b : l.bytes) {
        if (b < 0x80) {
            destino += static_cast<char>(b);
        } else {
            destino += static_cast<char>(0xC0 | (b >> 6));
            destino += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
}

size_t LineasMemo::BytesTexto() const {
    size_t total = 0;
    for (const Linea& l : lineas_) total += l.ancha ? 2 * static_cast<size_t>(l.ancha->size()) : l.bytes.size();
    return total;
}

void LineasMemo::Reemplazar(std::vector<std::string>&& entrada, bool saltoFinal, const Medidor& m) {
    std::vector<Linea> nuevas;
    nuevas.reserve(entrada.size() + 1);
    for (std::string& s : entrada) {
        const Examen e = Examinar(s);
        if (!e.raro) {
            Linea l;
            if (s.capacity() > s.size() + s.size() / 4 + 32) s.shrink_to_fit();
            l.bytes = std::move(s);
            if (m.Fijo()) l.ancho = static_cast<double>(e.columnas);
            nuevas.push_back(std::move(l));
            continue;
        }
        const QString texto = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
        std::string().swap(s);
        qsizetype desde = 0;
        for (qsizetype k = 0; k <= texto.size(); ++k) {
            if (k < texto.size() && texto[k] != u'\n' && texto[k] != u'\r') continue;
            Linea l;
            Fijar(l, texto.mid(desde, k - desde));
            nuevas.push_back(std::move(l));
            if (k + 1 < texto.size() && texto[k] == u'\r' && texto[k + 1] == u'\n') ++k;
            desde = k + 1;
        }
    }
    if (saltoFinal || nuevas.empty()) nuevas.emplace_back();
    lineas_ = std::move(nuevas);
    maximo_ = -1;
}

void LineasMemo::Vaciar() {
    lineas_.clear();
    lineas_.shrink_to_fit();
    lineas_.emplace_back();
    maximo_ = -1;
}

void LineasMemo::Fijar(Linea& l, QString texto) {
    if (EsLatin(texto)) {
        l.bytes = ALatin(texto);
        l.ancha.reset();
    } else {
        l.bytes = std::string();
        l.ancha = std::make_unique<QString>(std::move(texto));
    }
    l.ancho = -1;
    l.marcas.reset();
}

void LineasMemo::Cambiada(Linea& l) {
    l.ancho = -1;
    l.marcas.reset();
    maximo_ = -1;
}

Posicion LineasMemo::Insertar(Posicion p, QStringView texto) {
    const qsizetype salto = texto.indexOf(u'\n');
    Linea& l = lineas_[static_cast<size_t>(p.linea)];
    if (salto < 0) {
        if (!l.ancha && EsLatin(texto)) {
            l.bytes.insert(static_cast<size_t>(p.columna), ALatin(texto));
        } else {
            if (!l.ancha) {
                l.ancha = std::make_unique<QString>(QString::fromLatin1(l.bytes.data(), static_cast<qsizetype>(l.bytes.size())));
                l.bytes = std::string();
            }
            l.ancha->insert(p.columna, texto);
        }
        Cambiada(l);
        return {p.linea, p.columna + static_cast<int>(texto.size())};
    }
    // The line splits: its head takes the first piece, the last piece takes its tail.
    const QString cola = Tramo(p.linea, p.columna, Longitud(p.linea));
    Fijar(l, Tramo(p.linea, 0, p.columna) + texto.first(salto).toString());
    Cambiada(l);
    std::vector<Linea> nuevas;
    qsizetype desde = salto + 1;
    while (true) {
        const qsizetype fin = texto.indexOf(u'\n', desde);
        Linea n;
        if (fin < 0) {
            Fijar(n, texto.sliced(desde).toString() + cola);
            nuevas.push_back(std::move(n));
            break;
        }
        Fijar(n, texto.sliced(desde, fin - desde).toString());
        nuevas.push_back(std::move(n));
        desde = fin + 1;
    }
    lineas_.insert(lineas_.begin() + p.linea + 1, std::make_move_iterator(nuevas.begin()),
                   std::make_move_iterator(nuevas.end()));
    return FinDeTexto(p, texto);
}

void LineasMemo::Eliminar(Posicion a, Posicion b) {
    if (!(a < b)) return;
    Linea& la = lineas_[static_cast<size_t>(a.linea)];
    const Linea& lb = lineas_[static_cast<size_t>(b.linea)];
    if (!la.ancha && !lb.ancha) {
        if (a.linea == b.linea) {
            la.bytes.erase(static_cast<size_t>(a.columna), static_cast<size_t>(b.columna - a.columna));
        } else {
            la.bytes.resize(static_cast<size_t>(a.columna));
            la.bytes.append(lb.bytes, static_cast<size_t>(b.columna));
        }
    } else {
        Fijar(la, Tramo(a.linea, 0, a.columna) + Tramo(b.linea, b.columna, Longitud(b.linea)));
    }
    Cambiada(la);
    if (b.linea > a.linea) lineas_.erase(lineas_.begin() + a.linea + 1, lineas_.begin() + b.linea + 1);
}

QString LineasMemo::Extraer(Posicion a, Posicion b, QStringView salto) const {
    if (!(a < b)) return {};
    if (a.linea == b.linea) return Tramo(a.linea, a.columna, b.columna);
    qsizetype total = 0;
    for (int i = a.linea; i <= b.linea; ++i) total += Longitud(i) + salto.size();
    QString r;
    r.reserve(total);
    for (int i = a.linea; i <= b.linea; ++i) {
        const int desde = i == a.linea ? a.columna : 0;
        const int hasta = i == b.linea ? b.columna : Longitud(i);
        const Linea& l = lineas_[static_cast<size_t>(i)];
        if (l.ancha)
            r += QStringView(*l.ancha).sliced(desde, hasta - desde);
        else
            r += QLatin1StringView(l.bytes.data() + desde, hasta - desde);
        if (i < b.linea) r += salto;
    }
    return r;
}

// --- Geometry ---

double LineasMemo::Ancho(int i, const Medidor& m) const {
    const Linea& l = lineas_[static_cast<size_t>(i)];
    if (l.ancho < 0) {
        const int n = Longitud(i);
        l.ancho = l.ancha ? Recorrer(Datos(*l.ancha), n, 0, n, 0, m) : Recorrer(Datos(l.bytes), n, 0, n, 0, m);
    }
    return l.ancho;
}

double LineasMemo::AnchoMaximo(const Medidor& m) const {
    if (maximo_ < 0) {
        maximo_ = 0;
        for (int i = 0; i < Cantidad(); ++i) maximo_ = std::max(maximo_, Ancho(i, m));
    }
    return maximo_;
}

const std::vector<double>& LineasMemo::Marcas(const Linea& l, const Medidor& m) const {
    if (!l.marcas) {
        const int n = l.ancha ? static_cast<int>(l.ancha->size()) : static_cast<int>(l.bytes.size());
        auto marcas = std::make_unique<std::vector<double>>();
        marcas->reserve(static_cast<size_t>(n / kPaso + 1));
        double u = 0;
        marcas->push_back(0);
        for (int k = kPaso; k <= n; k += kPaso) {
            u = l.ancha ? Recorrer(Datos(*l.ancha), n, k - kPaso, k, u, m) : Recorrer(Datos(l.bytes), n, k - kPaso, k, u, m);
            marcas->push_back(u);
        }
        l.marcas = std::move(marcas);
    }
    return *l.marcas;
}

double LineasMemo::Hasta(int i, int k, const Medidor& m) const {
    const Linea& l = lineas_[static_cast<size_t>(i)];
    const int n = Longitud(i);
    k = std::clamp(k, 0, n);
    int desde = 0;
    double u = 0;
    if (k >= kPaso) {
        const size_t j = static_cast<size_t>(k / kPaso);
        u = Marcas(l, m)[j];
        desde = static_cast<int>(j) * kPaso;
    }
    return l.ancha ? Recorrer(Datos(*l.ancha), n, desde, k, u, m) : Recorrer(Datos(l.bytes), n, desde, k, u, m);
}

int LineasMemo::En(int i, double u, const Medidor& m, double* inicio) const {
    const Linea& l = lineas_[static_cast<size_t>(i)];
    const int n = Longitud(i);
    int desde = 0;
    double base = 0;
    if (n > kPaso) {
        const std::vector<double>& marcas = Marcas(l, m);
        const size_t j = static_cast<size_t>(std::upper_bound(marcas.begin(), marcas.end(), u) - marcas.begin());
        if (j > 1) {
            desde = static_cast<int>(j - 1) * kPaso;
            base = marcas[j - 1];
        }
    }
    return l.ancha ? Buscar(Datos(*l.ancha), n, desde, base, u, m, inicio) : Buscar(Datos(l.bytes), n, desde, base, u, m, inicio);
}

int LineasMemo::MasCercano(int i, double u, const Medidor& m) const {
    double inicio = 0;
    const int k = En(i, u, m, &inicio);
    const int n = Longitud(i);
    if (k >= n) return n;
    int siguiente = k + 1;
    if (siguiente < n && QChar::isHighSurrogate(Caracter(i, k)) && QChar::isLowSurrogate(Caracter(i, siguiente))) ++siguiente;
    const double fin = Hasta(i, siguiente, m);
    return u - inicio > (fin - inicio) / 2 ? siguiente : k;
}

void LineasMemo::OlvidarMedidas() {
    for (Linea& l : lineas_) {
        l.ancho = -1;
        l.marcas.reset();
    }
    maximo_ = -1;
}

}  // namespace tavelorin
