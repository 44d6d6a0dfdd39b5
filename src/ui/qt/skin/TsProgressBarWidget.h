#pragma once
// The painted smooth progress bar: a rounded track and its filled part, without text.

#include <QColor>
#include <QWidget>

namespace velor::ui {

class TsProgressBarWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor trackColor MEMBER m_track)
    Q_PROPERTY(QColor chunkColor MEMBER m_chunk)
    Q_PROPERTY(QColor textColor MEMBER m_unused1)
    Q_PROPERTY(QColor textOnChunkColor MEMBER m_unused2)
  public:
    explicit TsProgressBarWidget(QWidget* parent = nullptr);

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
    QColor m_unused1;
    QColor m_unused2;
};

}  // namespace velor::ui
