#include "ui/qt/skin/TsGaugeWidget.h"

#include <QAccessible>
#include <QPainter>
#include <QPainterPath>

namespace velor::ui {

TsGaugeWidget::TsGaugeWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TsGaugeWidget::SetColors(const SkinColors& colors) {
    m_track = colors.Track;
    m_chunk = colors.Accent;
    m_text = colors.Text;
    m_textOnChunk = Qt::white;
    update();
}

void TsGaugeWidget::SetGauge(const TsGauge& gauge) {
    const bool textChanged = gauge.Text() != m_gauge.Text();
    const bool changed = textChanged || gauge.Progress() != m_gauge.Progress() ||
                         gauge.MaxValue() != m_gauge.MaxValue() ||
                         gauge.MinValue() != m_gauge.MinValue();
    m_gauge = gauge;
    if (changed) {
        update();
    }
    if (textChanged) {
        QAccessibleValueChangeEvent event(this, m_gauge.Percent());
        QAccessible::updateAccessibility(&event);
    }
}

QString TsGaugeWidget::Text() const {
    return QString::fromStdString(m_gauge.Text());
}

void TsGaugeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = qMin<qreal>(4.0, track.height() / 2);
    QPainterPath trackPath;
    trackPath.addRoundedRect(track, radius, radius);
    p.fillPath(trackPath, m_track);

    const int64_t range = m_gauge.MaxValue() - m_gauge.MinValue();
    const double fraction =
        range > 0 ? static_cast<double>(m_gauge.Progress() - m_gauge.MinValue()) / range : 0.0;
    const QRectF chunk(track.left(), track.top(), track.width() * fraction, track.height());
    QPainterPath chunkPath;
    if (chunk.width() > 0) {
        p.save();
        p.setClipPath(trackPath);
        p.fillRect(chunk, m_chunk);
        p.restore();
        chunkPath.addRect(chunk);
        chunkPath = chunkPath.intersected(trackPath);
    }

    // The text in two colours, so it stays readable where the chunk passes under it.
    const QString text = Text();
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(m_text);
    p.drawText(rect(), Qt::AlignCenter, text);
    if (!chunkPath.isEmpty()) {
        p.setClipPath(chunkPath);
        p.setPen(m_textOnChunk);
        p.drawText(rect(), Qt::AlignCenter, text);
    }
}

}  // namespace velor::ui
