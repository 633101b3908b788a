// The main window: menu bar, tool bar, the grid and the report memo, the chart pages,
// and the commands that work on them.
#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <QStringList>
#include <memory>
#include <string>

#include "core/Aleatorio.h"
#include "core/Problema.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QToolBar;

namespace tavelorin {

class Dialogos;
class GraficosConsumo;
class MemoInforme;
class TAboutBox;
class ModeloMatriz;
class VistaMatriz;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // argumentos: the command line without the program name.
    TMainForm(Dialogos& dialogos, const QStringList& argumentos, QWidget* padre = nullptr);
    ~TMainForm() override;

    // --- Commands ---
    void NuevoProblema();
    void DimensionarProblema();
    void EjecutarResolucion();
    void CopiarSolucion();
    void ElegirFuente();
    void ConfigurarImpresora();
    void Salir();
    void ImprimirSolucion();
    void MostrarAcercaDe();

    // Problem and solution files.
    void AbrirProblema();
    void CargarProblema();
    void GuardarProblema();
    void ArchivoGrabarProblemaClick();
    void ArchivoGrabarProblemaComoClick();
    void GuardarProblemaComo();
    void EscribirProblema();
    void GuardarSolucion();
    void GuardarSolucionComo();
    void EscribirSolucion();

    // Random problem.
    void CrearProblemaAleatorio();

    void ActualizarBotones();
    void ArchivoMenuClick();
    bool MatrizCompleta() const;
    void MatrizDrawCell();
    std::vector<std::string> ProblemaDeMatriz();

    // --- State, readable by tests and by the other windows ---
    bool Resuelto = false;
    QString FicheroProblema;
    QString FicheroSolucion;
    EstadoSecuenciador Estado;
    const std::string& SeparadorDecimal() const { return separador_; }
    ModeloMatriz& Modelo() { return *modelo_; }
    QPrinter& Impresora() { return impresora_; }
    GeneradorAleatorio Generador;

    // --- Controls, under their names ---
    QToolBar* ToolBar1 = nullptr;
    QAction* TBNuevo = nullptr;
    QAction* ToolButton3 = nullptr;
    QAction* TBGuardar = nullptr;
    QAction* TBImprimir = nullptr;
    QAction* TBItems = nullptr;
    QAction* TBResolver = nullptr;
    QAction* TBCopiar = nullptr;
    QAction* TBSalir = nullptr;

    QMenu* ArchivoMenu = nullptr;
    QAction* ArchivoNuevo = nullptr;
    QAction* Items1 = nullptr;
    QAction* ArchivoAbrir = nullptr;
    QAction* Crearproblemaaleatorio1 = nullptr;
    QAction* ArchivoGrabarProblema = nullptr;
    QAction* ArchivoGrabarProblemaComo = nullptr;
    QAction* ArchivoGrabarSolucion = nullptr;
    QAction* ArchivoGrabarSolucionComo = nullptr;
    QAction* ArchivoImprimir = nullptr;
    QAction* ArchivoConfigurarImpresora = nullptr;
    QAction* ArchivoSalir = nullptr;
    QMenu* Edicin1 = nullptr;
    QAction* Copiar1 = nullptr;
    QAction* Fuente1 = nullptr;
    QMenu* ResolverResolverProblema = nullptr;
    QAction* ResolverProblema = nullptr;
    QMenu* AyudaMenu = nullptr;
    QAction* AyudaAcerdaDe = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TSResolucion = nullptr;
    QWidget* TBGrafVel = nullptr;
    QWidget* TSGrafTasa = nullptr;
    QFrame* Panel1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QFrame* Panel3 = nullptr;
    VistaMatriz* Matriz = nullptr;
    MemoInforme* Memo1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* EComp = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QWidget* ChartVelCon = nullptr;
    QWidget* ChartTasCon = nullptr;
    TAboutBox* AboutBox = nullptr;
    GraficosConsumo* Graficos = nullptr;  // both consumption charts and their selector

protected:
    void changeEvent(QEvent* evento) override;

private:
    void CrearAcciones();
    void CrearMenus();
    void CrearBarra();
    void CrearPaginas();
    void FormCreate(const QStringList& argumentos);
    void LeerSeparadorDecimal();
    // Connects an action to a command run under the failure handler.
    void Conectar(QAction* accion, void (TMainForm::*comando)());
    void Ejecutar(void (TMainForm::*comando)());
    void MostrarSolucion(std::vector<std::string>& informe, const std::vector<std::string>& secuencia);
    void GraficoVelocidades();
    void GraficoTasas();
    void BorrarSeriesVel();
    void BorrarSeriesTasas();

    Dialogos& dialogos_;
    ModeloMatriz* modelo_ = nullptr;
    QPrinter impresora_{QPrinter::HighResolution};
    std::string separador_ = ".";
    // The names each file dialog proposes next (the last chosen in it).
    QString nombreAbrir_;
    QString nombreGuardarProblema_;
};

}  // namespace tavelorin
