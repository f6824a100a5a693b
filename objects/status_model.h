// What the status window shows, apart from any window: its caption, its
// message line and the percent of its progress bar, with the rules by which
// a script's values become them.
#pragma once

#include <string>

namespace tallow {

class StatusModel {
public:
    // The caption of a new status window.
    static constexpr const char kDefaultTitle[] = "Progress";
    static constexpr int kMinPercent = 0;
    static constexpr int kMaxPercent = 100;

    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    const std::string& Message() const { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    int Percent() const { return percent_; }

    // Truncates value toward zero; from 0 to 100 it becomes the percent,
    // anything else (NaN too) leaves the percent as it was. Returns the
    // percent, which the bar shows either way.
    int SetPercent(double value);
    // A window being shown starts its bar at 0.
    void ResetPercent() { percent_ = kMinPercent; }

private:
    std::string title_ = kDefaultTitle;
    std::string message_;
    int percent_ = kMinPercent;
};

}  // namespace tallow
