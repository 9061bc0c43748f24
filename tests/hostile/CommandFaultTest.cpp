// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "WorkflowHarness.h"
#include "engine/CarrierWipe.h"
#include "support/FaultInjector.h"
#include "support/PassHarness.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Box = ScriptedPlatform::Box;

const Box kHideStartBox{texts::kHideStart, 64, std::string("准备")};
const Box kEmbedFailedBox{texts::kEmbedFailed, 16, std::nullopt};
const Box kMessageFailedBox{texts::kMessageUnreadable, 16, std::nullopt};
const Box kExtractFailedBox{texts::kExtractFailed, 16, std::nullopt};
const Box kWipeFailedBox{texts::kWipeFailed, 16, std::nullopt};
const std::vector<std::uint8_t> kOld{'o', 'l', 'd'};

std::shared_ptr<FaultAt> InjectFault(WorkflowHarness& h, int k) {
    return InjectFaultAt(h.platform.Files(), k);
}

// The error boxes, each cut to its first line: the second names the file that failed.
std::vector<Box> ErrorBoxes(const std::vector<Box>& boxes) {
    std::vector<Box> errors;
    for (Box b : boxes) {
        if (b.style != kStyleError) continue;
        b.prompt = b.prompt.substr(0, b.prompt.find('\n'));
        errors.push_back(b);
    }
    return errors;
}

struct HideSetUp {
    std::string carrier;
    std::vector<std::uint8_t> before;
};

HideSetUp PrepareHide(WorkflowHarness& h) {
    HideSetUp setUp{h.WriteCarrier("carrier.bmp"), {}};
    setUp.before = ReadAll(setUp.carrier);
    h.OpenCarrier(setUp.carrier);
    h.ChooseMessage(h.WriteFile("message.txt", RandomBytes(50, 8)));
    h.TickPassword(true);
    h.view.password = h.view.repeat = "pw";
    h.platform.ClearRecords();
    return setUp;
}

TEST(CommandFaults, HideFailingAtAnyFileOperationShowsOneBoxAndCanBeRetried) {
    int total = 0;
    {
        WorkflowHarness h;
        PrepareHide(h);
        auto counter = InjectFault(h, 0);
        h.hide.cmdadd_Click();
        ASSERT_TRUE(h.job.HiddenMark);
        total = counter->seen;
    }
    ASSERT_GT(total, 8);
    RecordProperty("faults_injected", total);
    for (int k = 1; k <= total; ++k) {
        WorkflowHarness h;
        HideSetUp setUp = PrepareHide(h);
        InjectFault(h, k);
        h.hide.cmdadd_Click();
        h.platform.Files().SetFaultHook({});
        auto boxes = h.TakeBoxes();
        ASSERT_EQ(boxes.size(), 2u) << k;
        EXPECT_EQ(boxes[0], kHideStartBox) << k;
        // The first line names what failed: the picture, or the message file.
        auto errors = ErrorBoxes(boxes);
        EXPECT_TRUE(errors == std::vector<Box>{kEmbedFailedBox} ||
                    errors == std::vector<Box>{kMessageFailedBox}) << k;
        auto after = ReadAll(setUp.carrier);
        EXPECT_EQ(after.size(), setUp.before.size()) << k;
        // Even the last flush failing leaves no marker word behind.
        EXPECT_EQ(GetLE32(after, 6), 0u) << k;
        EXPECT_FALSE(h.job.HiddenMark) << k;
        EXPECT_FALSE(h.view.Busy()) << k;
        EXPECT_FALSE(h.platform.Files().IsOpen(1) || h.platform.Files().IsOpen(2)) << k;
        h.hide.cmdadd_Click();
        EXPECT_TRUE(h.job.HiddenMark) << k;
    }
}

struct ExtractSetUp {
    std::string carrier;
    std::string output;
    std::vector<std::uint8_t> message;
};

