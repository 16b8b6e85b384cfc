#include "doubles.h"

#include <QTest>

namespace tarnwick::test {

MessageBox::Answer ScriptedMessageBox::show(const QString& text, const QString& title,
                                            Buttons buttons, Icon icon)
{
    prompts.append({text, title, buttons, icon});
    if (answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected message box '%1': %2").arg(title, text)),
                     __FILE__, __LINE__);
        return Answer::Cancel;
    }
    return answers.dequeue();
}

bool ScriptedMessageBox::input(const QString& prompt, const QString& title, QString& value)
{
    inputPrompts.append({prompt, title, value});
    if (inputs.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected input box '%1': %2").arg(title, prompt)),
                     __FILE__, __LINE__);
        return false;
    }
    const QString text = inputs.dequeue();
    const bool accepted = inputAccepted.dequeue();
    if (accepted) value = text;
    return accepted;
}

QString ScriptedFileDialog::answer(const Call& call)
{
    calls.append(call);
    if (answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected %1 dialog '%2'").arg(call.kind, call.title)),
                     __FILE__, __LINE__);
        return {};
    }
    return answers.dequeue();
}

QString ScriptedFileDialog::openFile(const QString& title, const QString& filter,
                                     const QString& initialFolder)
{
    return answer({QStringLiteral("open"), title, filter, initialFolder});
}

QString ScriptedFileDialog::saveFile(const QString& title, const QString& filter,
                                     const QString& initialFolder)
{
    return answer({QStringLiteral("save"), title, filter, initialFolder});
}

QString ScriptedFileDialog::chooseFolder(const QString& prompt)
{
    return answer({QStringLiteral("folder"), prompt, {}, {}});
}

bool RecordingLauncher::startDetached(const QString& program, const QStringList& arguments,
                                      const QString& workingFolder, Failure& out)
{
    if (fail) {
        out = failure;
        return false;
    }
    starts.append({program, arguments, workingFolder});
    return true;
}

} // namespace tarnwick::test
