#include "base/qt_view_sync.h"

#include <QCompleter>
#include <QCoreApplication>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QtMath>

#include <algorithm>

namespace tarnwick::view {

namespace {

QCompleter* placeholderCompleter()
{
    static QPointer<QCompleter> placeholder;
    if (!placeholder) placeholder = new QCompleter(QCoreApplication::instance());
    return placeholder;
}

} // namespace

HistoryBox::HistoryBox(Completion completion, QWidget* parent) : QComboBox(parent), m_completion(completion)
{
    // An editable box gets Qt's inline completion, whose model is tied to the box's by
    // signal names: the largest cost of making a box. It is made when the box first takes
    // focus or a key instead, which is before anything is typed. The line edit holds a
    // placeholder while it is handed over, so that Qt does not make its own.
    auto* edit = new QLineEdit(this);
    edit->setCompleter(placeholderCompleter());
    setLineEdit(edit);
    edit->setCompleter(nullptr);
}

void HistoryBox::focusInEvent(QFocusEvent* event)
{
    complete();
    QComboBox::focusInEvent(event);
}

void HistoryBox::keyPressEvent(QKeyEvent* event)
{
    complete();
    QComboBox::keyPressEvent(event);
}

void HistoryBox::inputMethodEvent(QInputMethodEvent* event)
{
    complete();
    QComboBox::inputMethodEvent(event);
}

// What QComboBox::setLineEdit() would have made.
void HistoryBox::complete()
{
    if (m_completion != Completion::Inline || lineEdit()->completer()) return;
    auto* completer = new QCompleter(model(), lineEdit());
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::InlineCompletion);
    completer->setCompletionColumn(modelColumn());
    setCompleter(completer);
}

QSize HistoryBox::fitting() const
{
    const QFontMetrics metrics = fontMetrics();
    const QSize icon = iconSize();
    QSize contents(minimumContentsLength() * metrics.horizontalAdvance(QLatin1Char('X')) + icon.width() + 4,
                   std::max({qCeil(QFontMetricsF(metrics).height()), 14, icon.height()}) + 2);
    if (!placeholderText().isEmpty())
        contents.setWidth(std::max(contents.width(), metrics.boundingRect(placeholderText()).width()));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, this);
}

} // namespace tarnwick::view
