#include "ui/PaginaCalidad.h"

#include <QChart>
#include <QClipboard>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <new>
#include <utility>

#include "core/Errores.h"
#include "core/Optimo.h"
#include "core/TextoReal.h"
#include "files/FicheroTexto.h"
#include "ui/BusquedaMejora.h"
#include "ui/Dialogos.h"
#include "ui/ManejoErrores.h"
#include "ui/ModeloCalidad.h"
#include "ui/NombresFichero.h"
#include "ui/PaginaGrafico.h"
#include "ui/RutasFichero.h"
#include "ui/VistaGrafico.h"

namespace tavelorin {

namespace {

constexpr int kAnchoDesviacion = 1;
constexpr int kSegundosPorOmision = 2;
const QString kFiltroSecuencia = QStringLiteral("Secuencia (*.txt);;Solución (*.sol);;Todos los archivos (*)");

template <class Control>
Control* Nombrado(Control* control, const char* nombre) {
    control->setObjectName(QLatin1String(nombre));
    return control;
}

}  // namespace

std::vector<QList<QPointF>> DesviacionesPorComponente(const EstadoSecuenciador& e, const Secuencia& secuencia) {
    const int32_t m = std::max(e.NComp, 0);
    const int32_t q = e.Q;
    std::vector<QList<QPointF>> puntos(static_cast<size_t>(m));
    if (q <= 0 || static_cast<int64_t>(secuencia.size()) != q) return puntos;
    for (QList<QPointF>& p : puntos) p.resize(q);
    std::vector<int64_t> x(static_cast<size_t>(m), 0);
    const double divisor = q;
    for (int32_t k = 1; k <= q; ++k) {
        const int32_t producto = secuencia[static_cast<size_t>(k - 1)];
        for (int32_t j = 1; j <= m; ++j) {
            if (producto >= 1 && producto <= e.NProd) x[static_cast<size_t>(j - 1)] += e.Uso(producto, j);
            const Entero128 d = static_cast<Entero128>(q) * x[static_cast<size_t>(j - 1)] -
                                static_cast<Entero128>(k) * e.Total(j);
            puntos[static_cast<size_t>(j - 1)][k - 1] = QPointF(k, static_cast<double>(d) / divisor);
        }
    }
    return puntos;
}

std::vector<std::string> LineasDeSecuencia(const Secuencia& secuencia) {
    std::vector<std::string> lineas;
    lineas.reserve(secuencia.size());
    for (const int32_t p : secuencia) lineas.push_back(std::to_string(p));
    return lineas;
}

PaginaCalidad::PaginaCalidad(Dialogos& dialogos, const std::string& separador, std::function<QString()> ficheroProblema,
                             QWidget* padre)
    : QWidget(padre), dialogos_(dialogos), separador_(separador), ficheroProblema_(std::move(ficheroProblema)) {
    busqueda_ = new BusquedaMejora(this);
    busqueda_->setObjectName(QStringLiteral("BusquedaMejora"));
    modelo_ = new ModeloCalidad(this);
    Construir();
    connect(busqueda_, &BusquedaMejora::Progreso, this, &PaginaCalidad::MostrarProgreso);
    connect(busqueda_, &BusquedaMejora::Terminada, this, &PaginaCalidad::MostrarMejora);
    connect(busqueda_, &BusquedaMejora::Fallida, this, [this](std::exception_ptr error) {
        ActualizarBotones();
        LProgreso->clear();
        MostrarErrorDe(dialogos_, this, error);
    });
    Olvidar();
}

PaginaCalidad::~PaginaCalidad() { busqueda_->Detener(); }

void PaginaCalidad::Construir() {
    auto* disposicion = new QVBoxLayout(this);
    disposicion->setContentsMargins(4, 4, 4, 4);

    auto* barra = new QHBoxLayout;
    BMejorar = Nombrado(new QPushButton(QStringLiteral("Mejorar secuencia"), this), "BMejorar");
    auto* etiqueta = new QLabel(QStringLiteral("Segundos:"), this);
    ESegundos = Nombrado(new QSpinBox(this), "ESegundos");
    ESegundos->setRange(1, 3600);
    ESegundos->setValue(kSegundosPorOmision);
    ESegundos->setAccessibleName(QStringLiteral("Segundos de búsqueda"));
    etiqueta->setBuddy(ESegundos);
    BCancelar = Nombrado(new QPushButton(QStringLiteral("Cancelar"), this), "BCancelar");
    PBMejora = Nombrado(new QProgressBar(this), "PBMejora");
    PBMejora->setAccessibleName(QStringLiteral("Progreso de la búsqueda"));
    PBMejora->setTextVisible(false);
    PBMejora->setMinimumWidth(120);
    LProgreso = Nombrado(new QLabel(this), "LProgreso");
    LProgreso->setMinimumWidth(300);
    barra->addWidget(BMejorar);
    barra->addWidget(etiqueta);
    barra->addWidget(ESegundos);
    barra->addWidget(BCancelar);
    barra->addWidget(PBMejora, 1);
    barra->addWidget(LProgreso, 2);
    disposicion->addLayout(barra);

    auto* secuencia = new QHBoxLayout;
    BAbrirSecuencia = Nombrado(new QPushButton(QStringLiteral("Abrir secuencia..."), this), "BAbrirSecuencia");
    BCopiarSecuencia = Nombrado(new QPushButton(QStringLiteral("Copiar secuencia"), this), "BCopiarSecuencia");
    BGuardarSecuencia = Nombrado(new QPushButton(QStringLiteral("Guardar secuencia..."), this), "BGuardarSecuencia");
    LResumen = Nombrado(new QLabel(this), "LResumen");
    LResumen->setTextInteractionFlags(Qt::TextSelectableByMouse);
    secuencia->addWidget(BAbrirSecuencia);
    secuencia->addWidget(BCopiarSecuencia);
    secuencia->addWidget(BGuardarSecuencia);
    secuencia->addWidget(LResumen, 1);
    disposicion->addLayout(secuencia);

    auto* division = Nombrado(new QSplitter(Qt::Horizontal, this), "SplitterCalidad");
    division->setChildrenCollapsible(false);
    TablaCalidad = Nombrado(new QTableView(division), "TablaCalidad");
    TablaCalidad->setModel(modelo_);
    TablaCalidad->setAccessibleName(QStringLiteral("Calidad de las secuencias"));
    TablaCalidad->verticalHeader()->hide();
    TablaCalidad->verticalHeader()->setDefaultSectionSize(TablaCalidad->fontMetrics().height() + 6);
    TablaCalidad->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TablaCalidad->setSelectionBehavior(QAbstractItemView::SelectRows);
    TablaCalidad->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* graficos = Nombrado(new QSplitter(Qt::Vertical, division), "SplitterDesviaciones");
    graficos->setChildrenCollapsible(false);
    const QString tituloK = QStringLiteral("Unidades secuenciadas (k)");
    const QString tituloY = QStringLiteral("Desviación Xjk − k·Nj/Q");
    graficoPersecucion_ = new PaginaGrafico(QStringLiteral("ChartDesvPersecucion"),
                                            QStringLiteral("Desviaciones de la persecución"), tituloK, tituloY, this);
    graficoComparada_ = new PaginaGrafico(QStringLiteral("ChartDesvComparada"),
                                          QStringLiteral("Desviaciones de la secuencia comparada"), tituloK, tituloY, this);
    for (PaginaGrafico* g : {graficoPersecucion_, graficoComparada_}) {
        graficos->addWidget(g->Marco());
        QFont titulo = g->Grafico()->titleFont();
        titulo.setPixelSize(13);
        titulo.setBold(true);
        g->Grafico()->setTitleFont(titulo);
        for (QWidget* w : {static_cast<QWidget*>(g->Vista()), static_cast<QWidget*>(g->Leyenda())}) {
            w->installEventFilter(this);
            if (w == g->Leyenda()) g->Leyenda()->viewport()->installEventFilter(this);
        }
    }
    graficoPersecucion_->Grafico()->setTitle(QStringLiteral("Persecución de objetivos"));
    activo_ = graficoPersecucion_;
    division->addWidget(TablaCalidad);
    division->addWidget(graficos);
    division->setStretchFactor(0, 0);
    division->setStretchFactor(1, 1);
    division_ = division;
    disposicion->addWidget(division, 1);

    auto comando = [this](QPushButton* boton, void (PaginaCalidad::*c)()) {
        connect(boton, &QPushButton::clicked, this, [this, c] { Ejecutar(c); });
    };
    comando(BMejorar, &PaginaCalidad::Mejorar);
    comando(BCancelar, &PaginaCalidad::Cancelar);
    comando(BAbrirSecuencia, &PaginaCalidad::AbrirSecuencia);
    comando(BCopiarSecuencia, &PaginaCalidad::CopiarSecuencia);
    comando(BGuardarSecuencia, &PaginaCalidad::GuardarSecuencia);
}

void PaginaCalidad::Ejecutar(void (PaginaCalidad::*comando)()) {
    EjecutarComando(dialogos_, this, [this, comando] { (this->*comando)(); });
}

// The chart last clicked or given the focus is the one the chart commands work on.
bool PaginaCalidad::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::FocusIn || evento->type() == QEvent::MouseButtonPress) {
        for (PaginaGrafico* g : {graficoPersecucion_, graficoComparada_})
            if (objeto == g->Vista() || objeto == g->Leyenda() || objeto == g->Leyenda()->viewport()) activo_ = g;
    }
    return QWidget::eventFilter(objeto, evento);
}

