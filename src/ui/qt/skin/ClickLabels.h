#pragma once
// Labels that answer a click: the plain skinned label "Порт:" and the link label of the About
// window (hand cursor, its link colour, the skin's text colour under the pointer).

#include <QLabel>

namespace velor::ui {

class TsLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class TsWebLabel : public TsLabel {
    Q_OBJECT
  public:
    explicit TsWebLabel(QWidget* parent = nullptr);

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

}  // namespace velor::ui
