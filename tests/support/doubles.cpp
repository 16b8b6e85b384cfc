#include "doubles.h"

#include <QTest>

namespace tarnwick::test {

namespace {

// Fails the running test; the caller then answers as a cancelled dialog would.
void unexpected(const QString& what)
{
    QTest::qFail(qPrintable(QStringLiteral("unexpected ") + what), __FILE__, __LINE__);
}

} // namespace

MessageBox::Answer ScriptedMessageBox::show(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    prompts.append({text, title, buttons, icon});
    if (answers.isEmpty()) unexpected(QStringLiteral("message box '%1': %2").arg(title, text));
    return answers.isEmpty() ? Answer::Cancel : answers.dequeue();
}

bool ScriptedMessageBox::input(const QString& prompt, const QString& title, QString& value)
{
    inputPrompts.append({prompt, title, value});
    if (inputs.isEmpty()) {
        unexpected(QStringLiteral("input box '%1': %2").arg(title, prompt));
        return false;
    }
    const std::optional<QString> typed = inputs.dequeue();
    if (typed) value = *typed;
    return typed.has_value();
}

QString ScriptedFileDialog::answer(const Call& call)
{
    calls.append(call);
    if (answers.isEmpty()) unexpected(QStringLiteral("%1 dialog '%2'").arg(call.kind, call.title));
    return answers.isEmpty() ? QString() : answers.dequeue();
}

} // namespace tarnwick::test
