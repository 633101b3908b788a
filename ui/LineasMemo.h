// The memo's text as lines, kept compactly: a piece table by lines over the report's
// generated lines and the lines the memo holds itself (LineasMemo, below).
#pragma once

#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QStringView>
#include <array>
#include <cmath>
#include <algorithm>
#include <compare>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavelorin {

// A place in the text: a line, and a column in UTF-16 code units from its start.
struct Posicion {
    int linea = 0;
    int columna = 0;
    auto operator<=>(const Posicion&) const = default;
};

// The end of `texto` inserted at `p` ('\n' separates lines).
Posicion FinDeTexto(Posicion p, QStringView texto);

// Advances of a font in units. When every Latin-1 character has the same advance
// (fixed pitch) a unit is one character cell and the arithmetic is exact; otherwise a
// unit is a pixel. Tab stops lie every 8 spaces.
class Medidor {
public:
    explicit Medidor(const QFont& fuente);

    bool Fijo() const { return fijo_; }
    // Different for every Medidor made, so measures kept elsewhere know whose they are.
    uint64_t Id() const { return id_; }
    // Pixels per unit.
    double Escala() const { return escala_; }
    // The next tab stop after u.
    double Tabular(double u) const { return (std::floor(u / tab_) + 1) * tab_; }
    double Avance(char16_t c) const { return c < 256 ? latin_[c] : AvanceAncho(c); }
    // A surrogate pair as one character.
    double AvancePar(char16_t alto, char16_t bajo) const;
    // Tab stop distance in pixels.
    double DistanciaTabulador() const { return tab_ * escala_; }

    // What to draw for a character that has no glyph of its own (control characters).
    static char16_t Visible(char16_t c) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return u' ';
        if (c == 0xAD) return u'-';
        return c;
    }

private:
    double AvanceAncho(char16_t c) const;

    QFontMetricsF metricas_;
    uint64_t id_;
    bool fijo_ = true;
    double escala_ = 1;
    double tab_ = 8;
    std::array<double, 256> latin_{};
    mutable QHash<char16_t, double> otros_;
};

class LineasGeneradas;

// A span of the text as lines ('\n' between them), kept to put it back: lines of a
// generated run stay references to it, so removing a whole report costs no copy.
class FragmentoMemo {
public:
    FragmentoMemo() { elementos_.emplace_back(); }  // the empty text
    explicit FragmentoMemo(const QString& texto);

    bool Vacio() const { return elementos_.size() == 1 && elementos_[0].texto.isEmpty(); }
    // Lines it spans (1 without a line break).
    int Lineas() const { return lineas_; }
    // Characters of its first and of its last line.
    int LargoPrimera() const { return static_cast<int>(elementos_.front().texto.size()); }
    int LargoUltima() const { return static_cast<int>(elementos_.back().texto.size()); }
    // Whether it is held as text only (no generated lines), and its length then.
    bool EsTexto() const;
    QString Texto() const;  // only when EsTexto()
    // Text before or after it, as a longer span.
    void Anteponer(const QString& texto);
    void Anadir(const QString& texto);

private:
    friend class LineasMemo;
    // A line of text, or a run of generated lines.
    struct Elemento {
        QString texto;
        int generadas = -1;  // first generated line, -1 for text
        int cuenta = 0;
    };
    void Recontar();
    std::vector<Elemento> elementos_;  // first and last are always text
    std::shared_ptr<const LineasGeneradas> origen_;
    int lineas_ = 1;
};

// The end of a fragment put at p.
Posicion FinDeTexto(Posicion p, const FragmentoMemo& fragmento);

// The memo's text as lines: runs of lines produced on demand from a report
// (LineasGeneradas) and lines held here, one after another. A line held here is Latin-1
// bytes until a character beyond Latin-1 is typed into it, and UTF-16 from then on; an
// edit of a generated line takes it in first. Lines held here also cache their width
// and, when long, where every 256th character starts, for the font the memo measures
// with; an edit forgets what it changes.
class LineasMemo {
public:
    LineasMemo();  // one empty line
    ~LineasMemo();
    LineasMemo(const LineasMemo&) = delete;
    LineasMemo& operator=(const LineasMemo&) = delete;

    // Always at least one line.
    int Cantidad() const { return inicios_.back(); }
    int Longitud(int i) const;
    bool EsAncha(int i) const;
    char16_t Caracter(int i, int k) const;
    QString Texto(int i) const;
    QString Tramo(int i, int desde, int hasta) const;
    std::string Utf8(int i) const;
    // The length of line i in UTF-8, and line i appended to destino in UTF-8.
    uint64_t BytesUtf8(int i) const;
    void AnadirUtf8(int i, QByteArray& destino) const;
    // Bytes the held lines themselves take (the characters, one or two bytes each).
    size_t BytesTexto() const;

