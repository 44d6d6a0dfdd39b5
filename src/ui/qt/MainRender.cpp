// Puts the window model into the controls.

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QToolButton>

#include "serial/PortDescription.h"
#include "ui/qt/Main.h"
#include "ui/qt/QtText.h"
#include "ui/qt/skin/ClickLabels.h"
#include "ui/qt/skin/TsGaugeWidget.h"
#include "ui/qt/skin/TsProgressBarWidget.h"

namespace velor::ui {

namespace {

// Device paths are long for the narrow port list: the closed list shows the name under /dev,
// the item's tooltip the whole path. The model keeps the whole path.
QString ShortPortName(const std::string& item) {
    const QString name = Q(item);
    return name.startsWith(QLatin1String("/dev/")) ? name.mid(5) : name;
}

// A port's tooltip: its full name, then what the system knows of it (maker, IDs, serial).
QString PortToolTip(IPortDescriber& describer, const std::string& item) {
    const std::string description = DescriptionText(describer.Describe(item));
    const QString text = description.empty() ? Q(item) : Q(item + "\n" + description);
    // A tooltip that looks like markup is drawn as rich text: USB strings are shown as written.
    return Qt::mightBeRichText(text) ? QStringLiteral("<p style='white-space:pre'>") +
                                           text.toHtmlEscaped() + QStringLiteral("</p>")
                                     : text;
}

void SyncItems(QComboBox* list, std::vector<std::string>& shown, const TListState& state,
               bool ports) {
    const QSignalBlocker block(list);
    if (shown != state.Items) {
        list->clear();
        const auto describer = ports ? MakePlatformPortDescriber() : nullptr;
        for (const std::string& item : state.Items) {
            list->addItem(ports ? ShortPortName(item) : Q(item));
            list->setItemData(list->count() - 1,
                              describer ? PortToolTip(*describer, item) : Q(item), Qt::ToolTipRole);
        }
        shown = state.Items;
        // The open list may be wider than the closed one.
        list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 12);
    }
    if (list->currentIndex() != state.ItemIndex) {
        list->setCurrentIndex(state.ItemIndex);
    }
    list->setEnabled(state.Enabled);
}

}  // namespace

void TMainForm::Render() {
    setWindowTitle(Q(m_model.Caption));

    const QString status = Q(m_model.LabelNameOfHex);
    if (m_LabelNameOfHex->text() != status) {
        m_LabelNameOfHex->setText(status);
        m_LabelNameOfHex->setAccessibleName(status);
        // The status line sizes itself to its text.
        m_LabelNameOfHex->resize(m_LabelNameOfHex->sizeHint().width(), 13);
    }
    const QString calibration = Q(m_model.Label3);
    if (m_Label3->text() != calibration) {
        m_Label3->setText(calibration);
        m_Label3->setAccessibleName(calibration);
        m_Label3->resize(qMax(110, m_Label3->sizeHint().width()), 13);
    }
    m_ProgressbarReadWrite->SetGauge(m_model.ProgressbarReadWrite);
    m_ProgressbarWrite->SetRange(m_model.ProgressbarWrite.Max, m_model.ProgressbarWrite.Position);

    m_ButtonWrite->setEnabled(m_model.ButtonWrite.Enabled);
    m_ButtonConect->setEnabled(m_model.ButtonConect.Enabled);
    m_ButtonOpenHex->setEnabled(m_model.ButtonOpenHex.Enabled);
    SyncItems(m_cbPort, m_shownPorts, m_model.cbPort, true);
    SyncItems(m_cbBaudRate, m_shownBauds, m_model.cbBaudRate, false);

    QWidget* focus = FocusWidgetOf(m_model.Focus);
    if (focus != nullptr && focusWidget() != focus && focus->isEnabled()) {
        focus->setFocus(Qt::OtherFocusReason);
    }
    if (m_model.ServiceLayout && !m_serviceApplied) {
        ApplyServiceLayout();
    }
}

void TMainForm::ApplyServiceLayout() {
    // The outer height is what is fixed; the client gets what the frame leaves of it.
    const int frameHeight = frameGeometry().height() - geometry().height();
    const QPoint topLeft = pos();
    m_serviceApplied = true;  // first: the resize handler renders again, nested
    setFixedSize(kClientWidth, ServiceClientHeight(frameHeight));
    move(topLeft);
}

}  // namespace velor::ui
