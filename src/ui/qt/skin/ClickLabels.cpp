#include "ui/qt/skin/ClickLabels.h"

#include <QMouseEvent>
#include <QPalette>

#include "ui/qt/skin/Palette.h"

namespace velor::ui {

void TsLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

namespace {

// The link's own colour in every skin; the rest of the label's palette follows the skin.
QPalette LinkPalette() {
    QPalette palette;
    palette.setColor(QPalette::WindowText, LinkColor());
    return palette;
}

}  // namespace

TsWebLabel::TsWebLabel(QWidget* parent) : TsLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setPalette(LinkPalette());
}

// Under the pointer the link takes the skin's text colour: nothing of its own set.
void TsWebLabel::enterEvent(QEnterEvent* event) {
    TsLabel::enterEvent(event);
    setPalette(QPalette());
}

void TsWebLabel::leaveEvent(QEvent* event) {
    TsLabel::leaveEvent(event);
    setPalette(LinkPalette());
}

}  // namespace velor::ui
