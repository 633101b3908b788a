#include "ui/LineasMemo.h"

#include "ui/LineasGeneradas.h"

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
    static uint64_t ultimo = 0;
    id_ = ++ultimo;
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

LineasMemo::LineasMemo() { Vaciar(); }
LineasMemo::~LineasMemo() = default;

// --- Reading ---

int LineasMemo::LongitudDe(const Linea& l) {
    return l.ancha ? static_cast<int>(l.ancha->size()) : static_cast<int>(l.bytes.size());
}

QString LineasMemo::TramoDe(const Linea& l, int desde, int hasta) {
    if (l.ancha) return l.ancha->mid(desde, hasta - desde);
    return QString::fromLatin1(l.bytes.data() + desde, hasta - desde);
}

int LineasMemo::Longitud(int i) const {
    if (const Linea* l = Guardada(i)) return LongitudDe(*l);
    int g = 0;
    EsGenerada(i, &g);
    return origen_->Longitud(g);
}

bool LineasMemo::EsAncha(int i) const {
    if (const Linea* l = Guardada(i)) return l->ancha != nullptr;
    int g = 0;
    EsGenerada(i, &g);
    return origen_->EsAncha(g);
}

char16_t LineasMemo::Caracter(int i, int k) const {
    if (const Linea* l = Guardada(i)) return l->ancha ? l->ancha->at(k).unicode() : static_cast<unsigned char>(l->bytes[static_cast<size_t>(k)]);
    int g = 0;
    EsGenerada(i, &g);
    return origen_->Caracter(g, k);
}

QString LineasMemo::Texto(int i) const { return Tramo(i, 0, Longitud(i)); }

QString LineasMemo::Tramo(int i, int desde, int hasta) const {
    if (const Linea* l = Guardada(i)) return TramoDe(*l, desde, hasta);
    int g = 0;
    EsGenerada(i, &g);
    return origen_->Tramo(g, desde, hasta);
}

std::string LineasMemo::Utf8(int i) const {
    const Linea* l = Guardada(i);
    if (l == nullptr) {
        int g = 0;
        EsGenerada(i, &g);
        return origen_->Utf8(g);
    }
    if (l->ancha) return l->ancha->toStdString();
    if (EsAscii(l->bytes)) return l->bytes;
    return QString::fromLatin1(l->bytes.data(), static_cast<qsizetype>(l->bytes.size())).toStdString();
}

uint64_t LineasMemo::BytesUtf8(int i) const {
    const Linea* pl = Guardada(i);
    if (pl == nullptr) {
        int g = 0;
        EsGenerada(i, &g);
        return static_cast<uint64_t>(origen_->Informe().Longitud(g));
    }
    const Linea& l = *pl;
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
    const Linea* pl = Guardada(i);
    if (pl == nullptr) {
        int g = 0;
        EsGenerada(i, &g);
        const std::string linea = origen_->Utf8(g);
        destino.append(linea.data(), static_cast<qsizetype>(linea.size()));
        return;
    }
    const Linea& l = *pl;
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
    for (const Trozo& t : trozos_)
        for (const Linea& l : t.lineas) total += l.ancha ? 2 * static_cast<size_t>(l.ancha->size()) : l.bytes.size();
    return total;
}

// --- Replacing ---

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
    trozos_.clear();
    trozos_.emplace_back();
    trozos_.back().lineas = std::move(nuevas);
    origen_.reset();
    Ordenar();
    maximo_ = -1;
}

void LineasMemo::Generar(std::shared_ptr<const LineasGeneradas> origen) {
    trozos_.clear();
    trozos_.shrink_to_fit();
    origen_ = std::move(origen);
    if (origen_ && origen_->Cantidad() > 0) {
        trozos_.emplace_back();
        trozos_.back().generadas = 0;
        trozos_.back().cuenta = origen_->Cantidad();
    }
    trozos_.emplace_back();
    trozos_.back().lineas.emplace_back();
    Ordenar();
    maximo_ = -1;
}

