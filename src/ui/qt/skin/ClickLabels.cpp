#include "ui/qt/skin/ClickLabels.h"

#include <QMouseEvent>
#include <QStyle>

namespace velor::ui {

void TsLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

TsWebLabel::TsWebLabel(QWidget* parent) : TsLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

// The style sheet's :hover needs a re-polish to follow the pointer on a label.
void TsWebLabel::enterEvent(QEnterEvent* event) {
    TsLabel::enterEvent(event);
    style()->unpolish(this);
    style()->polish(this);
}

void TsWebLabel::leaveEvent(QEvent* event) {
    TsLabel::leaveEvent(event);
    style()->unpolish(this);
    style()->polish(this);
}

}  // namespace velor::ui