void PaginaCalidad::FijarMenuGraficos(const QList<QAction*>& acciones) {
    graficoPersecucion_->FijarMenu(acciones);
    graficoComparada_->FijarMenu(acciones);
}

QList<QWidget*> PaginaCalidad::OrdenTabulacion() const {
    return {BMejorar,
            ESegundos,
            BCancelar,
            BAbrirSecuencia,
            BCopiarSecuencia,
            BGuardarSecuencia,
            TablaCalidad,
            graficoPersecucion_->Vista(),
            graficoPersecucion_->Leyenda(),
            graficoComparada_->Vista(),
            graficoComparada_->Leyenda()};
}

// --- What shows ---

void PaginaCalidad::NuevaSolucion(const EstadoSecuenciador& estado, const Secuencia& persecucion) {
    Olvidar();
    problema_.NProd = estado.NProd;
    problema_.NComp = estado.NComp;
    problema_.Q = estado.Q;
    problema_.Datos = estado.Datos;
    // The page never makes a solve fail: what it cannot measure, it says.
    try {
        calidadPersecucion_ = CalcularCalidad(problema_, persecucion);
        persecucion_ = persecucion;
    } catch (const ErrorTavelorin& error) {
        LResumen->setText(QStringLiteral("No se puede medir la calidad de esta secuencia: ") +
                          QString::fromStdString(error.what()));
    } catch (const std::bad_alloc&) {
        LResumen->setText(QStringLiteral("No se puede medir la calidad de esta secuencia: ") +
                          QString::fromLatin1(mensajes::kSinMemoria));
    }
    ActualizarTabla();
    ActualizarGraficos();
    ActualizarBotones();
}

