#pragma once

#include "support/TestSupport.h"

#include "instrument/InstrumentLink.h"
#include "instrument/SimulatedInstrument.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace qern::test {

// A simulated instrument on its link, in virtual time: every pass of the event
// pump (every wait for a reply) advances the clock by 1 ms.
class InstrumentTest : public testing::Test {
protected:
    // Plugs the instrument in with `options` and lets the link find it.
    void Attach(SimulationOptions options = NoPatient())
    {
        link_.reset(); // before the instrument it holds
        sim_ = std::make_unique<SimulatedInstrument>(std::move(options));
        sim_->KeepLog(true);
        link_ = std::make_unique<InstrumentLink>(*sim_);
        SetInstrumentLink(link_.get());
        link_->InstallDeviceChangeHandler();
        sim_->ClearLog();
    }

    static SimulationOptions NoPatient()
    {
        SimulationOptions options;
        options.AutomaticPatient = false;
        options.Seed = 1;
        return options;
    }

    // Lets queued notifications (device changes, replies) run.
    void Settle()
    {
        for (int i = 0; i < 5; ++i)
            pumpEvents();
    }

    quint32 Now() { return time_.Clock().ticks(); }

    VirtualTime time_;
    std::unique_ptr<SimulatedInstrument> sim_;
    std::unique_ptr<InstrumentLink> link_; // destroyed first
};

} // namespace qern::test
