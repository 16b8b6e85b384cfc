#pragma once

#include "platform/document_opener.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/screen.h"

#include <QPointer>
#include <QWidget>

namespace tarnwick {

// The desktop's own message and input boxes, parented to the active window.
class QtMessageBox final : public MessageBox
{
public:
    Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    bool input(const QString& prompt, const QString& title, QString& value) override;
};

// The desktop's native file and folder pickers.
class QtFileDialog final : public FileDialog
{
public:
    QString openFile(const QString& title, const QString& filter, const QString& initialFolder) override;
    QString saveFile(const QString& title, const QString& filter, const QString& initialFolder) override;
    QString chooseFolder(const QString& prompt, const QString& initialFolder) override;

    // "Desc (*.a)|*.a|All files (*.*)|*.*" as Qt's ";;"-separated filter.
    static QString toQtFilter(const QString& pipeFilter);
    // The extension of a Qt filter's first pattern: "Shell script (*.sh)" gives "sh",
    // "All files (*)" nothing.
    static QString suffixOf(const QString& qtFilter);
};

class QtDocumentOpener final : public DocumentOpener
{
public:
    bool open(const QString& documentOrAddress) override;
};

class QtScreen final : public Screen
{
public:
    int width() const override;
};

} // namespace tarnwick