void PaginaCalidad::Olvidar() {
    busqueda_->Detener();
    problema_ = EstadoSecuenciador{};
    persecucion_.reset();
    calidadPersecucion_.reset();
    comparada_.clear();
    calidadComparada_.reset();
    demostrada_.reset();
    columnaComparada_.clear();
    tituloComparada_.clear();
    mejora_.reset();
    graficoPersecucionPendiente_ = graficoComparadaPendiente_ = true;
    PBMejora->setRange(0, 1);
    PBMejora->setValue(0);
    LProgreso->clear();
    LResumen->clear();
    ActualizarTabla();
    ActualizarGraficos();
    ActualizarBotones();
}

QString PaginaCalidad::TextoJ(const Racional& j) const {
    std::string s;
    AnadirTextoReal(s, j.Real(), FormatoSecuencia(separador_));
    return QString::fromStdString(s);
}

void PaginaCalidad::ActualizarTabla() {
    modelo_->FijarSeparador(separador_);
    std::optional<ModeloCalidad::Columna> a, b;
    if (calidadPersecucion_) a = ModeloCalidad::Columna{QStringLiteral("Persecución"), *calidadPersecucion_, {}, {}};
    if (calidadPersecucion_ && calidadComparada_)
        b = ModeloCalidad::Columna{columnaComparada_, *calidadComparada_,
                                   ExcesoPorcentaje(calidadPersecucion_->componentes.variacion,
                                                    calidadComparada_->componentes.variacion),
                                   demostrada_};
    modelo_->Fijar(std::move(a), std::move(b));
}

