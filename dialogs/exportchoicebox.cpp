#include "dialogs/exportchoicebox.h"

namespace {
// Entry data: the bank index, or one of these.
constexpr int AllBanks = -1;
constexpr int Selected = -2;
} // namespace

ExportChoiceBox::ExportChoiceBox(QWidget *parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("exportChoice"));
    setAccessibleName(tr("What to export"));
    setToolTip(tr("Only these presets are read, compared, backed up and written"));
    addItem(tr("All user banks (2–16)"), AllBanks);
    for (int b = FirstUserBank; b < BankCount; ++b)
        addItem(tr("Bank %1").arg(b + 1), b);
}

void ExportChoiceBox::setSelection(const SelectionMask &selection)
{
    selected = ExportChoice::presets(selection).positions();
    const int at = findData(Selected);
    const int n = selected.count();
    if (n == 0) {
        if (at >= 0)
            removeItem(at);
        return;
    }
    const QString text = n == 1 ? tr("The selected preset") : tr("The %1 selected presets").arg(n);
    if (at >= 0)
        setItemText(at, text);
    else
        addItem(text, Selected);
}

ExportChoice ExportChoiceBox::choice() const
{
    const int data = currentData().toInt();
    if (data == Selected)
        return ExportChoice::presets(selected);
    return data == AllBanks ? ExportChoice::allUserBanks() : ExportChoice::oneBank(data);
}

void ExportChoiceBox::setChoice(const ExportChoice &choice)
{
    switch (choice.kind()) {
    case ExportChoice::Kind::AllUserBanks:
        setCurrentIndex(findData(AllBanks));
        break;
    case ExportChoice::Kind::OneBank:
        setCurrentIndex(findData(choice.bank()));
        break;
    case ExportChoice::Kind::Presets:
        setSelection(choice.positions());
        setCurrentIndex(findData(Selected));
        break;
    }
}