    // Replaces every line by the given UTF-8 lines, taking their storage where they
    // are ASCII; a line holding line breaks becomes several. With saltoFinal the text
    // ends with a line break: an empty line follows the last. Widths are measured with m.
    void Reemplazar(std::vector<std::string>&& lineas, bool saltoFinal, const Medidor& m);
    // Replaces every line by the generated lines, followed by a line break.
    void Generar(std::shared_ptr<const LineasGeneradas> origen);
    void Vaciar();

    // The generated lines shown (null when none), and whether line i is still one of
    // them unedited (its number there in *generada).
    const LineasGeneradas* Origen() const { return origen_.get(); }
    bool EsGenerada(int i, int* generada = nullptr) const;
    // Calls visitar(desde, hasta) for each run of generated lines in [a, b) and
    // visitar(-1, i) for each line held here, in order.
    template <typename Visitar>
    void RecorrerTrozos(int a, int b, Visitar&& visitar) const {
        for (size_t t = 0; t < trozos_.size() && inicios_[t] < b; ++t) {
            const int desde = std::max(a, inicios_[t]), hasta = std::min(b, inicios_[t + 1]);
            if (desde >= hasta) continue;
            if (trozos_[t].generadas >= 0)
                visitar(trozos_[t].generadas + desde - inicios_[t], trozos_[t].generadas + hasta - inicios_[t]);
            else
                for (int i = desde; i < hasta; ++i) visitar(-1, i);
        }
    }

    // Inserts texto ('\n' between lines) at p, which must be valid; returns its end.
    Posicion Insertar(Posicion p, QStringView texto);
    Posicion Insertar(Posicion p, const FragmentoMemo& fragmento);
    // Removes [a, b).
    void Eliminar(Posicion a, Posicion b);
    // Removes [a, b) and returns it.
    FragmentoMemo Quitar(Posicion a, Posicion b);
    // The text of [a, b) with the given line break.
    QString Extraer(Posicion a, Posicion b, QStringView salto = u"\n") const;
    // Characters in [a, b), each line break counting as salto of them; the count stops
    // once it passes limite.
    int64_t Caracteres(Posicion a, Posicion b, int salto, int64_t limite = INT64_MAX) const;

    // Geometry in the units of m (the same Medidor until OlvidarMedidas).
    double Ancho(int i, const Medidor& m) const;
    double AnchoMaximo(const Medidor& m) const;
    // Where character k starts (k may be the length: the end of the line).
    double Hasta(int i, int k, const Medidor& m) const;
    // The character whose cell holds u, and where it starts; the length and the width
    // when u lies beyond the end. Never the low half of a surrogate pair.
    int En(int i, double u, const Medidor& m, double* inicio) const;
    // The character boundary nearest to u.
    int MasCercano(int i, double u, const Medidor& m) const;
    void OlvidarMedidas();
    // Generated lines are measured a slice at a time; until they all are, AnchoMaximo
    // is an upper bound. True when every line is measured.
    bool MedirPendientes(const Medidor& m, int milisegundos);
    bool MedidasCompletas() const;

    static constexpr int kPaso = 256;  // characters between cached starts

private:
    struct Linea {
        std::string bytes;               // Latin-1, while ancha is null
        std::unique_ptr<QString> ancha;  // UTF-16 once a wider character came in
        mutable double ancho = -1;       // width in units, -1 while unknown
        mutable std::unique_ptr<std::vector<double>> marcas;  // start of every kPaso-th character
    };
    // Consecutive lines: a run of generated ones, or lines held here.
    struct Trozo {
        int generadas = -1;  // first generated line, -1 for lines held here
        int cuenta = 0;
        std::vector<Linea> lineas;
        int Cuantas() const { return generadas >= 0 ? cuenta : static_cast<int>(lineas.size()); }
    };

    static void Fijar(Linea& l, QString texto);
    static int LongitudDe(const Linea& l);
    static QString TramoDe(const Linea& l, int desde, int hasta);
    void Cambiada(Linea& l);
    const std::vector<double>& Marcas(const Linea& l, const Medidor& m) const;
    double AnchoDe(const Linea& l, const Medidor& m) const;

    // The piece holding line i, and where in it.
    size_t TrozoDe(int i) const;
    const Linea* Guardada(int i) const;
    // Line i held here, taken in from the generated lines if need be.
    Linea& Tomar(int i);
    void InsertarTrozo(int antesDe, Trozo&& trozo);
    void BorrarLineas(int desde, int hasta);
    void Ordenar();  // drops empty pieces, joins neighbours, recounts

    std::vector<Trozo> trozos_;
    std::vector<int> inicios_;  // first line of each piece; the last entry is the count
    std::shared_ptr<const LineasGeneradas> origen_;
    mutable double maximo_ = -1;
};

}  // namespace tavelorin