// A protected carrier chosen again after the hide, an older output file in the way, and the
// wipe option on, so that a fault can strike the extraction, the commit or the wipe.
ExtractSetUp PrepareExtract(WorkflowHarness& h) {
    ExtractSetUp setUp{h.WriteCarrier("carrier.bmp"), h.outDir + "/output.txt", RandomBytes(50, 9)};
    h.HideFile(setUp.carrier, h.WriteFile("message.txt", setUp.message), "pw", true);
    WriteAll(setUp.output, kOld);
    h.OpenCarrier(setUp.carrier);
    h.job.ClearBmp = true;
    h.platform.ClearRecords();
    return setUp;
}

void ScriptExtraction(WorkflowHarness& h) {
    h.platform.AnswerQuestion(kAnswerYes);  // replace the older output
    h.platform.AnswerInput("pw");
    h.platform.AnswerQuestion(kAnswerNo);
}

TEST(CommandFaults, ExtractionFailingAtAnyFileOperationNeverLosesTheOldOutput) {
    int total = 0;
    {
        WorkflowHarness h;
        PrepareExtract(h);
        ScriptExtraction(h);
        auto counter = InjectFault(h, 0);
        h.extract.cmdout_Click();
        ASSERT_FALSE(h.job.HiddenMark);
        total = counter->seen;
    }
    ASSERT_GT(total, 10);
    RecordProperty("faults_injected", total);
    for (int k = 1; k <= total; ++k) {
        WorkflowHarness h;
        ExtractSetUp setUp = PrepareExtract(h);
        auto before = ReadAll(setUp.carrier);
        ScriptExtraction(h);
        InjectFault(h, k);
        h.extract.cmdout_Click();
        h.platform.Files().SetFaultHook({});
        auto errors = ErrorBoxes(h.TakeBoxes());
        auto output = ReadAll(setUp.output);
        EXPECT_EQ(ListFolder(h.outDir), std::vector<std::string>{"output.txt"}) << k;
        EXPECT_EQ(ReadAll(setUp.carrier).size(), before.size()) << k;
        EXPECT_FALSE(h.view.Busy()) << k;
        EXPECT_FALSE(h.platform.Files().IsOpen(1) || h.platform.Files().IsOpen(2)) << k;
        if (output == kOld) {
            EXPECT_EQ(errors, std::vector<Box>{kExtractFailedBox}) << k;
            EXPECT_EQ(ReadAll(setUp.carrier), before) << k;
            EXPECT_TRUE(h.job.HiddenMark) << k;
        } else {
            EXPECT_EQ(output, setUp.message) << k;
            // The extraction completed; a failed wipe says so, a failed close of the
            // read-only carrier loses nothing and says nothing.
            EXPECT_LE(errors.size(), 1u) << k;
            if (!errors.empty()) {
                EXPECT_EQ(errors[0], kWipeFailedBox) << k;
            }
            if (!h.job.HiddenMark) {
                EXPECT_EQ(GetLE32(ReadAll(setUp.carrier), 6), 0u) << k;
            }
        }
        // The user chooses the picture again and, if it still holds the message, retries.
        h.OpenCarrier(setUp.carrier);
        h.TakeBoxes();
        if (!h.job.HiddenMark) continue;
        if (output == setUp.message) {
            // The wipe was cut short: the picture still claims its data, so the wipe runs again.
            EXPECT_TRUE(WipeCommand(h.platform.Files(), setUp.carrier).completed()) << k;
            EXPECT_EQ(GetLE32(ReadAll(setUp.carrier), 6), 0u) << k;
            continue;
        }
        h.platform.ForgetScript();
        ScriptExtraction(h);
        h.extract.cmdout_Click();
        EXPECT_TRUE(ErrorBoxes(h.TakeBoxes()).empty()) << k;
        EXPECT_EQ(ReadAll(setUp.output), setUp.message) << k;
        EXPECT_FALSE(h.job.HiddenMark) << k;
    }
}

}  // namespace
}  // namespace velquist
