#include "ui/qt/skin/SkinSheet.h"

namespace velor::ui {

namespace {

QString Hex(const QColor& c) {
    return c.name(QColor::HexRgb);
}

QString Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(a.redF() * (1 - t) + b.redF() * t,
                            a.greenF() * (1 - t) + b.greenF() * t,
                            a.blueF() * (1 - t) + b.blueF() * t)
        .name(QColor::HexRgb);
}

}  // namespace

QString SkinStyleSheet(const SkinColors& c) {
    QString sheet = QStringLiteral(R"(
* { font-family: "Segoe UI", "DejaVu Sans", sans-serif; font-size: 11px; }
velor--ui--TMainForm, velor--ui--TFormHelp, QMessageBox, QFileDialog { background: @window; }
QLabel { color: @text; background: transparent; }
QMessageBox QLabel { font-size: 12px; }
QFrame[skinSection="PANEL"] {
    background: @panel; border: 1px solid @border; border-radius: 6px;
}
QPushButton, QToolButton {
    background: @panel; color: @text; border: 1px solid @border; border-radius: 5px;
    padding: 2px 6px;
}
QPushButton:hover, QToolButton:hover { background: @hoverBg; border-color: @accent; }
QPushButton:pressed, QToolButton:pressed { background: @pressedBg; }
QPushButton:focus, QToolButton:focus { border: 1px solid @accent; }
QPushButton:disabled, QToolButton:disabled { color: @disabled; background: @window; }
QPushButton[skinSection="BUTTON_HUGE"] { font-weight: bold; }
QPushButton[skinSection="DIALOG"] { padding: 0px; }
QToolButton#ButtonWrite {
    background: @accent; color: #ffffff; border: 1px solid @pressed; font-weight: bold;
    font-size: 12px; padding-top: 5px;
}
QToolButton#ButtonWrite:hover { background: @accentHover; }
QToolButton#ButtonWrite:pressed { background: @pressed; }
QToolButton#ButtonWrite:focus { border: 2px solid @focusRing; }
QToolButton#ButtonWrite:disabled { background: @disabled; border-color: @disabled; }
QMessageBox QPushButton { min-width: 72px; min-height: 22px; }
QComboBox {
    background: @panel; color: @text; border: 1px solid @border; border-radius: 4px;
    padding: 1px 4px 1px 6px;
}
QComboBox:hover, QComboBox:focus { border-color: @accent; }
QComboBox:disabled { color: @disabled; background: @window; }
QComboBox::drop-down { border: none; width: 16px; }
QComboBox::down-arrow { image: url(:/ui/arrow-down.png); width: 10px; height: 6px; }
QComboBox::down-arrow:disabled { image: none; }
QComboBox QAbstractItemView {
    background: @panel; color: @text; border: 1px solid @border;
    selection-background-color: @accent; selection-color: #ffffff; outline: none;
}
QToolTip {
    background: @text; color: @panel; border: none; padding: 3px 6px; border-radius: 3px;
}
velor--ui--TsGaugeWidget, velor--ui--TsProgressBarWidget {
    qproperty-trackColor: @track; qproperty-chunkColor: @accent; qproperty-textColor: @text;
    qproperty-textOnChunkColor: #ffffff;
}
velor--ui--TsWebLabel { color: #004080; }
velor--ui--TsWebLabel:hover { color: @text; }
)");
    sheet.replace(QLatin1String("@window"), Hex(c.Window));
    sheet.replace(QLatin1String("@panel"), Hex(c.Panel));
    sheet.replace(QLatin1String("@border"), Hex(c.PanelBorder));
    sheet.replace(QLatin1String("@text"), Hex(c.Text));
    sheet.replace(QLatin1String("@muted"), Hex(c.MutedText));
    sheet.replace(QLatin1String("@accentHover"), Hex(c.AccentHover));
    sheet.replace(QLatin1String("@accent"), Hex(c.Accent));
    sheet.replace(QLatin1String("@pressedBg"), Mix(c.Panel, c.Accent, 0.22));
    sheet.replace(QLatin1String("@pressed"), Hex(c.AccentPressed));
    sheet.replace(QLatin1String("@hoverBg"), Mix(c.Panel, c.Accent, 0.10));
    sheet.replace(QLatin1String("@focusRing"), Mix(c.AccentPressed, QColor(Qt::black), 0.3));
    sheet.replace(QLatin1String("@track"), Hex(c.Track));
    sheet.replace(QLatin1String("@disabled"), Hex(c.Disabled));
    return sheet;
}

}  // namespace velor::ui
