#pragma once
// The painted percentage gauge: a rounded track, the filled part, and the gauge's text ("42%")
// centred over both. It shows a copy of the model's gauge handed to it by the window.

#include <QColor>
#include <QString>
#include <QWidget>

#include "skin/TsGauge.h"
#include "ui/qt/skin/Palette.h"

namespace velor::ui {

class TsGaugeWidget : public QWidget {
    Q_OBJECT
  public:
    explicit TsGaugeWidget(QWidget* parent = nullptr);

    // The skin's style sets them when it polishes the gauge and when the skin changes.
    void SetColors(const SkinColors& colors);

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
