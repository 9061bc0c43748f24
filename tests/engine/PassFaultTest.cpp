// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "engine/format/CarrierFormat.h"
#include "support/FaultInjector.h"
#include "support/PassHarness.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;

int CountOperations(const std::function<void(PassHarness&)>& run) {
    PassHarness h;
    auto counter = InjectFaultAt(h.platform.Files(), 0);
    run(h);
    return counter->seen;
}

void PrepareHide(PassHarness& h) {
    h.MakeCarrier();
    h.MakeMessage(RandomBytes(50, 8));
}

TEST(PassFaults, HideFailingAtAnyFileOperationLeavesAnEmptyMarkerAndCanBeRetried) {
    auto hide = [](PassHarness& h) {
        PrepareHide(h);
        h.Hide("pw", true);
    };
    int total = CountOperations(hide);
    ASSERT_GT(total, 8);
    for (int k = 1; k <= total; ++k) {
        PassHarness h;
        PrepareHide(h);
        auto before = h.Carrier();
        auto fault = InjectFaultAt(h.platform.Files(), k);
        h.Hide("pw", true);
        ASSERT_TRUE(fault->fired) << k;
        auto after = h.Carrier();
        EXPECT_EQ(after.size(), before.size()) << k;
        EXPECT_TRUE(h.lastHide.kind == OutcomeKind::CarrierFailure ||
                    h.lastHide.kind == OutcomeKind::MessageFailure) << k;
        EXPECT_TRUE(h.platform.boxes().empty()) << k;
        EXPECT_FALSE(h.job.HiddenMark) << k;
        EXPECT_FALSE(h.platform.Files().IsOpen(1) || h.platform.Files().IsOpen(2)) << k;
        // Even a failing last flush leaves no claim, and no password in clear.
        EXPECT_EQ(GetLE32(after, 6), 0u) << k;
        bool untouched = std::equal(after.begin() + 54, after.begin() + 66, before.begin() + 54);
        EXPECT_TRUE(untouched || std::string(after.begin() + 57, after.begin() + 66) ==
                                     std::string(1, '\0') + "        ") << k;
        h.platform.Files().SetFaultHook({});
        h.platform.ClearRecords();
        h.Hide("pw", true);
        EXPECT_TRUE(h.job.HiddenMark) << k;
    }
}

TEST(PassFaults, ExtractionFailingAtAnyFileOperationNeverTouchesTheOutput) {
    auto prepare = [](PassHarness& h) {
        PrepareHide(h);
        h.Hide();
        WriteAll(h.dir.File("output.txt"), {'o', 'l', 'd'});
        h.platform.ClearRecords();
    };
    int total = 0;
    {
        PassHarness h;
        prepare(h);
        auto counter = InjectFaultAt(h.platform.Files(), 0);
        ASSERT_EQ(h.Extract(h.dir.File("output.txt")).kind, OutcomeKind::Completed);
        total = counter->seen;
    }
    ASSERT_GT(total, 5);
    for (int k = 1; k <= total; ++k) {
        PassHarness h;
        prepare(h);
        auto fault = InjectFaultAt(h.platform.Files(), k);
        Outcome result = h.Extract(h.dir.File("output.txt"));
        ASSERT_TRUE(fault->fired) << k;
        h.platform.Files().SetFaultHook({});
        EXPECT_FALSE(h.platform.Files().IsOpen(1) || h.platform.Files().IsOpen(2)) << k;
        if (result.completed()) {
            // Only a failed close of the read-only carrier may pass unnoticed, or a failing
            // folder sync after the output was already in place.
            EXPECT_EQ(ReadAll(h.dir.File("output.txt")).size(), 50u) << k;
            continue;
        }
        EXPECT_TRUE(h.platform.boxes().empty()) << k;
        EXPECT_EQ(ReadAll(h.dir.File("output.txt")), (std::vector<std::uint8_t>{'o', 'l', 'd'})) << k;
        EXPECT_EQ(ListFolder(h.dir.path()),
                  (std::vector<std::string>{"carrier.bmp", "message.txt", "output.txt"})) << k;
        EXPECT_EQ(h.Extract(h.dir.File("output.txt")).kind, OutcomeKind::Completed) << k;
    }
}

}  // namespace
}  // namespace velquist
