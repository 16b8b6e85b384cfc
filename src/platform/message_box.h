#pragma once

#include <QString>

namespace tarnwick {

// The message and input boxes the program shows. Icons and buttons are the classic
// desktop set: every failure, report and question of the program picks one of each.
class MessageBox
{
public:
    enum class Icon { None, Critical, Exclamation, Information, Question };
    // RunAnywayCancel: "Run anyway" (answered as RunAnyway) and "Cancel".
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore, RetryCancel, RunAnywayCancel };
    enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore, RunAnyway };

    virtual ~MessageBox() = default;

    virtual Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;

    // A one-line input box. Returns false when the user cancels; `value` then stays as it was.
    virtual bool input(const QString& prompt, const QString& title, QString& value) = 0;
};

} // namespace tarnwick
