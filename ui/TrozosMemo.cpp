// The memo's text as pieces: runs of generated lines and lines held here, kept in order
// and counted; and the fragments an edit removes, kept to put back. The lines' text and
// geometry are in LineasMemo.cpp.
#include <algorithm>

#include "ui/LineasGeneradas.h"
#include "ui/LineasMemo.h"

namespace tavelorin {

// --- FragmentoMemo ---

FragmentoMemo::FragmentoMemo(const QString& texto) {
    qsizetype desde = 0;
    while (true) {
        const qsizetype fin = texto.indexOf(u'\n', desde);
        Elemento e;
        e.texto = texto.mid(desde, fin < 0 ? -1 : fin - desde);
        elementos_.push_back(std::move(e));
        if (fin < 0) break;
        desde = fin + 1;
    }
    Recontar();
}

void FragmentoMemo::Recontar() {
    lineas_ = 0;
    for (const Elemento& e : elementos_) lineas_ += e.generadas >= 0 ? e.cuenta : 1;
}

bool FragmentoMemo::EsTexto() const {
    return std::all_of(elementos_.begin(), elementos_.end(), [](const Elemento& e) { return e.generadas < 0; });
}

QString FragmentoMemo::Texto() const {
    QString r;
    for (size_t k = 0; k < elementos_.size(); ++k) {
        const Elemento& e = elementos_[k];
        if (k > 0) r += u'\n';
        if (e.generadas < 0) {
            r += e.texto;
            continue;
        }
        for (int i = 0; i < e.cuenta; ++i) {
            if (i > 0) r += u'\n';
            r += origen_->Texto(e.generadas + i);
        }
    }
    return r;
}

void FragmentoMemo::Anteponer(const QString& texto) {
    FragmentoMemo delante(texto);
    delante.elementos_.back().texto += elementos_.front().texto;
    elementos_.erase(elementos_.begin());
    elementos_.insert(elementos_.begin(), std::make_move_iterator(delante.elementos_.begin()),
                      std::make_move_iterator(delante.elementos_.end()));
    Recontar();
}

void FragmentoMemo::Anadir(const QString& texto) {
    FragmentoMemo detras(texto);
    elementos_.back().texto += detras.elementos_.front().texto;
    elementos_.insert(elementos_.end(), std::make_move_iterator(detras.elementos_.begin() + 1),
                      std::make_move_iterator(detras.elementos_.end()));
    Recontar();
}

Posicion FinDeTexto(Posicion p, const FragmentoMemo& f) {
    if (f.Lineas() == 1) return {p.linea, p.columna + f.LargoPrimera()};
    return {p.linea + f.Lineas() - 1, f.LargoUltima()};
}

// --- LineasMemo: the pieces ---

void LineasMemo::Ordenar() {
    std::vector<Trozo> juntos;
    juntos.reserve(trozos_.size());
    for (Trozo& t : trozos_) {
        if (t.Cuantas() == 0) continue;
        if (!juntos.empty()) {
            Trozo& previo = juntos.back();
            if (t.generadas < 0 && previo.generadas < 0) {
                previo.lineas.insert(previo.lineas.end(), std::make_move_iterator(t.lineas.begin()),
                                     std::make_move_iterator(t.lineas.end()));
                continue;
            }
            if (t.generadas >= 0 && previo.generadas >= 0 && previo.generadas + previo.cuenta == t.generadas) {
                previo.cuenta += t.cuenta;
                continue;
            }
        }
        juntos.push_back(std::move(t));
    }
    if (juntos.empty()) {
        juntos.emplace_back();
        juntos.back().lineas.emplace_back();
    }
    trozos_ = std::move(juntos);
    inicios_.assign(trozos_.size() + 1, 0);
    for (size_t t = 0; t < trozos_.size(); ++t) inicios_[t + 1] = inicios_[t] + trozos_[t].Cuantas();
}

size_t LineasMemo::TrozoDe(int i) const {
    if (trozos_.size() == 1) return 0;
    return static_cast<size_t>(std::upper_bound(inicios_.begin(), inicios_.end() - 1, i) - inicios_.begin()) - 1;
}

const LineasMemo::Linea* LineasMemo::Guardada(int i) const {
    const size_t t = TrozoDe(i);
    const Trozo& trozo = trozos_[t];
    if (trozo.generadas >= 0) return nullptr;
    return &trozo.lineas[static_cast<size_t>(i - inicios_[t])];
}

bool LineasMemo::EsGenerada(int i, int* generada) const {
    const size_t t = TrozoDe(i);
    if (trozos_[t].generadas < 0) return false;
    if (generada != nullptr) *generada = trozos_[t].generadas + i - inicios_[t];
    return true;
}

LineasMemo::Linea& LineasMemo::Tomar(int i) {
    const size_t t = TrozoDe(i);
    if (trozos_[t].generadas < 0) return trozos_[t].lineas[static_cast<size_t>(i - inicios_[t])];
    // The generated run splits around the line, which is held here from now on.
    const int g = trozos_[t].generadas, c = trozos_[t].cuenta, o = i - inicios_[t];
    Trozo antes, linea, despues;
    antes.generadas = g;
    antes.cuenta = o;
    despues.generadas = g + o + 1;
    despues.cuenta = c - o - 1;
    linea.lineas.emplace_back();
    Linea& l = linea.lineas.back();
    if (origen_->EsAncha(g + o))
        Fijar(l, origen_->Texto(g + o));
    else
        l.bytes = origen_->Latin1(g + o, 0, origen_->Longitud(g + o));
    std::vector<Trozo> nuevos;
    nuevos.push_back(std::move(antes));
    nuevos.push_back(std::move(linea));
    nuevos.push_back(std::move(despues));
    trozos_.erase(trozos_.begin() + static_cast<ptrdiff_t>(t));
    trozos_.insert(trozos_.begin() + static_cast<ptrdiff_t>(t), std::make_move_iterator(nuevos.begin()),
                   std::make_move_iterator(nuevos.end()));
    Ordenar();
    maximo_ = -1;
    const size_t u = TrozoDe(i);
    return trozos_[u].lineas[static_cast<size_t>(i - inicios_[u])];
}

void LineasMemo::InsertarTrozo(int antesDe, Trozo&& trozo) {
    if (trozo.Cuantas() == 0) return;
    if (antesDe >= Cantidad()) {
        trozos_.push_back(std::move(trozo));
    } else {
        const size_t t = TrozoDe(antesDe);
        const int o = antesDe - inicios_[t];
        Trozo& actual = trozos_[t];
        if (actual.generadas < 0 && trozo.generadas < 0) {
            actual.lineas.insert(actual.lineas.begin() + o, std::make_move_iterator(trozo.lineas.begin()),
                                 std::make_move_iterator(trozo.lineas.end()));
        } else if (o == 0) {
            trozos_.insert(trozos_.begin() + static_cast<ptrdiff_t>(t), std::move(trozo));
        } else {
            Trozo resto;
            if (actual.generadas >= 0) {
                resto.generadas = actual.generadas + o;
                resto.cuenta = actual.cuenta - o;
                actual.cuenta = o;
            } else {
                resto.lineas.assign(std::make_move_iterator(actual.lineas.begin() + o), std::make_move_iterator(actual.lineas.end()));
                actual.lineas.erase(actual.lineas.begin() + o, actual.lineas.end());
            }
            trozos_.insert(trozos_.begin() + static_cast<ptrdiff_t>(t) + 1, std::move(resto));
            trozos_.insert(trozos_.begin() + static_cast<ptrdiff_t>(t) + 1, std::move(trozo));
        }
    }
    Ordenar();
    maximo_ = -1;
}

void LineasMemo::BorrarLineas(int desde, int hasta) {
    if (desde >= hasta) return;
    for (size_t t = 0; t < trozos_.size(); ++t) {
        const int s = inicios_[t], e = inicios_[t + 1];
        const int a = std::max(desde, s), b = std::min(hasta, e);
        if (a >= b) continue;
        Trozo& trozo = trozos_[t];
        if (trozo.generadas < 0) {
            trozo.lineas.erase(trozo.lineas.begin() + (a - s), trozo.lineas.begin() + (b - s));
        } else if (a == s) {
            trozo.generadas += b - a;
            trozo.cuenta -= b - a;
        } else if (b == e) {
            trozo.cuenta -= b - a;
        } else {  // a hole in the middle of the run
            Trozo resto;
            resto.generadas = trozo.generadas + (b - s);
            resto.cuenta = e - b;
            trozo.cuenta = a - s;
            trozos_.insert(trozos_.begin() + static_cast<ptrdiff_t>(t) + 1, std::move(resto));
            break;
        }
    }
    Ordenar();
    maximo_ = -1;
}

}  // namespace tavelorin
