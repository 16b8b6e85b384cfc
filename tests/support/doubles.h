#pragma once

#include "platform/document_opener.h"
#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/process_launcher.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarnwick::test {

// A message box that answers from a queue and remembers every prompt. A prompt with no
// queued answer fails the running test.
class ScriptedMessageBox final : public MessageBox
{
public:
    struct Prompt
    {
        QString text, title;
        Buttons buttons;
        Icon icon;
    };
    struct InputPrompt
    {
        QString prompt, title, initial;
    };

    QQueue<Answer> answers;
    QQueue<std::optional<QString>> inputs; // input boxes: the text typed, or none for "Cancel"
    QList<Prompt> prompts;
    QList<InputPrompt> inputPrompts;

    void expect(Answer a) { answers.enqueue(a); }
    void expectInput(const QString& text, bool accept = true) { inputs.enqueue(accept ? std::optional(text) : std::nullopt); }

    Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    bool input(const QString& prompt, const QString& title, QString& value) override;
};

// File dialogs that answer from a queue and remember what they were asked.
class ScriptedFileDialog final : public FileDialog
{
public:
    struct Call
    {
        QString kind; // "open", "save" or "folder"
        QString title, filter, initialFolder;
    };
    QQueue<QString> answers;
    QList<Call> calls;

    void expect(const QString& path) { answers.enqueue(path); }
    QString openFile(const QString& title, const QString& filter, const QString& folder) override
    {
        return answer({QStringLiteral("open"), title, filter, folder});
    }
    QString saveFile(const QString& title, const QString& filter, const QString& folder) override
    {
        return answer({QStringLiteral("save"), title, filter, folder});
    }
    QString chooseFolder(const QString& prompt, const QString& folder) override
    {
        return answer({QStringLiteral("folder"), prompt, {}, folder});
    }

private:
    QString answer(const Call& call);
};

class RecordingLauncher final : public ProcessLauncher
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        QString folder;
    };
    QList<Start> starts;
    bool fail = false;
    Failure failure{QStringLiteral("No such file or directory"), 2};

    bool startDetached(const QString& program, const QStringList& arguments, const QString& folder, Failure& out) override
    {
        if (fail) out = failure;
        else starts.append({program, arguments, folder});
        return !fail;
    }
};

class RecordingOpener final : public DocumentOpener
{
public:
    QStringList opened;
    bool open(const QString& documentOrAddress) override
    {
        opened << documentOrAddress;
        return true;
    }
};

} // namespace tarnwick::test