void PaginaCalidad::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    if (!dimensionada_) {
        // Room for the three columns of the table with 15-digit values; the rest for the charts.
        dimensionada_ = true;
        const QFontMetrics medidas = TablaCalidad->fontMetrics();
        const int anchoTabla = medidas.horizontalAdvance(QStringLiteral("Desviación máxima componentes")) +
                               2 * medidas.horizontalAdvance(QStringLiteral("0,000000000000000")) + 50;
        division_->setSizes({anchoTabla, std::max(division_->width() - anchoTabla, anchoTabla)});
    }
    ActualizarGraficos();
}

// The charts are drawn when the page shows, so a solve does not wait for them.
void PaginaCalidad::ActualizarGraficos() {
    if (!isVisible()) return;
    const auto dibujar = [this](PaginaGrafico* g, const Secuencia* s) {
        g->Vaciar();
        Limites limites;
        std::vector<QList<QPointF>> puntos;
        if (s != nullptr && !s->empty()) puntos = DesviacionesPorComponente(problema_, *s);
        for (const QList<QPointF>& p : puntos) limites.Anadir(p);
        g->FijarEjes(limites);
        for (size_t j = 0; j < puntos.size(); ++j)
            g->AnadirSerie(QStringLiteral("C") + QString::number(j + 1), ColorComponente(static_cast<int>(j)),
                           kAnchoDesviacion, false, puntos[j]);
    };
    if (graficoPersecucionPendiente_) {
        dibujar(graficoPersecucion_, persecucion_ ? &*persecucion_ : nullptr);
        graficoPersecucionPendiente_ = false;
    }
    if (graficoComparadaPendiente_) {
        graficoComparada_->Grafico()->setTitle(tituloComparada_);
        dibujar(graficoComparada_, &comparada_);
        graficoComparadaPendiente_ = false;
    }
}

void PaginaCalidad::ActualizarBotones() {
    const bool enCurso = busqueda_->EnCurso();
    BMejorar->setEnabled(Resuelto() && !enCurso);
    ESegundos->setEnabled(!enCurso);
    BCancelar->setEnabled(enCurso);
    BAbrirSecuencia->setEnabled(Resuelto() && !enCurso);
    BCopiarSecuencia->setEnabled(!comparada_.empty());
    BGuardarSecuencia->setEnabled(!comparada_.empty());
}

void PaginaCalidad::MostrarComparada(Secuencia secuencia, const QString& columna, const QString& titulo,
                                     std::optional<bool> demostrada, const QString& resumen) {
    calidadComparada_ = CalcularCalidad(problema_, secuencia);
    comparada_ = std::move(secuencia);
    columnaComparada_ = columna;
    tituloComparada_ = titulo;
    demostrada_ = demostrada;
    LResumen->setText(resumen);
    graficoComparadaPendiente_ = true;
    ActualizarTabla();
    ActualizarGraficos();
    ActualizarBotones();
    emit ComparadaMostrada();
}

// --- The search ---

void PaginaCalidad::Mejorar() {
    if (!Resuelto() || busqueda_->EnCurso()) return;
    ComprobarMejora(problema_);
    OpcionesMejora opciones;
    opciones.segundos = ESegundos->value();
    PBMejora->setRange(0, std::max(problema_.Q, 1));
    PBMejora->setValue(0);
    LProgreso->setText(QStringLiteral("Buscando..."));
    busqueda_->Iniciar(problema_, *persecucion_, opciones);
    ActualizarBotones();
}

