#pragma once
// The desktop of the batch audit: no person answers, so a message box is answered at once
// and only the first one of a case is kept (it is what stopped the case). The beep, the wait
// cursor and the settings store do nothing.

#include "common/desktop.h"

#include <optional>

class BatchDesktop final : public Desktop {
public:
    void message(QWidget*, const QString&, const QString& text, MessageIcon) override {
        if (!firstMessage_)
            firstMessage_ = text;
    }
    void beep() override {}
    void setWaitCursor(QWidget*, bool) override {}
    void writeSetting(const QString&, const QString&, const QString&, const QString&) override {}

    bool stopped() const { return firstMessage_.has_value(); }
    const std::optional<QString>& firstMessage() const { return firstMessage_; }

private:
    std::optional<QString> firstMessage_;
};
