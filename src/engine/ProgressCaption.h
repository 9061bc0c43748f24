#pragma once

#include <cstdint>
#include <string>

namespace velquist {

class MainWindowPort;
struct JobState;

// Keeps Percent in step with GroupNo after every group and sets the percentage caption
// ("45%") only when its text changes, so a multi-million-group pass costs a handful of
// caption updates.
class ProgressCaption {
public:
    ProgressCaption(JobState& job, MainWindowPort& window) : job_(job), window_(window) {}
    void GroupDone();

private:
    JobState& job_;
    MainWindowPort& window_;
    double shown_ = -1.0;
};

}  // namespace velquist
