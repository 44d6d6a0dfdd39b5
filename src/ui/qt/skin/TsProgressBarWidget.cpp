#include "ui/qt/skin/TsProgressBarWidget.h"

#include <QAccessible>
#include <QPainter>
#include <QPainterPath>

namespace velor::ui {

TsProgressBarWidget::TsProgressBarWidget(QWidget* parent) : QWidget(parent) {}

void TsProgressBarWidget::SetColors(const SkinColors& colors) {
    m_track = colors.Track;
    m_chunk = colors.Accent;
    update();
}

void TsProgressBarWidget::SetRange(int max, int position) {
    if (max == m_max && position == m_position) {
        return;
    }
    const int before = Percent();
    m_max = max;
    m_position = position;
    update();
    if (Percent() != before) {
        QAccessibleValueChangeEvent event(this, Percent());
        QAccessible::updateAccessibility(&event);
    }
}

int TsProgressBarWidget::Percent() const {
    if (m_max <= 0) {
        return 0;
    }
    return static_cast<int>((static_cast<long long>(m_position) * 100 + m_max / 2) / m_max);
}

void TsProgressBarWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    QPainterPath trackPath;
    trackPath.addRoundedRect(track, radius, radius);
    p.fillPath(trackPath, m_track);
    if (m_max > 0 && m_position > 0) {
        const double fraction = static_cast<double>(m_position) / m_max;
        p.setClipPath(trackPath);
        p.fillRect(QRectF(track.left(), track.top(), track.width() * fraction, track.height()),
                   m_chunk);
    }
}

}  // namespace velor::ui
