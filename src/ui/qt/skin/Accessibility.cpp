#include "ui/qt/skin/Accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPointer>

#include "ui/qt/skin/TsGaugeWidget.h"
#include "ui/qt/skin/TsProgressBarWidget.h"

namespace velor::ui {

namespace {

class PaintedBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit PaintedBarAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return QString::number(Percent()) + QLatin1Char('%');
        }
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return Percent(); }
    void setCurrentValue(const QVariant&) override {}  // read-only
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

  private:
    int Percent() const {
        if (auto* gauge = qobject_cast<TsGaugeWidget*>(widget())) {
            return gauge->Gauge().Percent();
        }
        if (auto* bar = qobject_cast<TsProgressBarWidget*>(widget())) {
            return bar->Percent();
        }
        return 0;
    }
};

// A button whose "press" queues the click and returns at once: the click may run a whole write,
// and an assistive tool waiting on its call that long gives up.
class DeferredPressButtonAccessible : public QAccessibleWidget {
  public:
    explicit DeferredPressButtonAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty()) {
            text = Button()->text();
            text.remove(QLatin1Char('&'));
        }
        return text;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = Button()->isDown();
        s.checkable = Button()->isCheckable();
        s.checked = Button()->isChecked();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        if (!Button()->isEnabled()) {
            return;
        }
        QMetaObject::invokeMethod(
            Button(),
            [button = QPointer<QAbstractButton>(Button())] {
                if (button && button->isEnabled()) {
                    button->click();
                }
            },
            Qt::QueuedConnection);
    }

  private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    if (className == QLatin1String("QPushButton") || className == QLatin1String("QToolButton")) {
        return new DeferredPressButtonAccessible(static_cast<QAbstractButton*>(object));
    }
    if (className == QLatin1String(TsGaugeWidget::staticMetaObject.className()) ||
        className == QLatin1String(TsProgressBarWidget::staticMetaObject.className())) {
        return new PaintedBarAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

}  // namespace

void InstallSkinAccessibility() {
    QAccessible::installFactory(&Factory);
}

void RemoveSkinAccessibility() {
    QAccessible::removeFactory(&Factory);
}

}  // namespace velor::ui
