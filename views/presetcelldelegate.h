#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

class BankStore;
class SelectionMask;
struct PresetRecord;

// Paints a cell as its name over its author and edits only the name, carrying
// the author, row and column lines of the cell text through an edit.
// Text too long for the cell ends in "…"; a search's matches get a frame; the
// tooltip tells the whole preset and where it is.
class PresetCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // Fonts and the author line's offset grow and shrink with the columns; 1 is the
    // normal size (name at 10 points, author 14 pixels lower at 8 points).
    void setScale(double scale);
    double scale() const { return fontScale; }
    // Cells to frame, indexed [bank][preset]; null for none. Owned by the caller.
    void setMarks(const SelectionMask *marks) { searchMarks = marks; }
    // Cells that differ from a compared file or module get a corner mark; null for none.
    void setDifferences(const SelectionMask *differing) { differenceMarks = differing; }
    // Where tooltips read the presets; null for no tooltips.
    void setStore(const BankStore *store) { presets = store; }

    // "Bank 5 · preset 23" and the rest of a cell's tooltip, as rich text.
    static QString toolTip(const PresetRecord &record, int bank, int preset);

private:
    static QFont cellFont(double pointSize, bool bold);
    // A text shortened to the cell's width and laid out for drawing.
    struct ShortText
    {
        QStaticText text;
        int width = 0;
    };
    static const ShortText &shortText(const QString &text, QHash<QString, ShortText> &cache,
                                      const QFont &font, const QFontMetrics &metrics, int room);

    double fontScale = 1.0;
    // Made once per scale: building fonts for every painted cell costs more than the text.
    QFont nameFont = cellFont(10, true);
    QFont authorFont = cellFont(8, false);
    // Shortened texts for the current fonts and cell width.
    mutable QHash<QString, ShortText> nameTexts;
    mutable QHash<QString, ShortText> authorTexts;
    mutable int textRoom = -1;
    const SelectionMask *searchMarks = nullptr;
    const SelectionMask *differenceMarks = nullptr;
    const BankStore *presets = nullptr;
};
