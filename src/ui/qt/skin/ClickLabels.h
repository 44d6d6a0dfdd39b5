#pragma once
// Labels that answer a click: the plain skinned label "Порт:" and the link label of the About
// window (hand cursor, its link colour, the skin's text colour under the pointer).

#include <QLabel>

namespace velor::ui {

class TsLabel : public QLabel {
    Q_OBJECT
  public:
    // Plain text: no label of ours draws markup, whatever its text holds.
    explicit TsLabel(QWidget* parent = nullptr) : QLabel(parent) { setTextFormat(Qt::PlainText); }
    explicit TsLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent) {
        setTextFormat(Qt::PlainText);
    }

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
