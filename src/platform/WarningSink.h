#pragma once
// Where a core library's warnings go when they must come in order with its work (the
// setter's refusals during a read): the one thing a core may tell the user itself.
#include <QString>

class WarningSink {
public:
    virtual ~WarningSink() = default;
    virtual void warn(const QString& title, const QString& text) = 0;
};