void LineasMemo::Vaciar() {
    trozos_.clear();
    trozos_.shrink_to_fit();
    origen_.reset();
    Ordenar();
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

// --- Editing ---

Posicion LineasMemo::Insertar(Posicion p, QStringView texto) {
    const qsizetype salto = texto.indexOf(u'\n');
    Linea& l = Tomar(p.linea);
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
    const QString cola = TramoDe(l, p.columna, LongitudDe(l));
    Fijar(l, TramoDe(l, 0, p.columna) + texto.first(salto).toString());
    Cambiada(l);
    Trozo nuevas;
    qsizetype desde = salto + 1;
    while (true) {
        const qsizetype fin = texto.indexOf(u'\n', desde);
        Linea n;
        if (fin < 0) {
            Fijar(n, texto.sliced(desde).toString() + cola);
            nuevas.lineas.push_back(std::move(n));
            break;
        }
        Fijar(n, texto.sliced(desde, fin - desde).toString());
        nuevas.lineas.push_back(std::move(n));
        desde = fin + 1;
    }
    InsertarTrozo(p.linea + 1, std::move(nuevas));
    return FinDeTexto(p, texto);
}

Posicion LineasMemo::Insertar(Posicion p, const FragmentoMemo& f) {
    if (f.Lineas() == 1) return Insertar(p, f.elementos_.front().texto);
    Linea& l = Tomar(p.linea);
    const QString cola = TramoDe(l, p.columna, LongitudDe(l));
    Fijar(l, TramoDe(l, 0, p.columna) + f.elementos_.front().texto);
    Cambiada(l);
    int pos = p.linea + 1;
    Trozo guardadas;
    const auto soltar = [&] {
        const int n = guardadas.Cuantas();
        InsertarTrozo(pos, std::move(guardadas));
        pos += n;
        guardadas = Trozo();
    };
    for (size_t k = 1; k < f.elementos_.size(); ++k) {
        const FragmentoMemo::Elemento& e = f.elementos_[k];
        const bool ultima = k + 1 == f.elementos_.size();
        if (e.generadas >= 0 && f.origen_ == origen_) {
            soltar();
            Trozo generadas;
            generadas.generadas = e.generadas;
            generadas.cuenta = e.cuenta;
            InsertarTrozo(pos, std::move(generadas));
            pos += e.cuenta;
            continue;
        }
        if (e.generadas >= 0) {  // lines of a report no longer shown: held as text
            for (int i = 0; i < e.cuenta; ++i) {
                guardadas.lineas.emplace_back();
                Fijar(guardadas.lineas.back(), f.origen_->Texto(e.generadas + i));
            }
            continue;
        }
        guardadas.lineas.emplace_back();
        Fijar(guardadas.lineas.back(), ultima ? e.texto + cola : e.texto);
    }
    soltar();
    return FinDeTexto(p, f);
}

void LineasMemo::Eliminar(Posicion a, Posicion b) {
    if (!(a < b)) return;
    if (a.linea == b.linea) {
        Linea& l = Tomar(a.linea);
        if (!l.ancha)
            l.bytes.erase(static_cast<size_t>(a.columna), static_cast<size_t>(b.columna - a.columna));
        else
            Fijar(l, TramoDe(l, 0, a.columna) + TramoDe(l, b.columna, LongitudDe(l)));
        Cambiada(l);
        return;
    }
    const bool colaLatin = !EsAncha(b.linea);  // a generated line without the separator is Latin-1
    const QString colaAncha = colaLatin ? QString() : Tramo(b.linea, b.columna, Longitud(b.linea));
    std::string colaBytes;
    if (colaLatin) {
        if (const Linea* lb = Guardada(b.linea)) {
            colaBytes.assign(lb->bytes, static_cast<size_t>(b.columna));
        } else {
            int g = 0;
            EsGenerada(b.linea, &g);
            colaBytes = origen_->Latin1(g, b.columna, origen_->Longitud(g));
        }
    }
    Linea& la = Tomar(a.linea);
    if (!la.ancha && colaLatin) {
        la.bytes.resize(static_cast<size_t>(a.columna));
        la.bytes.append(colaBytes);
    } else {
        Fijar(la, TramoDe(la, 0, a.columna) +
                      (colaLatin ? QString::fromLatin1(colaBytes.data(), static_cast<qsizetype>(colaBytes.size())) : colaAncha));
    }
    Cambiada(la);
    BorrarLineas(a.linea + 1, b.linea + 1);
}

FragmentoMemo LineasMemo::Quitar(Posicion a, Posicion b) {
    FragmentoMemo f;
    f.origen_ = origen_;
    if (!(a < b)) return f;
    if (a.linea == b.linea) {
        f.elementos_.front().texto = Tramo(a.linea, a.columna, b.columna);
    } else {
        f.elementos_.front().texto = Tramo(a.linea, a.columna, Longitud(a.linea));
        RecorrerTrozos(a.linea + 1, b.linea, [&](int x, int y) {
            FragmentoMemo::Elemento e;
            if (x >= 0) {
                e.generadas = x;
                e.cuenta = y - x;
            } else {
                e.texto = Texto(y);
            }
            f.elementos_.push_back(std::move(e));
        });
        FragmentoMemo::Elemento ultima;
        ultima.texto = Tramo(b.linea, 0, b.columna);
        f.elementos_.push_back(std::move(ultima));
    }
    f.Recontar();
    Eliminar(a, b);
    return f;
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
        if (const Linea* l = Guardada(i)) {
            if (l->ancha)
                r += QStringView(*l->ancha).sliced(desde, hasta - desde);
            else
                r += QLatin1StringView(l->bytes.data() + desde, hasta - desde);
        } else {
            r += Tramo(i, desde, hasta);
        }
        if (i < b.linea) r += salto;
    }
    return r;
}

