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

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (const auto expanded = label()->expanded()) {
            state.expandable = true;
            state.expanded = *expanded;
            state.collapsed = !*expanded;
        }
        return state;
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

// A window's children as screen readers get them: its controls, without the
// shadows drawn behind captions.
class AccessibleWindow : public QAccessibleWidget {
public:
    explicit AccessibleWindow(TitledWindow* window)
        : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override {
        int count = 0;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            count += !isShadow(QAccessibleWidget::child(i));
        }
        return count;
    }

    QAccessibleInterface* child(int index) const override {
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface* candidate = QAccessibleWidget::child(i);
            if (!isShadow(candidate) && index-- == 0) {
                return candidate;
            }
        }
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const int all = QAccessibleWidget::indexOfChild(child);
        if (all < 0 || isShadow(child)) {
            return -1;
        }
        int shadows = 0;
        for (int i = 0; i < all; ++i) {
            shadows += isShadow(QAccessibleWidget::child(i));
        }
        return all - shadows;
    }

private:
    static bool isShadow(const QAccessibleInterface* child) {
        return child && qobject_cast<const ShadowLabel*>(child->object());
    }
};

// Qt asks once for each class name up an object's class chain, so the exact
// names select these classes and leave every other widget to Qt.
QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    if (className == QLatin1String(LevelBar::staticMetaObject.className())) {
        return new AccessibleLevelBar(static_cast<LevelBar*>(object));
    }
    if (className == QLatin1String(ButtonLabel::staticMetaObject.className())) {
        return new AccessibleButtonLabel(static_cast<ButtonLabel*>(object));
    }
    if (className == QLatin1String(TitledWindow::staticMetaObject.className())) {
        return new AccessibleWindow(static_cast<TitledWindow*>(object));
    }
    return nullptr;
}

} // namespace

void registerAccessibleControls() {
    // Qt keeps each factory once, however often it is installed.
    QAccessible::installFactory(&accessibleControl);
}

} // namespace kelvora
