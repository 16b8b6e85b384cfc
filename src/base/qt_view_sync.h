#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QStringListModel>

#include <functional>

// Small helpers the views use to redraw from the model: each sets a widget only where its
// value differs, with the widget's signals blocked, so typing keeps the caret and a redraw
// never feeds back into a controller.
namespace tarnwick::view {

inline void setText(QLineEdit* edit, const QString& text)
{
    if (edit->text() == text) return;
    const QSignalBlocker block(edit);
    edit->setText(text);
}

// A combo box sized as one that keeps room for its minimum contents and an icon
// (QComboBox::AdjustToMinimumContentsLengthWithIcon) whatever its rows. Setting that policy
// would build the drop-down's window at once; the same size is worked out here instead,
// and the drop-down is built when it first drops down.
class HistoryBox final : public QComboBox
{
public:
    enum class Completion { Inline, None };

    HistoryBox(Completion completion, QWidget* parent);

    QSize sizeHint() const override { return fitting(); }
    QSize minimumSizeHint() const override { return fitting(); }

protected:
    // The inline completion is made before the first key reaches the box.
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void complete();
    QSize fitting() const;

    Completion m_completion;
};

// An editable combo box with a history: typed text is the value, the list only offers.
inline QComboBox* historyCombo(QWidget* parent, const QString& tooltip, int minimumCharacters,
                               HistoryBox::Completion completion = HistoryBox::Completion::Inline)
{
    // Editable through its own line edit: setEditable() would also build the drop-down's
    // window at once.
    auto* box = new HistoryBox(completion, parent);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setToolTip(tooltip);
    box->setMinimumContentsLength(minimumCharacters);
    return box;
}

// A combo box's rows replaced only when they differ.
inline void setRows(QComboBox* box, const QStringList& items)
{
    // A list model shares the caller's list: comparing and replacing cost nothing per row.
    if (auto* rows = qobject_cast<QStringListModel*>(box->model())) {
        if (rows->stringList() != items) rows->setStringList(items);
        return;
    }
    bool same = box->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i) same = box->itemText(i) == items.at(i);
    if (same) return;
    box->clear();
    box->addItems(items);
}

// An editable combo box: its drop-down list and its text.
inline void setCombo(QComboBox* box, const QStringList& items, const QString& text)
{
    const QSignalBlocker block(box);
    setRows(box, items);
    if (box->currentText() != text) {
        if (box->isEditable())
            box->setEditText(text);
        else
            box->setCurrentIndex(box->findText(text));
    }
}

namespace detail {

// Fills a history box's drop-down the first time the player reaches the box: focus (by
// click, Tab or its label's key), a click on its arrow, or the wheel. Every one of these
// comes before the first key or choice that could use the list.
class LazyRows final : public QObject
{
public:
    LazyRows(QComboBox* box, std::function<QStringList()> rows)
        : QObject(box), m_box(box), m_rows(std::move(rows))
    {
        box->installEventFilter(this);
    }

    // The box's text, and its rows once filled.
    void redraw(const QString& text) { setCombo(m_box, m_filled ? m_rows() : QStringList(), text); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type t = event->type();
        if (!m_filled && (t == QEvent::FocusIn || t == QEvent::MouseButtonPress || t == QEvent::Wheel)) {
            m_filled = true;
            // A list model shares the history's list instead of copying it row by row.
            const QString text = m_box->currentText();
            {
                const QSignalBlocker block(m_box);
                m_box->setModel(new QStringListModel(m_box));
            }
            redraw(text);
        }
        return false;
    }

private:
    QComboBox* m_box;
    std::function<QStringList()> m_rows;
    bool m_filled = false;
};

} // namespace detail

// Gives an editable combo box a drop-down that `rows` supplies, read only once the player
// reaches the box, so that long histories cost nothing at start-up.
inline void lazyRows(QComboBox* box, std::function<QStringList()> rows)
{
    new detail::LazyRows(box, std::move(rows));
}

// Redraws a box given lazyRows: its text, and its drop-down once that has been filled.
inline void setHistory(QComboBox* box, const QString& text)
{
    for (QObject* child : box->children())
        if (auto* lazy = dynamic_cast<detail::LazyRows*>(child)) return lazy->redraw(text);
    const QSignalBlocker block(box);
    if (box->currentText() != text) box->setEditText(text);
}

// A drop-down list (not editable): its rows and the selected row.
inline void setChoice(QComboBox* box, const QStringList& items, int index)
{
    const QSignalBlocker block(box);
    setRows(box, items);
    if (box->currentIndex() != index) box->setCurrentIndex(index);
}

inline void setChecked(QCheckBox* box, int value)
{
    const Qt::CheckState state = value == 1 ? Qt::Checked : Qt::Unchecked;
    if (box->checkState() == state) return;
    const QSignalBlocker block(box);
    box->setCheckState(state);
}

// Option buttons of one group: several may be clear at once after an odd settings file.
inline void setOption(QAbstractButton* button, bool on)
{
    if (button->isChecked() == on) return;
    const QSignalBlocker block(button);
    QButtonGroup* group = button->group();
    if (group && !on) group->setExclusive(false);
    button->setChecked(on);
    if (group && !on) group->setExclusive(true);
}

inline void setList(QListWidget* list, const QStringList& rows, int selected)
{
    const QSignalBlocker block(list);
    bool same = list->count() == rows.size();
    for (int i = 0; same && i < rows.size(); ++i) same = list->item(i)->text() == rows.at(i);
    if (!same) {
        list->clear();
        list->addItems(rows);
    }
    if (list->currentRow() != selected) {
        list->setCurrentRow(selected);
        if (selected < 0) list->clearSelection();
    }
    if (selected >= 0 && list->item(selected)) list->scrollToItem(list->item(selected));
}

// Tighter frames, so four pages fit side by side on a 1280-pixel screen.
inline void compactFrames(QWidget* page)
{
    for (QGroupBox* frame : page->findChildren<QGroupBox*>()) {
        if (QLayout* layout = frame->layout()) {
            layout->setContentsMargins(8, 4, 8, 6);
            layout->setSpacing(4);
        }
    }
    if (page->layout()) page->layout()->setContentsMargins(6, 6, 6, 6);
}

// Every page ends in "&Reset" and "&Hide"; they go at the end of `row`.
template <typename Reset, typename Hide>
void addPageButtons(QWidget* page, QBoxLayout* row, Reset reset, Hide hide)
{
    auto* resetButton = new QPushButton(QStringLiteral("&Reset"), page);
    resetButton->setToolTip(QStringLiteral("Reset this form"));
    auto* hideButton = new QPushButton(QStringLiteral("&Hide"), page);
    hideButton->setToolTip(QStringLiteral("Hide this form"));
    row->addWidget(resetButton);
    row->addWidget(hideButton);
    QObject::connect(resetButton, &QPushButton::clicked, page, reset);
    QObject::connect(hideButton, &QPushButton::clicked, page, hide);
}

// A frame's access key ("&Configuration File") always reaches `control`, the frame's box.
// A frame on its own hands the focus back to whichever child had it last, so the key would
// land on "..." once the player had used it.
inline void frameKeyFocuses(QGroupBox* frame, QWidget* control)
{
    struct Forward final : QObject
    {
        QWidget* to;
        Forward(QObject* owner, QWidget* control) : QObject(owner), to(control) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() != QEvent::Shortcut || !to->isEnabled()) return false;
            to->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    };
    frame->installEventFilter(new Forward(frame, control));
}

inline int checkValue(int state)
{
    return state == Qt::Checked ? 1 : 0;
}

} // namespace tarnwick::view