int64_t LineasMemo::Caracteres(Posicion a, Posicion b, int salto, int64_t limite) const {
    if (!(a < b)) return 0;
    if (a.linea == b.linea) return b.columna - a.columna;
    int64_t total = 0;
    for (int i = a.linea; i <= b.linea && total <= limite; ++i) {
        const int desde = i == a.linea ? a.columna : 0;
        const int hasta = i == b.linea ? b.columna : Longitud(i);
        total += hasta - desde + (i < b.linea ? salto : 0);
    }
    return total;
}

// --- Geometry ---

double LineasMemo::AnchoDe(const Linea& l, const Medidor& m) const {
    if (l.ancho < 0) {
        const int n = LongitudDe(l);
        l.ancho = l.ancha ? Recorrer(Datos(*l.ancha), n, 0, n, 0, m) : Recorrer(Datos(l.bytes), n, 0, n, 0, m);
    }
    return l.ancho;
}

double LineasMemo::Ancho(int i, const Medidor& m) const {
    if (const Linea* l = Guardada(i)) return AnchoDe(*l, m);
    int g = 0;
    EsGenerada(i, &g);
    return origen_->Ancho(g, m);
}

double LineasMemo::AnchoMaximo(const Medidor& m) const {
    if (maximo_ < 0) {
        maximo_ = 0;
        for (const Trozo& t : trozos_) {
            if (t.generadas >= 0)
                maximo_ = std::max(maximo_, origen_->AnchoMaximo(t.generadas, t.generadas + t.cuenta, m));
            else
                for (const Linea& l : t.lineas) maximo_ = std::max(maximo_, AnchoDe(l, m));
        }
    }
    return maximo_;
}

bool LineasMemo::MedirPendientes(const Medidor& m, int milisegundos) {
    if (!origen_ || origen_->MedidasCompletas()) return true;
    const bool completas = origen_->MedirPendientes(m, milisegundos);
    if (completas) maximo_ = -1;
    return completas;
}

bool LineasMemo::MedidasCompletas() const { return !origen_ || origen_->MedidasCompletas(); }

const std::vector<double>& LineasMemo::Marcas(const Linea& l, const Medidor& m) const {
    if (!l.marcas) {
        const int n = LongitudDe(l);
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
    const Linea* pl = Guardada(i);
    if (pl == nullptr) {
        int g = 0;
        EsGenerada(i, &g);
        return origen_->Hasta(g, k, m);
    }
    const Linea& l = *pl;
    const int n = LongitudDe(l);
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
    const Linea* pl = Guardada(i);
    if (pl == nullptr) {
        int g = 0;
        EsGenerada(i, &g);
        return origen_->En(g, u, m, inicio);
    }
    const Linea& l = *pl;
    const int n = LongitudDe(l);
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
    for (Trozo& t : trozos_)
        for (Linea& l : t.lineas) {
            l.ancho = -1;
            l.marcas.reset();
        }
    if (origen_) origen_->OlvidarMedidas();
    maximo_ = -1;
}

}  // namespace tavelorin
