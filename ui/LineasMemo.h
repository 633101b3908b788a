// The memo's text as a list of lines, kept compactly: a line is Latin-1 bytes until a
// character beyond Latin-1 is typed into it, and UTF-16 from then on. Each line also
// caches its width and, when it is long, where every 256th character starts, for the
// font the memo measures with; an edit forgets what it changes.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QStringView>
#include <array>
#include <cmath>
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
    bool fijo_ = true;
    double escala_ = 1;
    double tab_ = 8;
    std::array<double, 256> latin_{};
    mutable QHash<char16_t, double> otros_;
};

class LineasMemo {
public:
    LineasMemo();  // one empty line
    ~LineasMemo();
    LineasMemo(const LineasMemo&) = delete;
    LineasMemo& operator=(const LineasMemo&) = delete;

    // Always at least one line.
    int Cantidad() const { return static_cast<int>(lineas_.size()); }
    int Longitud(int i) const;
    bool EsAncha(int i) const { return lineas_[static_cast<size_t>(i)].ancha != nullptr; }
    char16_t Caracter(int i, int k) const;
    QString Texto(int i) const;
    QString Tramo(int i, int desde, int hasta) const;
    std::string Utf8(int i) const;
    // The length of line i in UTF-8, and line i appended to destino in UTF-8.
    uint64_t BytesUtf8(int i) const;
    void AnadirUtf8(int i, QByteArray& destino) const;
    // Bytes the text itself holds (the characters, one or two bytes each).
    size_t BytesTexto() const;

    // Replaces every line by the given UTF-8 lines, taking their storage where they
    // are ASCII; a line holding line breaks becomes several. With saltoFinal the text
    // ends with a line break: an empty line follows the last. Widths are measured with m.
    void Reemplazar(std::vector<std::string>&& lineas, bool saltoFinal, const Medidor& m);
    void Vaciar();

    // Inserts texto ('\n' between lines) at p, which must be valid; returns its end.
    Posicion Insertar(Posicion p, QStringView texto);
    // Removes [a, b).
    void Eliminar(Posicion a, Posicion b);
    // The text of [a, b) with the given line break.
    QString Extraer(Posicion a, Posicion b, QStringView salto = u"\n") const;

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

    static constexpr int kPaso = 256;  // characters between cached starts

private:
    struct Linea {
        std::string bytes;               // Latin-1, while ancha is null
        std::unique_ptr<QString> ancha;  // UTF-16 once a wider character came in
        mutable double ancho = -1;       // width in units, -1 while unknown
        mutable std::unique_ptr<std::vector<double>> marcas;  // start of every kPaso-th character
    };

    static void Fijar(Linea& l, QString texto);
    void Cambiada(Linea& l);
    const std::vector<double>& Marcas(const Linea& l, const Medidor& m) const;

    std::vector<Linea> lineas_;
    mutable double maximo_ = -1;
};

}  // namespace tavelorin
