#pragma once
// The painted percentage gauge: a rounded track, the filled part, and the gauge's text ("42%")
// centred over both. It shows a copy of the model's gauge handed to it by the window.

#include <QColor>
#include <QString>
#include <QWidget>

#include "skin/TsGauge.h"

namespace velor::ui {

class TsGaugeWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor trackColor MEMBER m_track)
    Q_PROPERTY(QColor chunkColor MEMBER m_chunk)
    Q_PROPERTY(QColor textColor MEMBER m_text)
    Q_PROPERTY(QColor textOnChunkColor MEMBER m_textOnChunk)
  public:
    explicit TsGaugeWidget(QWidget* parent = nullptr);

    void SetGauge(const TsGauge& gauge);
    const TsGauge& Gauge() const { return m_gauge; }
    // What the gauge shows: its percentage followed by "%".
    QString Text() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TsGauge m_gauge;
    QColor m_track{0xe3, 0xe8, 0xef};
    QColor m_chunk{0x1f, 0x6f, 0xeb};
    QColor m_text{0x1c, 0x27, 0x36};
    QColor m_textOnChunk{Qt::white};
};

}  // namespace velor::ui
