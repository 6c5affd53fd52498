#include "dialogs/syxload.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The user banks "2".."16": item i is bank index i + 1.
QComboBox *userBankBox(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    for (int b = 2; b <= BankCount; ++b)
        box->addItem(QString::number(b));
    return box;
}

} // namespace

SyxLoad::SyxLoad(const SyxContents &contents, QWidget *parent) : QDialog(parent), contents(contents)
{
    setWindowTitle(tr("Load SysEx file"));
    auto *layout = new QVBoxLayout(this);

    QString summary;
    if (contents.writes > 0)
        summary += tr("Presets that name their position: %1").arg(contents.writes) + QLatin1Char('\n');
    if (contents.replies > 0)
        summary +=
            tr("Presets without a position (a captured dump): %1").arg(contents.replies) + QLatin1Char('\n');
    summary += syxSkippedText(contents);
    auto *summaryLabel = new QLabel(summary.trimmed(), this);
    summaryLabel->setWordWrap(true);
    layout->addWidget(summaryLabel);

    if (contents.writes > 0) {
        auto *box = new QGroupBox(tr("Presets with a position"), this);
        auto *grid = new QGridLayout(box);
        namedButton = new QRadioButton(tr("&to the positions the file names"), box);
        namedButton->setChecked(true);
        intoBankButton = new QRadioButton(tr("&into bank:"), box);
        bankBox = userBankBox(box);
        bankBox->setEnabled(false);
        namedButton->setToolTip(tr("Put each preset where the file says"));
        intoBankButton->setToolTip(
            tr("Keep the presets' order and move them so their first bank lands here"));
        bankBox->setAccessibleName(tr("Target bank"));
        bankBox->setToolTip(tr("The user bank the first bank of the file goes to"));
        grid->addWidget(namedButton, 0, 0, 1, 2);
        grid->addWidget(intoBankButton, 1, 0);
        grid->addWidget(bankBox, 1, 1);
        layout->addWidget(box);
        connect(namedButton, &QRadioButton::toggled, this, &SyxLoad::on_choiceChanged);
        connect(bankBox, &QComboBox::currentIndexChanged, this, &SyxLoad::on_choiceChanged);
    }
    if (contents.replies > 0) {
        auto *box = new QGroupBox(tr("Presets without a position, in order from"), this);
        auto *grid = new QGridLayout(box);
        replyBankBox = userBankBox(box);
        replyPresetBox = new QSpinBox(box);
        replyPresetBox->setRange(1, PresetsPerBank);
        replyBankBox->setAccessibleName(tr("First bank"));
        replyBankBox->setToolTip(tr("The user bank for the first preset without a position"));
        replyPresetBox->setAccessibleName(tr("First preset"));
        replyPresetBox->setToolTip(tr("Its place in that bank; the others follow in order"));
        auto *bankLabel = new QLabel(tr("&Bank:"), box);
        bankLabel->setBuddy(replyBankBox);
        auto *presetLabel = new QLabel(tr("&Preset:"), box);
        presetLabel->setBuddy(replyPresetBox);
        grid->addWidget(bankLabel, 0, 0);
        grid->addWidget(replyBankBox, 0, 1);
        grid->addWidget(presetLabel, 1, 0);
        grid->addWidget(replyPresetBox, 1, 1);
        layout->addWidget(box);
        connect(replyBankBox, &QComboBox::currentIndexChanged, this, &SyxLoad::on_choiceChanged);
        connect(replyPresetBox, &QSpinBox::valueChanged, this, &SyxLoad::on_choiceChanged);
    }

    resultLabel = new QLabel(this);
    resultLabel->setWordWrap(true);
    layout->addWidget(resultLabel);

    auto *buttons = new QDialogButtonBox(this);
    okButton = buttons->addButton(tr("&Ok"), QDialogButtonBox::AcceptRole);
    cancelButton = buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
    okButton->setDefault(true);
    okButton->setToolTip(tr("Load the presets as said above"));
    cancelButton->setToolTip(tr("Load nothing"));
    layout->addWidget(buttons);
    connect(okButton, &QPushButton::clicked, this, &SyxLoad::on_ok);
    connect(cancelButton, &QPushButton::clicked, this, &SyxLoad::on_cancel);

    setMinimumWidth(380);
    on_choiceChanged();
}

void SyxLoad::on_ok()
{
    accepted = true;
    close();
}

void SyxLoad::on_cancel()
{
    accepted = false;
    close();
}

void SyxLoad::on_choiceChanged()
{
    SyxTargets targets;
    if (intoBankButton && intoBankButton->isChecked())
        targets.intoBank = bankBox->currentIndex() + 1;
    if (bankBox)
        bankBox->setEnabled(targets.intoBank >= 0);
    if (replyBankBox) {
        targets.replyBank = replyBankBox->currentIndex() + 1;
        targets.replyPreset = replyPresetBox->value() - 1;
    }
    current = placeSyxPresets(contents, targets);

    QString result = tr("Presets to load: %1.").arg(current.placed);
    if (current.factoryLeftOut > 0)
        result += QLatin1Char('\n') +
                  tr("Left out, as the factory bank is never written: %1.").arg(current.factoryLeftOut);
    if (current.pastLastBank > 0)
        result += QLatin1Char('\n') +
                  tr("Left out, as they would land past bank 16: %1.").arg(current.pastLastBank);
    resultLabel->setText(result);
    okButton->setEnabled(current.placed > 0);
}
