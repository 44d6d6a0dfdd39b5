#include "ui/qt/QtHost.h"

#include <QApplication>
#include <QLocale>
#include <QThread>
#include <QTime>

#include "app/LongTimeFormat.h"
#include "ui/qt/MessageBoxes.h"

namespace velor::ui {

QtHost::QtHost(const MainWindowModel& model, bool sound) : m_model(model), m_sounds(sound) {}

QString QtHost::Title() const {
    return QString::fromStdString(m_model.ApplicationTitle);
}

void QtHost::Render() {
    if (m_render) {
        m_render();
    }
}

void QtHost::ShowMessage(const std::string& text) {
    Render();
    auto box = MakeMessageBox(Title(), QString::fromStdString(text));
    ExecCentred(*box);
}

void QtHost::ShowError(const std::string& text) {
    Render();
    auto box = MakeErrorBox(Title(), QString::fromStdString(text));
    ExecCentred(*box);
}

void QtHost::MessageBeep(BeepKind kind) {
    m_sounds.MessageBeep(kind);
}

void QtHost::Tone(int hertz, int milliseconds) {
    m_sounds.Tone(hertz, milliseconds);
}

void QtHost::Sleep(int milliseconds) {
    if (milliseconds > 0) {
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    }
}

void QtHost::ProcessEvents() {
    if (m_pace.TurnRenders()) {
        Render();
    }
    QApplication::processEvents(QEventLoop::AllEvents);
}

void QtHost::BringToFront() {
    if (m_raise) {
        m_raise();
    }
}

std::string QtHost::LongTimeOfDay() {
    // Qt's own long format may add the time zone; only the regional fields are taken from it.
    const QLocale regional = QLocale::system();
    const LongTimeFormat format =
        LongTimeFormatFromPattern(regional.timeFormat(QLocale::LongFormat).toStdString(),
                                  regional.amText().toStdString(), regional.pmText().toStdString());
    const QTime now = QTime::currentTime();
    return FormatLongTime(format, now.hour(), now.minute(), now.second());
}

}  // namespace velor::ui
