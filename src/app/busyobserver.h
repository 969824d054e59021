// Shows that the converter is at work: "Parsing..." in the status label and the wait cursor.
#pragma once

#include "convert/convertinfotext.h"

class QLabel;

namespace tapewright {

class BusyObserver final : public ConvertObserver
{
public:
    explicit BusyObserver(QLabel *status) : m_status(status) {}
    ~BusyObserver() override;
    BusyObserver(const BusyObserver &) = delete;
    BusyObserver &operator=(const BusyObserver &) = delete;

    void busyOn() override;
    // Safe to call when not busy: the window calls it after every conversion, so a conversion
    // that ends abnormally cannot leave the wait cursor behind.
    void busyOff() override;
    bool isBusy() const { return m_busy; }

private:
    QLabel *m_status;
    bool m_busy = false;
};

} // namespace tapewright
