// The report's lines as the memo shows them without holding them: each line is produced
// from the compact stage table when it is asked for, and for a long line only the part
// asked for. Geometry (widths, where a character lies, which character lies under a
// point) follows from the line's structure: the head and tail are measured as text, the
// Q sequence cells in between by how many tab stops each takes, which depends only on
// its text. The results are those of measuring the whole line as text.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/LineasInforme.h"

namespace tavelorin {

class Medidor;

class LineasGeneradas {
public:
    // Whether lines with this decimal separator can be produced: one character of the
    // Basic Multilingual Plane.
    static bool Admite(const std::string& separador);

    // Shares the table's data; the table must be one a run has completed.
    LineasGeneradas(const TablaEtapas& tabla, const std::string& separador);
    ~LineasGeneradas();
    LineasGeneradas(const LineasGeneradas&) = delete;
    LineasGeneradas& operator=(const LineasGeneradas&) = delete;

    // The lines in the core's own form (UTF-8, the real separator): for writing them out.
    const LineasInforme& Informe() const { return *informe_; }
    std::shared_ptr<const LineasInforme> InformeCompartido() const { return informe_; }

    int Cantidad() const { return static_cast<int>(memo_->Cantidad()); }
    // The longest line, in characters (an upper bound until every line was measured).
    int64_t LongitudMaxima() const;
    // True when the separator lies beyond Latin-1: lines holding it are then UTF-16 in
    // the memo (EsAncha), as any line with a character beyond Latin-1 is.
    bool Anchas() const { return separador_ > 0xFF; }
    bool EsAncha(int i) const;

    int Longitud(int i) const;
    char16_t Caracter(int i, int k) const;
    QString Tramo(int i, int desde, int hasta) const;
    QString Texto(int i) const { return Tramo(i, 0, Longitud(i)); }
    std::string Utf8(int i) const;
    // Latin-1 bytes of [desde, hasta) (only when !Anchas()).
    std::string Latin1(int i, int desde, int hasta) const;

    // --- Geometry, in the units of m ---
    double Ancho(int i, const Medidor& m) const;
    double Hasta(int i, int k, const Medidor& m) const;
    int En(int i, double u, const Medidor& m, double* inicio) const;
    // The widest of lines [desde, hasta): exact for the lines measured so far, an upper
    // bound for the rest.
    double AnchoMaximo(int desde, int hasta, const Medidor& m) const;
    // Measures stage lines not measured yet, for about the given milliseconds; true
    // when every line is measured.
    bool MedirPendientes(const Medidor& m, int milisegundos) const;
    bool MedidasCompletas() const;
    void OlvidarMedidas() const;

private:
    struct Partes;
    struct Geometria;
    const Partes& PartesDe(int i) const;
    const Geometria& GeometriaDe(const Medidor& m) const;
    char16_t Caracter(unsigned char b) const { return b == kMarca ? separador_ : b; }
    // Units after text[desde, hasta) starting at u, tabs to the next stop.
    double Recorrer(const std::string& texto, size_t desde, size_t hasta, double u, const Geometria& g) const;
    // The stop a cell of the middle starts at, counted from the head's end.
    int64_t ParadasAntes(int i, int64_t c, const Geometria& g) const;
    int64_t CeldaEnParada(int i, int64_t parada, const Geometria& g) const;
    void TextoCelda(int i, int64_t c, std::string& destino) const;
    double MedirFila(int i, const Geometria& g) const;

    // A non-ASCII separator is produced as this byte and shown as itself.
    static constexpr unsigned char kMarca = 0x01;

    std::shared_ptr<const LineasInforme> memo_;     // the separator as one byte
    std::shared_ptr<const LineasInforme> informe_;  // the real separator (the same when ASCII)
    char16_t separador_ = u'.';

    mutable std::vector<std::unique_ptr<Partes>> recientes_;  // a few lines' heads and tails
    mutable size_t siguiente_ = 0;
    mutable std::unique_ptr<Geometria> geometria_;
    int64_t primeraConSeparador_ = -1;  // first stage choosing a product whose cell has a separator
    mutable uint64_t generacion_ = 0;  // of the measures: a head's stops are kept with it
};

}  // namespace tavelorin
