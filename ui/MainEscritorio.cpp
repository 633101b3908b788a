// What the main window offers a desktop user beyond its description: print preview and
// PDF files, keeping and reading the charts, the standard shortcuts, an order for the Tab
// key, and names for screen readers. None of it changes what the described commands show
// or write.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include "ui/Atajos.h"
#include "ui/Dialogos.h"
#include "ui/ExportarGrafico.h"
#include "ui/GraficosConsumo.h"
#include "ui/Impresion.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/NombresFichero.h"
#include "ui/PaginaCalidad.h"
#include "ui/PaginaGrafico.h"
#include "ui/SalidaInforme.h"
#include "ui/TareasLargas.h"
#include "ui/VistaGrafico.h"
#include "ui/VistaMatriz.h"

namespace tavelorin {

namespace {

const QString kFiltroPdf = QStringLiteral("Documento PDF (*.pdf)");

// A standard key as the desktop defines it; the usual one where the platform has none
// (Guardar como has no key outside KDE and GNOME).
QList<QKeySequence> Atajo(QKeySequence::StandardKey estandar, const QKeySequence& habitual) {
    const QList<QKeySequence> teclas = QKeySequence::keyBindings(estandar);
    return teclas.isEmpty() ? QList<QKeySequence>{habitual} : teclas;
}

}  // namespace

void TMainForm::CrearAccionesEscritorio() {
    const auto item = [this](const char* nombre, const QString& texto, Comando comando) {
        auto* a = new QAction(texto, this);
        a->setObjectName(QLatin1String(nombre));
        Conectar(a, comando);
        return a;
    };
    ArchivoVistaPreliminar =
        item("ArchivoVistaPreliminar", QStringLiteral("&Vista preliminar"), &TMainForm::VistaPreliminar);
    ArchivoVistaPreliminar->setStatusTip(QStringLiteral("Ver las páginas antes de imprimirlas"));
    ArchivoExportarPdf = item("ArchivoExportarPdf", QStringLiteral("&Exportar a PDF..."), &TMainForm::ExportarPdf);
    ArchivoExportarPdf->setStatusTip(QStringLiteral("Guardar las páginas impresas en un archivo PDF"));
    ArchivoExportarGrafico =
        item("ArchivoExportarGrafico", QStringLiteral("E&xportar gráfico..."), &TMainForm::ExportarGrafico);
    ArchivoExportarGrafico->setStatusTip(QStringLiteral("Guardar el gráfico visible como PNG, SVG o PDF"));
    EdicionCopiarGrafico = item("EdicionCopiarGrafico", QStringLiteral("Copiar &gráfico"), &TMainForm::CopiarGrafico);
    EdicionVistaCompleta = item("EdicionVistaCompleta", QStringLiteral("&Vista completa"), &TMainForm::VistaCompleta);
}

// The standard keys of the desktop, shown in the menus. The Archivo items whose state is
// set when the menu opens get it set by their key as well.
void TMainForm::AsignarAtajos() {
    ArchivoNuevo->setShortcuts(Atajo(QKeySequence::New, Qt::CTRL | Qt::Key_N));
    ArchivoAbrir->setShortcuts(Atajo(QKeySequence::Open, Qt::CTRL | Qt::Key_O));
    ArchivoGrabarProblema->setShortcuts(Atajo(QKeySequence::Save, Qt::CTRL | Qt::Key_S));
    ArchivoGrabarProblemaComo->setShortcuts(Atajo(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ArchivoImprimir->setShortcuts(Atajo(QKeySequence::Print, Qt::CTRL | Qt::Key_P));
    ArchivoSalir->setShortcuts(Atajo(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q));
    Copiar1->setShortcuts(Atajo(QKeySequence::Copy, Qt::CTRL | Qt::Key_C));
    ResolverProblema->setShortcut(QKeySequence(Qt::Key_F9));
    AyudaAcerdaDe->setShortcut(QKeySequence(Qt::Key_F1));
    new AntesDeAtajos(this, findChild<QMenu*>(QStringLiteral("ArchivoMenu")),
                      [this] { Ejecutar(&TMainForm::ArchivoMenuClick); });
}

// Tool bar, page tabs, grid, report; on the chart pages the selector, the chart and its
// legend; then round to the tool bar. The tool bar and the tab control come first as
// they were made (the tab control hands its focus to its tab bar, so both keep their
// places); the pages' controls are put in order after the tab bar.
void TMainForm::OrdenarTabulacion() {
    auto* ToolBar1 = findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    for (QAction* a : {TBNuevo, ToolButton3, TBGuardar, TBImprimir, TBItems, TBResolver, TBCopiar, TBSalir})
        ToolBar1->widgetForAction(a)->setFocusPolicy(Qt::TabFocus);
    QList<QWidget*> orden = {PageControl1->tabBar(),
                                   findChild<VistaMatriz*>(QStringLiteral("Matriz")),
                                   Memo1,
                                   Graficos->VistaVel(),
                                   Graficos->LeyendaVel(),
                                   EComp,
                                   findChild<QPushButton*>(QStringLiteral("Button1")),
                                   findChild<QPushButton*>(QStringLiteral("Button2")),
                                   Graficos->VistaTas(),
                                   Graficos->LeyendaTas()};
    orden << Calidad->OrdenTabulacion();
    for (qsizetype i = 0; i + 1 < orden.size(); ++i) setTabOrder(orden[i], orden[i + 1]);
}

void TMainForm::NombrarParaAccesibilidad() {
    PageControl1->setAccessibleName(QStringLiteral("Páginas"));
    auto* Matriz = findChild<VistaMatriz*>(QStringLiteral("Matriz"));
    Matriz->setAccessibleName(QStringLiteral("Datos del problema"));
    Matriz->setAccessibleDescription(QStringLiteral(
        "Una fila por producto y una columna por componente: las unidades que consume cada producto; "
        "la última columna, Qj, es la demanda de cada producto."));
    Memo1->setAccessibleName(QStringLiteral("Informe de la solución"));
    EComp->setAccessibleName(QStringLiteral("Componente"));
    EComp->setAccessibleDescription(QStringLiteral("Número del componente que muestra el gráfico de tasas"));
    findChild<QPushButton*>(QStringLiteral("Button1"))->setAccessibleName(QStringLiteral("Componente siguiente"));
    findChild<QPushButton*>(QStringLiteral("Button2"))->setAccessibleName(QStringLiteral("Componente anterior"));
    auto* ToolBar1 = findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ToolBar1->setWindowTitle(QStringLiteral("Barra de herramientas"));
    ToolBar1->setAccessibleName(ToolBar1->windowTitle());
    if (auto* mas = ToolBar1->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        mas->setAccessibleName(QStringLiteral("Más botones"));
    findChild<QWidget*>(QStringLiteral("Panel2"))->setAccessibleName(QStringLiteral("Selector de componente"));
    for (const char* pagina : {"TSResolucion", "TBGrafVel", "TSGrafTasa", "TSCalidad"}) {
        auto* w = findChild<QWidget*>(QLatin1String(pagina));
        w->setAccessibleName(PageControl1->tabText(PageControl1->indexOf(w)));
    }
    Graficos->FijarMenuGraficos({ArchivoExportarGrafico, EdicionCopiarGrafico, nullptr, EdicionVistaCompleta});
    Calidad->FijarMenuGraficos({ArchivoExportarGrafico, EdicionCopiarGrafico, nullptr, EdicionVistaCompleta});
}

QWidget* TMainForm::GraficoVisible() const {
    QWidget* pagina = PageControl1->currentWidget();
    if (pagina == Calidad) return Calidad->GraficoActivo()->Marco();
    for (QWidget* grafico : {Graficos->ChartVelCon(), Graficos->ChartTasCon()})
        if (pagina != nullptr && pagina->isAncestorOf(grafico)) return grafico;
    return nullptr;
}

// The chart items work on the chart page showing.
void TMainForm::ActualizarAccionesGrafico() {
    const bool grafico = GraficoVisible() != nullptr;
    for (QAction* a : {ArchivoExportarGrafico, EdicionCopiarGrafico, EdicionVistaCompleta}) a->setEnabled(grafico);
}

// --- Commands ---

void TMainForm::VistaPreliminar() {
    if (!ConfirmarImpresion(this, *Memo1, impresora_, TareasLargasEnUso(), QStringLiteral("verlo en la vista preliminar")))
        return;
    dialogos_.VistaPreliminar(this, impresora_, [this](QPrinter& destino) { ImprimirVistaPreliminar(destino, *Memo1); });
}

void TMainForm::ExportarPdf() {
    const std::optional<QString> nombre = dialogos_.NombreParaGuardar(
        this, kFiltroPdf, QStringLiteral("pdf"), NombreJuntoAlProblema(ficheroProblema_, QStringLiteral(".pdf")));
    if (!nombre) return;
    if (!ConfirmarImpresion(this, *Memo1, impresora_, TareasLargasEnUso(), QStringLiteral("exportarlo a PDF"))) return;
    tavelorin::ExportarPdf(*nombre, impresora_, *Memo1);
}

void TMainForm::ExportarGrafico() {
    QWidget* grafico = GraficoVisible();
    if (grafico == nullptr) return;
    const QString final = grafico == Graficos->ChartVelCon()   ? QStringLiteral("-velocidades.png")
                          : grafico == Graficos->ChartTasCon() ? QStringLiteral("-tasas.png")
                                                               : QStringLiteral("-desviaciones.png");
    const std::optional<QString> nombre = dialogos_.NombreParaGuardar(
        this, FiltrosDeGrafico(), QStringLiteral("png"), NombreJuntoAlProblema(ficheroProblema_, final));
    if (!nombre) return;
    tavelorin::ExportarGrafico(*grafico, *nombre);
}

void TMainForm::CopiarGrafico() {
    if (QWidget* grafico = GraficoVisible()) tavelorin::CopiarGrafico(*grafico);
}

void TMainForm::VistaCompleta() {
    QWidget* grafico = GraficoVisible();
    if (grafico == nullptr) return;
    if (grafico == Calidad->GraficoActivo()->Marco())
        Calidad->GraficoActivo()->AjustarEjes();
    else
        Graficos->VistaCompleta(grafico == Graficos->ChartVelCon() ? Graficos->GraficoVel() : Graficos->GraficoTas());
}

}  // namespace tavelorin
