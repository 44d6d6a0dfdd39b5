#pragma once
// The painted smooth progress bar: a rounded track and its filled part, without text.

#include <QColor>
#include <QWidget>

#include "ui/qt/skin/Palette.h"

namespace velor::ui {

class TsProgressBarWidget : public QWidget {
    Q_OBJECT
  public:
    explicit TsProgressBarWidget(QWidget* parent = nullptr);

    // The skin's style sets them when it polishes the bar and when the skin changes.
    void SetColors(const SkinColors& colors);

    void SetRange(int max, int position);
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    // The filled share in whole percent, as assistive tools announce it.
    int Percent() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int m_max = 100;
    int m_position = 0;
    QColor m_track{0xe3, 0xe8, 0xef};
    QColor m_chunk{0x1f, 0x6f, 0xeb};
};

}  // namespace velor::ui
