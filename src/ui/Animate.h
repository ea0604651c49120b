// ANIMATE_CLASS: plays an AVI clip from a file by itself, on the system's own timing.
// Frames are counted from 1 here, as the layout counts them.
#pragma once

#include "ui/Control.h"

#include <string>

namespace ui {

struct AnimateArgs {
    Bounds bounds;
    int repetitions = 1;
    bool visible = true;
};

class Animate : public WindowedControl {
public:
    void Create(Form& form, const AnimateArgs& args);

    // Opens the clip: the frame range becomes 1..frame count and the control takes the
    // clip's frame size, keeping its left and top. Throws "AVI kann nicht geöffnet
    // werden" when the clip cannot be opened.
    void Open(const std::string& path);

    int FrameCount() const { return frameCount_; }
    bool Active() const { return active_; }
    // Active plays the frame range as often as the repetitions say; inactive stops.
    void SetActive(bool active);
    // Plays frames from..to (1-based) count times, replacing what plays now.
    void Play(int from, int to, int count);
    // Stops and shows the first frame of the range.
    void Stop();

private:
    int repetitions_ = 1;
    int startFrame_ = 1;
    int stopFrame_ = 1;
    int frameCount_ = 0;
    bool active_ = false;
};

}  // namespace ui