void PaginaCalidad::Cancelar() { busqueda_->Cancelar(); }

void PaginaCalidad::MostrarProgreso(const ProgresoMejora& p) {
    if (p.anchura == 0) {
        // Goal chasing's J at the start, then the exact optimum, which says nothing until it ends.
        PBMejora->setRange(0, 0);
        LProgreso->setText(QStringLiteral("Mejor J ") + TextoJ(p.mejor));
        return;
    }
    PBMejora->setRange(0, std::max(p.etapas, 1));
    PBMejora->setValue(std::clamp(p.etapa, 0, std::max(p.etapas, 1)));
    LProgreso->setText(QStringLiteral("Anchura %1 · etapa %2 de %3 · mejor J %4")
                           .arg(QString::number(p.anchura), QString::number(p.etapa), QString::number(p.etapas),
                                TextoJ(p.mejor)));
}

void PaginaCalidad::MostrarMejora(const Mejora& mejora) {
    mejora_ = mejora;
    PBMejora->setRange(0, 1);
    PBMejora->setValue(1);
    QString resumen = QStringLiteral("Mejorada: J %1, la persecución la excede en un %2 %; %3")
                          .arg(TextoJ(mejora.variacion), QString::fromStdString([&] {
                                   std::string s;
                                   AnadirTextoReal(s, mejora.excesoPersecucion, FormatoSecuencia(separador_));
                                   return s;
                               }()),
                               mejora.demostrada ? QStringLiteral("óptima demostrada")
                                                 : QStringLiteral("la mejor hallada, sin demostrar que sea óptima"));
    if (mejora.cancelada) resumen += QStringLiteral(" (búsqueda cancelada)");
    LProgreso->setText(mejora.cancelada ? QStringLiteral("Cancelada") : QStringLiteral("Terminada"));
    MostrarComparada(mejora.secuencia, QStringLiteral("Mejorada"), QStringLiteral("Secuencia mejorada"),
                     mejora.demostrada, resumen);
}

// --- The compared sequence ---

void PaginaCalidad::CopiarSecuencia() {
    if (comparada_.empty()) return;
    QString texto;
    for (const std::string& linea : LineasDeSecuencia(comparada_)) texto += QString::fromStdString(linea) + "\r\n";
    auto* datos = new QMimeData;
    datos->setText(texto);
    QGuiApplication::clipboard()->setMimeData(datos);
}

void PaginaCalidad::GuardarSecuencia() {
    if (comparada_.empty()) return;
    const QString final = mejora_ ? QStringLiteral("-mejorada.txt") : QStringLiteral("-secuencia.txt");
    const std::optional<QString> nombre = dialogos_.NombreParaGuardar(
        this, kFiltroSecuencia, QStringLiteral("txt"), NombreJuntoAlProblema(ficheroProblema_(), final));
    if (!nombre) return;
    EscribirLineasFichero(RutaDeNombre(*nombre), LineasDeSecuencia(comparada_));
}

void PaginaCalidad::AbrirSecuencia() {
    if (!Resuelto() || busqueda_->EnCurso()) return;
    const std::optional<QString> nombre =
        dialogos_.NombreParaAbrir(this, kFiltroSecuencia, NombreJuntoAlProblema(ficheroProblema_(), QStringLiteral(".txt")));
    if (!nombre) return;
    const SecuenciaLeida leida = LeerSecuencia(problema_, LeerLineasFichero(RutaDeNombre(*nombre)));
    if (!leida.errores.empty()) {
        std::string texto = "La secuencia no corresponde al problema:";
        for (const std::string& error : leida.errores) texto += "\n  " + error;
        throw ErrorTavelorin(texto);
    }
    mejora_.reset();
    const QString archivo = QFileInfo(*nombre).fileName();
    const Racional j = CalcularCalidad(problema_, leida.secuencia).componentes.variacion;
    MostrarComparada(leida.secuencia, QStringLiteral("Cargada"), QStringLiteral("Cargada: ") + archivo, std::nullopt,
                     QStringLiteral("Cargada de %1: J %2").arg(archivo, TextoJ(j)));
}

}  // namespace tavelorin
