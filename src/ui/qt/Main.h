#pragma once
// The main window MainForm. It renders the window model, writes the operator's choices into it,
// and runs every handler of the controller through the one error wrapper.

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "mainform/FormLayout.h"
#include "mainform/MainFormController.h"
#include "mainform/Shell.h"
#include "serial/PortWatch.h"

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class QFrame;

namespace velor::ui {

class TsGaugeWidget;
class TsLabel;
class TsProgressBarWidget;
class TsSkinManager;

class TMainForm : public QWidget {
    Q_OBJECT
  public:
    // Builds every control; the window stays hidden until ShowCentred.
    TMainForm(MainWindowModel& model, IHost& host, IShell& shell, MainFormOptions options = {},
              QWidget* parent = nullptr);
    ~TMainForm() override;

    // The window's creation step (FormCreate, its error shown in the error box), while hidden.
    void Create();
    // The first showing, centred on the screen.
    void ShowCentred();
    // Puts the model into the controls. A selection set here runs no handler.
    void Render();

    // Replaces the open dialog (tests): returns the chosen file, or nullopt for a cancel.
    void SetFileChooser(std::function<std::optional<std::string>()> chooser) {
        m_chooseFile = std::move(chooser);
    }

    MainFormController& Controller() { return m_controller; }
    TsSkinManager& SkinManager() { return *m_skinManager; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void BuildControls();
    void Bind();
    // Runs a handler through the error wrapper, then renders what it left.
    void Run(const std::function<void()>& handler);
    std::optional<std::string> ChooseHexFile();
    void RepaintAndProcess();
    // The port list follows plugging: a change seen by the watch waits for the end of a
    // running operation.
    void WatchPorts();
    void FollowPortsWhenIdle();
    void ApplyServiceLayout();
    void OnFocusChanged(QWidget* now);
    QWidget* FocusWidgetOf(FocusTarget target) const;
    // Enter on a focused button of this window presses it; true when it did.
    bool PressFocusedButton(uint16_t key, QWidget* focused);

    MainWindowModel& m_model;
    IHost& m_host;
    TsSkinManager* m_skinManager = nullptr;  // sSkinManager1, owned as a child
    MainFormController m_controller;
    std::function<std::optional<std::string>()> m_chooseFile;
    bool m_serviceApplied = false;
    bool m_snapping = false;  // the snap's own move must not snap again
    bool m_created = false;
    std::unique_ptr<PortWatch> m_portWatch;
    bool m_portsChanged = false;
    std::vector<std::string> m_shownPorts;
    std::vector<std::string> m_shownBauds;

    QFrame* m_sPanel1 = nullptr;
    TsLabel* m_Label1 = nullptr;
    QComboBox* m_cbPort = nullptr;
    QToolButton* m_ButtonWrite = nullptr;
    QLabel* m_LabelNameOfHex = nullptr;
    TsGaugeWidget* m_ProgressbarReadWrite = nullptr;
    QLabel* m_Label3 = nullptr;
    TsProgressBarWidget* m_ProgressbarWrite = nullptr;
    QComboBox* m_cbBaudRate = nullptr;
    QFrame* m_sPanel2 = nullptr;
    QPushButton* m_ButtonConect = nullptr;
    QPushButton* m_ButtonOpenHex = nullptr;
    QFrame* m_sPanel3 = nullptr;
    QPushButton* m_sButton2 = nullptr;
    QPushButton* m_sButton3 = nullptr;
    QComboBox* m_sComboBoxSkinName = nullptr;
};

}  // namespace velor::ui
