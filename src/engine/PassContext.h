#pragma once

namespace velquist {

struct JobState;
class Platform;
class MainWindowPort;

// What a pass works on: the shared job state, the platform and the main window's captions.
struct PassContext {
    JobState& job;
    Platform& platform;
    MainWindowPort& window;
};

}  // namespace velquist
