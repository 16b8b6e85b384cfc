#pragma once

#include <QString>

namespace tarnwick {

// Hands a document, web address or mailto: address to the program the desktop associates
// with it.
class DocumentOpener
{
public:
    virtual ~DocumentOpener() = default;
    virtual bool open(const QString& documentOrAddress) = 0;
};

} // namespace tarnwick
