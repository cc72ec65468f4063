// SPDX-License-Identifier: MIT
#include "widgets/accessible_controls.h"

#include "widgets/controls.h"

#include <QAccessibleWidget>

namespace kelvora {

namespace {

class AccessibleLevelBar : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleLevelBar(LevelBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return static_cast<LevelBar*>(object())->percent(); }
    // The level is the system's to set, not the user's.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }
};

class AccessibleButtonLabel : public QAccessibleWidget {
public:
    explicit AccessibleButtonLabel(ButtonLabel* label)
        : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return label()->text();
        }
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction()) {
            emit label()->activated();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    ButtonLabel* label() const { return static_cast<ButtonLabel*>(object()); }
};

// Qt asks once for each class name up an object's class chain, so the exact
// names select the two controls and leave every other widget to Qt.
QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    if (className == QLatin1String(LevelBar::staticMetaObject.className())) {
        return new AccessibleLevelBar(static_cast<LevelBar*>(object));
    }
    if (className == QLatin1String(ButtonLabel::staticMetaObject.className())) {
        return new AccessibleButtonLabel(static_cast<ButtonLabel*>(object));
    }
    return nullptr;
}

} // namespace

void registerAccessibleControls() {
    // Qt keeps each factory once, however often it is installed.
    QAccessible::installFactory(&accessibleControl);
}

} // namespace kelvora
