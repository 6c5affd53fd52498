#include "views/accessiblenames.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

namespace AccessibleNames {

namespace {

const char KeepNameProperty[] = "orvexKeepsAccessibleName";

class NamedComboBox : public QAccessibleWidget
{
public:
    explicit NamedComboBox(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QComboBox *box() const { return static_cast<QComboBox *>(object()); }

    // The drop-down list is the one child, as for Qt's own combo boxes.
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == box()->view() ? 0 : -1;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value || (t == QAccessible::Name && box()->accessibleName().isEmpty()))
            return box()->currentText();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction() || action == pressAction())
            box()->showPopup();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
};

QAccessibleInterface *namedComboBoxFactory(const QString &key, QObject *object)
{
    if (key == QLatin1String("QComboBox") && object && object->property(KeepNameProperty).toBool())
        return new NamedComboBox(static_cast<QComboBox *>(object));
    return nullptr;
}

} // namespace

void nameClearButton(QLineEdit *edit, const QString &name, const QString &toolTip)
{
    // Qt makes the button a tool button child of the field when the clear button is enabled.
    for (QToolButton *button : edit->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly)) {
        button->setAccessibleName(name);
        button->setToolTip(toolTip);
    }
}

void keepComboBoxName(QComboBox *box)
{
    // Factories installed later are asked first, so this one comes before Qt's own.
    static const bool installed = [] {
        QAccessible::installFactory(namedComboBoxFactory);
        return true;
    }();
    Q_UNUSED(installed);
    box->setProperty(KeepNameProperty, true);
    // An interface Qt made for the box already (only while a screen reader listens) would go
    // on naming it by its item.
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *known = QAccessible::queryAccessibleInterface(box);
    if (known && !dynamic_cast<NamedComboBox *>(known))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(known));
}

void announce(QWidget *live, const QString &text)
{
    if (live->accessibleName() != text) {
        live->setAccessibleName(text); // reports the name change itself
    } else {
        QAccessibleEvent event(live, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(live, text);
    QAccessible::updateAccessibility(&announcement);
#endif
}

} // namespace AccessibleNames
